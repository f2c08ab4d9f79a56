// A test fixture with an application of its own: the framework is started
// before each test and ended after it, and whatever the test left in the
// thread's queue (a quit message) is dropped so that it cannot reach the
// next test.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include "framework/Application.h"

class FrameworkTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        InitializeFramework();
        ASSERT_NE(Application, nullptr);
    }
    void TearDown() override
    {
        FinalizeFramework();
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        }
    }
};

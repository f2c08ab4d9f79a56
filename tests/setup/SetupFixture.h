// The setup's five forms built as the main program builds them, for tests of
// the setup's handlers on real windows; each test has its own application,
// its own forms and a temporary folder that stands for the program's folder.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "setup/engine/SetupState.h"
#include "tests/support/TempDir.h"

// Starts the framework with the setup's title and its five forms sharing the
// state, as the main program does; EndSetupForms frees them and empties the
// queue of what they left (a quit message), so that it cannot reach the
// next start.
void StartSetupForms(SetupState& state);
void EndSetupForms();

class SetupTest : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Writes setup.fls into the program's folder (the state's ExeDir).
    void WriteScript(const std::string& bytes);
    // Points the setup state's folders into the test's folder (see the
    // engine tests' UseTestFolders).
    void UseTestFolders();

    TempDir m_dir;
    SetupState m_state;

private:
    std::string m_savedDir;
};

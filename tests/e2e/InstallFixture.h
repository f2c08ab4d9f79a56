// What the end-to-end installation tests share: a distribution of the sample
// product beside setup.exe, a setup script naming its files, a destination in
// a fresh folder, and the product's recorded starts.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "tests/support/SetupSession.h"
#include "tests/support/TempDir.h"

// The sample product, which writes its command line to the file that
// HALVARN95_LOG names, and shows it in a box captioned "Halvarn 95".
std::string ProductProgram();

// The product's recorded command lines, after closing the box it shows;
// expectStart says whether it must have started (it is waited for) or must
// not have (a start within a second and a half fails the test).
Strings ProductStarts(const std::string& logFile, bool expectStart);

// A distribution folder with setup.exe and the product's files.
class InstallTest : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // The product's files, as they lie on the distribution medium.
    void WriteProduct(const std::string& folder);
    // A setup script with these mandatory files (path-coded, without sizes),
    // two Start Menu items, two optional files, a program information file
    // and an uninstall pattern.
    std::string Script(const Strings& files) const;

    TempDir m_target;
    std::string m_dest;
    std::string m_group;
    std::string m_programs;
    std::string m_productLog;
};

// What the end-to-end tests of the unattended runs share: the real setup.exe
// of a distribution started with switches, and a log file for it (the watch
// of the run and the reading of its log are in RunWatch).
#pragma once

#include <windows.h>

#include <functional>
#include <set>
#include <string>

#include "tests/e2e/InstallFixture.h"
#include "tests/e2e/RunWatch.h"
#include "tests/support/ProcessDriver.h"
#include "tests/support/SetupSession.h"
#include "tests/support/TempDir.h"

// The sample product's distribution in a folder of its own, and a log file
// in the test's folder.
class UnattendedTest : public InstallTest {
protected:
    void SetUp() override;

    // setup.exe of the distribution started with these arguments.
    std::string Setup(const std::string& arguments) const;
    // The size of a file of the distribution, in decimal.
    std::string Size(const std::string& name) const;

    TempDir m_dist;
    std::string m_log;
};

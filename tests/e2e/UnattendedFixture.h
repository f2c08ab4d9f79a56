// What the end-to-end tests of the unattended runs share: the real setup.exe
// of a distribution started with switches, watched until it ends for the
// windows it showed and its exit code, and the lines of the log it wrote.
#pragma once

#include <windows.h>

#include <functional>
#include <set>
#include <string>

#include "tests/e2e/InstallFixture.h"
#include "tests/support/ProcessDriver.h"
#include "tests/support/SetupSession.h"
#include "tests/support/TempDir.h"

// What a run showed and how it ended: the classes of every top-level window
// of it that was ever visible, and its exit code (STILL_ACTIVE when the
// watchdog's time ran out, a failure).
struct Watched {
    std::set<std::string> Visible;
    DWORD ExitCode = STILL_ACTIVE;
};

// Watches the program until it ends or the watchdog's time is up. meanwhile,
// when given, acts on the program between two looks.
Watched WatchUntilEnd(DrivenProcess& process, DWORD milliseconds, const std::function<void()>& meanwhile = {});

std::string Quoted(const std::string& text);

// The lines of a text with CR LF line ends.
Strings LinesOf(const std::string& text);

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

// What the tests of runs that nobody attends watch from outside: every
// window the program ever shows, until it ends or a watchdog's time is up,
// and the lines of the log it writes.
#pragma once

#include <windows.h>

#include <functional>
#include <set>
#include <string>

#include "tests/support/ProcessDriver.h"
#include "tests/support/SetupSession.h"

// What the watch saw: the classes of every top-level window of the program
// that was ever visible, and its exit code (STILL_ACTIVE when it did not
// end in time, a failure).
struct Watched {
    std::set<std::string> Visible;
    DWORD ExitCode = STILL_ACTIVE;
};

// Watches the program until it ends or milliseconds have passed; meanwhile,
// when given, acts on the program between two looks.
Watched WatchUntilEnd(DrivenProcess& process, DWORD milliseconds, const std::function<void()>& meanwhile = {});

// The text in double quotes, as one argument of a command line.
std::string Quoted(const std::string& text);

// The lines of a text with CR LF line ends.
Strings LinesOf(const std::string& text);

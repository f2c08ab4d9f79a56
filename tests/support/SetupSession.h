// The real setup.exe driven from outside one window at a time, as its user
// sees it (the mode choice, the settings, the message dialogs, the uninstall
// form), and what an installation leaves outside its destination that a test
// reads back: the Programs folder of the Start Menu and the command lines
// with which the sample product was started.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "tests/support/ProcessDriver.h"

using Strings = std::vector<std::string>;

// The lines, each followed by CR LF: the text of a setup script or an
// uninstall log made of records.
std::string Records(const Strings& lines);

// The Start Menu's Programs folder of the user, as the setup finds it,
// ending in a backslash.
std::string ProgramsFolder();
// The Windows directory, without a trailing backslash.
std::string WindowsFolder();
// The journal that an installation leaves when it ends before it completes,
// as the registry names it; empty when none is named.
std::string LeftRunJournal();
// Deletes that journal and its name, as if no run had been left.
void ForgetLeftRun();

// The sample product of the build, which writes its command line to the
// file that the environment variable HALVARN95_LOG names, and shows it in a
// box captioned "Halvarn 95".
std::string ProductProgram();

// Waits for the product's box (or makes sure none comes when expectStart is
// false), closes it, and returns the command lines recorded in logFile.
Strings ProductStarts(const std::string& logFile, bool expectStart);
// The arguments of a command line: what follows the program's name (quoted
// or not) and the one blank after it, kept exactly.
std::string ArgumentsOf(const std::string& commandLine);

class SetupSession {
public:
    // Starts folder + "setup.exe", spelled as given, in folder (which ends
    // in a backslash).
    explicit SetupSession(const std::string& folder);

    DrivenProcess& Process() { return m_process; }

    // The mode choice: Install or Uninstall, then O K; beforeOk, when given,
    // sees the mode choice with the option chosen, just before O K.
    void Choose(bool install, const std::function<void(HWND)>& beforeOk = {});
    // The settings: the destination typed in, then Next.
    void Settle(const std::string& destination);
    // Waits for a message dialog with this caption, checks that it has the
    // button and presses it.
    void Answer(const char* caption, const std::string& button);

    // The file-open dialog that asks for the uninstall log when there is
    // none beside the program: log typed in and opened.
    // beforeOk, when given, sees the dialog with the name typed in, just
    // before OK.
    void PickLog(const std::string& log, const std::function<void(HWND)>& beforeOk = {});
    // Uninstall chosen, the log picked, the message of the groups not found
    // answered when one is expected, and the uninstall form once it has the
    // focus (null when it does not come, a failure).
    HWND UninstallWithLog(const std::string& log, bool groupsNotFound = false);
    // The uninstall form, once it has the focus, and its list.
    HWND Uninstaller();
    static HWND List(HWND form);
    // On the uninstall form: the lines it lists, then Select All, Uninstall,
    // OK to "Uninstall is Complete" (or, when something is to stay, to the
    // warning that names it), and the program's end with code 0 (3 when
    // something stays).
    // Returns the lines as they were listed.
    Strings UninstallAll(bool complete = true);

private:
    DrivenProcess m_process;
};

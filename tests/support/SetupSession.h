// The real setup.exe driven from outside through its screens (mode choice,
// settings, message dialogs, the uninstall form), and the small file helpers
// with which the end-to-end tests lay out distributions and read back what
// the program left on disk.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "tests/support/ProcessDriver.h"

using Strings = std::vector<std::string>;

// Whether a file (not a folder) of this name exists.
bool FileExists(const std::string& path);
// Whether a folder of this name exists.
bool DirExists(const std::string& path);
// The whole content of a file, or nothing when it cannot be read.
std::string ReadWhole(const std::string& path);
// Writes bytes to a file, replacing it; fails the test when it cannot.
void WriteWhole(const std::string& path, const std::string& bytes);
// The lines, each ended by CR LF, as the setup's line files hold them.
std::string Records(const Strings& lines);
// The Start Menu's Programs folder of the user, as the setup finds it,
// ending in a backslash.
std::string ProgramsFolder();
// The Windows directory, without a trailing backslash.
std::string WindowsFolder();

// One program window at a time, as its user sees it.
class SetupSession {
public:
    // Starts setup.exe of folder, with folder as its current directory.
    explicit SetupSession(const std::string& folder);

    DrivenProcess& Process() { return m_process; }

    // The mode choice: Install or Uninstall, then O K.
    void Choose(bool install);
    // The settings: the destination typed in, then Next.
    void Settle(const std::string& destination);
    // Waits for a message dialog with this caption and presses button.
    void Answer(const char* caption, const std::string& button);

    // The uninstall form, once it has the focus, or null.
    HWND Uninstaller();
    // The list box of the uninstall form.
    static HWND List(HWND form);
    // On the uninstall form: the lines it lists, then Select All, Uninstall,
    // OK to "Uninstall is Complete", and the program's end with code 0.
    // Returns the lines as they were listed.
    Strings UninstallAll();

private:
    DrivenProcess m_process;
};

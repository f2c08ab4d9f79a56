#include "tests/support/SetupSession.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "runtime/Handles.h"
#include "tests/support/ProgramPaths.h"
#include "tests/support/TempDir.h"

std::string Records(const Strings& lines)
{
    std::string text;
    for (const std::string& line : lines)
        text += line + "\r\n";
    return text;
}

std::string ProgramsFolder()
{
    char value[MAX_PATH] = {};
    DWORD size = sizeof value;
    RegGetValueA(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders",
                 "Programs", RRF_RT_REG_SZ, nullptr, value, &size);
    std::string folder = value;
    if (!folder.empty() && folder.back() != '\\')
        folder += '\\';
    return folder;
}

std::string ProductProgram()
{
    return BuildFolder() + "sample\\halvarn95.exe";
}

namespace {

// Closes the product's box and waits for the product to end, so that its
// program file in the destination can be removed again.
void CloseProduct(HWND box)
{
    DWORD processId = 0;
    GetWindowThreadProcessId(box, &processId);
    // A process handle is closed like a file's.
    FileHandle process(OpenProcess(SYNCHRONIZE, FALSE, processId));
    PostMessageA(box, WM_CLOSE, 0, 0);
    if (process) {
        EXPECT_EQ(WaitForSingleObject(process.Get(), 10000), WAIT_OBJECT_0) << "the product did not end";
    }
}

} // namespace

Strings ProductStarts(const std::string& logFile, bool expectStart)
{
    HWND box = FindAnyWindowWithin("#32770", "Halvarn 95", expectStart ? 15000 : 1500);
    if (expectStart)
        EXPECT_NE(box, nullptr) << "the product did not start";
    else
        EXPECT_EQ(box, nullptr) << "the product started";
    if (box)
        CloseProduct(box);
    Strings lines;
    const std::string text = ReadWhole(logFile);
    for (size_t start = 0; start < text.size();) {
        const size_t end = text.find("\r\n", start);
        lines.push_back(text.substr(start, end - start));
        start = end == std::string::npos ? text.size() : end + 2;
    }
    return lines;
}

std::string ArgumentsOf(const std::string& commandLine)
{
    size_t end = 0;
    if (!commandLine.empty() && commandLine[0] == '"') {
        end = commandLine.find('"', 1);
        end = end == std::string::npos ? commandLine.size() : end + 1;
    } else {
        end = std::min(commandLine.find(' '), commandLine.size());
    }
    if (end < commandLine.size() && commandLine[end] == ' ')
        ++end;
    return commandLine.substr(end);
}

std::string LeftRunJournal()
{
    // The setup names the journal of a run in progress here; the bed runs
    // programs with administrator rights, so the machine's key holds it.
    char name[MAX_PATH + 1] = {};
    DWORD size = MAX_PATH;
    if (RegGetValueA(HKEY_LOCAL_MACHINE, "Software\\Brisdane95Setup", "Journal", RRF_RT_REG_SZ, nullptr, name, &size) !=
        ERROR_SUCCESS)
        return std::string();
    return name;
}

void ForgetLeftRun()
{
    const std::string journal = LeftRunJournal();
    if (!journal.empty())
        DeleteFileA(journal.c_str());
    RegDeleteKeyValueA(HKEY_LOCAL_MACHINE, "Software\\Brisdane95Setup", "Journal");
    RegDeleteKeyValueA(HKEY_LOCAL_MACHINE, "Software\\Brisdane95Setup", "JournalId");
}

std::string WindowsFolder()
{
    char dir[MAX_PATH] = {};
    GetWindowsDirectoryA(dir, sizeof dir);
    return dir;
}

SetupSession::SetupSession(const std::string& folder) : m_process("\"" + folder + "setup.exe\"", folder) {}

void SetupSession::Choose(bool install, const std::function<void(HWND)>& beforeOk)
{
    HWND modeChoice = m_process.WaitForWindow("TForm2");
    ASSERT_NE(modeChoice, nullptr);
    if (!install) {
        HWND radio = FindChildWindow(modeChoice, "Uninstall Halvarn 95");
        ASSERT_NE(radio, nullptr);
        SendMessageTimeoutA(radio, BM_CLICK, 0, 0, SMTO_ABORTIFHUNG, 5000, nullptr);
    }
    if (beforeOk)
        beforeOk(modeChoice);
    ClickButton(modeChoice, "O K");
    m_process.WaitUntilGone(modeChoice);
}

void SetupSession::Settle(const std::string& destination)
{
    HWND settings = m_process.WaitForWindow("TForm3", "Installation Settings");
    ASSERT_NE(settings, nullptr);
    const std::vector<HWND> edits = ChildWindowsOfClass(settings, "TEdit");
    ASSERT_EQ(edits.size(), 1u);
    SetTextOf(edits[0], destination);
    ClickButton(settings, "&Next >>");
    m_process.WaitUntilGone(settings);
}

void SetupSession::Answer(const char* caption, const std::string& button)
{
    // NOTE: a dialog found just as it appears may still give way to the
    // window it is shown in at last; the button is looked for in whichever
    // dialog of the caption is there, until the usual wait is over.
    const DWORD start = GetTickCount();
    for (;;) {
        HWND dialog = m_process.WaitForWindow("TMessageForm", caption);
        ASSERT_NE(dialog, nullptr) << "waiting to answer " << button;
        if (FindChildWindow(dialog, button)) {
            if (ClickButton(dialog, button))
                m_process.WaitUntilGone(dialog);
            return;
        }
        if (GetTickCount() - start > DrivenProcess::DefaultWait) {
            ClickButton(dialog, button);
            return;
        }
        Sleep(50);
    }
}

void SetupSession::PickLog(const std::string& log, const std::function<void(HWND)>& beforeOk)
{
    HWND open = m_process.WaitForWindow("#32770", "Could not Find - uninst.fls");
    ASSERT_NE(open, nullptr);
    const std::vector<HWND> edits = ChildWindowsOfClass(open, "Edit");
    ASSERT_FALSE(edits.empty());
    SetTextOf(edits[0], log);
    if (beforeOk)
        beforeOk(open);
    PostMessageA(open, WM_COMMAND, IDOK, 0);
}

HWND SetupSession::UninstallWithLog(const std::string& log, bool groupsNotFound)
{
    Choose(false);
    PickLog(log);
    if (groupsNotFound)
        Answer("Information", "OK");
    return Uninstaller();
}

HWND SetupSession::Uninstaller()
{
    HWND form = m_process.WaitForWindow("TForm4", "Select Items to Uninstall");
    if (form)
        m_process.WaitForFocusIn(form);
    return form;
}

HWND SetupSession::List(HWND form)
{
    const std::vector<HWND> lists = ChildWindowsOfClass(form, "TListBox");
    return lists.empty() ? nullptr : lists[0];
}

Strings SetupSession::UninstallAll(bool complete)
{
    HWND form = Uninstaller();
    if (!form)
        return {};
    const Strings lines = ListBoxLines(List(form));
    ClickButton(form, "Select All");
    ClickButton(form, "Uninstall");
    Answer(complete ? "Information" : "Warning", "OK");
    // An uninstallation that had to keep items ends as one that failed.
    EXPECT_EQ(m_process.WaitForExit(), complete ? 0u : 3u);
    return lines;
}

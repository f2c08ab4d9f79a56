#include "tests/support/SetupSession.h"

#include <gtest/gtest.h>

bool FileExists(const std::string& path)
{
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool DirExists(const std::string& path)
{
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::string ReadWhole(const std::string& path)
{
    std::string bytes;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return bytes;
    char buffer[65536];
    DWORD read = 0;
    while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0)
        bytes.append(buffer, read);
    CloseHandle(file);
    return bytes;
}

void WriteWhole(const std::string& path, const std::string& bytes)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE) << path;
    DWORD wrote = 0;
    EXPECT_TRUE(WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &wrote, nullptr)) << path;
    EXPECT_EQ(wrote, bytes.size()) << path;
    CloseHandle(file);
}

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

std::string WindowsFolder()
{
    char dir[MAX_PATH] = {};
    GetWindowsDirectoryA(dir, sizeof dir);
    return dir;
}

SetupSession::SetupSession(const std::string& folder) : m_process("\"" + folder + "setup.exe\"", folder) {}

void SetupSession::Choose(bool install)
{
    HWND modeChoice = m_process.WaitForWindow("TForm2");
    ASSERT_NE(modeChoice, nullptr);
    if (!install) {
        HWND radio = FindChildWindow(modeChoice, "Uninstall Halvarn 95");
        ASSERT_NE(radio, nullptr);
        SendMessageTimeoutA(radio, BM_CLICK, 0, 0, SMTO_ABORTIFHUNG, 5000, nullptr);
    }
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
    HWND dialog = m_process.WaitForWindow("TMessageForm", caption);
    ASSERT_NE(dialog, nullptr) << "waiting to answer " << button;
    EXPECT_NE(FindChildWindow(dialog, button), nullptr);
    ClickButton(dialog, button);
    m_process.WaitUntilGone(dialog);
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

Strings SetupSession::UninstallAll()
{
    HWND form = Uninstaller();
    if (!form)
        return {};
    const Strings lines = ListBoxLines(List(form));
    ClickButton(form, "Select All");
    ClickButton(form, "Uninstall");
    Answer("Information", "OK");
    EXPECT_EQ(m_process.WaitForExit(), 0u);
    return lines;
}

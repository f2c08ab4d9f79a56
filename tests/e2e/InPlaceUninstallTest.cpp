// The uninstaller an installation leaves in its destination, started as the
// system starts it: with the log named on its command line, from another
// folder, by a person or quietly. It removes the product without the
// distribution, its own file and folder too, through a copy of itself in
// the temporary folder that it waits for; a setup that does not lie in the
// log's folder makes no copy.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>

#include "runtime/ScopeGuard.h"
#include "tests/e2e/UnattendedFixture.h"
#include "tests/support/ProcessDriver.h"
#include "tests/support/SetupSession.h"
#include "tests/support/TempDir.h"

namespace {

const Strings ProductFiles{"Dhalvarn95.exe", "Dreadme.txt", "Dempty.dat", "DHALVARN.bat", "DHALVARN.pif"};

// The folders of the uninstaller's copies in the temporary folder, in full
// with their backslash; only those of the process with this id when it is
// not 0.
Strings CopyFolders(DWORD processId = 0)
{
    char temp[MAX_PATH + 1] = {};
    GetTempPathA(MAX_PATH, temp);
    const std::string prefix = "Brisdane95Uninstall." + (processId ? std::to_string(processId) + "." : "");
    Strings folders;
    WIN32_FIND_DATAA found;
    const HANDLE search = FindFirstFileA((std::string(temp) + prefix + "*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return folders;
    do {
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
            folders.push_back(std::string(temp) + found.cFileName + "\\");
    } while (FindNextFileA(search, &found));
    FindClose(search);
    std::sort(folders.begin(), folders.end());
    return folders;
}

// The names that the system is to delete or rename at the next restart, in
// upper case, one a line.
std::string PendingAtRestart()
{
    char value[65536] = {};
    DWORD size = sizeof value - 2;
    if (RegGetValueA(HKEY_LOCAL_MACHINE, "System\\CurrentControlSet\\Control\\Session Manager",
                     "PendingFileRenameOperations", RRF_RT_REG_MULTI_SZ, nullptr, value, &size) != ERROR_SUCCESS)
        return std::string();
    std::string names(value, size);
    std::replace(names.begin(), names.end(), '\0', '\n');
    std::transform(names.begin(), names.end(), names.begin(), [](char c) { return static_cast<char>(toupper(c)); });
    return names;
}

// The bytes of a whole file that a running program may be: opened sharing
// everything, as the system opens a program's image.
std::string ReadRunning(const std::string& path)
{
    std::string bytes;
    const HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return bytes;
    char buffer[65536];
    DWORD read = 0;
    while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0)
        bytes.append(buffer, read);
    CloseHandle(file);
    return bytes;
}

std::string Upper(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](char c) { return static_cast<char>(toupper(c)); });
    return text;
}

class InPlaceUninstallTest : public UnattendedTest {
protected:
    // A quiet installation of the product into m_dest, with its group.
    void Install()
    {
        m_dist.WriteFile("setup.fls", Script(ProductFiles));
        DrivenProcess setup(Setup("/quiet /dir=" + Quoted(m_dest) + " /optional=none /nolaunch"), m_dist.Path());
        ASSERT_TRUE(setup.Started());
        ASSERT_EQ(WatchUntilEnd(setup, 60000).ExitCode, 0u);
    }
    // The uninstaller's command line as the product's registration gives
    // it, with more switches after it.
    std::string Uninstaller(const std::string& more = std::string()) const
    {
        return Quoted(m_dest + "uninst.exe") + " /uninstall=" + Quoted(m_dest + "uninst.fls") + more;
    }
    // Deletes the copies' folders made since before, with what they hold.
    void RemoveNewCopyFolders(const Strings& before) const
    {
        for (const std::string& folder : CopyFolders())
            if (std::find(before.begin(), before.end(), folder) == before.end())
                RemoveTree(folder);
    }
};

// An installation copies the setup program that ran it into the
// destination as uninst.exe, logs it, and names it in the uninstall log as
// one of its files, just before the destination.
TEST_F(InPlaceUninstallTest, AnInstallationLeavesItsUninstallerBesideItsLog)
{
    m_dist.WriteFile("setup.fls", Script(ProductFiles));
    DrivenProcess setup(Setup("/quiet /dir=" + Quoted(m_dest) + " /optional=none /nolaunch /log=" + Quoted(m_log)), m_dist.Path());
    ASSERT_TRUE(setup.Started());
    ASSERT_EQ(WatchUntilEnd(setup, 60000).ExitCode, 0u);
    const std::string program = ReadWhole(m_dist.Path() + "setup.exe");
    ASSERT_FALSE(program.empty());
    EXPECT_TRUE(ReadWhole(m_dest + "uninst.exe") == program) << "the uninstaller is not the setup program";
    EXPECT_EQ(ReadWhole(m_dest + "uninst.fls"),
              Records({"T", "Halvarn 95", "U", "D*.TMP", "F", m_dest + "halvarn95.exe", "F", m_dest + "readme.txt", "F",
                       m_dest + "empty.dat", "F", m_dest + "HALVARN.bat", "F", m_dest + "HALVARN.pif", "G", m_group,
                       "F", m_dest + "HALVARN.pif", "F", m_dest + "uninst.exe", "R", "Halvarn95", "D", m_dest}));
    const Strings lines = LinesOf(ReadWhole(m_log));
    const std::string copied = "File copied: " + m_dest + "uninst.exe (" + std::to_string(program.size()) + " bytes)";
    const auto at = std::find(lines.begin(), lines.end(), copied);
    ASSERT_NE(at, lines.end()) << testing::PrintToString(lines);
    ASSERT_LT(at + 2, lines.end());
    EXPECT_EQ(*(at + 1), std::string("Registered with Windows: HKLM\\") + ProductKey);
    EXPECT_EQ(*(at + 2), "Uninstall log written: " + m_dest + "uninst.fls");
}

// The uninstaller started with the log named, from the Windows folder as
// the system starts it, by a person: the splash, then at once the items of
// that log, with no mode choice and no file dialog, and Back disabled.
// Select All and Uninstall remove the files, the group, the uninstaller and
// the destination; the program that was started ends only then, with the
// copy's code 0, and of the copy in the temporary folder only the
// uninstaller's own file is left, to be deleted at the next restart.
TEST_F(InPlaceUninstallTest, APersonsUninstallerInPlaceRemovesEverythingItselfIncluded)
{
    Install();
    ASSERT_TRUE(FileExists(m_dest + "uninst.exe"));
    const std::string program = ReadWhole(m_dest + "uninst.exe");
    const Strings before = CopyFolders();
    const ScopeExit cleanUp([&] { RemoveNewCopyFolders(before); });

    DrivenProcess first(Uninstaller(), WindowsFolder() + "\\");
    ASSERT_TRUE(first.Started());
    const DWORD copyId = first.WaitForChild();
    ASSERT_NE(copyId, 0u);
    DrivenProcess copy(copyId);
    Strings listed;
    Strings copies;
    bool backEnabled = true;
    bool copyIsProgram = false;
    bool firstWaited = false;
    bool clicked = false;
    bool answered = false;
    const Watched run = WatchUntilEnd(copy, 60000, [&] {
        if (!clicked) {
            HWND form = copy.FindWindowWithin("TForm4", "Select Items to Uninstall", 0);
            if (!form || !copy.WaitForFocusIn(form))
                return;
            listed = ListBoxLines(SetupSession::List(form));
            HWND back = FindChildWindow(form, "<< &Back");
            backEnabled = back == nullptr || IsWindowEnabled(back);
            copies = CopyFolders(first.ProcessId());
            copyIsProgram = copies.size() == 1 && ReadRunning(copies[0] + "setup.exe") == program;
            firstWaited = first.Running();
            ClickButton(form, "Select All");
            ClickButton(form, "Uninstall");
            clicked = true;
        } else if (!answered) {
            if (HWND box = copy.FindWindowWithin("TMessageForm", "Information", 0)) {
                ClickButton(box, "OK");
                answered = true;
            }
        }
    });
    EXPECT_TRUE(clicked);
    EXPECT_TRUE(answered);
    EXPECT_EQ(run.ExitCode, 0u);
    // The message box may come and go between two looks of the watch.
    EXPECT_EQ(run.Visible.count("TForm1"), 1u) << "no splash showed";
    EXPECT_EQ(run.Visible.count("TForm2"), 0u) << "the mode choice showed";
    EXPECT_EQ(run.Visible.count("#32770"), 0u) << "a file dialog showed";
    EXPECT_EQ(listed, (Strings{"File - " + m_dest + "halvarn95.exe", "File - " + m_dest + "readme.txt",
                               "File - " + m_dest + "empty.dat", "File - " + m_dest + "HALVARN.bat",
                               "File - " + m_dest + "HALVARN.pif", "Program Manager Group - " + m_group,
                               "File - " + m_dest + "HALVARN.pif", "File - " + m_dest + "uninst.exe",
                               "Directory - " + m_dest}));
    EXPECT_FALSE(backEnabled);
    EXPECT_TRUE(firstWaited) << "the uninstaller started ended before its copy";
    ASSERT_EQ(copies.size(), 1u);
    // The copy ran from its own folder.
    EXPECT_TRUE(copyIsProgram) << "the copy is not the uninstaller";

    EXPECT_EQ(first.WaitForExit(), 0u);
    EXPECT_FALSE(DirExists(m_dest));
    EXPECT_FALSE(DirExists(m_programs + m_group));
    EXPECT_FALSE(FileExists(copies[0] + "setup.exe"));
    // The uninstaller's own file waits in the copy's folder for the next
    // restart, which deletes both.
    if (DirExists(copies[0])) {
        EXPECT_EQ(FilesIn(copies[0]), (Strings{"uninst.exe"}));
        const std::string pending = PendingAtRestart();
        EXPECT_NE(pending.find(Upper(copies[0] + "uninst.exe")), std::string::npos) << pending;
    }
}

// The same uninstaller quietly, as its registration's QuietUninstallString
// through the command interpreter: it removes everything the log names,
// itself included, and keeps the user's own file byte for byte, with the
// destination; nothing of the installation is left, so the log and the key
// go and it ends with 0. The distribution's setup.exe, which does not lie
// in the log's folder, makes no copy of itself for a removal.
TEST_F(InPlaceUninstallTest, AQuietUninstallerInPlaceKeepsTheUsersFileAndASetupElsewhereMakesNoCopy)
{
    Install();
    const std::string canary = "the user's own notes\r\n\x01\xff";
    WriteWhole(m_dest + "my notes.txt", canary);
    const Strings before = CopyFolders();
    const ScopeExit cleanUp([&] { RemoveNewCopyFolders(before); });
    const std::string quiet = Registration();
    const size_t at = quiet.find("QuietUninstallString=");
    ASSERT_NE(at, std::string::npos) << quiet;
    const std::string command = quiet.substr(at + 21, quiet.find('\n', at) - at - 21);
    EXPECT_EQ(command, Uninstaller(" /quiet"));
    {
        DrivenProcess shell("cmd /c \"" + command + " /log=" + Quoted(m_log) + "\"", WindowsFolder() + "\\");
        ASSERT_TRUE(shell.Started());
        EXPECT_EQ(WatchUntilEnd(shell, 60000).ExitCode, 0u);
    }
    EXPECT_EQ(ReadWhole(m_dest + "my notes.txt"), canary);
    EXPECT_EQ(FilesIn(m_dest), Strings{"my notes.txt"});
    EXPECT_FALSE(DirExists(m_programs + m_group));
    EXPECT_EQ(Registration(), "");
    const Strings lines = LinesOf(ReadWhole(m_log));
    for (const std::string& line :
         {"Removed: File - " + m_dest + "uninst.exe", "Kept: Directory - " + m_dest +
                                                          " (it holds what the installation did not make)",
          std::string("Exit code 0: finished")})
        EXPECT_NE(std::find(lines.begin(), lines.end(), line), lines.end()) << line;
    Strings made;
    for (const std::string& folder : CopyFolders())
        if (std::find(before.begin(), before.end(), folder) == before.end())
            made.push_back(folder);
    ASSERT_EQ(made.size(), 1u);
    EXPECT_FALSE(FileExists(made[0] + "setup.exe"));

    // A second installation, removed by the distribution's own setup.exe.
    DeleteFileA((m_dest + "my notes.txt").c_str());
    Install();
    DrivenProcess setup(Setup("/quiet " + Quoted("/uninstall=" + m_dest + "uninst.fls")), m_dist.Path());
    ASSERT_TRUE(setup.Started());
    const Watched run = WatchUntilEnd(setup, 60000);
    EXPECT_EQ(run.ExitCode, 0u);
    EXPECT_TRUE(run.Visible.empty());
    EXPECT_TRUE(CopyFolders(setup.ProcessId()).empty());
    EXPECT_FALSE(DirExists(m_dest));
    EXPECT_EQ(Registration(), "");
}

// Wine's own list of installed programs, a client that reads the Uninstall
// keys as the Apps list and deployment tools do: it names the product after
// an installation, and its removal starts the person's uninstallation of
// the product's log through the UninstallString, which, driven through its
// forms, removes the files, the group, the uninstaller's copy and the key.
// The list throws its exit codes away: the machine is checked instead.
TEST_F(InPlaceUninstallTest, TheSystemsListOfProgramsNamesTheProductAndItsRemovalTakesEverything)
{
    Install();
    const std::string values = Registration();
    for (const std::string& line :
         Strings{"DisplayName=Halvarn 95", "InstallLocation=" + m_dest, "UninstallString=" + Uninstaller(),
          "QuietUninstallString=" + Uninstaller(" /quiet"), "NoModify=1", "NoRepair=1",
          "DisplayIcon=" + m_dest + "halvarn95.exe"})
        EXPECT_NE(values.find(line + "\n"), std::string::npos) << line << "\nin\n" << values;

    // The list's output, through a pipe.
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE read = nullptr;
    HANDLE write = nullptr;
    ASSERT_TRUE(CreatePipe(&read, &write, &inherit, 0));
    SetHandleInformation(read, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = write;
    startup.hStdError = write;
    PROCESS_INFORMATION list{};
    std::string command = "uninstaller.exe --list";
    ASSERT_TRUE(CreateProcessA(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &list));
    CloseHandle(write);
    std::string listed;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(read, buffer, sizeof buffer, &got, nullptr) && got > 0)
        listed.append(buffer, got);
    CloseHandle(read);
    WaitForSingleObject(list.hProcess, 30000);
    CloseHandle(list.hProcess);
    CloseHandle(list.hThread);
    EXPECT_NE(listed.find("Halvarn95|||Halvarn 95"), std::string::npos) << listed;

    const Strings before = CopyFolders();
    const ScopeExit cleanUp([&] { RemoveNewCopyFolders(before); });
    DrivenProcess remove("uninstaller.exe --remove Halvarn95", WindowsFolder() + "\\");
    ASSERT_TRUE(remove.Started());
    // The uninstallation's windows belong to the uninstaller's copy, whose
    // process the test does not know: they are looked for by class.
    HWND form = FindAnyWindowWithin("TForm4", "Select Items to Uninstall", 60000);
    ASSERT_NE(form, nullptr);
    ClickButton(form, "Select All");
    ClickButton(form, "Uninstall");
    HWND done = FindAnyWindowWithin("TMessageForm", "Information", 60000);
    ASSERT_NE(done, nullptr);
    ClickButton(done, "OK");
    // The removal is over once the uninstaller's first process, which waits
    // for its copy, has ended.
    const DWORD start = GetTickCount();
    while ((DirExists(m_dest) || Registration() != "") && GetTickCount() - start < 30000)
        Sleep(100);
    EXPECT_FALSE(DirExists(m_dest));
    EXPECT_FALSE(DirExists(m_programs + m_group));
    EXPECT_EQ(Registration(), "");
}

// A log named on the command line is read by a person's run only when it
// is the log of an installation: one whose D record names another folder is
// refused with an error, and nothing it names is removed.
TEST_F(InPlaceUninstallTest, APersonsRunRefusesANamedLogThatNamesAnotherFolder)
{
    const std::string elsewhere = m_target.Path() + "elsewhere\\";
    CreateDirectoryA(elsewhere.c_str(), nullptr);
    CreateDirectoryA(m_dest.c_str(), nullptr);
    WriteWhole(m_dest + "keep.txt", "kept");
    WriteWhole(elsewhere + "uninst.fls", Records({"T", "Halvarn 95", "F", m_dest + "keep.txt", "D", m_dest}));
    DrivenProcess setup(Setup(Quoted("/uninstall=" + elsewhere + "uninst.fls") + " /log=" + Quoted(m_log)),
                        m_dist.Path());
    ASSERT_TRUE(setup.Started());
    HWND box = setup.WaitForWindow("TMessageForm", "Error");
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(setup.FindWindowWithin("TForm2", nullptr, 0), nullptr);
    ClickButton(box, "OK");
    EXPECT_EQ(setup.WaitForExit(), 5u);
    const Strings lines = LinesOf(ReadWhole(m_log));
    EXPECT_NE(std::find(lines.begin(), lines.end(),
                        "Refused: " + elsewhere +
                            "uninst.fls is no uninstall log of an installation: no D record in it names the folder "
                            "that holds it. Nothing was removed."),
              lines.end())
        << testing::PrintToString(lines);
    EXPECT_EQ(ReadWhole(m_dest + "keep.txt"), "kept");
}

} // namespace

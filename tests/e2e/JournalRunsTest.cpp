// The real setup.exe meeting journals it did not write, and a killed run
// whose files the user has changed or another program holds: nothing the
// user has is deleted or replaced, what cannot be undone is named and kept
// for a later start, which finishes it.
#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <string>

#include "runtime/FolderIdentity.h"
#include "runtime/Paths.h"
#include "tests/e2e/InstallFixture.h"
#include "tests/e2e/RunWatch.h"
#include "tests/support/ProcessDriver.h"
#include "tests/support/SetupSession.h"
#include "tests/support/TempDir.h"

namespace {

std::string SpecialFolder(int csidl)
{
    char path[MAX_PATH] = {};
    SHGetFolderPathA(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path);
    return path;
}

class JournalRunsTest : public InstallTest {
protected:
    void SetUp() override
    {
        InstallTest::SetUp();
        WriteProduct(m_dist.Path());
    }
    void TearDown() override
    {
        ForgetLeftRun();
        InstallTest::TearDown();
    }

    // Runs setup.exe of the distribution in folder (the test's own when
    // none is given) with the arguments to its end.
    DWORD RunQuietly(const std::string& arguments, std::string folder = std::string()) const
    {
        if (folder.empty())
            folder = m_dist.Path();
        DrivenProcess setup(Quoted(folder + "setup.exe") + " " + arguments, folder);
        EXPECT_TRUE(setup.Started());
        return setup.WaitForExit(60000);
    }

    TempDir m_dist;
};

// A journal planted in the temporary folder, one planted in the journals'
// folder and one named in the registry by someone else: none is carried
// out, quietly or with a person; the thesis in Documents, the Documents
// folder, win.ini and system.ini are as they were.
TEST_F(JournalRunsTest, PlantedJournalsAreNeverCarriedOut)
{
    m_dist.WriteFile("setup.fls", Script({"Dreadme.txt"}));
    const std::string documents = SpecialFolder(CSIDL_PERSONAL);
    ASSERT_FALSE(documents.empty());
    ASSERT_FALSE(ReachedThroughLinks(documents)) << "the bed's Documents must be a real folder: " << documents;
    const std::string thesis = documents + "\\thesis.txt";
    WriteWhole(thesis, "the user's thesis");
    const std::string windows = WindowsFolder();
    const std::string winIni = ReadWhole(windows + "\\win.ini");
    const std::string systemIni = ReadWhole(windows + "\\system.ini");
    char temp[MAX_PATH] = {};
    GetTempPathA(sizeof temp, temp);
    const std::string evil = std::string(temp) + "evil.ini";
    WriteWhole(evil, "[planted]\r\n");
    const std::string journal =
        Records({"T", "Halvarn 95", "M", documents, "C", thesis, "B", windows + "\\win.ini", evil, "C",
                 "C:\\nowhere\\..\\windows\\system.ini"});
    WriteWhole(std::string(temp) + "setuprun.jnl", journal);
    const std::string folder = SpecialFolder(CSIDL_COMMON_APPDATA) + "\\Brisdane95Setup";
    CreateDirectoryA(folder.c_str(), nullptr);
    const std::string planted = folder + "\\run-0BADF00D.jnl";
    WriteWhole(planted, journal);
    const auto unchanged = [&] {
        EXPECT_EQ(ReadWhole(thesis), "the user's thesis");
        EXPECT_EQ(ReadWhole(windows + "\\win.ini"), winIni);
        EXPECT_EQ(ReadWhole(windows + "\\system.ini"), systemIni);
        EXPECT_EQ(ReadWhole(evil), "[planted]\r\n");
    };

    const std::string log = m_target.Path() + "run.log";
    EXPECT_EQ(RunQuietly("/quiet \"/dir=rel\\p\" " + Quoted("/log=" + log)), 5u);
    unchanged();
    EXPECT_EQ(ReadWhole(log).find("undone"), std::string::npos) << ReadWhole(log);

    // Named in the registry as if the setup had written it.
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, "Software\\Brisdane95Setup", 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                              &key, nullptr),
              ERROR_SUCCESS);
    RegSetValueExA(key, "Journal", 0, REG_SZ, reinterpret_cast<const BYTE*>(planted.c_str()),
                   static_cast<DWORD>(planted.size() + 1));
    RegCloseKey(key);
    {
        SetupSession setup(m_dist.Path());
        const HWND warned = setup.Process().WaitForWindow("TMessageForm", "Warning");
        ASSERT_NE(warned, nullptr);
        EXPECT_EQ(setup.Process().FindWindowWithin("TMessageForm", "Confirm", 0), nullptr);
        ClickButton(warned, "OK");
        const HWND choice = setup.Process().WaitForWindow("TForm2");
        ASSERT_NE(choice, nullptr);
        unchanged();
        ClickButton(choice, "Exit");
        setup.Answer("Confirm", "&Yes");
        EXPECT_EQ(setup.Process().WaitForExit(), 2u);
    }
    unchanged();
    EXPECT_TRUE(DirExists(documents));
    EXPECT_EQ(ReadWhole(planted), journal) << "a journal not the setup's is left as it is";
    DeleteFileA(planted.c_str());
    DeleteFileA(thesis.c_str());
    DeleteFileA(evil.c_str());
    DeleteFileA((std::string(temp) + "setuprun.jnl").c_str());
}

// Killed in the middle of the copy; then, as the user might, a file the run
// created is edited, the earlier readme it replaced gets the user's own
// text, and another program holds a created file open. The next start asks,
// keeps the edited files and names them, cannot undo the held file and so
// ends with 3, keeping the journal; once the file is free, the start after
// it finishes the take-back.
TEST_F(JournalRunsTest, AKilledRunsTakeBackKeepsTheUsersChangesAndFinishesLater)
{
    TempDir dist;
    WriteTakeBackDistribution(dist.Path(), 400);
    {
        SetupSession setup(dist.Path());
        ASSERT_NE(StartInstalling(setup), nullptr);
        ASSERT_TRUE(WaitForFiles(150));
        setup.Process().Kill();
    }
    ASSERT_FALSE(LeftRunJournal().empty());
    const std::string edited = m_dest + "f0010.dat";
    const std::string held = m_dest + "f0020.dat";
    ASSERT_TRUE(FileExists(edited));
    ASSERT_TRUE(FileExists(held));
    WriteWhole(edited, "the user's edit");
    WriteWhole(m_dest + "readme.txt", "the user's own readme");
    HANDLE holder = CreateFileA(held.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    const std::string log = m_target.Path() + "take-back.log";
    EXPECT_EQ(RunQuietly("/quiet /uninstall=" + Quoted(m_target.Path() + "none.fls") + " " + Quoted("/log=" + log),
                         dist.Path()),
              3u);
    CloseHandle(holder);
    const std::string text = ReadWhole(log);
    EXPECT_NE(text.find("Kept: " + edited + " (changed since the installation wrote it)"), std::string::npos) << text;
    EXPECT_NE(text.find("Not undone: " + held + " ("), std::string::npos) << text;
    EXPECT_NE(text.find("Undone: Delete " + m_dest + "f0030.dat"), std::string::npos) << text;
    EXPECT_EQ(ReadWhole(edited), "the user's edit");
    EXPECT_EQ(ReadWhole(m_dest + "readme.txt"), "the user's own readme");
    EXPECT_TRUE(FileExists(held));
    EXPECT_FALSE(FileExists(m_dest + "f0030.dat"));
    ASSERT_FALSE(LeftRunJournal().empty()) << "what could not be undone stays in a journal";

    SetupSession setup(dist.Path());
    HWND asked = setup.Process().WaitForWindow("TMessageForm", "Confirm");
    ASSERT_NE(asked, nullptr);
    ClickButton(asked, "&Yes");
    const HWND choice = setup.Process().WaitForWindow("TForm2");
    ASSERT_NE(choice, nullptr);
    EXPECT_FALSE(FileExists(held));
    EXPECT_EQ(ReadWhole(edited), "the user's edit");
    EXPECT_TRUE(LeftRunJournal().empty());
    ClickButton(choice, "Exit");
    setup.Answer("Confirm", "&Yes");
    EXPECT_EQ(setup.Process().WaitForExit(), 2u);
}

// Killed while it asks for a missing file in the middle of a batch, whose
// later files the journal already names; the user then puts files of their
// own at two of those names, one of them empty. The next start deletes what
// the run made and leaves the user's two files byte for byte.
TEST_F(JournalRunsTest, AKilledBatchsLaterNamesTakenByTheUserAreKept)
{
    Strings files;
    for (int i = 0; i < 8; ++i) {
        const std::string name = "b" + std::to_string(i) + ".dat";
        // The fourth is on no medium: the run asks for it.
        if (i != 3)
            m_dist.WriteFile(name, std::string(4096, 'b'));
        files.push_back("D" + name);
    }
    m_dist.WriteFile("setup.fls", Script(files));
    {
        SetupSession setup(m_dist.Path());
        ASSERT_NE(StartInstalling(setup), nullptr);
        ASSERT_NE(setup.Process().WaitForWindow("TMessageForm", "Warning"), nullptr);
        setup.Process().Kill();
    }
    const std::string journal = UpperCaseAscii(ReadWhole(LeftRunJournal()));
    for (int i = 0; i < 8; ++i) {
        const std::string name = m_dest + "b" + std::to_string(i) + ".dat";
        EXPECT_NE(journal.find("\r\nC\r\n" + UpperCaseAscii(name) + "\r\n"), std::string::npos)
            << name << " is named ahead with its batch";
        EXPECT_EQ(FileExists(name), i < 3) << name;
    }
    WriteWhole(m_dest + "b5.dat", "");
    WriteWhole(m_dest + "b6.dat", "the user's own b6");
    const std::string log = m_target.Path() + "take-back.log";
    RunQuietly("/quiet /uninstall=" + Quoted(m_target.Path() + "none.fls") + " " + Quoted("/log=" + log));
    const std::string text = ReadWhole(log);
    for (int i = 0; i < 3; ++i) {
        const std::string name = m_dest + "b" + std::to_string(i) + ".dat";
        EXPECT_NE(text.find("Undone: Delete " + name), std::string::npos) << text;
        EXPECT_FALSE(FileExists(name)) << name;
    }
    ASSERT_TRUE(FileExists(m_dest + "b5.dat"));
    EXPECT_EQ(ReadWhole(m_dest + "b5.dat"), "");
    EXPECT_EQ(ReadWhole(m_dest + "b6.dat"), "the user's own b6");
    EXPECT_TRUE(LeftRunJournal().empty());
}

// A journal that cannot be made (its folder's name is taken by a file)
// refuses the run before anything is made, with 5 and a log line that names
// the journal and why.
TEST_F(JournalRunsTest, AJournalThatCannotBeMadeRefusesTheRun)
{
    m_dist.WriteFile("setup.fls", Script({"Dreadme.txt"}));
    const std::string folder = SpecialFolder(CSIDL_COMMON_APPDATA) + "\\Brisdane95Setup";
    RemoveDirectoryA(folder.c_str());
    ASSERT_FALSE(DirExists(folder));
    WriteWhole(folder, "in the way");
    const std::string log = m_target.Path() + "run.log";
    EXPECT_EQ(RunQuietly("/quiet /nolaunch " + Quoted("/dir=" + m_dest) + " " + Quoted("/log=" + log)), 5u);
    DeleteFileA(folder.c_str());
    EXPECT_NE(ReadWhole(log).find("Refused: The installation's journal " + folder + "\\run-"), std::string::npos)
        << ReadWhole(log);
    EXPECT_FALSE(DirExists(m_dest));
}

} // namespace

namespace {

// A reinstallation over the product while it runs: the running program's
// copy, which cannot be deleted while it runs, is never left unnamed: it is
// deleted, or the system is told to delete it at its next start.
TEST_F(JournalRunsTest, AReinstallationOverTheRunningProductLeavesNoUnnamedCopy)
{
    m_dist.WriteFile("setup.fls", Script({"Dhalvarn95.exe", "Dreadme.txt"}));
    const std::string install = "/quiet /nolaunch /nogroup /optional=none " + Quoted("/dir=" + m_dest);
    ASSERT_EQ(RunQuietly(install), 0u);
    DrivenProcess product(Quoted(m_dest + "halvarn95.exe"), m_dest);
    ASSERT_NE(product.WaitForWindow("#32770", "Halvarn 95"), nullptr);
    ASSERT_EQ(RunQuietly(install), 0u);
    char pending[8192] = {};
    DWORD size = sizeof pending;
    RegGetValueA(HKEY_LOCAL_MACHINE, "System\\CurrentControlSet\\Control\\Session Manager",
                 "PendingFileRenameOperations", RRF_RT_REG_MULTI_SZ, nullptr, pending, &size);
    const std::string scheduled(pending, size);
    for (const std::string& name : FilesIn(m_dest)) {
        if (name.rfind("~SB", 0) == 0)
            EXPECT_NE(scheduled.find(m_dest + name), std::string::npos) << name << " is left and named nowhere";
    }
    EXPECT_TRUE(LeftRunJournal().empty());
}

// /passive cancelled while another program holds a file the run made: the
// take-back names it in the log, keeps it in the journal and ends with 3,
// not with the 2 of a cancel that was undone.
TEST_F(JournalRunsTest, APassiveCancelThatMeetsAHeldFileEndsWith3)
{
    WriteLongDistribution(m_dist.Path(), 2000);
    const std::string log = m_target.Path() + "passive.log";
    DrivenProcess setup(Quoted(m_dist.Path() + "setup.exe") + " /passive /nolaunch " + Quoted("/dir=" + m_dest) +
                            " " + Quoted("/log=" + log),
                        m_dist.Path());
    ASSERT_TRUE(setup.Started());
    ASSERT_TRUE(WaitForFiles(30));
    const std::string held = m_dest + "f0005.dat";
    HANDLE holder = CreateFileA(held.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    HWND progress = setup.WaitForWindow("TForm5", "Installing");
    ASSERT_NE(progress, nullptr);
    ClickButton(progress, "Cancel");
    const DWORD code = setup.WaitForExit(60000);
    CloseHandle(holder);
    EXPECT_EQ(code, 3u);
    const std::string text = ReadWhole(log);
    EXPECT_NE(text.find("Not undone: " + held + " ("), std::string::npos) << text;
    EXPECT_NE(text.find("Exit code 3: "), std::string::npos) << text;
    EXPECT_FALSE(LeftRunJournal().empty());
}

} // namespace

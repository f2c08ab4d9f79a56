// The real setup.exe and the uninstall logs it finds: a folder counts as an
// earlier installation only when it holds this product's whole log naming
// that folder (a cut log, another product's log and an empty file of the
// log's name are only files of an occupied folder, and nothing of them is
// merged); and an unattended removal removes exactly what the log's own
// installation made, from the log's own folder, says when it kept anything,
// and refuses a file that is no uninstall log.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "tests/e2e/InstallFixture.h"
#include "tests/e2e/RunWatch.h"
#include "tests/support/ProcessDriver.h"
#include "tests/support/SetupSession.h"
#include "tests/support/TempDir.h"
#include "tests/support/UiDriver.h"

namespace {

bool Holds(const Strings& lines, const std::string& line)
{
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

class UninstallLogTest : public InstallTest {
protected:
    void SetUp() override
    {
        InstallTest::SetUp();
        WriteProduct(m_dist.Path());
        m_dist.WriteFile("setup.fls", Script(m_files));
        m_runLog = m_target.Path() + "run log.txt";
        // The optional files are staged in \temp, which must be free for the
        // logs to name it.
        RemoveDirectoryA("C:\\temp");
        ASSERT_FALSE(DirExists("C:\\temp")) << "a staging folder with contents is left from before";
    }

    // setup.exe of dist started with these arguments and a fresh run log;
    // its exit code once it has ended (STILL_ACTIVE, a failure, when it does
    // not end in time).
    DWORD Run(const std::string& arguments, const TempDir* dist = nullptr)
    {
        const TempDir& from = dist ? *dist : m_dist;
        DeleteFileA(m_runLog.c_str());
        DrivenProcess setup(Quoted(from.Path() + "setup.exe") + " " + arguments + " /nolaunch /log=" +
                                Quoted(m_runLog),
                            from.Path());
        EXPECT_TRUE(setup.Started());
        return setup.WaitForExit(60000);
    }
    Strings RunLog() const { return LinesOf(ReadWhole(m_runLog)); }

    // Install chosen, and m_dest typed into the settings with Next pressed:
    // the settings form, which stays while a question is asked about the
    // destination (null when it does not come, a failure).
    HWND NextIntoTheDestination(SetupSession& setup) const
    {
        setup.Choose(true);
        HWND settings = setup.Process().WaitForWindow("TForm3", "Installation Settings");
        if (!settings)
            return nullptr;
        SetTextOf(ChildWindowsOfClass(settings, "TEdit").at(0), m_dest);
        ClickButton(settings, "&Next >>");
        return settings;
    }

    // The log that a fresh installation of the script, with the Start Menu
    // and without the optional files, writes into dest.
    // The log of a fresh installation into dest; the optional files are
    // staged (and so logged) only when they were offered, not under
    // /optional=none.
    std::string FreshLog(const std::string& dest, bool optionalOffered = true) const
    {
        Strings records{"T", "Halvarn 95", "U", "D*.TMP", "F", dest + "halvarn95.exe", "F", dest + "readme.txt", "F",
                        dest + "HALVARN.bat", "F", dest + "HALVARN.pif"};
        if (optionalOffered)
            records.insert(records.end(), {"F", "C:\\temp\\Dletters.txt", "F", "C:\\temp\\Dextra.txt"});
        records.insert(records.end(), {"G", m_group, "F", dest + "HALVARN.pif", "F", dest + "uninst.exe", "R", "Halvarn95", "D", dest});
        return Records(records);
    }

    const Strings m_files{"Dhalvarn95.exe", "Dreadme.txt", "DHALVARN.bat", "DHALVARN.pif"};
    TempDir m_dist;
    std::string m_runLog;
};

// An earlier log cut inside its last record, a "G" naming a shared group
// folder with no line end after it: the folder holds no whole log, so an
// unattended reinstallation is refused (5) with nothing changed, and a
// person is asked as for any occupied folder. Yes installs, and the new log
// is a fresh installation's, without the cut record or any other of the
// earlier log; its quiet removal leaves the shared group and the other
// program's link in it.
TEST_F(UninstallLogTest, ACutLogIsNoEarlierInstallationAndItsGroupIsNeverMerged)
{
    const std::string tools = "Tools " + std::to_string(GetCurrentProcessId());
    const std::string shared = m_programs + tools + "\\";
    ASSERT_TRUE(CreateDirectoryA(shared.c_str(), nullptr));
    WriteWhole(shared + "Editor.lnk", "another program's link");
    CreateDirectoryA(m_dest.c_str(), nullptr);
    WriteWhole(m_dest + "readme.txt", "the earlier readme");
    const std::string cut = Records({"T", "Halvarn 95", "F", m_dest + "readme.txt", "D", m_dest}) + "G\r\n" + tools;
    WriteWhole(m_dest + "uninst.fls", cut);
    const std::string before = FolderState(m_dest);

    EXPECT_EQ(Run("/quiet /dir=" + Quoted(m_dest)), 5u);
    EXPECT_EQ(FolderState(m_dest), before);
    EXPECT_EQ(ReadWhole(m_dest + "uninst.fls"), cut);
    {
        SetupSession setup(m_dist.Path());
        ASSERT_NE(NextIntoTheDestination(setup), nullptr);
        setup.Answer("Confirm", "&Yes");      // the folder already holds files
        setup.Answer("Information", "&No");   // the sample letters
        setup.Answer("Information", "&No");   // the extra file
        setup.Answer("Information", "&Yes");  // the Start Menu
        EXPECT_EQ(setup.Process().WaitForExit(), 0u);
    }
    ProductStarts(m_productLog, true);
    EXPECT_EQ(ReadWhole(m_dest + "uninst.fls"), FreshLog(m_dest));

    EXPECT_EQ(Run("/quiet " + Quoted("/uninstall=" + m_dest + "uninst.fls")), 0u);
    EXPECT_TRUE(Holds(RunLog(), "Message: Uninstall is Complete"));
    EXPECT_FALSE(DirExists(m_dest));
    EXPECT_FALSE(DirExists(m_programs + m_group));
    EXPECT_EQ(ReadWhole(shared + "Editor.lnk"), "another program's link");
    RemoveTree(shared);
}

// Product B into the folder of product A, whose log has another title: an
// occupied destination. The unattended run is refused (5), and a person is
// asked, No keeping the settings; A's files and log are as they were.
TEST_F(UninstallLogTest, AnotherProductsFolderIsOccupied)
{
    ASSERT_EQ(Run("/quiet /nogroup /optional=none /dir=" + Quoted(m_dest)), 0u);
    ASSERT_TRUE(FileExists(m_dest + "uninst.fls"));
    const std::string before = FolderState(m_dest);
    TempDir other;
    WriteProduct(other.Path());
    WriteWhole(other.Path() + "readme.txt", "product B's readme");
    std::string script = Script(m_files);
    const std::string titleA = "T\r\nHalvarn 95\r\n";
    ASSERT_EQ(script.substr(0, titleA.size()), titleA);
    other.WriteFile("setup.fls", "T\r\nBrisdane 95\r\n" + script.substr(titleA.size()));

    EXPECT_EQ(Run("/quiet /nogroup /optional=none /dir=" + Quoted(m_dest), &other), 5u);
    const Strings lines = RunLog();
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back(), "Exit code 5: refused before anything was made");
    EXPECT_EQ(FolderState(m_dest), before);
    {
        SetupSession setup(other.Path());
        HWND settings = NextIntoTheDestination(setup);
        ASSERT_NE(settings, nullptr);
        setup.Answer("Confirm", "&No");  // the folder already holds files
        EXPECT_TRUE(IsWindowVisible(settings));
        PostMessageA(settings, WM_CLOSE, 0, 0);
        setup.Answer("Confirm", "&Yes");  // leave the setup
        EXPECT_EQ(setup.Process().WaitForExit(), 2u);
    }
    EXPECT_EQ(FolderState(m_dest), before);
}

// An empty file named like the log among the user's files proves nothing:
// the unattended installation into that folder is refused (5), and the
// user's files are as they were.
TEST_F(UninstallLogTest, AnEmptyLogAmongTheUsersFilesIsRefused)
{
    CreateDirectoryA(m_dest.c_str(), nullptr);
    WriteWhole(m_dest + "readme.txt", "the user's readme");
    WriteWhole(m_dest + "uninst.fls", "");
    const std::string before = FolderState(m_dest);
    EXPECT_EQ(Run("/quiet /nogroup /optional=none /dir=" + Quoted(m_dest)), 5u);
    EXPECT_EQ(FolderState(m_dest), before);
    EXPECT_EQ(ReadWhole(m_dest + "readme.txt"), "the user's readme");
}

// The deployment commands the vendor guide gives: an installation into
// another folder than the script's, then the removal with the log there. The
// log's patterns are the product folder's: a .TMP file of the user's in the
// script's default folder stays, the product folder's own go, and the
// folder, holding only its log at the end, goes with it: 0. Again, with no
// log left: refused (5), and nothing is said about the group.
TEST_F(UninstallLogTest, AnUnattendedRemovalRemovesExactlyTheLogsInstallation)
{
    CreateDirectoryA(m_dest.c_str(), nullptr);
    WriteWhole(m_dest + "mine.TMP", "the user's, in the script's default folder");
    const std::string product = m_target.Path() + "Program Files\\Halvarn\\";
    EXPECT_EQ(Run("/quiet /optional=none " + Quoted("/dir=" + product.substr(0, product.size() - 1))), 0u);
    EXPECT_EQ(ReadWhole(product + "uninst.fls"), FreshLog(product, false));
    WriteWhole(product + "old.TMP", "left by the product");
    ASSERT_TRUE(DirExists(m_programs + m_group));

    EXPECT_EQ(Run("/quiet " + Quoted("/uninstall=" + product + "uninst.fls")), 0u);
    const Strings lines = RunLog();
    EXPECT_TRUE(Holds(lines, "Removed: File - " + product + "old.TMP")) << testing::PrintToString(lines);
    EXPECT_TRUE(Holds(lines, "Message: Uninstall is Complete"));
    EXPECT_EQ(lines.back(), "Exit code 0: finished");
    EXPECT_EQ(ReadWhole(m_dest + "mine.TMP"), "the user's, in the script's default folder");
    EXPECT_FALSE(DirExists(product));
    EXPECT_TRUE(DirExists(m_target.Path() + "Program Files"));
    EXPECT_FALSE(DirExists(m_programs + m_group));

    EXPECT_EQ(Run("/quiet " + Quoted("/uninstall=" + product + "uninst.fls")), 5u);
    for (const std::string& line : RunLog())
        EXPECT_EQ(line.find("Could not find"), std::string::npos) << line;
    EXPECT_EQ(ReadWhole(m_dest + "mine.TMP"), "the user's, in the script's default folder");
}

// A clean quiet installation and its quiet removal leave no folder, and the
// removal ends with 0 and says it is complete.
TEST_F(UninstallLogTest, ACleanQuietInstallationIsRemovedWithItsFolder)
{
    const std::string clean = m_target.Path() + "CLEAN\\";
    EXPECT_EQ(Run("/quiet /optional=none /dir=" + Quoted(clean)), 0u);
    ASSERT_TRUE(FileExists(clean + "uninst.fls"));
    EXPECT_EQ(Run("/quiet " + Quoted("/uninstall=" + clean + "uninst.fls")), 0u);
    const Strings lines = RunLog();
    EXPECT_TRUE(Holds(lines, "Removed: Directory - " + clean)) << testing::PrintToString(lines);
    EXPECT_TRUE(Holds(lines, "Message: Uninstall is Complete"));
    EXPECT_FALSE(DirExists(clean));
    EXPECT_FALSE(DirExists(m_programs + m_group));
}

// Files that are no uninstall log given to /uninstall: a text file, an empty
// file, random bytes and the setup script (whose G record names the group).
// Each is refused (5), and the group, the files and the folder they lie in
// are as they were.
TEST_F(UninstallLogTest, AFileThatIsNoUninstallLogIsRefused)
{
    const std::string group = m_programs + m_group + "\\";
    ASSERT_TRUE(CreateDirectoryA(group.c_str(), nullptr));
    WriteWhole(group + "Halvarn 95.lnk", "the group's link");
    const std::string folder = m_target.Path() + "papers\\";
    CreateDirectoryA(folder.c_str(), nullptr);
    std::string random;
    for (int i = 0; i < 4096; ++i)
        random += static_cast<char>((i * 7919 + 13) % 251);
    WriteWhole(folder + "letter.txt", "Dear reader,\r\nthis is a letter.\r\n");
    WriteWhole(folder + "empty.fls", "");
    WriteWhole(folder + "random.bin", random);
    const std::string papers = FolderState(folder);
    const std::string distribution = FolderState(m_dist.Path());
    for (const std::string& file :
         {folder + "letter.txt", folder + "empty.fls", folder + "random.bin", m_dist.Path() + "setup.fls"}) {
        SCOPED_TRACE(file);
        EXPECT_EQ(Run("/quiet " + Quoted("/uninstall=" + file)), 5u);
        const Strings lines = RunLog();
        ASSERT_FALSE(lines.empty());
        EXPECT_EQ(lines.back(), "Exit code 5: refused before anything was made");
        EXPECT_EQ(ReadWhole(group + "Halvarn 95.lnk"), "the group's link");
        EXPECT_EQ(FolderState(folder), papers);
        EXPECT_EQ(FolderState(m_dist.Path()), distribution);
    }
}

// A log with a second D record naming a folder that is not empty: that
// folder stays with what it holds, is logged as kept and named in the
// warning, and the removal ends with 3; the log stays for a later one. A
// person's uninstallation of the same log names it too, and ends with 3.
TEST_F(UninstallLogTest, ASecondDirectoryThatStaysIsKeptWarnedAndEndsWith3)
{
    const std::string canary = m_target.Path() + "canary4\\";
    CreateDirectoryA(canary.c_str(), nullptr);
    WriteWhole(canary + "keep.txt", "the user's");
    const std::string log = m_dest + "uninst.fls";
    for (const bool person : {false, true}) {
        SCOPED_TRACE(person ? "a person" : "unattended");
        CreateDirectoryA(m_dest.c_str(), nullptr);
        WriteWhole(m_dest + "a.dat", "the installation's");
        WriteWhole(log, Records({"T", "Halvarn 95", "F", m_dest + "a.dat", "D", canary, "D", m_dest}));
        if (person) {
            SetupSession setup(m_dist.Path());
            HWND form = setup.UninstallWithLog(log);
            ASSERT_NE(form, nullptr);
            EXPECT_EQ(setup.UninstallAll(false),
                      (Strings{"File - " + m_dest + "a.dat", "Directory - " + canary, "Directory - " + m_dest}));
        } else {
            EXPECT_EQ(Run("/quiet " + Quoted("/uninstall=" + log)), 3u);
            const Strings lines = RunLog();
            EXPECT_TRUE(Holds(lines, "Kept: Directory - " + canary + " (it holds what the installation did not make)"))
                << testing::PrintToString(lines);
            EXPECT_FALSE(Holds(lines, "Removed: Directory - " + canary));
            EXPECT_TRUE(Holds(lines, "Message: These items could not be removed: Directory - " + canary +
                                         " Directory - " + m_dest +
                                         " The uninstall log is kept: close any program that uses them, and "
                                         "Uninstall again."))
                << testing::PrintToString(lines);
            EXPECT_EQ(lines.back(), "Exit code 3: failed during the run");
        }
        EXPECT_EQ(ReadWhole(canary + "keep.txt"), "the user's");
        EXPECT_FALSE(FileExists(m_dest + "a.dat"));
        EXPECT_TRUE(FileExists(log));
    }
    RemoveTree(m_dest);
    RemoveTree(canary);
}

} // namespace

// The real setup.exe, unattended, reports as made only what it made, and
// installs nothing where the uninstaller could not take it back: a Start Menu
// group too long for the system or kept by the uninstaller (the StartUp
// folder) is a wrong command line, such a destination is refused, a script
// with nothing to install is refused, and optional files that the command
// line declines need no source.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "runtime/ScopeGuard.h"
#include "tests/e2e/UnattendedFixture.h"
#include "tests/support/ProcessDriver.h"
#include "tests/support/SetupSession.h"
#include "tests/support/TempDir.h"

namespace {

bool HasLine(const Strings& lines, const std::string& line)
{
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

bool HasLineStarting(const Strings& lines, const std::string& start)
{
    return std::any_of(lines.begin(), lines.end(),
                       [&](const std::string& line) { return line.compare(0, start.size(), start) == 0; });
}

class ReportedRuns : public UnattendedTest {
protected:
    void SetUp() override
    {
        UnattendedTest::SetUp();
        // Beside the distribution, so that the places a run may write hold
        // only what the run made.
        m_log = m_dist.Path() + "run log.txt";
    }

    // Runs setup.exe quietly with the arguments and its log; the exit code,
    // after checking that no window showed. The log's lines are in m_lines.
    DWORD RunQuietly(const std::string& arguments)
    {
        DeleteFileA(m_log.c_str());
        DrivenProcess setup(Setup("/quiet " + arguments + " /log=" + Quoted(m_log)), m_dist.Path());
        EXPECT_TRUE(setup.Started());
        const Watched run = WatchUntilEnd(setup, 60000);
        EXPECT_TRUE(run.Visible.empty()) << "visible: " << testing::PrintToString(run.Visible);
        m_lines = LinesOf(ReadWhole(m_log));
        EXPECT_FALSE(m_lines.empty());
        if (!m_lines.empty()) {
            EXPECT_EQ(m_lines.back().substr(0, 12), "Exit code " + std::to_string(run.ExitCode) + ":");
        }
        return run.ExitCode;
    }

    // The Programs folder, with the StartUp folder in it, and the folder
    // that holds the destination.
    std::string Places() const { return FolderState(m_programs) + "\n" + FolderState(m_target.Path()); }

    Strings m_lines;
};

// A /group that the system cannot make (a name of 200 or 300 characters,
// four levels of 60) or that the uninstaller keeps (the StartUp folder, in
// any case) ends the run with 1 and the reason, before anything is made: no
// destination, no folder below the Programs folder, and the StartUp folder
// as it was.
TEST_F(ReportedRuns, AGroupThatCannotBeMadeOrIsKeptByTheUninstallerIsAWrongCommandLine)
{
    m_dist.WriteFile("setup.fls", Script({"Dhalvarn95.exe", "Dreadme.txt"}));
    // Every long name below is longer than the system makes in this
    // Programs folder.
    ASSERT_GT(m_programs.size() + 200, 247u);
    const std::string level(60, 'L');
    const Strings startUpLinks{m_programs + "StartUp\\Halvarn 95.lnk", m_programs + "StartUp\\Read Me.lnk"};
    for (const std::string& link : startUpLinks)
        ASSERT_FALSE(FileExists(link)) << "left from before: " << link;
    // A build that makes what it should refuse leaves nothing in the bed
    // for the tests after it.
    const ScopeExit removeWhatWasMade([&] {
        RemoveTree(m_programs + level);
        for (const std::string& link : startUpLinks)
            DeleteFileA(link.c_str());
    });
    const std::string before = Places();
    for (const std::string& group : {std::string(200, 'g'), std::string(300, 'x'),
                                     level + "\\" + level + "\\" + level + "\\" + level}) {
        SCOPED_TRACE(group.size());
        EXPECT_EQ(RunQuietly("/nolaunch /dir=" + Quoted(m_dest) + " " + Quoted("/group=" + group)), 1u);
        EXPECT_TRUE(HasLineStarting(m_lines, "Wrong command line: The Start Menu group " + group + " is too long: " +
                                                 m_programs))
            << testing::PrintToString(m_lines);
        EXPECT_FALSE(HasLineStarting(m_lines, "Start Menu group made"));
        EXPECT_FALSE(HasLineStarting(m_lines, "Link made"));
        EXPECT_EQ(Places(), before);
    }
    ASSERT_TRUE(DirExists(m_programs + "StartUp"));
    for (const char* group : {"StartUp", "STARTUP"}) {
        SCOPED_TRACE(group);
        EXPECT_EQ(RunQuietly("/nolaunch /dir=" + Quoted(m_dest) + " /group=" + group), 1u);
        EXPECT_TRUE(HasLine(m_lines, "Wrong command line: The Start Menu group " + std::string(group) +
                                         " is a folder that the uninstaller never removes (such as the StartUp "
                                         "folder): its links would stay for good"))
            << testing::PrintToString(m_lines);
        EXPECT_EQ(Places(), before);
    }
}

// A destination that the uninstaller keeps is refused (5), as a person's
// settings refuse it: the StartUp folder, the Programs folder, the Windows
// folder. Nothing is written into any of them.
TEST_F(ReportedRuns, ADestinationTheUninstallerKeepsIsRefused)
{
    m_dist.WriteFile("setup.fls", Script({"Dhalvarn95.exe", "Dreadme.txt"}));
    const std::string windows = WindowsFolder();
    const Strings dirs{m_programs + "StartUp", m_programs.substr(0, m_programs.size() - 1), windows};
    // A build that installs where it should refuse leaves nothing in the
    // bed for the tests after it: the files it added go again.
    std::vector<Strings> filesBefore;
    for (const std::string& dir : dirs)
        filesBefore.push_back(FilesIn(dir + "\\"));
    const ScopeExit removeWhatWasMade([&] {
        for (size_t index = 0; index < dirs.size(); ++index) {
            for (const std::string& name : FilesIn(dirs[index] + "\\")) {
                const Strings& earlier = filesBefore[index];
                if (std::find(earlier.begin(), earlier.end(), name) == earlier.end())
                    DeleteFileA((dirs[index] + "\\" + name).c_str());
            }
        }
    });
    const std::string before = Places() + FolderState(windows + "\\", false);
    for (const std::string& dir : dirs) {
        SCOPED_TRACE(dir);
        EXPECT_EQ(RunQuietly("/nogroup /nolaunch /dir=" + Quoted(dir)), 5u);
        EXPECT_TRUE(HasLine(m_lines, "Refused: " + dir +
                                         " is a folder that the uninstaller never removes: one of the system's, the "
                                         "user's or the Start Menu's own, or one reached through a link. What is "
                                         "installed there would stay for good. Please choose another Destination "
                                         "Directory."))
            << testing::PrintToString(m_lines);
        EXPECT_EQ(Places() + FolderState(windows + "\\", false), before);
    }
}

// The script's own group in the StartUp folder makes no group, and the log
// says why; the rest installs, and the log names no group.
TEST_F(ReportedRuns, AScriptGroupTheUninstallerKeepsMakesNoGroupAndTheLogSaysWhy)
{
    std::string script = Script({"Dhalvarn95.exe", "Dreadme.txt"});
    const std::string group = "G\r\n" + m_group + "\r\n";
    ASSERT_NE(script.find(group), std::string::npos);
    script.replace(script.find(group), group.size(), "G\r\nStartUp\r\n");
    m_dist.WriteFile("setup.fls", script);
    const Strings startUpLinks{m_programs + "StartUp\\Halvarn 95.lnk", m_programs + "StartUp\\Read Me.lnk"};
    for (const std::string& link : startUpLinks)
        ASSERT_FALSE(FileExists(link)) << "left from before: " << link;
    const ScopeExit removeWhatWasMade([&] {
        for (const std::string& link : startUpLinks)
            DeleteFileA(link.c_str());
    });
    const std::string startUp = FolderState(m_programs + "StartUp\\");
    EXPECT_EQ(RunQuietly("/optional=none /nolaunch"), 0u);
    EXPECT_TRUE(HasLine(m_lines, "Message: No Start Menu group is made. The Start Menu group StartUp is a folder "
                                 "that the uninstaller never removes (such as the StartUp folder): its links would "
                                 "stay for good."))
        << testing::PrintToString(m_lines);
    EXPECT_FALSE(HasLineStarting(m_lines, "Link made"));
    EXPECT_EQ(FolderState(m_programs + "StartUp\\"), startUp);
    EXPECT_EQ(ReadWhole(m_dest + "readme.txt"), ReadWhole(m_dist.Path() + "readme.txt"));
    EXPECT_EQ(ReadWhole(m_dest + "uninst.fls").find("G\r\n"), std::string::npos);
}

// A script with no F and no T record installs nothing: an unattended run
// refuses it (5) and says why, and makes nothing.
TEST_F(ReportedRuns, AScriptThatNamesNothingToInstallIsRefused)
{
    for (const std::string& script : {std::string(), Records({"G", m_group, "M", "Welcome."})}) {
        SCOPED_TRACE(script);
        m_dist.WriteFile("setup.fls", script);
        EXPECT_EQ(RunQuietly("/dir=" + Quoted(m_dest)), 5u);
        const std::string reason = "setup.fls names no file to install and no product (it has no F and no T record)";
        EXPECT_TRUE(std::any_of(m_lines.begin(), m_lines.end(), [&](const std::string& line) {
            return line.compare(0, 26, "Refused: The setup script ") == 0 && line.size() > reason.size() &&
                   line.compare(line.size() - reason.size(), reason.size(), reason) == 0;
        })) << testing::PrintToString(m_lines);
        EXPECT_FALSE(DirExists(m_dest));
        EXPECT_FALSE(DirExists(m_programs + m_group));
    }
}

// /optional=none reads no optional file: a distribution without them
// installs (0), with nothing staged. Taken with /optional=all, the missing
// source fails the run (3), which is taken back.
TEST_F(ReportedRuns, OptionalFilesDeclinedOnTheCommandLineNeedNoSource)
{
    m_dist.WriteFile("setup.fls", Script({"Dhalvarn95.exe", "Dreadme.txt"}));
    ASSERT_TRUE(DeleteFileA((m_dist.Path() + "Dletters.txt").c_str()));
    ASSERT_TRUE(DeleteFileA((m_dist.Path() + "Dextra.txt").c_str()));
    const std::string temp = FolderState("C:\\temp\\");
    EXPECT_EQ(RunQuietly("/optional=none /nogroup /nolaunch"), 0u);
    EXPECT_EQ(ReadWhole(m_dest + "readme.txt"), ReadWhole(m_dist.Path() + "readme.txt"));
    EXPECT_FALSE(FileExists(m_dest + "letters.txt"));
    EXPECT_TRUE(HasLine(m_lines, "Optional file declined: Would you like the sample letters?"));
    EXPECT_TRUE(HasLine(m_lines, "Optional file declined: Would you like the extra file?"));
    EXPECT_EQ(FolderState("C:\\temp\\"), temp);

    RemoveTree(m_dest);
    EXPECT_EQ(RunQuietly("/optional=all /nogroup /nolaunch"), 3u);
    EXPECT_FALSE(DirExists(m_dest));
    EXPECT_EQ(FolderState("C:\\temp\\"), temp);
}

} // namespace

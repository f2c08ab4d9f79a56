// The real setup.exe started with switches, as a deployment tool starts it:
// a quiet installation that makes what a person's run with the same answers
// makes and shows no window, its quiet removal, the exit codes of a wrong
// command line, of another setup running and of a refused run, and the
// passive run's progress form with its Cancel.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <set>
#include <string>

#include "framework/Application.h"
#include "runtime/ScopeGuard.h"
#include "tests/e2e/UnattendedFixture.h"
#include "tests/support/DialogPictures.h"
#include "tests/support/ProcessDriver.h"
#include "tests/support/SetupSession.h"
#include "tests/support/ShellLinkFiles.h"
#include "tests/support/TempDir.h"

namespace {

// /quiet with every answer on the command line: the files, the links and the
// uninstall log a person's run with the same answers makes (as the run from
// a folder shows them), every step in the log, and not one window. Then the
// quiet removal from that log, which leaves the user's own file and so the
// folder too, and removes everything the installation made, its log and its
// registration: the removal is complete, and ends with 0.
TEST_F(UnattendedTest, AQuietInstallationMakesWhatAPersonsRunMakesAndItsQuietRemovalKeepsTheUsersFiles)
{
    const Strings files{"Dhalvarn95.exe", "Dreadme.txt", "Dempty.dat", "DHALVARN.bat", "DHALVARN.pif"};
    m_dist.WriteFile("setup.fls", Script(files) + Records({"M", "Welcome to Halvarn 95."}));
    const std::string temp = "C:\\temp";
    RemoveDirectoryA(temp.c_str());
    ASSERT_FALSE(DirExists(temp)) << "a staging folder with contents is left from before";
    // The destination has a blank, and the switches come in every spelling.
    const std::string dest = m_target.Path() + "Program Files\\Halvarn\\";
    const std::string group = m_group + "\\Deployed";
    {
        DrivenProcess setup(Setup("/QUIET -dir=" + Quoted(dest.substr(0, dest.size() - 1)) + " " +
                                  Quoted("/group=" + group) + " /optional=none /NoLaunch " +
                                  Quoted("/log=" + m_log)),
                            m_dist.Path());
        ASSERT_TRUE(setup.Started());
        const Watched run = WatchUntilEnd(setup, 60000);
        EXPECT_EQ(run.ExitCode, 0u);
        EXPECT_TRUE(run.Visible.empty()) << "visible: " << testing::PrintToString(run.Visible);
    }
    EXPECT_TRUE(ProductStarts(m_productLog, false).empty());
    for (const char* name : {"halvarn95.exe", "readme.txt", "empty.dat", "HALVARN.bat"}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(ReadWhole(dest + name), ReadWhole(m_dist.Path() + name));
    }
    EXPECT_FALSE(FileExists(dest + "letters.txt"));
    EXPECT_FALSE(FileExists(dest + "extra.txt"));
    EXPECT_FALSE(DirExists(temp));
    const std::string groupFolder = m_programs + group + "\\";
    Strings links = FilesIn(groupFolder);
    std::sort(links.begin(), links.end());
    EXPECT_EQ(links, (Strings{"Halvarn 95.lnk", "Read Me.lnk"}));
    EXPECT_EQ(ReadLink(groupFolder + "Halvarn 95.lnk").Path, dest + "halvarn95.exe");
    EXPECT_EQ(ReadLink(dest + "HALVARN.pif").Path, dest + "HALVARN.bat");
    // The optional files that /optional=none declines are not even read.
    EXPECT_EQ(ReadWhole(dest + "uninst.fls"),
              Records({"T", "Halvarn 95", "U", "D*.TMP", "F", dest + "halvarn95.exe", "F", dest + "readme.txt", "F", dest + "empty.dat",
                       "F", dest + "HALVARN.bat", "F", dest + "HALVARN.pif", "G", group, "F", dest + "HALVARN.pif",
                       "F", dest + "uninst.exe", "R", "Halvarn95", "D", dest}));
    const std::string programFolder = m_target.Path() + "Program Files";
    EXPECT_EQ(LinesOf(ReadWhole(m_log)),
              (Strings{"Brisdane 95 Setup run log", "Message: Welcome to Halvarn 95.",
                       "Folder made: " + programFolder,
                       "Folder made: " + programFolder + "\\Halvarn",
                       "File copied: " + dest + "halvarn95.exe (" + Size("halvarn95.exe") + " bytes)",
                       "File copied: " + dest + "readme.txt (" + Size("readme.txt") + " bytes)",
                       "File copied: " + dest + "empty.dat (0 bytes)",
                       "File copied: " + dest + "HALVARN.bat (" + Size("HALVARN.bat") + " bytes)",
                       "File copied: " + dest + "HALVARN.pif (" + Size("HALVARN.pif") + " bytes)",
                       "Optional file declined: Would you like the sample letters?",
                       "Optional file declined: Would you like the extra file?",
                       "Question: Would you like to put a Halvarn 95 item on the Start Menu? Answer: Yes",
                       "Folder made: " + m_programs + m_group,
                       "Folder made: " + m_programs + group,
                       "Link made: " + groupFolder + "Halvarn 95.lnk",
                       "Link made: " + groupFolder + "Read Me.lnk",
                       "Start Menu group made: " + group,
                       "Program information link made: " + dest + "HALVARN.pif",
                       "File copied: " + dest + "uninst.exe (" + Size("setup.exe") + " bytes)",
                       std::string("Registered with Windows: HKLM\\") + ProductKey,
                       "Uninstall log written: " + dest + "uninst.fls",
                       "Product not started (/nolaunch)",
                       "Exit code 0: finished"}));

    // The removal: the user's file is nothing the installation made. It
    // stays, with its folder; nothing of the installation is left, so the
    // log and the registration go and the removal is complete.
    WriteWhole(dest + "my notes.txt", "the user's");
    {
        DrivenProcess setup(Setup("/quiet " + Quoted("/uninstall=" + dest + "uninst.fls") + " /log=" + Quoted(m_log)),
                            m_dist.Path());
        ASSERT_TRUE(setup.Started());
        const Watched run = WatchUntilEnd(setup, 60000);
        EXPECT_EQ(run.ExitCode, 0u);
        EXPECT_TRUE(run.Visible.empty()) << "visible: " << testing::PrintToString(run.Visible);
    }
    EXPECT_EQ(ReadWhole(dest + "my notes.txt"), "the user's");
    EXPECT_EQ(FilesIn(dest), Strings{"my notes.txt"});
    EXPECT_EQ(Registration(), "");
    EXPECT_FALSE(DirExists(m_programs + group));
    const Strings removal = LinesOf(ReadWhole(m_log));
    for (const std::string& line :
         {"Removed: File - " + dest + "halvarn95.exe", "Removed: Program Manager Group - " + group,
          "Question: " + dest + " still has files or folders in it. Would you like to Delete it and its contents, "
                                "anyway? Answer: No",
          "Kept: Directory - " + dest + " (it holds what the installation did not make)",
          std::string("Registration removed: HKLM\\") + ProductKey, std::string("Message: Uninstall is Complete")}) {
        EXPECT_NE(std::find(removal.begin(), removal.end(), line), removal.end()) << line;
    }
    EXPECT_EQ(removal.back(), "Exit code 0: finished");
    // The removal's part follows the installation's in the same log.
    EXPECT_EQ(std::count(removal.begin(), removal.end(), "Brisdane 95 Setup run log"), 2);
    EXPECT_EQ(removal.at(1), "Message: Welcome to Halvarn 95.");
}

// The runs that end before anything is made, each with its code and its
// reason in the log: a wrong command line (1; a dialog says why only when
// no /quiet or /passive asks for no window), a refused destination and a missing uninstall log (5), and
// another setup already running (4: an unattended run does not hand over).
// The running one, a person's, then ends with Exit: code 2.
TEST_F(UnattendedTest, RunsThatEndBeforeAnythingIsMadeSayWhyWithTheirExitCodes)
{
    m_dist.WriteFile("setup.fls", Script({"Dreadme.txt"}));
    const auto expectEnd = [&](const std::string& arguments, DWORD code, const std::string& reason) {
        SCOPED_TRACE(arguments);
        DeleteFileA(m_log.c_str());
        DrivenProcess setup(Setup(arguments + " /log=" + Quoted(m_log)), m_dist.Path());
        ASSERT_TRUE(setup.Started());
        const Watched run = WatchUntilEnd(setup, 15000);
        EXPECT_EQ(run.ExitCode, code);
        EXPECT_TRUE(run.Visible.empty()) << "visible: " << testing::PrintToString(run.Visible);
        const Strings lines = LinesOf(ReadWhole(m_log));
        ASSERT_FALSE(lines.empty());
        EXPECT_NE(std::find(lines.begin(), lines.end(), reason), lines.end()) << testing::PrintToString(lines);
        EXPECT_EQ(lines.back().substr(0, 12), "Exit code " + std::to_string(code) + ":");
        EXPECT_FALSE(DirExists(m_dest));
        EXPECT_FALSE(DirExists(m_programs + m_group));
    };
    expectEnd("/quiet /frobnicate /dir=" + Quoted(m_dest), 1, "Wrong command line: Unknown switch: /frobnicate");
    expectEnd("/passive /quiet", 1, "Wrong command line: The switches /quiet and /passive cannot be used together");
    expectEnd("/quiet /dir=HALVARN", 5,
              "Refused: Please enter the full path of the Destination Directory: a drive letter and colon, or a "
              "network share, and then the directory's name.");
    expectEnd("/quiet /uninstall=" + Quoted(m_target.Path() + "uninst.fls"), 5,
              "Refused: " + m_target.Path() + "uninst.fls: File not found");
    {
        SCOPED_TRACE("a dialog says why, when a person runs the setup");
        // The dialog is compared with one the framework draws here.
        InitializeFramework();
        const ScopeExit endFramework([] { FinalizeFramework(); });
        DrivenProcess setup(Setup("/optional=some"), m_dist.Path());
        HWND box = setup.WaitForWindow("TMessageForm", "Error");
        ASSERT_NE(box, nullptr);
        EXPECT_TRUE(MessageDialogShows(box, "The switch /optional takes all or none, not some", MessageKind::Error,
                                       {mbOK}));
        ClickButton(box, "OK");
        EXPECT_EQ(setup.WaitForExit(), 1u);
    }
    {
        SetupSession person(m_dist.Path());
        HWND modeChoice = person.Process().WaitForWindow("TForm2");
        ASSERT_NE(modeChoice, nullptr);
        expectEnd("/passive /dir=" + Quoted(m_dest), 4, "Exit code 4: another setup is already running");
        ClickButton(modeChoice, "Exit");
        person.Answer("Confirm", "&Yes");
        EXPECT_EQ(person.Process().WaitForExit(), 2u);
    }
}

// /passive shows the progress form and nothing else, however long the run;
// its Cancel asks nothing and ends the run with code 2, before the log or the
// product's start.
TEST_F(UnattendedTest, APassiveRunShowsOnlyItsProgressAndCancelEndsItWithCode2)
{
    WriteLongDistribution(m_dist.Path(), 2000);
    DrivenProcess setup(Setup("/passive /dir=" + Quoted(m_dest) + " /log=" + Quoted(m_log)), m_dist.Path());
    ASSERT_TRUE(setup.Started());
    bool cancelled = false;
    const Watched run = WatchUntilEnd(setup, 60000, [&] {
        if (cancelled || FileCount(m_dest) < 20)
            return;
        HWND progress = setup.FindWindowWithin("TForm5", "Installing", 0);
        ASSERT_NE(progress, nullptr);
        ClickButton(progress, "Cancel");
        cancelled = true;
    });
    EXPECT_TRUE(cancelled);
    EXPECT_EQ(run.ExitCode, 2u);
    // The application's own window, which carries the task-bar button of
    // every run with a form, is the only other one.
    EXPECT_EQ(run.Visible, (std::set<std::string>{"TApplication", "TForm5"}))
        << "a message dialog, the splash or another form showed";
    EXPECT_FALSE(FileExists(m_dest + "uninst.fls"));
    EXPECT_TRUE(ProductStarts(m_productLog, false).empty());
    const Strings lines = LinesOf(ReadWhole(m_log));
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back(), "Exit code 2: ended by the user");
}

} // namespace

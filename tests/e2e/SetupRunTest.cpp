// The real setup.exe, started beside a setup script in a folder of its own
// and driven from outside as its user would: the splash with the start-up
// messages, the mode choice, the installation settings, Exit; the close box
// of each dialog; destinations that Next refuses; a second copy started
// while one runs; and the way out after a start that failed.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "framework/MessageDialogs.h"
#include "tests/support/DialogPictures.h"
#include "tests/support/FrameworkTest.h"
#include "tests/support/ProcessDriver.h"
#include "tests/support/ProgramPaths.h"
#include "tests/support/SetupSession.h"
#include "tests/support/TempDir.h"

namespace {

// A distribution folder: setup.exe and whatever the test writes beside it.
class Distribution {
public:
    Distribution()
    {
        EXPECT_TRUE(CopyFileA((BuildFolder() + "setup.exe").c_str(), (m_dir / "setup.exe").c_str(), FALSE));
    }
    const TempDir& Dir() const { return m_dir; }
    std::string Program() const { return "\"" + m_dir.Path() + "setup.exe\""; }

private:
    TempDir m_dir;
};

TEST(SetupRun, MessagesModeChoiceSettingsAndExit)
{
    Distribution dist;
    dist.Dir().WriteFile("product.exe", std::string(3000, 'x'));
    dist.Dir().WriteFile("setup.fls", "T\r\nTest Product\r\n"
                                      "D\r\nC:\\TESTPROD\r\n"
                                      "G\r\nTest Group\r\n"
                                      "F\r\nDproduct.exe{3000\r\n"
                                      "M\r\nWelcome.\r\n"
                                      "M\r\nSecond message.\r\n");
    DrivenProcess setup(dist.Program(), dist.Dir().Path());
    ASSERT_TRUE(setup.Started());

    // The splash slides in, then each start-up message comes on its own.
    for (int i = 0; i < 2; ++i) {
        SCOPED_TRACE("start-up message " + std::to_string(i + 1));
        HWND message = setup.WaitForWindow("TMessageForm", "Information");
        ASSERT_NE(message, nullptr);
        EXPECT_EQ(setup.FindWindowWithin("TForm2", nullptr, 0), nullptr) << "the mode choice came too early";
        ASSERT_TRUE(setup.WaitForFocusIn(message));
        setup.PressKey(VK_RETURN);
        setup.WaitUntilGone(message);
    }
    HWND splash = setup.WaitForWindow("TForm1");
    ASSERT_NE(splash, nullptr);
    RECT area{};
    GetWindowRect(splash, &area);
    EXPECT_EQ(area.right - area.left, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(area.bottom - area.top, GetSystemMetrics(SM_CYSCREEN));

    HWND modeChoice = setup.WaitForWindow("TForm2", "Install or Uninstall Test Product");
    ASSERT_NE(modeChoice, nullptr);
    EXPECT_NE(FindChildWindow(modeChoice, "Install Test Product"), nullptr);
    EXPECT_NE(FindChildWindow(modeChoice, "Uninstall Test Product"), nullptr);

    // Esc asks whether to leave; No keeps the dialog.
    ASSERT_TRUE(setup.WaitForFocusIn(modeChoice));
    setup.PressKey(VK_ESCAPE);
    HWND question = setup.WaitForWindow("TMessageForm", "Confirm");
    ASSERT_NE(question, nullptr);
    ClickButton(question, "&No");
    setup.WaitUntilGone(question);
    EXPECT_TRUE(IsWindowVisible(modeChoice));

    // Enter is O K: on to the settings with the script's destination.
    ASSERT_TRUE(setup.WaitForFocusIn(modeChoice));
    setup.PressKey(VK_RETURN);
    HWND settings = setup.WaitForWindow("TForm3", "Installation Settings");
    ASSERT_NE(settings, nullptr);
    EXPECT_FALSE(IsWindowVisible(modeChoice));
    const std::vector<HWND> edits = ChildWindowsOfClass(settings, "TEdit");
    ASSERT_EQ(edits.size(), 1u);
    EXPECT_EQ(TextOf(edits[0]), "C:\\TESTPROD\\");
    EXPECT_EQ(TextOf(splash), "Test Product Setup");

    // Back and O K again, then Exit with Yes ends the program with code 2, the user's end.
    ClickButton(settings, "<< &Back");
    setup.WaitUntilGone(settings);
    ASSERT_NE(setup.WaitForWindow("TForm2"), nullptr);
    ClickButton(modeChoice, "O K");
    ASSERT_NE(setup.WaitForWindow("TForm3"), nullptr);
    ClickButton(settings, "Exit");
    question = setup.WaitForWindow("TMessageForm", "Confirm");
    ASSERT_NE(question, nullptr);
    ClickButton(question, "&Yes");
    EXPECT_EQ(setup.WaitForExit(), 2u);
}

// A script whose file size is not a number fails the space check behind
// Next. Clicked from the keyboard (Tab to Next, then Enter), the failure is
// reported in the application's error box, as a mouse click's is, and the
// settings stay usable: the program does not end.
TEST(SetupRun, AKeyboardClickThatFailsIsReportedAndTheSettingsStay)
{
    Distribution dist;
    dist.Dir().WriteFile("setup.fls", "T\r\nTest Product\r\n"
                                      "D\r\nC:\\TESTPROD\r\n"
                                      "F\r\nDreadme.txt{12x\r\n");
    DrivenProcess setup(dist.Program(), dist.Dir().Path());
    ASSERT_TRUE(setup.Started());
    HWND modeChoice = setup.WaitForWindow("TForm2");
    ASSERT_NE(modeChoice, nullptr);
    ASSERT_TRUE(setup.WaitForFocusIn(modeChoice));
    setup.PressKey(VK_RETURN);
    HWND settings = setup.WaitForWindow("TForm3", "Installation Settings");
    ASSERT_NE(settings, nullptr);
    // The error box with the size's conversion error, closed with OK.
    auto expectReport = [&] {
        HWND box = setup.WaitForWindow("#32770", "Brisdane 95 Setup");
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(MessageBoxText(box), "'12x' is not a valid integer value.");
        ClickButton(box, "OK");
        setup.WaitUntilGone(box);
    };
    {
        SCOPED_TRACE("the settings count the space as they come up");
        expectReport();
    }
    ASSERT_TRUE(setup.WaitForFocusIn(settings));
    // Tab from the destination to Back, then to Next; each key waits for
    // the focus to arrive, as the next one goes to the focused window.
    for (const char* button : {"<< &Back", "&Next >>"}) {
        setup.PressKey(VK_TAB);
        HWND target = FindChildWindow(settings, button);
        ASSERT_NE(target, nullptr);
        ASSERT_TRUE(setup.WaitForFocusIn(target)) << button;
    }
    setup.PressKey(VK_RETURN);
    {
        SCOPED_TRACE("Next clicked with Enter");
        expectReport();
    }

    EXPECT_EQ(setup.FindWindowWithin("#32770", "Application Error", 300), nullptr);
    ASSERT_TRUE(setup.Running());
    EXPECT_TRUE(IsWindowVisible(settings));
    ClickButton(settings, "Exit");
    HWND question = setup.WaitForWindow("TMessageForm", "Confirm");
    ASSERT_NE(question, nullptr);
    ClickButton(question, "&Yes");
    EXPECT_EQ(setup.WaitForExit(), 2u);
}

// The framework is started here too: the setup's message dialogs are
// compared with the ones it draws.
class SetupDialogs : public FrameworkTest {
protected:
    // A script with one file and an uninstall log, so that every dialog
    // can be reached.
    void SetUp() override
    {
        FrameworkTest::SetUp();
        m_dist.Dir().WriteFile("setup.fls", "T\r\nHalvarn 95\r\nD\r\nC:\\TESTPROD\r\nG\r\nTest Group\r\n"
                                            "F\r\nDhalvarn95.exe{1\r\n");
        m_dist.Dir().WriteFile("uninst.fls", "D\r\nC:\\TESTPROD\\\r\n");
    }

    Distribution m_dist;
};

// Closes a dialog of the program through its close box and answers the
// question that comes, which is the one of the Exit button.
void CloseAndAnswer(DrivenProcess& setup, HWND form, const std::string& button)
{
    PostMessageA(form, WM_SYSCOMMAND, SC_CLOSE, 0);
    HWND question = setup.WaitForWindow("TMessageForm", "Confirm");
    ASSERT_NE(question, nullptr);
    EXPECT_TRUE(MessageDialogShows(question, "Terminate Halvarn 95 Setup?", MessageKind::Confirmation, {mbYes, mbNo}));
    ClickButton(question, button);
    setup.WaitUntilGone(question);
}

// The close box of the mode choice, the settings and the uninstall
// selection asks whether to leave: No keeps the dialog, Yes ends the
// program. Back from the uninstall selection still asks nothing.
TEST_F(SetupDialogs, TheCloseBoxOfEachDialogAsksLikeItsExitButton)
{
    const Distribution& dist = m_dist;
    {
        SCOPED_TRACE("No keeps each dialog");
        SetupSession setup(dist.Dir().Path());
        DrivenProcess& process = setup.Process();
        HWND modeChoice = process.WaitForWindow("TForm2");
        ASSERT_NE(modeChoice, nullptr);
        CloseAndAnswer(process, modeChoice, "&No");
        EXPECT_TRUE(IsWindowVisible(modeChoice));

        setup.Choose(true);
        HWND settings = process.WaitForWindow("TForm3", "Installation Settings");
        ASSERT_NE(settings, nullptr);
        CloseAndAnswer(process, settings, "&No");
        EXPECT_TRUE(IsWindowVisible(settings));
        ClickButton(settings, "<< &Back");
        process.WaitUntilGone(settings);

        setup.Choose(false);
        HWND uninstaller = setup.Uninstaller();
        ASSERT_NE(uninstaller, nullptr);
        CloseAndAnswer(process, uninstaller, "&No");
        EXPECT_TRUE(IsWindowVisible(uninstaller));
        ClickButton(uninstaller, "<< &Back");
        process.WaitUntilGone(uninstaller);
        EXPECT_EQ(process.FindWindowWithin("TMessageForm", nullptr, 500), nullptr) << "Back asked something";

        SCOPED_TRACE("Yes on the uninstall selection");
        setup.Choose(false);
        uninstaller = setup.Uninstaller();
        ASSERT_NE(uninstaller, nullptr);
        CloseAndAnswer(process, uninstaller, "&Yes");
        EXPECT_EQ(process.WaitForExit(), 2u);
    }
    for (const bool onSettings : {false, true}) {
        SCOPED_TRACE(onSettings ? "Yes on the settings" : "Yes on the mode choice");
        SetupSession setup(dist.Dir().Path());
        if (onSettings)
            setup.Choose(true);
        HWND form = onSettings ? setup.Process().WaitForWindow("TForm3") : setup.Process().WaitForWindow("TForm2");
        ASSERT_NE(form, nullptr);
        CloseAndAnswer(setup.Process(), form, "&Yes");
        EXPECT_EQ(setup.Process().WaitForExit(), 2u);
    }
}

// A second copy started while the first runs shows nothing and ends with
// code 0, bringing the first one's dialog to the front; the first goes on.
TEST_F(SetupDialogs, ASecondCopyHandsOverToTheRunningOneAndEnds)
{
    const Distribution& dist = m_dist;
    SetupSession first(dist.Dir().Path());
    HWND modeChoice = first.Process().WaitForWindow("TForm2");
    ASSERT_NE(modeChoice, nullptr);
    HWND splash = first.Process().WaitForWindow("TForm1");
    ASSERT_NE(splash, nullptr);
    SetForegroundWindow(splash);
    {
        // The splash alone takes longer than this wait: a copy that ran
        // would still be animating it.
        DrivenProcess second(dist.Program(), dist.Dir().Path());
        ASSERT_TRUE(second.Started());
        EXPECT_EQ(second.WaitForExit(3000), 0u);
    }
    EXPECT_TRUE(first.Process().Running());
    EXPECT_TRUE(IsWindowVisible(modeChoice));
    EXPECT_EQ(GetForegroundWindow(), modeChoice);
    CloseAndAnswer(first.Process(), modeChoice, "&Yes");
    EXPECT_EQ(first.Process().WaitForExit(), 2u);
}

// Next refuses a destination that is empty, relative, a path through "..",
// a drive's root, one with a device name in it or a name the system would
// trim (each named, with why), one too long for the files to fit, or one
// where a file lies in place of a folder, with its message and
// before anything is created; it asks before an existing folder that holds
// files, and No (the default, which Enter presses) keeps the settings with
// nothing made. The settings stay as typed, and the user can still leave.
TEST_F(SetupDialogs, NextRefusesABadDestinationAndAsksBeforeAnOccupiedOne)
{
    const std::string notFull = "Please enter the full path of the Destination Directory: a drive letter and colon, "
                                "or a network share, and then the directory's name.";
    TempDir target;
    const std::string tooLongFolder = target.Path() + std::string(120, 'a');
    const std::string tooLong = tooLongFolder + "\\" + std::string(120, 'b') + "\\HALVARN";
    // The one file, "halvarn95.exe", has the longest name the run writes
    // into the destination: 13 characters after a backslash.
    const std::string tooLongText = "The Destination Directory is too long for the files to fit.\r"
                                    "Please choose one whose path is at most " + std::to_string(259 - 13 - 1) +
                                    " characters long.";
    const std::string keep = target.Path() + "keep.txt";
    target.WriteFile("keep.txt", "the user's");
    const std::string isFile = keep + " is a file, not a directory.\rPlease choose another Destination Directory.";
    const std::string halvarn = target.Path() + "HALVARN";
    const std::string chooseAnother = "Please choose another Destination Directory.";
    ASSERT_FALSE(FileExists("C:\\halvarn95.exe"));

    SetupSession setup(m_dist.Dir().Path());
    setup.Choose(true);
    HWND settings = setup.Process().WaitForWindow("TForm3", "Installation Settings");
    ASSERT_NE(settings, nullptr);
    const std::vector<HWND> edits = ChildWindowsOfClass(settings, "TEdit");
    ASSERT_EQ(edits.size(), 1u);
    const std::pair<std::string, std::string> cases[] = {
        {"", notFull}, {"HALVARN", notFull}, {"C:\\HALVARN\\..\\..\\TOOLS", notFull},
        {"C:\\", "C:\\ is the root of a drive, not a directory.\rPlease enter the directory's name after it."},
        {halvarn + "\\CONIN$", halvarn + "\\CONIN$ names the device CONIN$, not a directory.\r" + chooseAnother},
        {halvarn + "\\CON .x", halvarn + "\\CON .x names the device CON .x, not a directory.\r" + chooseAnother},
        {halvarn + ".", halvarn + ". has a name ending in a dot or blank, which the system drops.\r" + chooseAnother},
        {tooLong, tooLongText}, {keep, isFile}, {keep + "\\sub", isFile}};
    for (const auto& [destination, message] : cases) {
        SCOPED_TRACE("destination \"" + destination + "\"");
        SetTextOf(edits[0], destination);
        ClickButton(settings, "&Next >>");
        HWND box = setup.Process().WaitForWindow("TMessageForm", "Warning");
        ASSERT_NE(box, nullptr);
        EXPECT_TRUE(MessageDialogShows(box, message, MessageKind::Warning, {mbOK}));
        ClickButton(box, "OK");
        setup.Process().WaitUntilGone(box);
        EXPECT_TRUE(IsWindowVisible(settings));
        EXPECT_EQ(TextOf(edits[0]), destination);
        EXPECT_EQ(setup.Process().FindWindowWithin("TForm5", nullptr, 300), nullptr);
    }
    EXPECT_FALSE(FileExists("C:\\halvarn95.exe"));
    EXPECT_FALSE(DirExists(m_dist.Dir().Path() + "HALVARN"));
    EXPECT_FALSE(DirExists(tooLongFolder)) << "no folder of the long destination is made";
    EXPECT_FALSE(DirExists(halvarn)) << "no folder above a device name is made";
    EXPECT_EQ(target.ReadFile("keep.txt"), "the user's");

    {
        SCOPED_TRACE("an occupied folder");
        const std::string occupied = target.Path() + "canary";
        CreateDirectoryA(occupied.c_str(), nullptr);
        target.WriteFile("canary\\readme.txt", "the user's");
        SetTextOf(edits[0], occupied);
        ClickButton(settings, "&Next >>");
        HWND box = setup.Process().WaitForWindow("TMessageForm", "Confirm");
        ASSERT_NE(box, nullptr);
        EXPECT_TRUE(MessageDialogShows(box,
                                       "The directory " + occupied + " already exists and holds files. Files of the "
                                       "same name will be replaced. Install into it anyway?",
                                       MessageKind::Confirmation, {mbYes, mbNo}));
        ASSERT_TRUE(setup.Process().WaitForFocusIn(box));
        setup.Process().PressKey(VK_RETURN);
        setup.Process().WaitUntilGone(box);
        EXPECT_TRUE(IsWindowVisible(settings));
        EXPECT_EQ(setup.Process().FindWindowWithin("TForm5", nullptr, 300), nullptr);
        EXPECT_EQ(FilesIn(occupied + "\\"), Strings{"readme.txt"});
        EXPECT_EQ(target.ReadFile("canary\\readme.txt"), "the user's");
    }
    ClickButton(settings, "Exit");
    setup.Answer("Confirm", "&Yes");
    EXPECT_EQ(setup.Process().WaitForExit(), 2u);
}

TEST(SetupRun, AFailedStartIsReportedAndEscOnTheSplashEndsTheProgram)
{
    Distribution dist;  // no setup.fls
    DrivenProcess setup(dist.Program(), dist.Dir().Path());
    ASSERT_TRUE(setup.Started());
    HWND box = setup.WaitForWindow("#32770", "Brisdane 95 Setup");
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(MessageBoxText(box), "File not found.");
    ClickButton(box, "OK");
    setup.WaitUntilGone(box);
    // The black splash stays, with nothing else on it but the way out.
    HWND splash = setup.WaitForWindow("TForm1");
    ASSERT_NE(splash, nullptr);
    Sleep(300);
    EXPECT_EQ(setup.FindWindowWithin("TForm2", nullptr, 0), nullptr);
    EXPECT_TRUE(setup.Running());
    ASSERT_TRUE(setup.WaitForFocusIn(splash));
    setup.PressKey(VK_ESCAPE);
    EXPECT_EQ(setup.WaitForExit(), 5u);
}

} // namespace

// The real setup.exe, started beside a setup script in a folder of its own
// and driven from outside as its user would: the splash with the start-up
// messages, the mode choice, the installation settings, Exit; and the way
// out after a start that failed.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "tests/support/ProcessDriver.h"
#include "tests/support/ProgramPaths.h"
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

    // Back and O K again, then Exit with Yes ends the program with code 0.
    ClickButton(settings, "<< &Back");
    setup.WaitUntilGone(settings);
    ASSERT_NE(setup.WaitForWindow("TForm2"), nullptr);
    ClickButton(modeChoice, "O K");
    ASSERT_NE(setup.WaitForWindow("TForm3"), nullptr);
    ClickButton(settings, "Exit");
    question = setup.WaitForWindow("TMessageForm", "Confirm");
    ASSERT_NE(question, nullptr);
    ClickButton(question, "&Yes");
    EXPECT_EQ(setup.WaitForExit(), 0u);
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
    EXPECT_EQ(setup.WaitForExit(), 0u);
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
    EXPECT_EQ(setup.WaitForExit(), 0u);
}

} // namespace

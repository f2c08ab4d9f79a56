// The splash form: the slide-in of the logo and the title, the start-up
// messages before the mode choice, and the way out after a failed start.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "framework/Application.h"
#include "runtime/Exceptions.h"
#include "runtime/FileStream.h"
#include "runtime/Files.h"
#include "runtime/Paths.h"
#include "setup/engine/ScriptFormat.h"
#include "setup/forms/Setup1.h"
#include "setup/forms/Setup2.h"
#include "tests/setup/SetupFixture.h"
#include "tests/support/ProgramPaths.h"
#include "tests/support/UiDriver.h"

namespace {

using Strings = std::vector<std::string>;

// ---------------------------------------------------------------------------
// The slide-in and the hand-over to the mode choice

using SplashTest = SetupTest;

TEST_F(SplashTest, ImageRisesThenTitleSlidesInWithOvershootAndSnap)
{
    Form1->Image1->SetTop(30);
    Form1->Label1->SetLeft(196);
    Form1->Timer1->SetEnabled(true);
    const int32_t target = Form1->Image1->Left() + Form1->Image1->Width() + 12;
    ASSERT_EQ(target, 146);
    std::vector<std::pair<int32_t, int32_t>> ticks;
    Watchdog watchdog;
    for (int i = 0; i < 10 && !Form2->Visible(); ++i) {
        Form1->Timer1Timer(Form1->Timer1);
        ticks.emplace_back(Form1->Image1->Top(), Form1->Label1->Left());
    }
    const std::vector<std::pair<int32_t, int32_t>> expected = {
        {5, 196},    // one step, 18 pixels past the resting top
        {23, 171},   // the image snaps, and the title moves in the same tick
        {23, 146},   // the title reaches its target exactly
        {23, 146},   // it is not above it any more: the title is put there and the splash ends
    };
    EXPECT_EQ(ticks, expected);
    EXPECT_FALSE(Form1->Timer1->Enabled());
    EXPECT_TRUE(Form2->Visible());
}

TEST_F(SplashTest, TitleOvershootsItsTargetForOneTick)
{
    Form1->Image1->SetTop(23);
    Form1->Label1->SetLeft(160);
    Form1->Timer1Timer(Form1->Timer1);
    EXPECT_EQ(Form1->Label1->Left(), 135);
    EXPECT_FALSE(Form2->Visible());
    Form1->Timer1Timer(Form1->Timer1);
    EXPECT_EQ(Form1->Label1->Left(), 146);
    EXPECT_TRUE(Form2->Visible());
}

TEST_F(SplashTest, ShowingTheSplashReadsTheScriptAndTheTimerBringsTheModeChoice)
{
    WriteScript("T\r\nSplash Product\r\nD\r\nC:\\SPLASH\r\n");
    Form1->SetOnShow(TNotifyEvent());
    Form1->Show();
    // What Form1Show does, with the program's folder set to the test's.
    Form1->SetWindowState(wsMaximized);
    EXPECT_EQ(Form1->Width(), GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(Form1->Height(), GetSystemMetrics(SM_CYSCREEN));
    Form1->ReadSetupFile();
    Form1->Image1->SetTop(Form1->Height() + 2);
    Form1->Label1->SetLeft(Form1->Width() + 2);
    Form1->Timer1->SetEnabled(true);
    Watchdog watchdog(15000);
    // 100 ms a tick: 480 + 2 pixels of rise and 642 - 146 of slide are
    // about 40 ticks.
    EXPECT_TRUE(PumpUntil([] { return Form2->Visible(); }, 12000));
    EXPECT_EQ(Form1->Image1->Top(), 23);
    EXPECT_EQ(Form1->Label1->Left(), 146);
    EXPECT_EQ(Form1->Label1->Caption(), "Splash Product Setup");
    EXPECT_EQ(Form2->Caption(), "Install or Uninstall Splash Product");
    EXPECT_FALSE(Form1->Timer1->Enabled());
}

TEST_F(SplashTest, StartUpMessagesComeOneByOneBeforeTheModeChoice)
{
    m_state.Script.MessageList = {"First", "Second\rwith a second line", "Third"};
    Form1->SetOnShow(TNotifyEvent());
    Form1->Show();
    Form1->Image1->SetTop(23);
    Form1->Label1->SetLeft(146);
    std::vector<bool> modeChoiceShown;
    std::vector<bool> timerRunning;
    MessageDialogAnswerer answerer([&](const std::string&, const std::string&) {
        modeChoiceShown.push_back(Form2->Visible());
        timerRunning.push_back(Form1->Timer1->Enabled());
        return std::string("OK");
    });
    Watchdog watchdog(10000);
    Form1->Timer1->SetEnabled(true);
    Form1->Timer1Timer(Form1->Timer1);
    ASSERT_EQ(answerer.Seen.size(), 3u);
    EXPECT_EQ(answerer.Seen[0].Text, "First");
    EXPECT_EQ(answerer.Seen[1].Text, "Second\rwith a second line");
    EXPECT_EQ(answerer.Seen[2].Text, "Third");
    for (const auto& dialog : answerer.Seen)
        EXPECT_EQ(dialog.Caption, "Information");
    EXPECT_EQ(modeChoiceShown, (std::vector<bool>{false, false, false}));
    EXPECT_EQ(timerRunning, (std::vector<bool>{false, false, false}));
    EXPECT_TRUE(Form2->Visible());
}

TEST_F(SplashTest, AFailedStartIsReportedAndEscOnTheSplashEndsTheProgram)
{
    // No setup.fls in the program's folder: the directories are found, the
    // script is not.
    std::vector<std::string> reported;
    bool hintShownWithTheReport = false;
    ThreadTimer closer(50, [&] {
        HWND box = FindThreadWindow("#32770");
        if (!box || !reported.empty())
            return;
        char text[256] = {};
        GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
        reported.emplace_back(text);
        hintShownWithTheReport = Form1->StartFailed();
        PostMessageA(box, WM_COMMAND, IDOK, 0);
    });
    Watchdog watchdog(10000);
    Form1->Show();
    ASSERT_EQ(reported.size(), 1u);
    EXPECT_EQ(reported[0], "File not found.");
    EXPECT_TRUE(hintShownWithTheReport);
    // The splash stays black: nothing moves in and no other form comes.
    EXPECT_FALSE(Form1->Timer1->Enabled());
    EXPECT_EQ(m_state.SourceDir, "");
    EXPECT_GT(Form1->Label1->Left(), Form1->Width());
    auto* hint = dynamic_cast<TLabel*>(Form1->Controls(Form1->ControlCount() - 1));
    ASSERT_NE(hint, nullptr);
    EXPECT_EQ(hint->Caption(), "Setup cannot continue. Press Esc to leave.");
    EXPECT_TRUE(hint->Visible());
    PumpFor(200);
    EXPECT_FALSE(Application->Terminated());

    // Esc, pressed on the splash, ends the program.
    SetForegroundWindow(Form1->Handle());
    SetFocus(Form1->Handle());
    PressKey(VK_ESCAPE);
    EXPECT_TRUE(PumpUntil([] { return Application->Terminated(); }));
}

TEST_F(SplashTest, EscOnTheSplashDoesNothingWhileTheStartGoesWell)
{
    Form1->SetOnShow(TNotifyEvent());
    Form1->Show();
    SetFocus(Form1->Handle());
    PressKey(VK_ESCAPE);
    PumpFor(300);
    EXPECT_FALSE(Application->Terminated());
}

} // namespace

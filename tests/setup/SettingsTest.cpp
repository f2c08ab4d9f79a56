// The mode choice and the installation settings on real windows: captions
// from the product title, the hand-over between the forms, the Exit
// question, the space needed and free on the destination and Windows
// drives, a destination that the uninstaller keeps, Browse, Next and Back.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "controls/DirForm.h"
#include "framework/Application.h"
#include "runtime/Exceptions.h"
#include "runtime/Files.h"
#include "runtime/Paths.h"
#include "setup/forms/Setup1.h"
#include "setup/forms/Setup2.h"
#include "setup/forms/Setup3.h"
#include "setup/forms/Setup4.h"
#include "setup/forms/Setup5.h"
#include "tests/setup/SetupFixture.h"
#include "tests/support/TempDir.h"
#include "tests/support/UiDriver.h"

namespace {

// The free kilobytes of a drive as the platform reports them now, in the
// labels' form.
std::string FreeKb(const char* root)
{
    ULARGE_INTEGER available;
    if (!GetDiskFreeSpaceExA(root, &available, nullptr, nullptr))
        return "0 kb";
    return std::to_string(available.QuadPart / 1024) + " kb";
}

// ---------------------------------------------------------------------------
// The mode choice

using ModeChoiceTest = SetupTest;

TEST_F(ModeChoiceTest, CaptionsFollowTheProductTitleOnEveryShow)
{
    m_state.ProductTitle = "Halvarn 95";
    Form2->Show();
    EXPECT_EQ(Form2->Caption(), "Install or Uninstall Halvarn 95");
    EXPECT_EQ(Form2->RadioButton1->Caption(), "Install Halvarn 95");
    EXPECT_EQ(Form2->RadioButton2->Caption(), "Uninstall Halvarn 95");
    Form2->Hide();
    m_state.ProductTitle = "";
    Form2->Show();
    EXPECT_EQ(Form2->Caption(), "Install or Uninstall ");
    EXPECT_EQ(Form2->RadioButton1->Caption(), "Install ");
    EXPECT_EQ(Form2->RadioButton2->Caption(), "Uninstall ");
}

TEST_F(ModeChoiceTest, OkLeadsToTheChosenPathAndTheChoiceIsKept)
{
    // The uninstaller reads the log beside the program when it is shown.
    m_state.SourceDir = m_dir.Path();
    m_dir.WriteFile("uninst.fls", "D\r\n" + m_dir.Path() + "\r\n");
    Form2->Show();
    ASSERT_TRUE(Form2->RadioButton1->Checked());
    Form2->Button1->Click();
    EXPECT_FALSE(Form2->Visible());
    EXPECT_TRUE(Form3->Visible());
    Form3->Button1->Click();  // Back
    EXPECT_FALSE(Form3->Visible());
    EXPECT_TRUE(Form2->Visible());

    Form2->RadioButton2->SetChecked(true);
    Form2->Button1->Click();
    EXPECT_TRUE(Form4->Visible());
    EXPECT_EQ(Form4->ListBox1->Items()->Count(), 1);
    EXPECT_FALSE(Form3->Visible());
    Form4->Hide();
    Form2->Show();
    EXPECT_TRUE(Form2->RadioButton2->Checked());
    EXPECT_FALSE(Form2->RadioButton1->Checked());
}

TEST_F(ModeChoiceTest, EnterPressesOkAndEscAsksWhetherToLeave)
{
    m_state.ProductTitle = "Halvarn 95";
    Form2->Show();
    Watchdog watchdog(8000);
    ASSERT_TRUE(PumpUntil([] { return GetActiveWindow() == Form2->Handle(); }));
    {
        SCOPED_TRACE("Esc, then No: nothing changes");
        MessageDialogAnswerer answerer([](const std::string&, const std::string&) { return std::string("&No"); });
        PressKey(VK_ESCAPE);
        ASSERT_TRUE(PumpUntil([&] { return !answerer.Seen.empty() && !FindThreadWindow("TMessageForm"); }));
        EXPECT_EQ(answerer.Seen[0].Caption, "Confirm");
        EXPECT_EQ(answerer.Seen[0].Text, "Terminate Halvarn 95 Setup?");
        PumpFor(100);
        EXPECT_FALSE(Application->Terminated());
        EXPECT_TRUE(Form2->Visible());
    }
    {
        SCOPED_TRACE("Enter: O K");
        ASSERT_TRUE(PumpUntil([] { return GetActiveWindow() == Form2->Handle(); }));
        PressKey(VK_RETURN);
        EXPECT_TRUE(PumpUntil([] { return Form3->Visible(); }));
        EXPECT_FALSE(Form2->Visible());
    }
}

TEST_F(ModeChoiceTest, ExitWithYesTerminatesAndAnEmptyTitleLeavesTwoBlanks)
{
    Form2->Show();
    MessageDialogAnswerer answerer([](const std::string&, const std::string&) { return std::string("&Yes"); });
    Watchdog watchdog(8000);
    Form2->Button2->Click();
    ASSERT_EQ(answerer.Seen.size(), 1u);
    EXPECT_EQ(answerer.Seen[0].Text, "Terminate  Setup?");
    EXPECT_TRUE(PumpUntil([] { return Application->Terminated(); }));
}

// ---------------------------------------------------------------------------
// The installation settings

class SettingsTest : public SetupTest {
protected:
    void SetUp() override
    {
        SetupTest::SetUp();
        m_state.WinDir = "C:\\WINDOWS\\";
        m_state.ProductTitle = "Halvarn 95";
        m_state.DestName = "APP";
        // These tests end where the settings hand over to the progress form;
        // the installation run that its activation starts is tested on its
        // own, so it is unbound here.
        Form5->SetOnActivate(TNotifyEvent());
    }
};

TEST_F(SettingsTest, OneDriveShowsOneLineEach)
{
    m_state.DestDir = "c:\\halvarn\\";
    m_state.Script.FileList.push_back(ReadFileArgument("Dhalvarn95.exe{1000"));
    m_state.Script.FileList.push_back(ReadFileArgument("Wsystem.dll{1000"));
    m_state.Script.FileList.push_back(ReadFileArgument("xignored.txt{5000"));
    CalcSpace();
    EXPECT_EQ(Form3->Space.WinDrive, "C:");
    EXPECT_EQ(Form3->Space.DestDrive, "C:");
    EXPECT_EQ(Form3->Label5->Caption(), "C:");
    // 2000 bytes are 1 kb: the division truncates.
    EXPECT_EQ(Form3->Label6->Caption(), "1 kb");
    EXPECT_EQ(Form3->Label7->Caption(), FreeKb("C:\\"));
    EXPECT_EQ(Form3->Space.WinNeed, 2000);
    EXPECT_EQ(Form3->Space.DestNeed, 0);
}

TEST_F(SettingsTest, TwoDrivesShowTheDestinationFirst)
{
    // Z: is a drive beyond L: whose free space is real, not a guess.
    m_state.DestDir = "Z:\\TMP\\HALVARN\\";
    m_state.Script.FileList.push_back(ReadFileArgument("Ahalvarn95.exe{4096"));
    m_state.Script.FileList.push_back(ReadFileArgument("Dreadme.txt{ 2048"));
    m_state.Script.FileList.push_back(ReadFileArgument("Nnew.dat{$800"));
    m_state.Script.FileList.push_back(ReadFileArgument("Ssys.dll{10240"));
    m_state.Script.FileList.push_back(ReadFileArgument("Tstart.lnk{1024"));
    m_state.Script.FileList.push_back(ReadFileArgument("Wwin.ini{-1024"));
    CalcSpace();
    EXPECT_EQ(Form3->Label5->Caption(), "Z:\rC:");
    EXPECT_EQ(Form3->Label6->Caption(), "8 kb\r10 kb");
    EXPECT_EQ(Form3->Label7->Caption(), FreeKb("Z:\\") + "\r" + FreeKb("C:\\"));
    EXPECT_NE(Form3->Label7->Caption().substr(0, 5), "0 kb\r");
    EXPECT_EQ(DriveNumber("Z:"), 26);
    EXPECT_EQ(DriveNumber("c:"), 3);
    EXPECT_EQ(DriveNumber("l"), 12);
    EXPECT_EQ(DriveNumber("\\\\SERVER\\SHARE"), 0);
    EXPECT_EQ(DriveNumber(""), 0);
}

TEST_F(SettingsTest, NeedsBeyondTwoGigabytesAreCountedAndShown)
{
    m_state.DestDir = "C:\\HALVARN\\";
    for (int i = 0; i < 3; ++i)
        m_state.Script.FileList.push_back(ReadFileArgument("Dbig" + std::to_string(i) + ".dat{2147483647"));
    CalcSpace();
    EXPECT_EQ(Form3->Space.WinNeed, 3 * 2147483647LL);
    EXPECT_EQ(Form3->Label6->Caption(), std::to_string(3 * 2147483647LL / 1024) + " kb");
}

TEST_F(SettingsTest, BadSizeRaisesTheConversionError)
{
    m_state.DestDir = "C:\\HALVARN\\";
    m_state.Script.FileList.push_back(ReadFileArgument("Dgood.exe{10"));
    m_state.Script.FileList.push_back(ReadFileArgument("Dbad.exe{12x"));
    m_state.Script.FileList.push_back(ReadFileArgument("Dlater.exe{10"));
    try {
        CalcSpace();
        ADD_FAILURE() << "no error";
    } catch (const EConvertError& e) {
        EXPECT_STREQ(e.what(), "'12x' is not a valid integer value");
    }

    // Raised on activation, the framework reports it; in Next, it stops the
    // handler before anything is created or shown.
    MessageBoxCloser closer;
    const std::vector<std::string>& reported = closer.Texts;
    Watchdog watchdog(8000);
    Form3->Show();
    ASSERT_TRUE(PumpUntil([&] { return !reported.empty(); }));
    EXPECT_EQ(reported[0], "'12x' is not a valid integer value.");
    Form3->Edit2->SetText(m_dir / "NEVER");
    EXPECT_THROW(Form3->Button2Click(Form3->Button2), EConvertError);
    EXPECT_FALSE(IsExistingDirectory(m_dir / "NEVER"));
    EXPECT_TRUE(Form3->Visible());
    EXPECT_FALSE(Form5->Visible());
}

TEST_F(SettingsTest, ActivationFillsTheDialogFromTheSetupState)
{
    m_state.DestDir = "C:\\HALVARN\\";
    m_state.Script.FileList.push_back(ReadFileArgument("Dhalvarn95.exe{2048"));
    Form3->Show();
    Watchdog watchdog(8000);
    ASSERT_TRUE(PumpUntil([] { return Form3->Edit2->Text() == "C:\\HALVARN\\"; }));
    EXPECT_EQ(Form3->Label1->Caption(), "Halvarn 95 will be installed into the following directory.");
    EXPECT_EQ(Form1->Caption(), "Halvarn 95 Setup");
    EXPECT_EQ(Form3->Label6->Caption(), "2 kb");
}

TEST_F(SettingsTest, NextCommitsTheDestinationAndTheRunMakesIt)
{
    m_state.DestDir = "C:\\HALVARN\\";
    Form3->Show();
    const std::string typed = m_dir / "TOOLS\\APP";
    Form3->Edit2->SetText(typed);
    // Here the run goes on, with nothing to copy: it asks about the Start
    // Menu and writes its log into the destination just created.
    Form5->SetOnActivate(TNotifyEvent::Of<&TForm5::Form5Activate>(Form5));
    MessageDialogAnswerer answerer([](const std::string&, const std::string&) { return std::string("&No"); });
    Watchdog watchdog(8000);
    Form3->Button2Click(Form3->Button2);
    EXPECT_EQ(m_state.DestDir, typed + "\\");
    EXPECT_FALSE(Form3->Visible());
    EXPECT_TRUE(Form5->Visible());
    EXPECT_TRUE(PumpUntil([] { return Application->Terminated(); }));
    EXPECT_TRUE(IsExistingDirectory(m_dir / "TOOLS"));
    EXPECT_TRUE(IsExistingDirectory(typed));
    EXPECT_EQ(m_dir.ReadFile("TOOLS\\APP\\uninst.fls"), "T\r\nHalvarn 95\r\nF\r\n" + typed + "\\uninst.exe\r\nR\r\nHalvarn95\r\nD\r\n" + typed +
                                                          "\\\r\n");
}

TEST_F(SettingsTest, BackThenOkShowsTheLastCommittedDestination)
{
    m_state.DestDir = "C:\\COMMITTED\\";
    Form3->Show();
    Watchdog watchdog(8000);
    ASSERT_TRUE(PumpUntil([] { return Form3->Edit2->Text() == "C:\\COMMITTED\\"; }));
    Form3->Edit2->SetText("C:\\TYPED");
    Form3->Button1->Click();
    EXPECT_TRUE(Form2->Visible());
    EXPECT_EQ(m_state.DestDir, "C:\\COMMITTED\\");
    Form2->Button1->Click();
    ASSERT_TRUE(PumpUntil([] { return Form3->Visible() && Form3->Edit2->Text() == "C:\\COMMITTED\\"; }));
}

// The warning's answers: No and Esc keep the dialog; Yes and closing the
// warning go on to the installation run.
TEST_F(SettingsTest, SpaceWarningAnswers)
{
    // Far more than any test machine has free.
    for (int i = 0; i < 10000; ++i)
        m_state.Script.FileList.push_back(ReadFileArgument("Dhuge.dat{2147483647"));
    struct Case {
        const char* Answer;
        bool GoesOn;
    };
    for (const Case& c : {Case{"&No", false}, Case{MessageDialogAnswerer::Escape, false}, Case{"&Yes", true},
                          Case{MessageDialogAnswerer::Close, true}}) {
        SCOPED_TRACE(c.Answer);
        Form5->Hide();
        Form3->Show();
        const std::string dest = m_dir / (std::string("DEST") + std::to_string(c.GoesOn) + c.Answer[1]);
        Form3->Edit2->SetText(dest);
        MessageDialogAnswerer answerer([&](const std::string&, const std::string&) { return std::string(c.Answer); });
        Watchdog watchdog(8000);
        Form3->Button2Click(Form3->Button2);
        ASSERT_EQ(answerer.Seen.size(), 1u);
        EXPECT_EQ(answerer.Seen[0].Caption, "Information");
        EXPECT_EQ(answerer.Seen[0].Text, "There is not enough space on your Drive.\rContinue Anyway?");
        EXPECT_EQ(Form3->Visible(), !c.GoesOn);
        EXPECT_EQ(Form5->Visible(), c.GoesOn);
        // Next makes nothing: the run makes the destination's folders.
        EXPECT_FALSE(IsExistingDirectory(dest));
    }
}

// A destination that the uninstaller keeps, the StartUp folder or the
// Programs folder that holds it, is refused with a warning: the settings stay
// up, and nothing is made or written there.
TEST_F(SettingsTest, ADestinationTheUninstallerKeepsIsRefused)
{
    UseTestFolders();
    m_dir.WriteFile("MENU\\PROGRAMS\\STARTUP\\keep.txt", "the user's");
    for (const std::string& typed : {m_dir / "MENU\\PROGRAMS\\STARTUP", m_dir / "MENU\\PROGRAMS"}) {
        SCOPED_TRACE(typed);
        Form5->Hide();
        Form3->Show();
        Form3->Edit2->SetText(typed);
        MessageDialogAnswerer answerer([](const std::string&, const std::string&) { return std::string("OK"); });
        Watchdog watchdog(8000);
        Form3->Button2Click(Form3->Button2);
        ASSERT_EQ(answerer.Seen.size(), 1u);
        EXPECT_EQ(answerer.Seen[0].Caption, "Warning");
        EXPECT_EQ(answerer.Seen[0].Text,
                  typed + " is a folder that the uninstaller never removes: one of the system's, the user's or the "
                          "Start Menu's own, or one reached through a link. What is installed there would stay for "
                          "good.\rPlease choose another Destination Directory.");
        EXPECT_TRUE(Form3->Visible());
        EXPECT_FALSE(Form5->Visible());
    }
    EXPECT_EQ(FilesIn(m_dir / "MENU\\PROGRAMS\\STARTUP\\"), (std::vector<std::string>{"keep.txt"}));
    EXPECT_EQ(m_dir.ReadFile("MENU\\PROGRAMS\\STARTUP\\keep.txt"), "the user's");
}

TEST_F(SettingsTest, ExitAsksAndYesTerminates)
{
    Form3->Show();
    MessageDialogAnswerer answerer([](const std::string&, const std::string&) { return std::string("&Yes"); });
    Watchdog watchdog(8000);
    Form3->Button3->Click();
    ASSERT_EQ(answerer.Seen.size(), 1u);
    EXPECT_EQ(answerer.Seen[0].Text, "Terminate Halvarn 95 Setup?");
    EXPECT_TRUE(PumpUntil([] { return Application->Terminated(); }));
}

// Browse starts in the current directory and appends the default folder
// name to what the directory dialog gives back.
TEST_F(SettingsTest, BrowseAppendsTheDefaultFolderName)
{
    CreateDirectoryA((m_dir / "TOOLS").c_str(), nullptr);
    auto browse = [&](const std::string& start, const char* button) {
        SetCurrentDirectoryA(start.c_str());
        bool pressed = false;
        ThreadTimer presser(100, [&] {
            HWND dialog = FindThreadWindow("TFDIRFORM");
            if (!dialog || pressed)
                return;
            if (HWND b = FindChildByText(dialog, button)) {
                pressed = true;
                PostMessageA(b, BM_CLICK, 0, 0);
            }
        });
        Watchdog watchdog(8000);
        Form3->Button4Click(Form3->Button5);
        EXPECT_TRUE(pressed);
        return Form3->Edit2->Text();
    };
    m_state.WinDir = "C:\\WINDOWS\\";
    EXPECT_EQ(browse("C:\\", "&OK"), "C:\\APP");
    EXPECT_EQ(m_state.DestDir, "C:\\APP\\");
    const std::string tools = m_dir / "TOOLS";
    EXPECT_EQ(UpperCaseAscii(browse(tools, "&OK")), UpperCaseAscii(tools + "\\APP"));
    EXPECT_EQ(UpperCaseAscii(m_state.DestDir), UpperCaseAscii(tools + "\\APP\\"));
    // Cancel leaves the starting directory, the current one.
    SetCurrentDirectoryA(tools.c_str());
    const std::string current = CurrentDir();
    EXPECT_EQ(browse(current, "&Cancel"), current + "\\APP");
}

} // namespace

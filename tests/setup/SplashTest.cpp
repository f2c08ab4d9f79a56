// The splash form: the setup script read into the setup state, the slide-in
// of the logo and the title, the start-up messages before the mode choice,
// and the way out after a failed start.
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
#include "setup/ScriptFormat.h"
#include "setup/Setup1.h"
#include "setup/Setup2.h"
#include "tests/setup/SetupFixture.h"
#include "tests/support/ProgramPaths.h"
#include "tests/support/UiDriver.h"

namespace {

std::vector<std::string> Lines(const TStrings& list)
{
    std::vector<std::string> lines;
    for (int i = 0; i < list.Count(); ++i)
        lines.push_back(list.Get(i));
    return lines;
}

using Strings = std::vector<std::string>;

// ---------------------------------------------------------------------------
// The setup script

using SetupScriptTest = SetupTest;

TEST_F(SetupScriptTest, EveryCommandFillsItsPartOfTheState)
{
    WriteScript("T\r\nHalvarn 95\r\n"
                "D\r\nC:\\HALVARN\r\n"
                "G\r\nHalvarn Group\r\n"
                "F\r\nDhalvarn95.exe{1234\r\n"
                "F\r\nWsys.dll{10\r\n"
                "P\r\nDhalvarn95.exe,Halvarn 95, the program\r\n"
                "Q\r\nHALVARN\r\n"
                "S\r\nInstall the letters?\r\nDletters.txt\r\n"
                "M\r\nFirst message\r\n"
                "M\r\nSecond message\r\n"
                "U\r\nD*.TMP\r\n"
                "X\r\nan unknown command and its argument\r\n"
                "U\r\nDold.log\r\n");
    ReadSetupFile();
    EXPECT_EQ(Form1->ProductTitle, "Halvarn 95");
    EXPECT_EQ(Form1->Label1->Caption(), "Halvarn 95 Setup");
    EXPECT_EQ(Form1->DestDir, "C:\\HALVARN\\");
    EXPECT_EQ(Form1->DestName, "HALVARN");
    EXPECT_EQ(Form1->GroupName, "Halvarn Group");
    EXPECT_EQ(Lines(*Form1->FileList), (Strings{"Dhalvarn95.exe{1234", "Wsys.dll{10"}));
    EXPECT_EQ(Lines(*Form1->ItemList), (Strings{"Dhalvarn95.exe,Halvarn 95, the program"}));
    EXPECT_EQ(Lines(*Form1->PifList), (Strings{"HALVARN"}));
    EXPECT_EQ(Lines(*Form1->OptionList), (Strings{"Install the letters?", "Dletters.txt"}));
    EXPECT_EQ(Lines(*Form1->MessageList), (Strings{"First message", "Second message"}));
    EXPECT_EQ(Lines(*Form1->UninstallList), (Strings{"U", "D*.TMP", "U", "Dold.log"}));
    // The script is read before SourceDir is known.
    EXPECT_EQ(Form1->SourceDir, "");
}

TEST_F(SetupScriptTest, OnlyATitleChangesTheTitleAndNothingElse)
{
    WriteScript("T\r\nOnly Title\r\n");
    ReadSetupFile();
    EXPECT_EQ(Form1->ProductTitle, "Only Title");
    EXPECT_EQ(Form1->Label1->Caption(), "Only Title Setup");
    EXPECT_EQ(Form1->DestDir, "");
    EXPECT_EQ(Form1->GroupName, "");
    for (TStringList* list : {Form1->FileList.get(), Form1->ItemList.get(), Form1->UninstallList.get(),
                              Form1->OptionList.get(), Form1->MessageList.get(), Form1->PifList.get()})
        EXPECT_EQ(list->Count(), 0);
}

TEST_F(SetupScriptTest, TheLastTitleDestinationAndGroupWin)
{
    WriteScript("T\r\nFirst\r\nD\r\nC:\\ONE\r\nG\r\nOne\r\nT\r\nSecond\r\nD\r\nD:\\TWO\r\nG\r\nTwo\r\n");
    ReadSetupFile();
    EXPECT_EQ(Form1->ProductTitle, "Second");
    EXPECT_EQ(Form1->Label1->Caption(), "Second Setup");
    EXPECT_EQ(Form1->DestDir, "D:\\TWO\\");
    EXPECT_EQ(Form1->DestName, "TWO");
    EXPECT_EQ(Form1->GroupName, "Two");
}

TEST_F(SetupScriptTest, CommandLettersAreUpperCaseAndOnlyTheFirstCharacterCounts)
{
    {
        SCOPED_TRACE("a lower-case t is skipped with its argument");
        WriteScript("t\r\nLower\r\nT\r\nUpper\r\n");
        ReadSetupFile();
        EXPECT_EQ(Form1->ProductTitle, "Upper");
    }
    {
        SCOPED_TRACE("the rest of the command line is ignored");
        WriteScript("Title follows\r\nFrom a long command line\r\n");
        ReadSetupFile();
        EXPECT_EQ(Form1->ProductTitle, "From a long command line");
    }
    {
        SCOPED_TRACE("an argument is taken as it stands");
        WriteScript("G\r\n  Spaced  Group \r\n");
        ReadSetupFile();
        EXPECT_EQ(Form1->GroupName, "  Spaced  Group ");
    }
}

TEST_F(SetupScriptTest, AnEmptyLineWhereACommandIsExpectedSwallowsTheNextTwoLines)
{
    // The empty line's carriage return is the command; the skip to the next
    // line eats "T", and "Swallowed" is its argument.
    WriteScript("\r\nT\r\nSwallowed\r\nG\r\nGroup\r\n");
    ReadSetupFile();
    EXPECT_EQ(Form1->ProductTitle, "");
    EXPECT_EQ(Form1->Label1->Caption(), "Halvarn 95 Setup");
    EXPECT_EQ(Form1->GroupName, "Group");
}

TEST_F(SetupScriptTest, LineFeedsAloneDoNotEndLines)
{
    // The whole file is one line: T is the only command, and the file ends
    // before its argument.
    WriteScript("T\nTitle\nG\nGroup\n");
    ReadSetupFile();
    EXPECT_EQ(Form1->ProductTitle, "");
    EXPECT_EQ(Form1->Label1->Caption(), " Setup");
    EXPECT_EQ(Form1->GroupName, "");
}

TEST_F(SetupScriptTest, CarriageReturnsAloneEndLinesToo)
{
    WriteScript("T\rTitle\rG\rGroup");
    ReadSetupFile();
    EXPECT_EQ(Form1->ProductTitle, "Title");
    EXPECT_EQ(Form1->GroupName, "Group");
}

TEST_F(SetupScriptTest, CtrlZEndsTheScript)
{
    WriteScript(std::string("T\r\nBefore\r\n\x1A") + "T\r\nAfter\r\nM\r\nNever read\r\n");
    ReadSetupFile();
    EXPECT_EQ(Form1->ProductTitle, "Before");
    EXPECT_EQ(Form1->MessageList->Count(), 0);
}

TEST_F(SetupScriptTest, DestinationNameIsTheLastPartOfTheDestination)
{
    WriteScript("D\r\nC:\\APPS\\\r\n");
    ReadSetupFile();
    EXPECT_EQ(Form1->DestName, "");
    EXPECT_EQ(Form1->DestDir, "C:\\APPS\\");

    WriteScript("D\r\nA:APP\r\n");
    ReadSetupFile();
    EXPECT_EQ(Form1->DestName, "APP");
    EXPECT_EQ(Form1->DestDir, "A:APP\\");
}

TEST_F(SetupScriptTest, RecordsCutShortByTheEndOfTheFileGetEmptyArguments)
{
    WriteScript("S\r\nA question without its file");
    ReadSetupFile();
    EXPECT_EQ(Lines(*Form1->OptionList), (Strings{"A question without its file", ""}));

    WriteScript("T\r\n");
    ReadSetupFile();
    EXPECT_EQ(Form1->ProductTitle, "");
}

TEST_F(SetupScriptTest, AMissingScriptRaisesFileNotFoundAndReadsNothing)
{
    EXPECT_THROW(
        {
            try {
                ReadSetupFile();
            } catch (const EInOutError& e) {
                EXPECT_STREQ(e.what(), "File not found");
                EXPECT_EQ(e.ErrorCode, 2);
                throw;
            }
        },
        EInOutError);
    EXPECT_EQ(Form1->ProductTitle, "");
}

// A name that could lead out of its folder stops the start at its record, as
// an unreadable script does, before the run could write there; a full path
// with a drive, under the code N, is read as before.
TEST_F(SetupScriptTest, ANameThatCouldLeadOutOfItsFolderStopsTheStart)
{
    const struct {
        std::string Records;
        std::string Named;
    } cases[] = {
        {"F\r\nD..\\readme.txt{299\r\n", "F record 'D..\\readme.txt{299'"},
        {"Q\r\n..\\qescape\r\n", "Q record '..\\qescape'"},
        {"S\r\nWant it?\r\nDC:\\letters.txt\r\n", "S record 'DC:\\letters.txt'"},
        {"F\r\nNC:\\x\\.\\a.txt{1\r\n", "F record 'NC:\\x\\.\\a.txt{1'"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Records);
        WriteScript("T\r\nBefore\r\nF\r\nNC:\\full\\a.txt{1\r\n" + c.Records + "T\r\nAfter\r\n");
        Form1->FileList->Clear();
        try {
            ReadSetupFile();
            ADD_FAILURE() << "the script was read";
        } catch (const Exception& e) {
            EXPECT_EQ(e.Message(), "The " + c.Named + " of the setup script names its file through an empty, "
                                   "'.' or '..' part or a drive, which could place the file outside its folder");
        }
        EXPECT_EQ(Lines(*Form1->FileList), (Strings{"NC:\\full\\a.txt{1"}));
        EXPECT_EQ(Form1->ProductTitle, "Before");
    }
}

// The sample distribution that flsmake builds: every record arrives in the
// setup state, each size is the real size of the file shipped beside the
// script, and every source lies under the name the installation run looks for.
TEST_F(SetupScriptTest, TheSampleDistributionsScriptReadsBackWithTheRealSizes)
{
    const std::string dist = BuildFolder() + "sample\\";
    // The script is read where the test's program folder is, as it stands.
    TFileStream script(dist + "setup.fls", FileStreamMode::OpenRead);
    std::string bytes(static_cast<size_t>(script.Size()), '\0');
    script.ReadBuffer(bytes.data(), script.Size());
    WriteScript(bytes);

    ReadSetupFile();
    EXPECT_EQ(Form1->ProductTitle, "Halvarn 95");
    EXPECT_EQ(Form1->Label1->Caption(), "Halvarn 95 Setup");
    EXPECT_EQ(Form1->DestDir, "C:\\HALVARN\\");
    EXPECT_EQ(Form1->GroupName, "Halvarn 95");
    EXPECT_EQ(Lines(*Form1->ItemList), (Strings{"Dhalvarn95.exe,Halvarn 95", "Dreadme.txt,Read Me"}));
    EXPECT_EQ(Lines(*Form1->MessageList),
              (Strings{"Welcome to Halvarn 95.  This program installs Halvarn 95 on your computer."}));
    EXPECT_EQ(Lines(*Form1->UninstallList), (Strings{"U", "D*.TMP"}));

    const std::vector<std::string> files = Lines(*Form1->FileList);
    ASSERT_EQ(files.size(), 3u);
    for (const std::string& entry : files) {
        SCOPED_TRACE(entry);
        const ScriptFormat::FileArgument file = ScriptFormat::SplitFileArgument(entry);
        ASSERT_TRUE(file.HasBrace);
        const std::string source = dist + ScriptFormat::MandatorySourceName(file.Path);
        ASSERT_TRUE(FileIsPresent(source));
        TFileStream shipped(source, FileStreamMode::OpenRead);
        EXPECT_EQ(file.SizeText, std::to_string(shipped.Size()));
    }
    const std::vector<std::string> options = Lines(*Form1->OptionList);
    ASSERT_EQ(options.size(), 2u);
    EXPECT_EQ(options[0], "Would you like to install the Halvarn 95 sample letters?");
    EXPECT_TRUE(FileIsPresent(dist + FileNamePart(options[1]))) << options[1];
}

TEST_F(SetupScriptTest, CheckPathAddsOneBackslashWhereThereIsNone)
{
    EXPECT_EQ(Form1->CheckPath(""), "\\");
    EXPECT_EQ(Form1->CheckPath("C:\\"), "C:\\");
    EXPECT_EQ(Form1->CheckPath("C:\\APPS"), "C:\\APPS\\");
    EXPECT_EQ(Form1->CheckPath("C:\\APPS\\"), "C:\\APPS\\");
    EXPECT_EQ(Form1->CheckPath("C:"), "C:\\");
    EXPECT_EQ(Form1->CheckPath("C:\\APPS/"), "C:\\APPS/\\");
}

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
    ReadSetupFile();
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
    Form1->MessageList->Add("First");
    Form1->MessageList->Add("Second\rwith a second line");
    Form1->MessageList->Add("Third");
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
    EXPECT_EQ(Form1->SourceDir, "");
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

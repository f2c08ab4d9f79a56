// The installation run on the real progress form: path codes, the copy of
// mandatory and optional files with the uninstall log they leave, the
// missing-file prompt with its two wordings, Cancel between two files, a
// later activation that starts no second run, and the Start Menu group and
// items made only where the uninstaller can take them back.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "framework/Application.h"
#include "runtime/Files.h"
#include "runtime/Paths.h"
#include "setup/Setup1.h"
#include "setup/Setup3.h"
#include "setup/Setup4.h"
#include "setup/Setup5.h"
#include "tests/setup/SetupFixture.h"
#include "tests/support/ShellLinkFiles.h"
#include "tests/support/UiDriver.h"

namespace {

class InstallRunTest : public SetupTest {
protected:
    void SetUp() override
    {
        SetupTest::SetUp();
        UseTestFolders();
        Form1->GroupName = "Halvarn Group";
    }

    // Shows the progress form, which runs the installation on its
    // activation, answering every question as answer says; returns the
    // dialogs seen. The run ends by ending the program.
    std::vector<MessageDialogAnswerer::Dialog> Run(const MessageDialogAnswerer::Answer& answer)
    {
        MessageDialogAnswerer answerer(answer);
        Watchdog watchdog(15000);
        Form5->Show();
        EXPECT_TRUE(PumpUntil([] { return Application->Terminated(); }, 10000));
        return answerer.Seen;
    }

    std::string Log() { return FileIsPresent(Form1->DestDir + "uninst.fls") ? m_dir.ReadFile("DEST\\uninst.fls") : ""; }
};

TEST_F(InstallRunTest, PathCodesAreTheSixUpperCaseLetters)
{
    Form1->SourceDir = "A:\\";
    Form1->DestDir = "C:\\HALVARN\\";
    Form1->SysDir = "C:\\WINDOWS\\SYSTEM\\";
    Form1->StartupDir = "C:\\START\\";
    Form1->WinDir = "C:\\WINDOWS\\";
    EXPECT_EQ(ResolvePath("Asetup.exe"), "A:\\setup.exe");
    EXPECT_EQ(ResolvePath("Dsub\\data.dat"), "C:\\HALVARN\\sub\\data.dat");
    EXPECT_EQ(ResolvePath("ND:\\OTHER\\x.txt"), "D:\\OTHER\\x.txt");
    EXPECT_EQ(ResolvePath("Ssys.dll"), "C:\\WINDOWS\\SYSTEM\\sys.dll");
    EXPECT_EQ(ResolvePath("Tstart.lnk"), "C:\\START\\start.lnk");
    EXPECT_EQ(ResolvePath("Wwin.ini"), "C:\\WINDOWS\\win.ini");
    // Lower case and other letters are no codes: they name no file at all.
    EXPECT_EQ(ResolvePath("dsub\\data.dat"), "");
    EXPECT_EQ(ResolvePath("Xfoo"), "");
    EXPECT_EQ(ResolvePath(""), "");
}

// A whole run: mandatory files (one of zero bytes, one into a folder of the
// destination, one into the Windows directory), one optional file accepted
// and one declined, the Start Menu group with its links, a program
// information link, and the log in the order the run made things.
TEST_F(InstallRunTest, AWholeRunCopiesLinksAndLogsInOrder)
{
    m_dir.WriteFile("halvarn95.exe", std::string(70000, 'h'));
    m_dir.WriteFile("empty.dat", "");
    m_dir.WriteFile("data.dat", "data");
    m_dir.WriteFile("foo.ini", "[foo]");
    m_dir.WriteFile("letters.txt", "letters");
    // An optional entry without a backslash keeps its code letter in the
    // name of its source.
    m_dir.WriteFile("Dextra.txt", "extra");
    CreateDirectoryA((m_dir / "DEST\\sub").c_str(), nullptr);
    m_dir.WriteFile("DEST\\HALVARN.pif", "");
    for (const char* entry : {"Dhalvarn95.exe", "Dempty.dat", "Dsub\\data.dat", "Wfoo.ini"})
        Form3->CopyList->Add(entry);
    Form1->UninstallList->Add("U");
    Form1->UninstallList->Add("D*.TMP");
    for (const char* line : {"Install the letters?", "D.\\letters.txt", "Install the extra?", "Dextra.txt"})
        Form1->OptionList->Add(line);
    Form1->ItemList->Add("Dhalvarn95.exe,Halvarn 95");
    Form1->ItemList->Add("Dsub\\data.dat,The Data");
    Form1->PifList->Add("HALVARN");

    // The staging folder is \temp on the destination's drive; whether it
    // existed decides whether it is removed afterwards.
    const std::string temp = FileDrivePart(Form1->DestDir) + "\\temp";
    const bool tempExisted = IsExistingDirectory(temp);

    const auto seen = Run([](const std::string&, const std::string& text) {
        return std::string(text == "Install the extra?" ? "&No" : "&Yes");
    });
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen[0].Text, "Install the letters?");
    EXPECT_EQ(seen[0].Caption, "Information");
    EXPECT_EQ(seen[1].Text, "Install the extra?");
    EXPECT_EQ(seen[2].Text, "Would you like to put a Halvarn 95 item on the Start Menu?");

    EXPECT_EQ(m_dir.ReadFile("DEST\\halvarn95.exe"), std::string(70000, 'h'));
    EXPECT_TRUE(FileIsPresent(m_dir / "DEST\\empty.dat"));
    EXPECT_EQ(m_dir.ReadFile("DEST\\empty.dat"), "");
    EXPECT_EQ(m_dir.ReadFile("DEST\\sub\\data.dat"), "data");
    EXPECT_EQ(m_dir.ReadFile("WIN\\foo.ini"), "[foo]");
    EXPECT_EQ(m_dir.ReadFile("DEST\\letters.txt"), "letters");
    EXPECT_FALSE(FileIsPresent(m_dir / "DEST\\extra.txt"));
    EXPECT_FALSE(FileIsPresent(temp + "\\letters.txt"));
    EXPECT_FALSE(FileIsPresent(temp + "\\Dextra.txt"));
    EXPECT_EQ(IsExistingDirectory(temp), tempExisted);
    EXPECT_EQ(Form5->Gauge1->MaxValue(), 4);
    EXPECT_EQ(Form5->Gauge1->Progress(), 4);

    const std::string group = m_dir / "MENU\\PROGRAMS\\Halvarn Group\\";
    EXPECT_EQ(ReadLink(group + "Halvarn 95.lnk").Path, m_dir / "DEST\\halvarn95.exe");
    EXPECT_EQ(ReadLink(group + "The Data.lnk").Path, m_dir / "DEST\\sub\\data.dat");
    EXPECT_EQ(ReadLink(m_dir / "DEST\\HALVARN.pif").Path, m_dir / "DEST\\HALVARN.bat");

    const std::string d = Form1->DestDir;
    const std::string expected = "U\r\nD*.TMP\r\n"
                                 "F\r\n" + d + "halvarn95.exe\r\n"
                                 "F\r\n" + d + "empty.dat\r\n"
                                 "F\r\n" + d + "sub\\data.dat\r\n"
                                 "F\r\n" + m_dir.Path() + "WIN\\foo.ini\r\n"
                                 "F\r\n" + temp + "\\letters.txt\r\n"
                                 "F\r\n" + d + ".\\letters.txt\r\n"
                                 "F\r\n" + temp + "\\Dextra.txt\r\n"
                                 "G\r\nHalvarn Group\r\n"
                                 "F\r\n" + d + "HALVARN.pif\r\n"
                                 "D\r\n" + d + "\r\n";
    EXPECT_EQ(Log(), expected);
}

// The prompt for a missing source file: Retry looks again, Ignore skips the
// file without a record and the gauge still moves; the wording names a
// directory, or a diskette when the setup program runs from one.
TEST_F(InstallRunTest, MissingFilePromptRetryIgnoreAndDisketteWording)
{
    m_dir.WriteFile("first.txt", "first");
    Form3->CopyList->Add("Dlate.txt");
    Form3->CopyList->Add("Dgone.txt");
    Form3->CopyList->Add("Dfirst.txt");
    int prompts = 0;
    const auto seen = Run([&](const std::string&, const std::string& text) {
        if (text.rfind("I cannot find the file - late.txt", 0) == 0) {
            // The user finds the file and puts it in place, then retries.
            if (++prompts == 2)
                m_dir.WriteFile("late.txt", "late");
            return std::string("&Retry");
        }
        if (text.rfind("I cannot find the file - gone.txt", 0) == 0)
            return std::string("&Ignore");
        return std::string("&No");
    });
    ASSERT_GE(seen.size(), 3u);
    EXPECT_EQ(seen[0].Caption, "Warning");
    EXPECT_EQ(seen[0].Text,
              "I cannot find the file - late.txt\r\rPlease make sure it is in the " + m_dir.Path() + " Directory.");
    EXPECT_EQ(seen[1].Text, seen[0].Text);
    EXPECT_EQ(seen[2].Text,
              "I cannot find the file - gone.txt\r\rPlease make sure it is in the " + m_dir.Path() + " Directory.");
    EXPECT_EQ(m_dir.ReadFile("DEST\\late.txt"), "late");
    EXPECT_FALSE(FileIsPresent(m_dir / "DEST\\gone.txt"));
    EXPECT_EQ(m_dir.ReadFile("DEST\\first.txt"), "first");
    EXPECT_TRUE(FileSkipped);
    EXPECT_EQ(Form5->Gauge1->Progress(), 3);
    const std::string log = Log();
    EXPECT_NE(log.find("F\r\n" + Form1->DestDir + "late.txt\r\n"), std::string::npos);
    EXPECT_EQ(log.find("gone.txt"), std::string::npos);
}

// From drive A:, the test bed's diskette drive, the prompt asks for the
// other diskette in the source's drive.
TEST_F(InstallRunTest, MissingFilePromptFromADisketteAsksForTheOtherDiskette)
{
    Form1->SourceDir = "A:\\";
    ASSERT_TRUE(SourceIsRemovable());
    MessageDialogAnswerer answerer([](const std::string&, const std::string&) { return std::string("&Ignore"); });
    Watchdog watchdog(8000);
    FileSkipped = false;
    EXPECT_FALSE(CopyOneFile(m_dir / "gone.txt", m_dir / "DEST\\gone.txt"));
    ASSERT_EQ(answerer.Seen.size(), 1u);
    EXPECT_EQ(answerer.Seen[0].Caption, "Warning");
    EXPECT_EQ(answerer.Seen[0].Text,
              "I cannot find the file - gone.txt\r\rPlease insert the other diskette in the " + m_dir.Path() + " Drive.");
    EXPECT_TRUE(FileSkipped);
}

// Coming back to the progress form from another form of the program during
// the run activates it again; the run goes on once, not twice.
TEST_F(InstallRunTest, ALaterActivationStartsNoSecondRun)
{
    m_dir.WriteFile("one.txt", "one");
    Form3->CopyList->Add("Done.txt");
    int questions = 0;
    const auto seen = Run([&](const std::string&, const std::string&) {
        if (++questions == 1) {
            // The user has clicked the splash and comes back to the
            // progress form: the framework activates it again.
            Form5->Activate();
        }
        return std::string("&No");
    });
    EXPECT_EQ(seen.size(), 1u);
    EXPECT_TRUE(Form5->RunStarted());
    EXPECT_EQ(Log(), "F\r\n" + Form1->DestDir + "one.txt\r\nD\r\n" + Form1->DestDir + "\r\n");
}

// A destination folder that does not exist: the stream's error is reported
// by the framework, the run stops there and writes no log.
TEST_F(InstallRunTest, ACopyThatFailsStopsTheRunWithoutALog)
{
    m_dir.WriteFile("data.dat", "data");
    Form3->CopyList->Add("Dmissing\\data.dat");
    MessageBoxCloser closer;
    const std::vector<std::string>& reported = closer.Texts;
    Watchdog watchdog(8000);
    Form5->Show();
    ASSERT_TRUE(PumpUntil([&] { return !reported.empty(); }, 6000));
    EXPECT_EQ(reported[0], "Cannot create file " + Form1->DestDir + "missing\\data.dat.");
    PumpFor(200);
    EXPECT_FALSE(Application->Terminated());
    EXPECT_FALSE(FileIsPresent(m_dir / "DEST\\uninst.fls"));
    EXPECT_TRUE(Form5->Visible());
}

// An optional file that is on neither medium and that the user skipped at
// the missing-file prompt is not offered: no question is asked for it,
// nothing of it is staged or logged, and the optional file after it is
// still offered as usual.
TEST_F(InstallRunTest, AnOptionalFileSkippedAtThePromptIsNotOffered)
{
    // Entries without a backslash keep their code letter in the source name.
    m_dir.WriteFile("Dletters.txt", "letters");
    for (const char* line : {"Install the gone file?", "Dgone.txt", "Install the letters?", "Dletters.txt"})
        Form1->OptionList->Add(line);
    const std::string temp = FileDrivePart(Form1->DestDir) + "\\temp";
    const bool tempExisted = IsExistingDirectory(temp);

    const auto seen = Run([](const std::string&, const std::string& text) {
        if (text.rfind("I cannot find the file - ", 0) == 0)
            return std::string("&Ignore");
        return std::string("&Yes");
    });
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen[0].Caption, "Warning");
    EXPECT_EQ(seen[0].Text, "I cannot find the file - Dgone.txt\r\rPlease make sure it is in the " + m_dir.Path() +
                                " Directory.");
    EXPECT_EQ(seen[1].Text, "Install the letters?");
    EXPECT_EQ(seen[2].Text, "Would you like to put a Halvarn 95 item on the Start Menu?");
    EXPECT_TRUE(FileSkipped);

    EXPECT_FALSE(FileIsPresent(temp + "\\Dgone.txt"));
    EXPECT_FALSE(FileIsPresent(m_dir / "DEST\\gone.txt"));
    EXPECT_EQ(m_dir.ReadFile("DEST\\letters.txt"), "letters");
    EXPECT_EQ(IsExistingDirectory(temp), tempExisted);
    const std::string d = Form1->DestDir;
    EXPECT_EQ(Log(), "F\r\n" + temp + "\\Dletters.txt\r\n"
                     "F\r\n" + d + "letters.txt\r\n"
                     "G\r\nHalvarn Group\r\n"
                     "D\r\n" + d + "\r\n");
}

// The .lnk files anywhere below folder.
std::vector<std::string> LinksBelow(const std::string& folder)
{
    std::vector<std::string> links;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "*").c_str(), &found);
    for (BOOL more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileA(search, &found)) {
        const std::string name = found.cFileName;
        if (name == "." || name == "..")
            continue;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            for (const std::string& inner : LinksBelow(folder + name + "\\"))
                links.push_back(name + "\\" + inner);
        } else if (name.size() > 4 && name.substr(name.size() - 4) == ".lnk") {
            links.push_back(name);
        }
    }
    if (search != INVALID_HANDLE_VALUE)
        FindClose(search);
    std::sort(links.begin(), links.end());
    return links;
}

// A group in a folder of the Programs folder is made and logged as it is
// named. Start Menu items that name no link (no comma), no target (no path
// code before the comma) or a link outside the group (a name with a path in
// it) make no link; the items around them do.
TEST_F(InstallRunTest, StartMenuItemsMakeLinksOnlyInsideTheGroup)
{
    Form1->GroupName = "Tools\\Halvarn Group";
    for (const char* item : {"Dhalvarn95.exe,Halvarn 95", "Dreadme.txt", "Xbad.exe,Unknown Code",
                             "dlower.exe,Lower Case Code", ",Empty Target", "Dreadme.txt,..\\..\\..\\Escaped",
                             "Dreadme.txt,Sub\\Item", "Dreadme.txt,Read Me"})
        Form1->ItemList->Add(item);
    const auto seen = Run([](const std::string&, const std::string&) { return std::string("&Yes"); });
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].Text, "Would you like to put a Halvarn 95 item on the Start Menu?");

    const std::string group = m_dir / "MENU\\PROGRAMS\\Tools\\Halvarn Group\\";
    EXPECT_EQ(LinksBelow(m_dir.Path()), (std::vector<std::string>{"MENU\\PROGRAMS\\Tools\\Halvarn Group\\Halvarn 95.lnk",
                                                                   "MENU\\PROGRAMS\\Tools\\Halvarn Group\\Read Me.lnk"}));
    EXPECT_EQ(ReadLink(group + "Halvarn 95.lnk").Path, m_dir / "DEST\\halvarn95.exe");
    EXPECT_EQ(ReadLink(group + "Read Me.lnk").Path, m_dir / "DEST\\readme.txt");
    const std::string d = Form1->DestDir;
    EXPECT_EQ(Log(), "G\r\nTools\\Halvarn Group\r\nD\r\n" + d + "\r\n");
}

// A group name that is no folder below the Programs folder (here one that
// leads out of it) makes nothing: no question, no folder, no link, no "G"
// record.
TEST_F(InstallRunTest, AGroupOutsideTheProgramsFolderMakesNothing)
{
    Form1->GroupName = "..\\Outside";
    Form1->ItemList->Add("Dreadme.txt,Read Me");
    const auto seen = Run([](const std::string&, const std::string&) { return std::string("&Yes"); });
    EXPECT_TRUE(seen.empty()) << seen[0].Text;
    EXPECT_FALSE(IsExistingDirectory(m_dir / "MENU\\Outside"));
    EXPECT_TRUE(LinksBelow(m_dir.Path()).empty());
    EXPECT_EQ(Log(), "D\r\n" + Form1->DestDir + "\r\n");
}

// An optional file whose copy from the staging folder fails (its folder
// below the destination does not exist): the error is reported and the run
// stops, and neither the staged copy nor a staging folder the run made is
// left behind.
TEST_F(InstallRunTest, AFailedOptionalCopyLeavesNothingStaged)
{
    m_dir.WriteFile("letters.txt", "letters");
    for (const char* line : {"Install the letters?", "Dmissing\\letters.txt"})
        Form1->OptionList->Add(line);
    const std::string temp = FileDrivePart(Form1->DestDir) + "\\temp";
    const bool tempExisted = IsExistingDirectory(temp);
    ASSERT_FALSE(FileIsPresent(temp + "\\letters.txt"));

    MessageDialogAnswerer answerer([](const std::string&, const std::string&) { return std::string("&Yes"); });
    MessageBoxCloser closer;
    Watchdog watchdog(8000);
    Form5->Show();
    ASSERT_TRUE(PumpUntil([&] { return !closer.Texts.empty(); }, 6000));
    EXPECT_EQ(closer.Texts[0], "Cannot create file " + Form1->DestDir + "missing\\letters.txt.");
    ASSERT_EQ(answerer.Seen.size(), 1u);
    EXPECT_EQ(answerer.Seen[0].Text, "Install the letters?");
    EXPECT_FALSE(FileIsPresent(temp + "\\letters.txt"));
    EXPECT_EQ(IsExistingDirectory(temp), tempExisted);
    EXPECT_FALSE(Application->Terminated());
}

} // namespace

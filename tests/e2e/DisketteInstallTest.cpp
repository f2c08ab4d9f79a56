// The real setup.exe run from drive A:, driven from outside as its user
// would: the sample product as the vendor's tool laid it out on two floppy
// images, installed with a change of diskettes and uninstalled again; and a
// setup program started as a:\setup.exe in lower case, whose own directory is
// then spelled in two ways.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "framework/MessageDialogs.h"
#include "tests/support/DialogPictures.h"
#include "tests/support/FrameworkTest.h"
#include "tests/support/ProgramPaths.h"
#include "tests/support/SampleDiskettes.h"
#include "tests/support/SetupSession.h"
#include "tests/support/ShellLinkFiles.h"
#include "tests/support/TempDir.h"

namespace {

Strings Sorted(Strings names)
{
    std::sort(names.begin(), names.end());
    return names;
}

// The framework is started here too: the setup's message dialogs are
// compared with the ones it draws.
class DisketteInstallTest : public FrameworkTest {
protected:
    void SetUp() override
    {
        FrameworkTest::SetUp();
        ASSERT_EQ(GetDriveTypeA("A:\\"), static_cast<UINT>(DRIVE_REMOVABLE));
        m_programs = ProgramsFolder();
        ASSERT_FALSE(m_programs.empty());
        m_dest = m_target.Path() + "HALVARN\\";
        // Optional files are staged in \temp of the destination's drive.
        m_staging = m_dest.substr(0, 2) + "\\temp";
        m_stagingExisted = DirExists(m_staging);
        m_productLog = m_target.Path() + "starts.log";
        SetEnvironmentVariableA("HALVARN95_LOG", m_productLog.c_str());
    }
    void TearDown() override
    {
        SetEnvironmentVariableA("HALVARN95_LOG", nullptr);
        FrameworkTest::TearDown();
    }

    // Waits for the message dialog with this caption, checks what it says
    // and which buttons it has, and leaves it open.
    HWND Dialog(SetupSession& setup, const char* caption, const std::string& text, MessageButtons buttons)
    {
        HWND dialog = setup.Process().WaitForWindow("TMessageForm", caption);
        if (!dialog)
            return nullptr;
        const MessageKind kind = std::string(caption) == "Warning" ? MessageKind::Warning : MessageKind::Information;
        EXPECT_TRUE(MessageDialogShows(dialog, text, kind, buttons));
        return dialog;
    }
    // The same, then presses button.
    void Answer(SetupSession& setup, const char* caption, const std::string& text, MessageButtons buttons,
                const std::string& button)
    {
        HWND dialog = Dialog(setup, caption, text, buttons);
        ASSERT_NE(dialog, nullptr) << text;
        ClickButton(dialog, button);
        setup.Process().WaitUntilGone(dialog);
    }

    TempDir m_target;
    std::string m_dest;
    std::string m_staging;
    bool m_stagingExisted = false;
    std::string m_programs;
    std::string m_productLog;
};

const std::string Welcome = "Welcome to Halvarn 95.  This program installs Halvarn 95 on your computer.";

// The sample as flsmake lays it out on two 1.44 MB images: the program and
// the script on the first diskette, the product's files on the second. The
// first file asks for the other diskette, Retry goes on with it, and at the
// end the first diskette is asked for again. Every file arrives whole, the
// log and the links are as the run made them, the product is started, and
// the uninstallation takes everything away again.
TEST_F(DisketteInstallTest, TheVendorsImagesInstallAcrossTwoDiskettesAndUninstallCleanly)
{
    const std::string group = "Halvarn 95";
    const std::string groupFolder = m_programs + group + "\\";
    // A group of the sample left by an earlier run of the test bed would be
    // taken for this run's.
    RemoveTree(groupFolder);
    const std::string product = BuildFolder() + "e2e-diskettes\\product\\";
    const Strings firstDisk = Sorted(FilesIn(SampleDisketteFolder(1)));
    ASSERT_EQ(firstDisk, (Strings{"setup.exe", "setup.fls"}));
    ASSERT_EQ(Sorted(FilesIn(SampleDisketteFolder(2))),
              (Strings{"Dletters.txt", "halvarn.dat", "halvarn95.exe", "readme.txt"}));

    EmptyDriveAtEnd emptyDriveAtEnd;
    InsertDiskette(1);
    {
        SetupSession setup("A:\\");
        Answer(setup, "Information", Welcome, {mbOK}, "OK");
        setup.Choose(true);
        setup.Settle(m_dest);
        HWND prompt = Dialog(setup, "Warning",
                             "I cannot find the file - halvarn95.exe\r\r"
                             "Please insert the other diskette in the A:\\ Drive.",
                             {mbRetry, mbIgnore});
        ASSERT_NE(prompt, nullptr);
        InsertDiskette(2);
        ClickButton(prompt, "&Retry");
        setup.Process().WaitUntilGone(prompt);
        Answer(setup, "Information", "Would you like to install the Halvarn 95 sample letters?", {mbYes, mbNo},
               "&Yes");
        Answer(setup, "Information", "Would you like to put a Halvarn 95 item on the Start Menu?", {mbYes, mbNo},
               "&Yes");
        HWND first = Dialog(setup, "Information", "Please Insert the First Diskette.", {mbOK});
        ASSERT_NE(first, nullptr);
        InsertDiskette(1);
        ClickButton(first, "OK");
        EXPECT_EQ(setup.Process().WaitForExit(), 0u);
    }
    const Strings starts = ProductStarts(m_productLog, true);
    ASSERT_EQ(starts.size(), 1u);
    EXPECT_EQ(ArgumentsOf(starts[0]), "copy \"A:\\setup.exe\" \"" + m_programs + "\" False");

    EXPECT_EQ(Sorted(FilesIn(m_dest)),
              (Strings{"halvarn.dat", "halvarn95.exe", "letters.txt", "readme.txt", "uninst.exe", "uninst.fls"}));
    for (const char* name : {"halvarn95.exe", "readme.txt", "halvarn.dat", "letters.txt"}) {
        SCOPED_TRACE(name);
        const std::string shipped = ReadWhole(product + name);
        ASSERT_FALSE(shipped.empty());
        EXPECT_TRUE(ReadWhole(m_dest + name) == shipped) << "the installed file differs from the product's";
    }
    EXPECT_EQ(ReadWhole(m_dest + "uninst.fls"),
              Records({"T", "Halvarn 95", "U", "D*.TMP", "F", m_dest + "halvarn95.exe", "F", m_dest + "readme.txt", "F",
                       m_dest + "halvarn.dat", "F", m_staging + "\\Dletters.txt", "F", m_dest + "letters.txt", "G",
                       group, "F", m_dest + "uninst.exe", "R", "Halvarn95", "D", m_dest}));
    EXPECT_EQ(Sorted(FilesIn(groupFolder)), (Strings{"Halvarn 95.lnk", "Read Me.lnk"}));
    EXPECT_EQ(ReadLink(groupFolder + "Halvarn 95.lnk").Path, m_dest + "halvarn95.exe");
    EXPECT_EQ(ReadLink(groupFolder + "Read Me.lnk").Path, m_dest + "readme.txt");
    EXPECT_EQ(DirExists(m_staging), m_stagingExisted);
    EXPECT_FALSE(FileExists(m_staging + "\\Dletters.txt"));
    EXPECT_EQ(Sorted(FilesIn("A:\\")), firstDisk) << "the run wrote onto the diskette";

    // The uninstallation from the first diskette: the log lies in the
    // destination, so the user picks it.
    {
        SetupSession setup("A:\\");
        Answer(setup, "Information", Welcome, {mbOK}, "OK");
        HWND form = setup.UninstallWithLog(m_dest + "uninst.fls");
        ASSERT_NE(form, nullptr);
        EXPECT_EQ(ListBoxLines(SetupSession::List(form)),
                  (Strings{"File - " + m_dest + "halvarn95.exe", "File - " + m_dest + "readme.txt",
                           "File - " + m_dest + "halvarn.dat", "File - " + m_dest + "letters.txt",
                           "Program Manager Group - " + group, "File - " + m_dest + "uninst.exe",
                           "Directory - " + m_dest}));
        ClickButton(form, "Select All");
        ClickButton(form, "Uninstall");
        // The log is no file the log names, but the directory holds nothing
        // else once the rest is gone: it goes with the log, without a
        // question.
        Answer(setup, "Information", "Uninstall is Complete", {mbOK}, "OK");
        EXPECT_EQ(setup.Process().WaitForExit(), 0u);
    }
    EXPECT_FALSE(DirExists(m_dest));
    EXPECT_FALSE(DirExists(groupFolder));
    EXPECT_TRUE(DirExists(m_programs));
    EXPECT_EQ(DirExists(m_staging), m_stagingExisted);
    EXPECT_EQ(Sorted(FilesIn("A:\\")), firstDisk);
    EXPECT_EQ(ProductStarts(m_productLog, false).size(), 1u) << "the uninstallation started the product";
}

// Started as a:\setup.exe, the program's own directory is spelled two ways:
// as the system reports it (a:\) where the source files are looked for, so
// the missing-file prompt names a:\; and in upper case (A:\) for the path
// code A, so an optional file bound for the diskette is logged under A:\.
// The product's command line names the program as it was started.
TEST_F(DisketteInstallTest, FromLowerCaseAColonTheSourceIsUpperCaseWhileTheProgramDirectoryKeepsItsCase)
{
    const std::string group = "Halvarn Test " + std::to_string(GetCurrentProcessId());
    TempDir disk;
    ASSERT_TRUE(CopyFileA((BuildFolder() + "setup.exe").c_str(), (disk / "setup.exe").c_str(), FALSE));
    ASSERT_TRUE(CopyFileA(ProductProgram().c_str(), (disk / "halvarn95.exe").c_str(), FALSE));
    disk.WriteFile("Anote.txt", "a note for the diskette\r\n");
    disk.WriteFile("setup.fls", Records({"T", "Halvarn 95", "D", m_dest.substr(0, m_dest.size() - 1), "G", group,
                                         "F", "Dhalvarn95.exe{1", "F", "Dmissing.dat{1", "S",
                                         "Would you like the note on the diskette?", "Anote.txt"}));
    EmptyDriveAtEnd emptyDriveAtEnd;
    InsertDisketteFiles(disk.Path(), {"setup.exe", "setup.fls", "halvarn95.exe", "Anote.txt"});
    {
        SetupSession setup("a:\\");
        setup.Choose(true);
        setup.Settle(m_dest);
        HWND prompt = Dialog(setup, "Warning",
                             "I cannot find the file - missing.dat\r\r"
                             "Please insert the other diskette in the a:\\ Drive.",
                             {mbRetry, mbIgnore});
        ASSERT_NE(prompt, nullptr);
        EXPECT_FALSE(MessageDialogShows(prompt,
                                        "I cannot find the file - missing.dat\r\r"
                                        "Please insert the other diskette in the A:\\ Drive.",
                                        MessageKind::Warning, {mbRetry, mbIgnore}))
            << "the comparison does not tell a:\\ from A:\\";
        ClickButton(prompt, "&Ignore");
        setup.Process().WaitUntilGone(prompt);
        Answer(setup, "Information", "Would you like the note on the diskette?", {mbYes, mbNo}, "&Yes");
        Answer(setup, "Information", "Would you like to put a Halvarn 95 item on the Start Menu?", {mbYes, mbNo},
               "&No");
        // setup.exe is still in the drive: the first diskette is not asked for.
        EXPECT_EQ(setup.Process().WaitForExit(), 0u);
    }
    const Strings starts = ProductStarts(m_productLog, true);
    ASSERT_EQ(starts.size(), 1u);
    // A file was skipped: the command line ends in a blank.
    EXPECT_EQ(ArgumentsOf(starts[0]), "copy \"a:\\setup.exe\" \"" + m_programs + "\" ");
    EXPECT_EQ(ReadWhole(m_dest + "uninst.fls"),
              Records({"T", "Halvarn 95", "F", m_dest + "halvarn95.exe", "F", m_staging + "\\Anote.txt", "F", "A:\\note.txt", "F",
                       m_dest + "uninst.exe", "R", "Halvarn95", "D", m_dest}));
    EXPECT_EQ(ReadWhole("A:\\note.txt"), "a note for the diskette\r\n");
    EXPECT_FALSE(DirExists(m_programs + group));
}

} // namespace

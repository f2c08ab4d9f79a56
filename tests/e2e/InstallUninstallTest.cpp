// The real setup.exe installing and uninstalling from outside, on real
// folders: an installation from a folder and one from two diskettes in drive
// A:, the Start Menu question declined, Cancel between two files, the
// uninstallation of what was installed with its questions, and logs crafted
// to make it remove folders it must never remove.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "runtime/Paths.h"
#include "tests/e2e/InstallFixture.h"
#include "tests/support/ProcessDriver.h"
#include "tests/support/ProgramPaths.h"
#include "tests/support/SampleDiskettes.h"
#include "tests/support/SetupSession.h"
#include "tests/support/ShellLinkFiles.h"
#include "tests/support/TempDir.h"

namespace {

// The whole installation from a folder, then its uninstallation through the
// file-open dialog (the log lies in the destination, not beside the program).
TEST_F(InstallTest, FromAFolderEverythingIsInPlaceAndTheUninstallationTakesItAllAway)
{
    TempDir dist;
    WriteProduct(dist.Path());
    const Strings files{"Dhalvarn95.exe", "Dreadme.txt", "Dempty.dat", "DHALVARN.bat", "DHALVARN.pif"};
    dist.WriteFile("setup.fls", Script(files));
    const std::string temp = "C:\\temp";
    RemoveDirectoryA(temp.c_str());
    ASSERT_FALSE(DirExists(temp)) << "a staging folder with contents is left from before";
    {
        SetupSession setup(dist.Path());
        setup.Choose(true);
        setup.Settle(m_dest);
        setup.Answer("Information", "&Yes");  // the sample letters
        setup.Answer("Information", "&No");   // the extra file
        setup.Answer("Information", "&Yes");  // the Start Menu
        EXPECT_EQ(setup.Process().WaitForExit(), 0u);
    }
    const Strings starts = ProductStarts(m_productLog, true);
    ASSERT_EQ(starts.size(), 1u);
    const std::string arguments =
        "copy \"" + dist.Path() + "setup.exe\" \"" + m_programs + "\" False";
    EXPECT_EQ(ArgumentsOf(starts[0]), arguments);

    for (const char* name : {"halvarn95.exe", "readme.txt", "empty.dat", "HALVARN.bat"}) {
        SCOPED_TRACE(name);
        ASSERT_TRUE(FileExists(m_dest + name));
        EXPECT_EQ(ReadWhole(m_dest + name), ReadWhole(dist.Path() + name));
    }
    EXPECT_EQ(ReadWhole(m_dest + "letters.txt"), ReadWhole(dist.Path() + "Dletters.txt"));
    EXPECT_FALSE(FileExists(m_dest + "extra.txt"));
    EXPECT_FALSE(DirExists(temp)) << "the staging folder did not exist before, so it goes";

    const std::string group = m_programs + m_group + "\\";
    Strings links = FilesIn(group);
    std::sort(links.begin(), links.end());
    EXPECT_EQ(links, (Strings{"Halvarn 95.lnk", "Read Me.lnk"}));
    EXPECT_EQ(ReadLink(group + "Halvarn 95.lnk").Path, m_dest + "halvarn95.exe");
    EXPECT_EQ(ReadLink(group + "Read Me.lnk").Path, m_dest + "readme.txt");
    const LinkSettings pif = ReadLink(m_dest + "HALVARN.pif");
    EXPECT_EQ(pif.Path, m_dest + "HALVARN.bat");
    EXPECT_EQ(pif.WorkingDirectory, "C:\\HALVARN");
    EXPECT_EQ(pif.Description, "") << "the update stores no description";

    const std::string stagedLetters = temp + "\\Dletters.txt";
    const std::string stagedExtra = temp + "\\Dextra.txt";
    EXPECT_EQ(ReadWhole(m_dest + "uninst.fls"),
              Records({"T", "Halvarn 95", "U", "D*.TMP", "F", m_dest + "halvarn95.exe", "F", m_dest + "readme.txt", "F",
                       m_dest + "empty.dat", "F", m_dest + "HALVARN.bat", "F", m_dest + "HALVARN.pif", "F",
                       stagedLetters, "F", m_dest + "letters.txt", "F", stagedExtra, "G", m_group, "F",
                       m_dest + "HALVARN.pif", "F", m_dest + "uninst.exe", "R", "Halvarn95", "D", m_dest}));

    // The uninstallation: the log is looked for beside the program first.
    WriteWhole(m_dest + "old.TMP", "left by the product");
    {
        SetupSession setup(dist.Path());
        HWND form = setup.UninstallWithLog(m_dest + "uninst.fls");
        ASSERT_NE(form, nullptr);
        EXPECT_EQ(ListBoxLines(SetupSession::List(form)),
                  (Strings{"File - " + m_dest + "old.TMP", "File - " + m_dest + "halvarn95.exe",
                           "File - " + m_dest + "readme.txt", "File - " + m_dest + "empty.dat",
                           "File - " + m_dest + "HALVARN.bat", "File - " + m_dest + "HALVARN.pif",
                           "File - " + m_dest + "letters.txt", "Program Manager Group - " + m_group,
                               "File - " + m_dest + "HALVARN.pif", "File - " + m_dest + "uninst.exe",
                           "Directory - " + m_dest}));
        ClickButton(form, "Select All");
        ClickButton(form, "Uninstall");
        // The log itself is no file the log names, but once the rest has
        // gone the directory holds nothing else: it goes with the log,
        // without a question.
        setup.Answer("Information", "OK");  // Uninstall is Complete
        EXPECT_EQ(setup.Process().WaitForExit(), 0u);
    }
    EXPECT_FALSE(DirExists(m_dest));
    EXPECT_FALSE(DirExists(m_programs + m_group));
    EXPECT_TRUE(DirExists(m_programs));
}

// From two diskettes in drive A: the missing file asks for the other
// diskette; the test swaps the diskette and Retry goes on. A file on neither
// is ignored, which leaves the product's command line ending in a blank. At
// the end the first diskette is asked for. The Start Menu is declined: no
// group and no "G" record, but the program information link is updated. A
// staging folder that existed before is left.
TEST_F(InstallTest, FromTwoDiskettesWithASwapAnIgnoredFileAndNoStartMenu)
{
    const std::string floppy = "A:\\";
    ASSERT_EQ(GetDriveTypeA(floppy.c_str()), static_cast<UINT>(DRIVE_REMOVABLE));
    TempDir disks;
    WriteProduct(disks.Path());
    // The first diskette holds the program and the first files; the second
    // the rest.
    const Strings firstDisk{"setup.exe", "setup.fls", "halvarn95.exe", "readme.txt", "HALVARN.pif"};
    const Strings secondDisk{"empty.dat", "HALVARN.bat", "Dletters.txt", "Dextra.txt"};
    EmptyDriveAtEnd emptyDriveAtEnd;
    auto insert = [&](const Strings& names) { InsertDisketteFiles(disks.Path(), names); };
    disks.WriteFile("setup.fls", Script({"Dhalvarn95.exe", "Dreadme.txt", "DHALVARN.pif", "Dmissing.dat",
                                         "Dempty.dat", "DHALVARN.bat"}));
    insert(firstDisk);
    const std::string temp = "C:\\temp";
    CreateDirectoryA(temp.c_str(), nullptr);
    ASSERT_TRUE(DirExists(temp));
    {
        SetupSession setup(floppy);
        setup.Choose(true);
        setup.Settle(m_dest);
        // missing.dat is on neither diskette: Ignore.
        setup.Answer("Warning", "&Ignore");
        // empty.dat is on the second diskette: Retry first finds nothing,
        // then the diskettes are swapped and Retry goes on.
        setup.Answer("Warning", "&Retry");
        HWND prompt = setup.Process().WaitForWindow("TMessageForm", "Warning");
        ASSERT_NE(prompt, nullptr);
        insert(secondDisk);
        ClickButton(prompt, "&Retry");
        setup.Process().WaitUntilGone(prompt);
        setup.Answer("Information", "&No");   // the sample letters
        setup.Answer("Information", "&Yes");  // the extra file
        setup.Answer("Information", "&No");   // the Start Menu
        // setup.exe is not on the second diskette: the first is asked for.
        HWND first = setup.Process().WaitForWindow("TMessageForm", "Information");
        ASSERT_NE(first, nullptr);
        EXPECT_NE(FindChildWindow(first, "OK"), nullptr);
        EXPECT_EQ(FindChildWindow(first, "&Yes"), nullptr);
        insert(firstDisk);
        ClickButton(first, "OK");
        EXPECT_EQ(setup.Process().WaitForExit(), 0u);
    }
    const Strings starts = ProductStarts(m_productLog, true);
    ASSERT_EQ(starts.size(), 1u);
    const std::string arguments = "copy \"A:\\setup.exe\" \"" + m_programs + "\" ";
    EXPECT_EQ(ArgumentsOf(starts[0]), arguments);

    for (const char* name : {"halvarn95.exe", "readme.txt", "empty.dat", "HALVARN.bat"}) {
        SCOPED_TRACE(name);
        ASSERT_TRUE(FileExists(m_dest + name));
        EXPECT_EQ(ReadWhole(m_dest + name), ReadWhole(disks.Path() + name));
    }
    EXPECT_EQ(ReadWhole(m_dest + "extra.txt"), ReadWhole(disks.Path() + "Dextra.txt"));
    EXPECT_FALSE(FileExists(m_dest + "missing.dat"));
    EXPECT_FALSE(FileExists(m_dest + "letters.txt"));
    EXPECT_TRUE(DirExists(temp)) << "a staging folder that existed is left";
    EXPECT_FALSE(FileExists(temp + "\\Dletters.txt"));
    EXPECT_FALSE(FileExists(temp + "\\Dextra.txt"));
    RemoveDirectoryA(temp.c_str());
    EXPECT_FALSE(DirExists(m_programs + m_group));
    EXPECT_EQ(ReadLink(m_dest + "HALVARN.pif").Path, m_dest + "HALVARN.bat");
    EXPECT_EQ(ReadWhole(m_dest + "uninst.fls"),
              Records({"T", "Halvarn 95", "U", "D*.TMP", "F", m_dest + "halvarn95.exe", "F", m_dest + "readme.txt", "F",
                       m_dest + "HALVARN.pif", "F", m_dest + "empty.dat", "F", m_dest + "HALVARN.bat", "F",
                       temp + "\\Dletters.txt", "F", temp + "\\Dextra.txt", "F", m_dest + "extra.txt", "F",
                       m_dest + "HALVARN.pif", "F", m_dest + "uninst.exe", "R", "Halvarn95", "D", m_dest}));
}

// The one entry of folder whose name starts with prefix (a folder the run
// made with a name of its own); empty when there is not exactly one.
std::string OnlyEntry(const std::string& folder, const std::string& prefix)
{
    Strings found;
    WIN32_FIND_DATAA entry;
    HANDLE search = FindFirstFileA((folder + prefix + "*").c_str(), &entry);
    for (BOOL more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileA(search, &entry))
        found.push_back(folder + entry.cFileName);
    if (search != INVALID_HANDLE_VALUE)
        FindClose(search);
    return found.size() == 1 ? found[0] : std::string();
}

// A destination that holds the user's files is installed into only after a
// question (No keeps the settings with nothing made, Yes goes on); a
// reinstallation, with the log of the first, asks nothing. The optional
// files' staging touches nothing it did not make: a staging folder that the
// run made keeps a file the user saved into it while a question was open; a
// file of the staged name in it survives, the copy waiting in a folder of
// the run's own instead; and a file named like the staging folder survives,
// the copy waiting in a folder of the run's own beside it.
TEST_F(InstallTest, AnOccupiedDestinationAsksAndTheStagingLeavesTheUsersFiles)
{
    TempDir dist;
    WriteProduct(dist.Path());
    dist.WriteFile("setup.fls", Script({"Dhalvarn95.exe", "Dreadme.txt"}));
    const std::string temp = "C:\\temp";
    RemoveDirectoryA(temp.c_str());
    ASSERT_EQ(GetFileAttributesA(temp.c_str()), INVALID_FILE_ATTRIBUTES) << "a staging folder with contents is left";
    CreateDirectoryA(m_dest.c_str(), nullptr);
    WriteWhole(m_dest + "readme.txt", "the user's readme");
    WriteWhole(m_dest + "keep.txt", "the user's own");
    std::string ownFolder;
    {
        SetupSession setup(dist.Path());
        setup.Choose(true);
        HWND settings = setup.Process().WaitForWindow("TForm3", "Installation Settings");
        ASSERT_NE(settings, nullptr);
        SetTextOf(ChildWindowsOfClass(settings, "TEdit").at(0), m_dest);
        for (const char* answer : {"&No", "&Yes"}) {
            ClickButton(settings, "&Next >>");
            setup.Answer("Confirm", answer);
            if (std::string(answer) == "&No") {
                EXPECT_TRUE(IsWindowVisible(settings));
                EXPECT_EQ(FileCount(m_dest), 2) << "No made something";
            }
        }
        // While the letters are asked for, the run has made the staging
        // folder; the user saves a file into it, and one of the name the
        // extra file is staged under next.
        HWND letters = setup.Process().WaitForWindow("TMessageForm", "Information");
        ASSERT_NE(letters, nullptr);
        EXPECT_TRUE(FileExists(temp + "\\Dletters.txt"));
        WriteWhole(temp + "\\mine.txt", "saved meanwhile");
        WriteWhole(temp + "\\Dextra.txt", "the user's extra");
        ClickButton(letters, "&Yes");
        setup.Process().WaitUntilGone(letters);
        HWND extra = setup.Process().WaitForWindow("TMessageForm", "Information");
        ASSERT_NE(extra, nullptr);
        ownFolder = OnlyEntry(temp + "\\", "Setup");
        ASSERT_NE(ownFolder, "");
        EXPECT_TRUE(FileExists(ownFolder + "\\Dextra.txt"));
        ClickButton(extra, "&No");
        setup.Answer("Information", "&No");  // the Start Menu
        EXPECT_EQ(setup.Process().WaitForExit(), 0u);
    }
    ProductStarts(m_productLog, true);
    EXPECT_EQ(ReadWhole(m_dest + "readme.txt"), "Read me first.\r\n") << "Yes replaces the files of the same name";
    EXPECT_EQ(ReadWhole(m_dest + "keep.txt"), "the user's own");
    EXPECT_EQ(ReadWhole(m_dest + "letters.txt"), "Dear reader,\r\n");
    EXPECT_EQ(ReadWhole(temp + "\\mine.txt"), "saved meanwhile");
    EXPECT_EQ(ReadWhole(temp + "\\Dextra.txt"), "the user's extra");
    EXPECT_FALSE(FileExists(temp + "\\Dletters.txt"));
    EXPECT_FALSE(DirExists(ownFolder)) << "the run's own folder is left";
    EXPECT_NE(ReadWhole(m_dest + "uninst.fls").find("F\r\n" + ownFolder + "\\Dextra.txt\r\n"), std::string::npos);

    // The reinstallation, with a file where the staging folder would be.
    DeleteFileA((temp + "\\mine.txt").c_str());
    DeleteFileA((temp + "\\Dextra.txt").c_str());
    ASSERT_TRUE(RemoveDirectoryA(temp.c_str()));
    WriteWhole(temp, "the user's file named temp");
    // The tests after this one stage in \temp: the file goes however this
    // one ends.
    struct RemoveAtEnd {
        const std::string& Path;
        ~RemoveAtEnd() { DeleteFileA(Path.c_str()); }
    } removeAtEnd{temp};
    {
        SetupSession setup(dist.Path());
        setup.Choose(true);
        setup.Settle(m_dest);
        EXPECT_EQ(setup.Process().FindWindowWithin("TMessageForm", "Confirm", 0), nullptr);
        HWND letters = setup.Process().WaitForWindow("TMessageForm", "Information");
        ASSERT_NE(letters, nullptr);
        ownFolder = OnlyEntry("C:\\", "temp-Setup");
        ASSERT_NE(ownFolder, "");
        EXPECT_TRUE(FileExists(ownFolder + "\\Dletters.txt"));
        ClickButton(letters, "&Yes");
        setup.Process().WaitUntilGone(letters);
        setup.Answer("Information", "&No");  // the extra file
        setup.Answer("Information", "&No");  // the Start Menu
        EXPECT_EQ(setup.Process().WaitForExit(), 0u);
    }
    ProductStarts(m_productLog, true);
    EXPECT_EQ(ReadWhole(temp), "the user's file named temp");
    EXPECT_FALSE(DirExists(ownFolder));
    EXPECT_EQ(OnlyEntry("C:\\", "temp-Setup"), "") << "a folder of the run's own is left";
    EXPECT_NE(ReadWhole(m_dest + "uninst.fls").find("F\r\n" + ownFolder + "\\Dletters.txt\r\n"), std::string::npos);
}

// Cancel pressed between two files of a run of 2,000: answered No, the run
// goes on; answered Yes, nothing more is copied, and the run is taken back:
// the files it made go, the earlier readme it replaced and the earlier
// installation's log are as they were, the file it put into the Windows
// folder goes, and the product does not start. Closing the progress form
// takes the run back the same way, without a question.
TEST_F(InstallTest, CancelOrCloseInTheMiddleOfTheCopyTakesTheRunBack)
{
    TempDir dist;
    WriteTakeBackDistribution(dist.Path(), 2000);
    const std::string before = MachineState();
    {
        SetupSession setup(dist.Path());
        const HWND progress = StartInstalling(setup);
        ASSERT_NE(progress, nullptr);
        ASSERT_TRUE(WaitForFiles(20));
        ClickButton(progress, "Cancel");
        HWND question = setup.Process().WaitForWindow("TMessageForm", "Confirm");
        ASSERT_NE(question, nullptr);
        const int whileAsked = FileCount(m_dest);
        Sleep(300);
        EXPECT_EQ(FileCount(m_dest), whileAsked) << "the run went on copying while it asked";
        EXPECT_TRUE(FileExists(WindowsFolder() + "\\takeback.ini"));
        ClickButton(question, "&No");
        setup.Process().WaitUntilGone(question);
        EXPECT_TRUE(WaitForFiles(whileAsked + 20)) << "No did not let the run go on";

        ClickButton(progress, "Cancel");
        question = setup.Process().WaitForWindow("TMessageForm", "Confirm");
        ASSERT_NE(question, nullptr);
        ClickButton(question, "&Yes");
        EXPECT_EQ(setup.Process().WaitForExit(30000), 2u);
    }
    EXPECT_EQ(MachineState(), before);
    EXPECT_TRUE(ProductStarts(m_productLog, false).empty());
    EXPECT_FALSE(FileExists(LeftRunJournal()));

    SetupSession setup(dist.Path());
    const HWND progress = StartInstalling(setup);
    ASSERT_NE(progress, nullptr);
    ASSERT_TRUE(WaitForFiles(20));
    PostMessageA(progress, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_EQ(setup.Process().WaitForExit(30000), 2u);
    EXPECT_EQ(MachineState(), before);
}

// The process ended from outside in the middle of the copy, as a crash or
// the task manager would: the next start says that the last installation
// did not finish and, the person agreeing, takes it back before the mode
// choice, and changes nothing else.
TEST_F(InstallTest, AKilledRunIsTakenBackAtTheNextStart)
{
    TempDir dist;
    WriteTakeBackDistribution(dist.Path(), 2000);
    const std::string before = MachineState();
    {
        SetupSession setup(dist.Path());
        ASSERT_NE(StartInstalling(setup), nullptr);
        ASSERT_TRUE(WaitForFiles(50));
        setup.Process().Kill();
    }
    EXPECT_NE(MachineState(), before);
    ASSERT_TRUE(FileExists(LeftRunJournal()));
    SetupSession setup(dist.Path());
    // The question's text is checked where the engine asks it; here, that
    // it comes before the mode choice.
    HWND asked = setup.Process().WaitForWindow("TMessageForm", "Confirm");
    ASSERT_NE(asked, nullptr);
    EXPECT_EQ(setup.Process().FindWindowWithin("TForm2", nullptr, 0), nullptr);
    ClickButton(asked, "&Yes");
    HWND choice = setup.Process().WaitForWindow("TForm2");
    ASSERT_NE(choice, nullptr);
    EXPECT_EQ(MachineState(), before);
    EXPECT_FALSE(FileExists(LeftRunJournal()));
    ClickButton(choice, "Exit");
    setup.Answer("Confirm", "&Yes");
    EXPECT_EQ(setup.Process().WaitForExit(), 2u);
}

// A reinstallation whose script no longer names a file of the earlier
// version keeps that file in the new log, after the new U records and
// before the new run's other records, so that it can still be removed.
TEST_F(InstallTest, AReinstallationKeepsWhatTheEarlierLogNamed)
{
    TempDir dist;
    WriteProduct(dist.Path());
    CreateDirectoryA(m_dest.c_str(), nullptr);
    WriteWhole(m_dest + "old.dll", "the earlier version's");
    WriteWhole(m_dest + "uninst.fls", Records({"U", "D*.OLD", "F", m_dest + "old.dll", "F", m_dest + "halvarn95.exe",
                                               "D", m_dest}));
    dist.WriteFile("setup.fls", Script({"Dhalvarn95.exe"}));
    SetupSession setup(dist.Path());
    setup.Choose(true);
    setup.Settle(m_dest);
    setup.Answer("Information", "&No");  // the sample letters
    setup.Answer("Information", "&No");  // the extra file
    setup.Answer("Information", "&No");  // the Start Menu
    EXPECT_EQ(setup.Process().WaitForExit(), 0u);
    ProductStarts(m_productLog, true);
    const std::string log = ReadWhole(m_dest + "uninst.fls");
    const std::string start =
        Records({"T", "Halvarn 95", "U", "D*.TMP", "U", "D*.OLD", "F", m_dest + "old.dll", "F", m_dest + "halvarn95.exe"});
    const std::string end = Records({"F", m_dest + "HALVARN.pif", "F", m_dest + "uninst.exe", "R", "Halvarn95", "D", m_dest});
    EXPECT_EQ(log.substr(0, start.size()), start);
    ASSERT_GE(log.size(), end.size());
    EXPECT_EQ(log.substr(log.size() - end.size()), end);
}

// Uninstalling with the log that the destination holds: a group that has
// gone is reported and the rest is read; only the directory selected while
// files remain asks; No puts the line back and the program still ends; Yes
// takes the directory with its contents.
TEST_F(InstallTest, UninstallAsksBeforeTakingADirectoryWithContents)
{
    TempDir dist;
    WriteProduct(dist.Path());
    dist.WriteFile("setup.fls", Script({}));
    CreateDirectoryA(m_dest.c_str(), nullptr);
    WriteWhole(m_dest + "halvarn95.exe", "x");
    WriteWhole(m_dest + "uninst.fls",
               Records({"D", m_dest, "F", m_dest + "halvarn95.exe", "G", "Gone Group " + m_group}));
    for (const char* answer : {"&No", "&Yes"}) {
        SCOPED_TRACE(answer);
        SetupSession setup(dist.Path());
        HWND form = setup.UninstallWithLog(m_dest + "uninst.fls", true);
        ASSERT_NE(form, nullptr);
        HWND list = SetupSession::List(form);
        ASSERT_EQ(ListBoxLines(list), (Strings{"Directory - " + m_dest, "File - " + m_dest + "halvarn95.exe"}));
        SelectListBoxLine(list, 0, true);
        ClickButton(form, "Uninstall");
        setup.Answer("Information", answer);
        HWND complete = setup.Process().WaitForWindow("TMessageForm", "Information");
        ASSERT_NE(complete, nullptr);
        if (std::string(answer) == "&No") {
            EXPECT_EQ(ListBoxLines(list), (Strings{"File - " + m_dest + "halvarn95.exe", "Directory - " + m_dest}));
        }
        ClickButton(complete, "OK");
        EXPECT_EQ(setup.Process().WaitForExit(), 0u);
        EXPECT_EQ(DirExists(m_dest), std::string(answer) == "&No");
    }
}

// No log beside the program: the file-open dialog asks for it. Cancelled,
// the list is empty, and Uninstall ends the program after saying it is
// complete. Picked from the product's folder, which the log names with
// itself, everything goes, the folder too, although the dialog was last
// looking into it: no question, and "Uninstall is Complete".
TEST_F(InstallTest, UninstallWithoutALogBesideTheProgramAsksForIt)
{
    TempDir dist;
    WriteProduct(dist.Path());
    dist.WriteFile("setup.fls", Script({}));
    {
        SetupSession setup(dist.Path());
        setup.Choose(false);
        HWND open = setup.Process().WaitForWindow("#32770", "Could not Find - uninst.fls");
        ASSERT_NE(open, nullptr);
        PostMessageA(open, WM_COMMAND, IDCANCEL, 0);
        HWND form = setup.Uninstaller();
        ASSERT_NE(form, nullptr);
        EXPECT_TRUE(ListBoxLines(SetupSession::List(form)).empty());
        ClickButton(form, "Uninstall");
        setup.Answer("Information", "OK");
        EXPECT_EQ(setup.Process().WaitForExit(), 0u);
    }
    // Twice, as the folder the dialog had left as the current directory
    // stayed in most runs but not in all.
    const std::string log = m_dest + "uninst.fls";
    for (int run = 1; run <= 2; ++run) {
        SCOPED_TRACE(run);
        CreateDirectoryA(m_dest.c_str(), nullptr);
        WriteWhole(m_dest + "halvarn95.exe", "x");
        WriteWhole(log, Records({"F", m_dest + "halvarn95.exe", "F", log, "D", m_dest}));
        SetupSession setup(dist.Path());
        HWND form = setup.UninstallWithLog(log);
        ASSERT_NE(form, nullptr);
        ClickButton(form, "Select All");
        ClickButton(form, "Uninstall");
        setup.Answer("Information", "OK");  // Uninstall is Complete
        EXPECT_EQ(setup.Process().WaitForExit(), 0u);
        EXPECT_FALSE(DirExists(m_dest)) << "the folder the dialog looked into stayed";
    }
}

std::string Upper(std::string text)
{
    CharUpperBuffA(text.data(), static_cast<DWORD>(text.size()));
    return text;
}

// The name under which the file system knows the folder ("\\?\C:\..."), in
// upper case; empty when it cannot be opened.
std::string FinalFolderName(const std::string& folder)
{
    HANDLE handle = CreateFileA(folder.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return std::string();
    char name[MAX_PATH * 2] = {};
    const DWORD length = GetFinalPathNameByHandleA(handle, name, sizeof name, VOLUME_NAME_DOS);
    CloseHandle(handle);
    return Upper(std::string(name, length < sizeof name ? length : 0));
}

// A folder of the user's Shell Folders key, without a trailing backslash.
std::string ShellFolder(const char* value)
{
    char folder[MAX_PATH] = {};
    DWORD size = sizeof folder;
    RegGetValueA(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders", value,
                 RRF_RT_REG_SZ, nullptr, folder, &size);
    return folder;
}

// Logs crafted to take more than they name: a pattern matching "." and "..",
// groups with no name or that climb out of the Programs folder, destinations
// that are a drive's root or the Windows directory, a folder with contents
// that does not hold the log (another account's profile), and the system's and the user's folders under other names (another drive letter that reaches the
// same folder, device prefixes, relative names, patterns over a drive's root
// or the user's documents). Everything listed is selected and removed; what
// must stay, stays, and what the log names as the installation's own goes.
TEST_F(InstallTest, CraftedLogsCannotRemoveWhatTheyMustNot)
{
    TempDir dist;
    WriteProduct(dist.Path());
    dist.WriteFile("setup.fls", Script({}));
    CreateDirectoryA((m_programs + m_group).c_str(), nullptr);
    WriteWhole(m_target.Path() + "beside.txt", "the destination's neighbour");

    // The bed's drive C: is the drive_c folder of its private prefix, which
    // drive Z: (the build folder) reaches as well. The user's folders must be
    // real folders there before anything is deleted: a link to someone's
    // home would make a failure of this test delete that home's files.
    const char* prefix = std::getenv("WINEBED_PREFIX");
    ASSERT_TRUE(prefix != nullptr && *prefix != '\0') << "not in the test bed";
    const std::string driveC = ThroughDriveZ(std::string(prefix) + "/drive_c") + "\\";
    ASSERT_NE(driveC, "\\") << "the bed's prefix lies outside its drive Z:";
    const std::string documents = ShellFolder("Personal");
    const std::string programs = m_programs.substr(0, m_programs.size() - 1);
    const std::string windows = WindowsFolder();
    for (const std::string& folder : {documents, programs, windows}) {
        ASSERT_EQ(FinalFolderName(folder), Upper("\\\\?\\" + folder)) << "a link, or not a folder";
        ASSERT_EQ(folder.substr(0, 3), "C:\\") << folder << " is not in the bed's drive C:";
    }
    auto onZ = [&](const std::string& path) { return driveC + path.substr(3); };
    ASSERT_EQ(FinalFolderName(onZ(programs)), FinalFolderName(programs));

    // What must stay: a folder with a file in each of these, and files that
    // relative names reach from the folder the program runs in.
    const std::string keep = "Keep " + std::to_string(GetCurrentProcessId());
    const Strings keptFolders{m_programs + keep + "\\", documents + "\\" + keep + "\\",
                              "C:\\Program Files\\" + keep + "\\", windows + "\\" + keep + "\\",
                              FileDirPart(dist.Path().substr(0, dist.Path().size() - 1)) + keep + "\\",
                              "C:\\users\\" + keep + "\\"};
    for (const std::string& folder : keptFolders) {
        CreateDirectoryA(folder.c_str(), nullptr);
        WriteWhole(folder + "keep.txt", "not the installation's");
    }
    WriteWhole(dist.Path() + "halvarn.dat", "beside the program");

    struct Case {
        const char* Name;
        Strings Log;
        Strings Lines;
        bool NotFound;  // the "Could not find ..." message while reading
        bool Stays = false;  // the warning that names what stays, at the end
    };
    const Case cases[] = {
        {"U pattern", {"U", "D*", "D", m_dest}, {"File - " + m_dest + "a.TMP", "Directory - " + m_dest}, false},
        {"G records",
         {"G", "", "G", "..", "G", m_group + "\\..\\..", "G", m_group},
         {"Program Manager Group - " + m_group},
         true},
        {"D records", {"D", "C:\\", "D", windows + "\\", "D", m_programs}, {}, false},
        {"a folder with contents that does not hold the log",
         {"F", m_dest + "a.TMP", "D", keptFolders[5]},
         {"File - " + m_dest + "a.TMP", "Directory - " + keptFolders[5]},
         false,
         true},
        {"other names of the same folders",
         {"D", onZ(programs) + "\\", "U", "N" + driveC + "*", "D", "\\\\?\\" + windows + "\\", "D",
          "\\\\.\\C:\\users\\", "D", "\\??\\C:\\ProgramData\\", "F", "\\\\?\\" + keptFolders[2] + "keep.txt", "F",
          "\\??\\" + keptFolders[3] + "keep.txt", "F", "halvarn.dat", "F", "..\\" + keep + "\\keep.txt", "D", ".\\",
          "U", "N" + documents + "\\*", "F", m_dest + "a.TMP", "D", m_dest},
         {"File - " + m_dest + "a.TMP", "Directory - " + m_dest},
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        CreateDirectoryA(m_dest.c_str(), nullptr);
        WriteWhole(m_dest + "a.TMP", "");
        dist.WriteFile("uninst.fls", Records(c.Log));
        SetupSession setup(dist.Path());
        setup.Choose(false);
        if (c.NotFound)
            setup.Answer("Information", "OK");
        EXPECT_EQ(setup.UninstallAll(!c.Stays), c.Lines);
        EXPECT_TRUE(FileExists(m_target.Path() + "beside.txt"));
        EXPECT_TRUE(FileExists(dist.Path() + "setup.exe"));
        EXPECT_TRUE(FileExists(dist.Path() + "halvarn.dat"));
        for (const std::string& folder : keptFolders)
            EXPECT_TRUE(FileExists(folder + "keep.txt")) << folder;
        for (const std::string& folder :
             Strings{m_programs + "StartUp", "C:\\ProgramData", "C:\\users", windows + "\\system32"})
            EXPECT_TRUE(DirExists(folder)) << folder;
    }
    EXPECT_FALSE(DirExists(m_dest));
    EXPECT_FALSE(DirExists(m_programs + m_group));
    for (const std::string& folder : keptFolders)
        RemoveTree(folder);
}

// A small file system that the test bed mounts on a folder of drive C: for
// the life of the object (scripts/winebed.sh --mounts).
class BedMount {
public:
    explicit BedMount(std::string folder) : m_folder(std::move(folder)) { m_mounted = Run("mount"); }
    ~BedMount()
    {
        if (m_mounted) {
            EXPECT_TRUE(Run("unmount")) << m_folder;
        }
    }
    BedMount(const BedMount&) = delete;
    BedMount& operator=(const BedMount&) = delete;
    bool Mounted() const { return m_mounted; }

    static std::string Script()
    {
        const char* script = std::getenv("WINEBED_MOUNT");
        return script ? script : "";
    }

private:
    // Starts the bed's script and waits for the status it writes, as the
    // start of a Unix program cannot be waited for.
    bool Run(const char* action) const
    {
        const std::string status = m_folder + ".status";
        DeleteFileA(status.c_str());
        std::string command = "\"" + Script() + "\" " + action + " \"" + m_folder + "\" \"" + status + "\"";
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process = {};
        if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                            &process)) {
            ADD_FAILURE() << "cannot start " << command;
            return false;
        }
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
        for (int wait = 0; wait < 200 && !FileExists(status); ++wait)
            Sleep(50);
        std::string result = ReadWhole(status);
        DeleteFileA(status.c_str());
        while (!result.empty() && (result.back() == '\n' || result.back() == '\r'))
            result.pop_back();
        EXPECT_EQ(result, "ok") << action << " " << m_folder;
        return result == "ok";
    }

    std::string m_folder;
    bool m_mounted = false;
};

// Mount points, a file system of its own on a folder, are never deleted
// through: one inside the destination (which holds the log) is matched by a
// pattern, named by a file record and held in the destination when Yes
// answers "still has files"; the group folder is one. What the mounts hold
// stays, the group is reported as not found, and only the installation's
// own file goes; the directory stays, is named, and keeps the log.
TEST_F(InstallTest, NothingIsDeletedThroughAMountPoint)
{
    if (BedMount::Script().empty())
        GTEST_SKIP() << "the test bed offers no mounts (scripts/winebed.sh --mounts, as root)";
    TempDir dist;
    WriteProduct(dist.Path());
    dist.WriteFile("setup.fls", Script({}));
    const std::string mounted = m_dest + "mnt";
    const std::string group = m_programs + m_group;
    ASSERT_TRUE(CreateDirectoryA(m_dest.c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryA(mounted.c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryA(group.c_str(), nullptr));
    BedMount inDestination(mounted);
    BedMount asGroup(group);
    ASSERT_TRUE(inDestination.Mounted() && asGroup.Mounted());
    const Strings canaries{mounted + "\\canary.txt", mounted + "\\inner\\canary.txt", group + "\\Halvarn 95.lnk"};
    CreateDirectoryA((mounted + "\\inner").c_str(), nullptr);
    for (const std::string& canary : canaries)
        WriteWhole(canary, "the user's");
    WriteWhole(m_dest + "halvarn.dat", "the installation's");
    WriteWhole(m_dest + "uninst.fls", Records({"U", "N" + m_dest + "m*", "U", "N" + mounted + "\\*.txt", "F",
                                               mounted + "\\canary.txt", "F", m_dest + "halvarn.dat", "G",
                                               m_group, "D", m_dest}));
    {
        SetupSession setup(dist.Path());
        HWND form = setup.UninstallWithLog(m_dest + "uninst.fls", true);
        ASSERT_NE(form, nullptr);
        EXPECT_EQ(ListBoxLines(SetupSession::List(form)),
                  (Strings{"File - " + m_dest + "halvarn.dat", "Directory - " + m_dest}));
        ClickButton(form, "Select All");
        ClickButton(form, "Uninstall");
        setup.Answer("Information", "&Yes");  // still has files
        setup.Answer("Warning", "OK");        // the directory stays, with the mount in it
        EXPECT_EQ(setup.Process().WaitForExit(), 3u) << "kept items make the run one that failed";
    }
    for (const std::string& canary : canaries)
        EXPECT_EQ(ReadWhole(canary), "the user's") << canary;
    EXPECT_FALSE(FileExists(m_dest + "halvarn.dat"));
    EXPECT_TRUE(FileExists(m_dest + "uninst.fls"));
}

} // namespace

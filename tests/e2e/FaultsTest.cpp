// The real setup.exe meeting faults from outside: a destination drive that
// fills up during the copy or while the uninstall log is written, a
// destination folder that refuses new files, a drive letter that does not
// exist, a source file another program holds locked, and uninstall logs that are damaged or name files that
// cannot be deleted. Each ends in a message and a program the user can leave;
// none in a crash, a half-written uninstall log or a deletion the log did not
// name.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "tests/e2e/InstallFixture.h"
#include "tests/support/ProcessDriver.h"
#include "tests/support/SetupSession.h"
#include "tests/support/TempDir.h"

namespace {

// The application's title: the caption of the box that reports an error.
constexpr const char* ErrorCaption = "Brisdane 95 Setup";

class FaultsTest : public InstallTest {
protected:
    // The product's files and a script with these mandatory files in dist.
    void Lay(const TempDir& dist, const Strings& files)
    {
        WriteProduct(dist.Path());
        dist.WriteFile("setup.fls", Script(files));
    }

    // Waits for the error box of the run, checks its text and closes it.
    void ExpectError(SetupSession& setup, const std::string& text)
    {
        HWND box = setup.Process().WaitForWindow("#32770", ErrorCaption);
        ASSERT_NE(box, nullptr) << "no error box for " << text;
        EXPECT_EQ(MessageBoxText(box), text);
        ClickButton(box, "OK");
        setup.Process().WaitUntilGone(box);
    }

    // The run has stopped: the progress form stays until the user leaves it,
    // with Cancel (and Yes to the question) or with the close box.
    void Leave(SetupSession& setup, bool withCancel)
    {
        HWND progress = setup.Process().WaitForWindow("TForm5", "Installing");
        ASSERT_NE(progress, nullptr);
        EXPECT_TRUE(setup.Process().Running());
        if (withCancel) {
            ClickButton(progress, "Cancel");
            HWND question = setup.Process().WaitForWindow("TMessageForm", "Confirm");
            ASSERT_NE(question, nullptr);
            ClickButton(question, "&Yes");
        } else {
            PostMessageA(progress, WM_SYSCOMMAND, SC_CLOSE, 0);
        }
        EXPECT_EQ(setup.Process().WaitForExit(), 3u);
    }

    // An installation into destination that is expected to stop with
    // message; left by Cancel or by the close box.
    void InstallExpectingError(const std::string& dist, const std::string& destination, const std::string& message,
                               bool withCancel)
    {
        SetupSession setup(dist);
        setup.Choose(true);
        setup.Settle(destination);
        ExpectError(setup, message);
        Leave(setup, withCancel);
        EXPECT_TRUE(ProductStarts(m_productLog, false).empty());
    }
};

std::string Bytes(size_t count, char fill)
{
    return std::string(count, fill);
}

// The destination drive fills up in the middle of a large file: the stream's
// write error is shown, the files after it are not copied, no uninstall log
// is written and the product is not started; once the user ends the
// program the run is taken back, and the drive holds what it held before.
TEST_F(FaultsTest, DiskFullDuringTheCopyStopsTheRunAtThatFile)
{
    REQUIRE_SMALL_DRIVE();
    TempDir dist;
    WriteProduct(dist.Path());
    dist.WriteFile("big.dat", Bytes(6 << 20, 'b'));
    dist.WriteFile("setup.fls", Script({"Dreadme.txt", "Dbig.dat", "Dhalvarn95.exe"}));
    const std::string dest = SmallDrive() + "HALVARN\\";
    const std::string before = FolderState(SmallDrive());
    for (bool withCancel : {true, false}) {
        SCOPED_TRACE(withCancel ? "left with Cancel" : "left with the close box");
        InstallExpectingError(dist.Path(), dest, "Stream write error.", withCancel);
        EXPECT_EQ(FolderState(SmallDrive()), before);
        RemoveTree(dest);
    }
}

// Every file fits, the uninstaller's copy too, but the uninstall log does not: the disk-full error is
// shown, no half-written log is left behind for an uninstaller to trust, and
// once the user ends the program the files copied are taken back.
TEST_F(FaultsTest, DiskFullWhileWritingTheLogLeavesNoHalfWrittenLog)
{
    REQUIRE_SMALL_DRIVE();
    TempDir dist;
    WriteProduct(dist.Path());
    dist.WriteFile("setup.fls", Records({"T", "Halvarn 95", "D", m_dest.substr(0, m_dest.size() - 1), "F",
                                         "Dreadme.txt{1", "F", "Dletters.txt{1"}));
    const std::string dest = SmallDrive() + "HALVARN\\";
    ASSERT_TRUE(CreateDirectoryA(dest.c_str(), nullptr));
    // The drive is filled up to exactly the pages the two files and the
    // uninstaller's copy take.
    ULARGE_INTEGER free{};
    ASSERT_TRUE(GetDiskFreeSpaceExA(SmallDrive().c_str(), &free, nullptr, nullptr));
    const uint64_t page = 4096;
    const uint64_t room = (2 + (ReadWhole(dist.Path() + "setup.exe").size() + page - 1) / page) * page;
    ASSERT_GT(free.QuadPart, room);
    const std::string filler = SmallDrive() + "filler.dat";
    WriteWhole(filler, Bytes(static_cast<size_t>(free.QuadPart - room), 'f'));
    const std::string before = FolderState(SmallDrive());
    {
        SetupSession setup(dist.Path());
        setup.Choose(true);
        // The script names no Start Menu group, so nothing is asked.
        setup.Settle(dest);
        HWND box = setup.Process().WaitForWindow("#32770", ErrorCaption);
        ASSERT_NE(box, nullptr);
        const std::string text = MessageBoxText(box);
        EXPECT_TRUE(text == "Disk full." || text == "I/O error 112.") << text;
        ClickButton(box, "OK");
        Leave(setup, true);
    }
    EXPECT_TRUE(ProductStarts(m_productLog, false).empty());
    EXPECT_EQ(FolderState(SmallDrive()), before);
    RemoveTree(dest);
    DeleteFileA(filler.c_str());
}

// A destination folder that refuses new files (a read-only mount): the
// first file's creation error, and nothing else happens.
TEST_F(FaultsTest, ReadOnlyDestinationShowsTheCreateError)
{
    REQUIRE_SMALL_DRIVE();
    TempDir dist;
    Lay(dist, {"Dhalvarn95.exe", "Dreadme.txt"});
    const std::string dest = SmallDrive() + "readonly\\";
    ASSERT_TRUE(DirExists(dest));
    InstallExpectingError(dist.Path(), dest, "Cannot create file " + dest + "halvarn95.exe.", true);
    EXPECT_FALSE(FileExists(dest + "halvarn95.exe"));
    EXPECT_FALSE(FileExists(dest + "uninst.fls"));
}

// A destination on a drive letter that no drive has: the space check finds
// no free space and asks; No stays on the settings, Yes goes on and the run
// stops at the first file with its creation error.
TEST_F(FaultsTest, DestinationOnADriveThatDoesNotExist)
{
    TempDir dist;
    Lay(dist, {"Dhalvarn95.exe", "Dreadme.txt"});
    const DWORD drives = GetLogicalDrives();
    char letter = 0;
    for (char c = 'Y'; c >= 'M' && !letter; --c)
        if (!(drives & (1u << (c - 'A'))))
            letter = c;
    ASSERT_NE(letter, 0) << "every drive letter from M to Y is in use";
    const std::string dest = std::string(1, letter) + ":\\HALVARN\\";

    SetupSession setup(dist.Path());
    setup.Choose(true);
    HWND settings = setup.Process().WaitForWindow("TForm3", "Installation Settings");
    ASSERT_NE(settings, nullptr);
    const std::vector<HWND> edits = ChildWindowsOfClass(settings, "TEdit");
    ASSERT_EQ(edits.size(), 1u);
    SetTextOf(edits[0], dest);
    for (const char* answer : {"&No", "&Yes"}) {
        SCOPED_TRACE(answer);
        ClickButton(settings, "&Next >>");
        HWND question = setup.Process().WaitForWindow("TMessageForm", "Information");
        ASSERT_NE(question, nullptr);
        EXPECT_NE(FindChildWindow(question, "&No"), nullptr) << "the space question has Yes and No";
        ClickButton(question, answer);
        setup.Process().WaitUntilGone(question);
        if (std::string(answer) == "&No") {
            EXPECT_TRUE(IsWindowVisible(settings)) << "No keeps the settings";
        }
    }
    setup.Process().WaitUntilGone(settings);
    ExpectError(setup, "Cannot create file " + dest + "halvarn95.exe.");
    Leave(setup, false);
    EXPECT_TRUE(ProductStarts(m_productLog, false).empty());
}

// A source file that another program holds open without sharing: it is
// there, so it is not asked for, but it cannot be opened. The run stops
// there, no log is written, and ended by the user it is taken back.
TEST_F(FaultsTest, LockedSourceFileShowsTheOpenError)
{
    TempDir dist;
    Lay(dist, {"Dhalvarn95.exe", "Dreadme.txt", "DHALVARN.bat"});
    HANDLE lock = CreateFileA((dist.Path() + "readme.txt").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0,
                              nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    InstallExpectingError(dist.Path(), m_dest, "Cannot open file " + dist.Path() + "readme.txt.", true);
    CloseHandle(lock);
    // The file copied before it is taken back with the folder made for it.
    EXPECT_FALSE(DirExists(m_dest));
}

// Damaged uninstall logs beside the program: each lists what it can read of
// the files that exist, and Select All with Uninstall deletes those and
// nothing the log does not name. A log that ends inside a record is said to
// be damaged before the list shows.
TEST_F(FaultsTest, DamagedLogsListWhatTheyCanAndDeleteOnlyWhatTheyName)
{
    TempDir dist;
    Lay(dist, {});
    const std::string dest = m_dest;
    const std::string one = dest + "one.txt";
    const std::string two = dest + "two.txt";
    const std::string sub = dest + "sub\\";
    const std::string beside = m_target.Path() + "beside.txt";
    struct Case {
        const char* Name;
        std::string Log;
        Strings Lines;
        Strings Deleted;
        bool Cut = false;
    };
    const std::string longLetter = "F" + Bytes(99999, 'x');
    const Case cases[] = {
        {"truncated inside an argument", "F\r\n" + one + "\r\nF\r\n" + two.substr(0, two.size() - 3),
         {"File - " + one}, {one}, true},
        {"truncated after a letter", "F\r\n" + one + "\r\nF", {"File - " + one}, {one}, true},
        {"Ctrl-Z in the middle", "F\r\n" + one + "\r\n\x1A" "F\r\n" + two + "\r\n", {"File - " + one}, {one}},
        {"Ctrl-Z inside a path", "F\r\n" + one.substr(0, 5) + "\x1A" + one.substr(5) + "\r\n", {}, {}, true},
        {"line feeds only", "F\n" + one + "\nF\n" + two + "\n", {}, {}, true},
        {"a letter line of 100,000 characters", longLetter + "\r\n" + two + "\r\n", {"File - " + two}, {two}},
        {"an argument of 100,000 characters", "F\r\n" + dest + Bytes(100000, 'y') + "\r\nF\r\n" + one + "\r\n",
         {"File - " + one}, {one}},
        {"a file named through ..", "F\r\n" + sub + "..\\one.txt\r\n", {}, {}},
        {"a folder named through .. as a file", "F\r\n" + sub + "..\r\nF\r\n" + dest + "..\\\r\n", {}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        CreateDirectoryA(dest.c_str(), nullptr);
        CreateDirectoryA(sub.c_str(), nullptr);
        WriteWhole(one, "1");
        WriteWhole(two, "2");
        WriteWhole(sub + "inner.txt", "3");
        WriteWhole(beside, "the destination's neighbour");
        dist.WriteFile("uninst.fls", c.Log);
        SetupSession setup(dist.Path());
        setup.Choose(false);
        if (c.Cut)
            setup.Answer("Warning", "OK");
        EXPECT_EQ(setup.UninstallAll(), c.Lines);
        for (const std::string& file : {one, two, sub + "inner.txt", beside}) {
            const bool deleted = std::find(c.Deleted.begin(), c.Deleted.end(), file) != c.Deleted.end();
            EXPECT_EQ(FileExists(file), !deleted) << file;
        }
        EXPECT_TRUE(DirExists(sub));
        EXPECT_TRUE(FileExists(dist.Path() + "setup.exe"));
        EXPECT_TRUE(FileExists(dist.Path() + "uninst.fls"));
    }
    RemoveTree(dest);
}

// Files named by the log that another program holds open: they are listed,
// the uninstallation goes on past them, the others are deleted, and the
// locked ones stay and are named in a warning instead of "Uninstall is
// Complete". The folder, agreed to go with its contents, stays with them and
// with the log, so that a second uninstallation, once the file is free,
// removes the rest without a question.
TEST_F(FaultsTest, LockedFilesAreSkippedNamedAndASecondUninstallFinishes)
{
    TempDir dist;
    Lay(dist, {});
    CreateDirectoryA(m_dest.c_str(), nullptr);
    const std::string locked = m_dest + "locked.txt";
    const std::string free = m_dest + "free.txt";
    const std::string log = m_dest + "uninst.fls";
    WriteWhole(locked, "held");
    WriteWhole(free, "not held");
    WriteWhole(log, Records({"F", locked, "F", free, "F", log, "D", m_dest}));
    HANDLE lock = CreateFileA(locked.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    {
        SetupSession setup(dist.Path());
        HWND form = setup.UninstallWithLog(log);
        ASSERT_NE(form, nullptr);
        EXPECT_EQ(ListBoxLines(SetupSession::List(form)),
                  (Strings{"File - " + locked, "File - " + free, "File - " + log, "Directory - " + m_dest}));
        ClickButton(form, "Select All");
        ClickButton(form, "Uninstall");
        setup.Answer("Information", "&Yes");  // the folder still holds the locked file
        // The list of what stays; "Uninstall is Complete" is not said, and
        // the run ends as one that failed.
        setup.Answer("Warning", "OK");
        EXPECT_EQ(setup.Process().WaitForExit(), 3u);
    }
    CloseHandle(lock);
    EXPECT_TRUE(FileExists(locked));
    EXPECT_FALSE(FileExists(free));
    ASSERT_TRUE(FileExists(log));
    {
        SetupSession setup(dist.Path());
        HWND form = setup.UninstallWithLog(log);
        ASSERT_NE(form, nullptr);
        EXPECT_EQ(ListBoxLines(SetupSession::List(form)),
                  (Strings{"File - " + locked, "File - " + log, "Directory - " + m_dest}));
        ClickButton(form, "Select All");
        ClickButton(form, "Uninstall");
        setup.Answer("Information", "OK");  // Uninstall is Complete
        EXPECT_EQ(setup.Process().WaitForExit(), 0u);
    }
    EXPECT_FALSE(DirExists(m_dest));
}

} // namespace

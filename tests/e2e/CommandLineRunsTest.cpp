// The real setup.exe started with command lines an administrator may get
// wrong, watched from outside with its standard error stream in a file:
// every wrong command line under /quiet or /passive ends at once with 1 and
// no window; /log never takes the place of the distribution's files, the
// run's files or a user's file, waits for no other run, and fails the run
// when its drive fills; a character the code page cannot hold is refused,
// never read as a look-alike; and each refusal and failure names its path.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "runtime/ScopeGuard.h"
#include "tests/e2e/InstallFixture.h"
#include "tests/e2e/RunWatch.h"
#include "tests/support/ProcessDriver.h"
#include "tests/support/SetupSession.h"
#include "tests/support/TempDir.h"

namespace {

constexpr char LogHeader[] = "Brisdane 95 Setup run log";

// The text in the ANSI code page, widened as the system does.
std::wstring Wide(const std::string& text)
{
    std::wstring wide(text.size(), L'\0');
    const int length = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(),
                                           static_cast<int>(wide.size()));
    wide.resize(static_cast<size_t>(std::max(length, 0)));
    return wide;
}

bool Contains(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

// How a run ended: what the watch saw and what the program wrote to its
// standard error stream.
struct Ended {
    Watched Run;
    std::string Errors;
};

class CommandLineRunsTest : public InstallTest {
protected:
    void SetUp() override
    {
        InstallTest::SetUp();
        WriteProduct(m_dist.Path());
        m_dist.WriteFile("setup.fls", Script({"Dhalvarn95.exe", "Dreadme.txt"}) + Records({"M", "Welcome to Halvarn 95."}));
        m_log = m_target.Path() + "run.log";
    }

    // setup.exe of folder started with these arguments (as the system hands
    // them over in Unicode), its standard error stream going to a file,
    // watched until it ends or the watchdog's time is up.
    Ended Run(const std::wstring& arguments, DWORD watchdog = 10000, const std::string& folder = std::string())
    {
        const std::string dist = folder.empty() ? m_dist.Path() : folder;
        const std::string errors = m_errors.Path() + "stderr.txt";
        Ended ended;
        {
            SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
            const HANDLE stream = CreateFileA(errors.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                              &inherit, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
            EXPECT_NE(stream, INVALID_HANDLE_VALUE);
            const ScopeExit close([&] { CloseHandle(stream); });
            DrivenProcess setup(L"\"" + Wide(dist + "setup.exe") + L"\" " + arguments, dist, stream);
            EXPECT_TRUE(setup.Started());
            ended.Run = WatchUntilEnd(setup, watchdog);
        }
        ended.Errors = ReadWhole(errors);
        return ended;
    }
    Ended Run(const std::string& arguments, DWORD watchdog = 10000) { return Run(Wide(arguments), watchdog); }

    TempDir m_dist;
    TempDir m_errors;
    std::string m_log;
};

// Under /quiet or /passive in any spelling, each wrong command line ends at
// once with 1 and not one window; the reason is on the standard error
// stream and in the log when the log could be told from the rest (an open
// quote swallows it, and a log that is itself wrong is never opened).
TEST_F(CommandLineRunsTest, AWrongCommandLineThatAsksForNoWindowEndsAtOnceWith1AndSaysWhy)
{
    const std::string log = " /log=" + Quoted(m_log);
    const std::string deviceLog = m_target.Path() + "COM1.fls";
    const struct {
        std::string Arguments;
        std::string Reason;
        bool Logged;
    } cases[] = {
        {"/passive /bogus" + log, "Unknown switch: /bogus", true},
        {"/passive /dir=" + log, "The switch /dir needs a value after =", true},
        {"/passive /nogroup /group=X" + log, "The switches /group and /nogroup cannot be used together", true},
        {"/passive /optional=maybe" + log, "The switch /optional takes all or none, not maybe", true},
        {"/quiet=yes" + log, "The switch /quiet takes no value", true},
        {"-PASSIVE=no /dir=" + Quoted(m_dest) + log, "The switch -PASSIVE takes no value", true},
        {"/dir=\"" + m_target.Path() + "X /quiet" + log, "A quote is opened and never closed: \"", false},
        {"/passive /dir=" + Quoted(m_dest) + " /dir=C:\\Elsewhere" + log,
         "The switch /dir is given twice with different values: /dir=" + m_dest + " and /dir=C:\\Elsewhere", true},
        {"/quiet /uninstall=COM1" + log, "The switch /uninstall names COM1, whose part COM1 is a device, not a file",
         true},
        {"/quiet /uninstall=" + Quoted(deviceLog) + log,
         "The switch /uninstall names " + deviceLog + ", whose part COM1.fls is a device, not a file", true},
        {"/quiet /log=COM1", "The switch /log names COM1, whose part COM1 is a device, not a file", false},
        {"/quiet /log=\\\\.\\C:", "The switch /log names \\\\.\\C:, which is a device path, not a file", false},
        {"/passive /dir=" + Quoted(m_dest) + " /uninstall=" + Quoted(m_dest + "uninst.fls") + log,
         "The switches /dir and /uninstall cannot be used together", true},
    };
    for (const auto& wrong : cases) {
        SCOPED_TRACE(wrong.Arguments);
        DeleteFileA(m_log.c_str());
        const Ended ended = Run(wrong.Arguments);
        EXPECT_EQ(ended.Run.ExitCode, 1u);
        EXPECT_TRUE(ended.Run.Visible.empty()) << "visible: " << testing::PrintToString(ended.Run.Visible);
        EXPECT_TRUE(Contains(ended.Errors, "Wrong command line: " + wrong.Reason)) << ended.Errors;
        if (wrong.Logged) {
            const Strings lines = LinesOf(ReadWhole(m_log));
            ASSERT_EQ(lines.size(), 3u) << testing::PrintToString(lines);
            EXPECT_EQ(lines[0], LogHeader);
            EXPECT_TRUE(Contains(lines[1], "Wrong command line: " + wrong.Reason)) << lines[1];
            EXPECT_EQ(lines[2], "Exit code 1: wrong command line");
        } else {
            EXPECT_FALSE(FileExists(m_log));
        }
        EXPECT_FALSE(DirExists(m_dest));
        EXPECT_FALSE(DirExists(m_programs + m_group));
    }
}

// /log onto the script, a source file, the program, the uninstall log of
// the installation it repeats or a file it will copy is refused before
// anything is opened, in any spelling; an existing file that is no log of
// this setup is never replaced. Every one of them stays byte for byte, and
// nothing is installed.
TEST_F(CommandLineRunsTest, TheLogNeverTakesTheDistributionsTheRunsOrAUsersFile)
{
    CreateDirectoryA(m_dest.c_str(), nullptr);
    const std::string earlierLog = Records({"F", m_dest + "readme.txt", "D", m_dest});
    WriteWhole(m_dest + "uninst.fls", earlierLog);
    WriteWhole(m_dest + "readme.txt", "the earlier version's readme");
    const std::string userDocument = m_target.Path() + "userdoc.txt";
    WriteWhole(userDocument, "the user's letter\r\n");
    const std::string dir = " /dir=" + Quoted(m_dest);
    const std::string dist = m_dist.Path();
    const struct {
        std::string Switches;
        std::string Log;
        std::string Reason;
    } cases[] = {
        {"/quiet" + dir, dist + "setup.fls", "would replace the distribution's file " + dist + "setup.fls"},
        {"/passive" + dir, dist + ".\\SETUP.FLS", "would replace the distribution's file " + dist + "setup.fls"},
        {"/quiet" + dir, dist + "readme.txt", "would replace the distribution's file " + dist + "readme.txt"},
        {"/quiet" + dir, dist + "setup.exe", "would replace the distribution's file"},
        {"/quiet" + dir, m_dest + "uninst.fls", "which the run writes"},
        {"/quiet" + dir, m_dest + "HALVARN95.EXE", "which the run writes"},
        {"/quiet /bogus", userDocument, "Unknown switch: /bogus"},
        {"/quiet" + dir, userDocument, "exists and is not a log of this setup: a log never replaces another file"},
    };
    for (const auto& wrong : cases) {
        SCOPED_TRACE(wrong.Switches + " /log=" + wrong.Log);
        const std::string before = ReadWhole(wrong.Log);
        const std::string setupBefore = ReadWhole(dist + "setup.exe");
        const Ended ended = Run(wrong.Switches + " /log=" + Quoted(wrong.Log));
        EXPECT_EQ(ended.Run.ExitCode, 1u);
        EXPECT_TRUE(Contains(ended.Errors, wrong.Reason)) << ended.Errors;
        EXPECT_EQ(ReadWhole(wrong.Log), before);
        EXPECT_EQ(ReadWhole(dist + "setup.exe"), setupBefore);
        EXPECT_EQ(ReadWhole(m_dest + "uninst.fls"), earlierLog);
        EXPECT_EQ(ReadWhole(m_dest + "readme.txt"), "the earlier version's readme");
        EXPECT_FALSE(FileExists(m_dest + "halvarn95.exe"));
        EXPECT_TRUE(ended.Run.Visible.empty()) << "visible: " << testing::PrintToString(ended.Run.Visible);
    }
    EXPECT_EQ(ReadWhole(userDocument), "the user's letter\r\n");
}

// A second run while the first has the same log open ends with 4, and
// leaves the first run's log as it was; a second run with a log of its own
// says there why it ended.
TEST_F(CommandLineRunsTest, ASecondRunNamingTheSameLogEndsWith4AndLeavesTheFirstOnesLog)
{
    m_dist.WriteFile("setup.fls", Script({"Dreadme.txt"}));
    DrivenProcess first("\"" + m_dist.Path() + "setup.exe\" /log=" + Quoted(m_log), m_dist.Path());
    HWND modeChoice = first.WaitForWindow("TForm2");
    ASSERT_NE(modeChoice, nullptr);
    const std::string firstLog = ReadWhole(m_log);
    EXPECT_EQ(firstLog, std::string(LogHeader) + "\r\n");

    const Ended same = Run("/quiet /dir=" + Quoted(m_dest) + " /log=" + Quoted(m_log));
    EXPECT_EQ(same.Run.ExitCode, 4u);
    EXPECT_TRUE(same.Run.Visible.empty());
    EXPECT_EQ(ReadWhole(m_log), firstLog);

    const std::string own = m_target.Path() + "second.log";
    const Ended other = Run("/passive /dir=" + Quoted(m_dest) + " /log=" + Quoted(own));
    EXPECT_EQ(other.Run.ExitCode, 4u);
    EXPECT_TRUE(other.Run.Visible.empty());
    EXPECT_EQ(LinesOf(ReadWhole(own)), (Strings{LogHeader, "Exit code 4: another setup is already running"}));
    EXPECT_FALSE(DirExists(m_dest));

    ClickButton(modeChoice, "Exit");
    HWND question = first.WaitForWindow("TMessageForm", "Confirm");
    ASSERT_NE(question, nullptr);
    ClickButton(question, "&Yes");
    EXPECT_EQ(first.WaitForExit(), 2u);
    EXPECT_EQ(LinesOf(ReadWhole(m_log)), (Strings{LogHeader, "Exit code 2: ended by the user"}));
}

// A person's run with /log has in it what the person was shown at the start.
TEST_F(CommandLineRunsTest, APersonsRunLogsTheStartMessage)
{
    DrivenProcess setup("\"" + m_dist.Path() + "setup.exe\" /log=" + Quoted(m_log), m_dist.Path());
    HWND message = setup.WaitForWindow("TMessageForm", "Information");
    ASSERT_NE(message, nullptr);
    EXPECT_EQ(LinesOf(ReadWhole(m_log)), (Strings{LogHeader, "Message: Welcome to Halvarn 95."}));
}

// The command line comes in Unicode: a value the code page holds is used as
// it is, one it cannot hold is refused and named, and no look-alike folder
// or log is ever made.
TEST_F(CommandLineRunsTest, AValueTheCodePageCannotHoldIsRefusedNeverReadAsALookAlike)
{
    const std::wstring target = Wide(m_target.Path());
    const std::wstring log = L" /log=\"" + Wide(m_log) + L"\"";
    {
        const Ended ended = Run(L"/quiet /dir=" + target + L"Test\u03b1" + log);
        EXPECT_EQ(ended.Run.ExitCode, 1u);
        EXPECT_TRUE(ended.Run.Visible.empty());
        const std::string reason = "Wrong command line: The argument /dir=" + m_target.Path() +
                                   "Test? holds a character that the code page of this system cannot hold";
        EXPECT_EQ(LinesOf(ReadWhole(m_log)), (Strings{LogHeader, reason, "Exit code 1: wrong command line"}));
        EXPECT_TRUE(Contains(ended.Errors, reason)) << ended.Errors;
        EXPECT_FALSE(DirExists(m_target.Path() + "Testa"));
        EXPECT_EQ(GetFileAttributesW((target + L"Test\u03b1").c_str()), INVALID_FILE_ATTRIBUTES);
    }
    {
        DeleteFileA(m_log.c_str());
        const Ended ended = Run(L"/quiet /dir=\"" + Wide(m_dest) + L"\" /log=" + target + L"L\u03b1.log");
        EXPECT_EQ(ended.Run.ExitCode, 1u);
        EXPECT_TRUE(Contains(ended.Errors, "The argument /log=" + m_target.Path() + "L?.log holds a character"))
            << ended.Errors;
        EXPECT_FALSE(FileExists(m_target.Path() + "La.log"));
        EXPECT_EQ(GetFileAttributesW((target + L"L\u03b1.log").c_str()), INVALID_FILE_ATTRIBUTES);
        EXPECT_FALSE(DirExists(m_dest));
    }
    {
        // U+00E9 is in the code page: the folder gets its own name.
        DeleteFileA(m_log.c_str());
        const Ended ended = Run(L"/quiet /nolaunch \"/dir=" + target + L"Caf\u00e9\"" + log, 60000);
        EXPECT_EQ(ended.Run.ExitCode, 0u) << ReadWhole(m_log);
        EXPECT_NE(GetFileAttributesW((target + L"Caf\u00e9\\halvarn95.exe").c_str()), INVALID_FILE_ATTRIBUTES);
        EXPECT_FALSE(DirExists(m_target.Path() + "Cafe"));
    }
}

// Each refusal names the path and says why: the root of a drive, a device
// and a name the system would trim are not asked to be "full"; a drive that
// is not there and a share that cannot be reached are not "full" either; a
// script that cannot be read is named.
TEST_F(CommandLineRunsTest, EachRefusalNamesThePathAndWhy)
{
    char missing = '\0';
    const DWORD drives = GetLogicalDrives();
    for (char letter = 'Q'; letter >= 'E' && !missing; --letter)
        if ((drives & (1u << (letter - 'A'))) == 0)
            missing = letter;
    ASSERT_NE(missing, '\0');
    const std::string gone = std::string(1, missing) + ":\\Halvarn";
    const std::string trimmed = m_target.Path() + "X.";
    const struct {
        std::string Dir;
        std::string Reason;
    } cases[] = {
        {"C:\\", "C:\\ is the root of a drive, not a directory. Please enter the directory's name after it."},
        {"CON", "CON names the device CON, not a directory. Please choose another Destination Directory."},
        {m_target.Path() + "Logs\\LPT1.txt",
         m_target.Path() + "Logs\\LPT1.txt names the device LPT1.txt, not a directory. Please choose another "
                           "Destination Directory."},
        {trimmed, trimmed + " has a name ending in a dot or blank, which the system drops. Please choose another "
                            "Destination Directory."},
        {gone, "The drive or network share of " + gone + " cannot be reached, so its free space is unknown"},
        {"\\\\nosuchserver\\share\\Halvarn",
         "The drive or network share of \\\\nosuchserver\\share\\Halvarn cannot be reached, so its free space is "
         "unknown"},
    };
    for (const auto& refused : cases) {
        SCOPED_TRACE(refused.Dir);
        DeleteFileA(m_log.c_str());
        const Ended ended = Run("/quiet /dir=" + Quoted(refused.Dir) + " /log=" + Quoted(m_log), 20000);
        EXPECT_EQ(ended.Run.ExitCode, 5u);
        const Strings lines = LinesOf(ReadWhole(m_log));
        EXPECT_NE(std::find(lines.begin(), lines.end(), "Refused: " + refused.Reason), lines.end())
            << testing::PrintToString(lines);
    }
    EXPECT_FALSE(DirExists(m_target.Path() + "X"));
    {
        TempDir bare;
        EXPECT_TRUE(CopyFileA((m_dist.Path() + "setup.exe").c_str(), (bare.Path() + "setup.exe").c_str(), FALSE));
        DeleteFileA(m_log.c_str());
        const Ended ended = Run(Wide("/quiet /dir=" + Quoted(m_dest) + " /log=" + Quoted(m_log)), 10000, bare.Path());
        EXPECT_EQ(ended.Run.ExitCode, 5u);
        const Strings lines = LinesOf(ReadWhole(m_log));
        EXPECT_NE(std::find(lines.begin(), lines.end(), "Refused: " + bare.Path() + "setup.fls: File not found"),
                  lines.end())
            << testing::PrintToString(lines);
    }
}

// The drive of the log fills during the run: the run fails (3) and is taken
// back, the log holds whole lines only, and the standard error stream says
// which log could not be written. A copy that fills the destination's drive
// names the file in the log's failure line.
TEST_F(CommandLineRunsTest, AFullDriveFailsTheRunWithWholeLinesAndNamesTheFile)
{
    REQUIRE_SMALL_DRIVE();
    const std::string small = SmallDrive();
    {
        SCOPED_TRACE("the log's drive fills");
        WriteLongDistribution(m_dist.Path(), 80);
        const std::string log = small + "run.log";
        const std::string filler = small + "filler.dat";
        const ScopeExit clean([&] {
            DeleteFileA(filler.c_str());
            DeleteFileA(log.c_str());
        });
        ULARGE_INTEGER free{};
        ASSERT_TRUE(GetDiskFreeSpaceExA(small.c_str(), &free, nullptr, nullptr));
        // Room for one page of log: the header and a few lines, not 80
        // lines of copies.
        ASSERT_GT(free.QuadPart, 4096u);
        WriteWhole(filler, std::string(static_cast<size_t>(free.QuadPart - 4096), 'f'));
        const std::string before = MachineState();
        const Ended ended = Run("/quiet /nolaunch /dir=" + Quoted(m_dest) + " /log=" + log, 60000);
        EXPECT_EQ(ended.Run.ExitCode, 3u);
        EXPECT_TRUE(ended.Run.Visible.empty());
        EXPECT_TRUE(Contains(ended.Errors, "The log " + log + " could not be written")) << ended.Errors;
        EXPECT_EQ(MachineState(), before);
        const std::string text = ReadWhole(log);
        ASSERT_GE(text.size(), 2u);
        EXPECT_EQ(text.substr(text.size() - 2), "\r\n");
        const Strings lines = LinesOf(text);
        EXPECT_EQ(lines.front(), LogHeader);
        for (size_t i = 1; i < lines.size(); ++i) {
            SCOPED_TRACE(lines[i]);
            const bool whole = lines[i].rfind("Message: ", 0) == 0 || lines[i].rfind("Folder made: ", 0) == 0 ||
                               (lines[i].rfind("File copied: ", 0) == 0 && Contains(lines[i], " bytes)"));
            EXPECT_TRUE(whole);
        }
        EXPECT_LT(lines.size(), 80u);
    }
    {
        SCOPED_TRACE("the destination's drive fills");
        TempDir dist;
        WriteProduct(dist.Path());
        dist.WriteFile("big.dat", std::string(6 << 20, 'b'));
        dist.WriteFile("setup.fls", Script({"Dreadme.txt", "Dbig.dat", "Dhalvarn95.exe"}));
        const std::string dest = small + "HALVARN\\";
        const std::string before = FolderState(small);
        const Ended ended =
            Run(Wide("/quiet /nolaunch /dir=" + Quoted(dest) + " /log=" + Quoted(m_log)), 60000, dist.Path());
        EXPECT_EQ(ended.Run.ExitCode, 3u);
        const Strings lines = LinesOf(ReadWhole(m_log));
        EXPECT_NE(std::find(lines.begin(), lines.end(), "Failure: " + dest + "big.dat: Stream write error"),
                  lines.end())
            << testing::PrintToString(lines);
        EXPECT_EQ(FolderState(small), before);
    }
}

} // namespace

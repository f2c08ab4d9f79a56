// The switches read from a command line: the spellings an administrator may
// use, and every way a command line is wrong.
#include <windows.h>

#include <gtest/gtest.h>

#include <stdexcept>

#include "setup/unattended/CommandLine.h"
#include "setup/engine/RunLog.h"
#include "setup/engine/SetupState.h"
#include "setup/unattended/Unattended.h"
#include "tests/support/TempDir.h"

namespace {

TEST(CommandLine, SwitchesAreReadWhateverTheirCaseQuotesOrLeadingCharacter)
{
    EXPECT_EQ(ProgramArguments("\"C:\\Program Files\\setup.exe\" /quiet"), "/quiet");
    EXPECT_EQ(ProgramArguments("a:\\setup.exe"), "");

    const CommandLine none = ParseCommandLine("");
    EXPECT_EQ(none.Mode, RunMode::Interactive);
    EXPECT_FALSE(none.Unattended());
    EXPECT_TRUE(none.Error.empty());

    // A quote may open before the value or before the whole switch; a
    // backslash before a closing quote is part of the path.
    const CommandLine line = ParseCommandLine(
        "  /QUIET -Dir=\"C:\\Program Files\\Halvarn\\\" \"/group=Tools\\Halvarn 95\" /Optional=NONE -nolaunch "
        "\"/log=C:\\logs\\setup run.txt\"");
    EXPECT_TRUE(line.Error.empty()) << line.Error;
    EXPECT_EQ(line.Mode, RunMode::Quiet);
    EXPECT_EQ(line.Dir, "C:\\Program Files\\Halvarn\\");
    EXPECT_EQ(line.Group, "Tools\\Halvarn 95");
    EXPECT_FALSE(line.NoGroup);
    EXPECT_EQ(line.Optional, OptionalAnswer::None);
    EXPECT_TRUE(line.NoLaunch);
    EXPECT_EQ(line.LogFile, "C:\\logs\\setup run.txt");
    EXPECT_FALSE(line.Uninstall);

    const CommandLine removal = ParseCommandLine("-PASSIVE /uninstall=\"D:\\Old Place\\uninst.fls\" /nogroup /optional=All");
    EXPECT_TRUE(removal.Error.empty()) << removal.Error;
    EXPECT_EQ(removal.Mode, RunMode::Passive);
    EXPECT_TRUE(removal.Uninstall);
    EXPECT_EQ(removal.UninstallLog, "D:\\Old Place\\uninst.fls");
    EXPECT_TRUE(removal.NoGroup);
    EXPECT_EQ(removal.Optional, OptionalAnswer::All);
    EXPECT_FALSE(ParseCommandLine("/uninstall").UninstallLog.has_value());
    EXPECT_TRUE(ParseCommandLine("/uninstall").Uninstall);
    EXPECT_TRUE(ParseCommandLine("/?").Help);
    EXPECT_TRUE(ParseCommandLine("-HELP").Help);
}

TEST(CommandLine, AWrongCommandLineSaysWhyAndStillNamesItsLog)
{
    const struct {
        const char* Arguments;
        const char* Reason;
    } cases[] = {
        {"/quiet /frobnicate", "Unknown switch: /frobnicate"},
        {"quiet", "Unknown switch: quiet"},
        {"/quiet \"\"", "Unknown switch: "},
        {"/dir", "The switch /dir needs a value after ="},
        {"/group=", "The switch /group needs a value after ="},
        {"/uninstall=", "The switch /uninstall needs a value after ="},
        {"/quiet=yes", "The switch /quiet takes no value"},
        {"/optional=some", "The switch /optional takes all or none, not some"},
        {"/group=..\\Startup", "The Start Menu group ..\\Startup is not a folder name below the Programs folder"},
        {"/passive /quiet", "The switches /quiet and /passive cannot be used together"},
        {"/quiet /passive", "The switches /quiet and /passive cannot be used together"},
        {"/nogroup /group=Halvarn", "The switches /group and /nogroup cannot be used together"},
        {"/bad1 /bad2", "Unknown switch: /bad1"},
    };
    for (const auto& wrong : cases) {
        SCOPED_TRACE(wrong.Arguments);
        EXPECT_EQ(ParseCommandLine(wrong.Arguments).Error, wrong.Reason);
    }
    // The reason reaches the log named after the wrong switch.
    const CommandLine line = ParseCommandLine("/quiet /bogus /log=C:\\setup.log");
    EXPECT_EQ(line.Error, "Unknown switch: /bogus");
    EXPECT_EQ(line.LogFile, "C:\\setup.log");
    EXPECT_EQ(line.Mode, RunMode::Quiet);
    // Quiet, once asked for, stays: nothing may show the reason.
    EXPECT_EQ(ParseCommandLine("/quiet /passive").Mode, RunMode::Quiet);
}

// However wrong the command line, a spelling of /quiet or /passive anywhere
// in it keeps every window away, also one with a wrong value or one that an
// open quote took into another switch's value.
TEST(CommandLine, AnySpellingOfQuietOrPassiveInAWrongCommandLineAsksForNoWindow)
{
    const struct {
        const char* Arguments;
        RunMode Mode;
    } cases[] = {
        {"/passive /bogus", RunMode::Passive},
        {"/passive /dir=", RunMode::Passive},
        {"/passive /nogroup /group=X", RunMode::Passive},
        {"/passive /optional=maybe", RunMode::Passive},
        {"/quiet=yes", RunMode::Quiet},
        {"-PASSIVE=1 /dir", RunMode::Passive},
        {"/dir=\"C:\\X /quiet /log=C:\\L.log", RunMode::Quiet},
        {"/bogus \"/passive", RunMode::Passive},
        {"/bogus", RunMode::Interactive},
    };
    for (const auto& wrong : cases) {
        SCOPED_TRACE(wrong.Arguments);
        const CommandLine line = ParseCommandLine(wrong.Arguments);
        EXPECT_FALSE(line.Error.empty());
        EXPECT_EQ(line.Mode, wrong.Mode);
    }
    // A right command line takes the words as they are: a value that holds
    // " /quiet" in quotes is a value.
    const CommandLine quoted = ParseCommandLine("\"/dir=C:\\Tools /quiet\"");
    EXPECT_TRUE(quoted.Error.empty()) << quoted.Error;
    EXPECT_EQ(quoted.Mode, RunMode::Interactive);
    EXPECT_EQ(quoted.Dir, "C:\\Tools /quiet");
}

// A quote left open, a switch given twice with two values, and /dir with
// /uninstall are mistakes; the same value twice says one thing.
TEST(CommandLine, AnOpenQuoteARepeatedSwitchAndADestinationForARemovalAreWrong)
{
    const struct {
        const char* Arguments;
        const char* Reason;
    } cases[] = {
        {"/dir=\"C:\\X /quiet /log=C:\\L.log", "A quote is opened and never closed: \"C:\\X /quiet /log=C:\\L.log"},
        {"/quiet \"", "A quote is opened and never closed: \""},
        {"/quiet /dir=C:\\A /dir=C:\\B", "The switch /dir is given twice with different values: /dir=C:\\A and /dir=C:\\B"},
        {"/optional=all -OPTIONAL=none", "The switch /optional is given twice with different values: /optional=all and -OPTIONAL=none"},
        {"/uninstall /uninstall=C:\\X\\uninst.fls",
         "The switch /uninstall is given twice with different values: /uninstall and /uninstall=C:\\X\\uninst.fls"},
        {"/quiet /dir=C:\\X /uninstall=C:\\X\\uninst.fls", "The switches /dir and /uninstall cannot be used together"},
        {"/uninstall /dir=C:\\X", "The switches /dir and /uninstall cannot be used together"},
    };
    for (const auto& wrong : cases) {
        SCOPED_TRACE(wrong.Arguments);
        EXPECT_EQ(ParseCommandLine(wrong.Arguments).Error, wrong.Reason);
    }
    const CommandLine twice = ParseCommandLine("/quiet /QUIET /dir=C:\\Halvarn /dir=c:\\HALVARN /optional=all /optional=ALL");
    EXPECT_TRUE(twice.Error.empty()) << twice.Error;
    EXPECT_EQ(twice.Dir, "C:\\Halvarn");
    EXPECT_EQ(twice.Optional, OptionalAnswer::All);
}

// /log and /uninstall name files by the rule of the destination: a device,
// whatever folder and extension it has, a device path and a name the system
// would change are refused, and the name is never kept for opening. A
// relative name is made full.
TEST(CommandLine, LogAndUninstallRefuseDevicesAndNamesThatAreNotPlain)
{
    const struct {
        const char* Arguments;
        const char* Reason;
    } cases[] = {
        {"/quiet /log=COM1", "The switch /log names COM1, whose part COM1 is a device, not a file"},
        {"/quiet /log=NUL", "The switch /log names NUL, whose part NUL is a device, not a file"},
        {"/quiet /log=C:\\logs\\con.txt", "The switch /log names C:\\logs\\con.txt, whose part con.txt is a device, not a file"},
        {"/quiet /log=CONIN$", "The switch /log names CONIN$, whose part CONIN$ is a device, not a file"},
        {"/quiet /log=\\\\.\\C:", "The switch /log names \\\\.\\C:, which is a device path, not a file"},
        {"/quiet /log=\\\\?\\C:\\L.log", "The switch /log names \\\\?\\C:\\L.log, which is a device path, not a file"},
        {"/quiet /uninstall=COM1", "The switch /uninstall names COM1, whose part COM1 is a device, not a file"},
        {"/quiet /uninstall=C:\\X\\COM1.fls",
         "The switch /uninstall names C:\\X\\COM1.fls, whose part COM1.fls is a device, not a file"},
        {"/quiet /uninstall=LPT1", "The switch /uninstall names LPT1, whose part LPT1 is a device, not a file"},
        {"/quiet /uninstall=\\\\.\\PhysicalDrive0",
         "The switch /uninstall names \\\\.\\PhysicalDrive0, which is a device path, not a file"},
        {"/quiet \"/log=C:\\logs.\\run.log\"",
         "The switch /log names C:\\logs.\\run.log, which is not a plain full file name: a drive or network share, "
         "and then names that the system does not change"},
        {"/quiet /log=C:\\L?.log",
         "The switch /log names C:\\L?.log, which is not a plain full file name: a drive or network share, and then "
         "names that the system does not change"},
    };
    for (const auto& wrong : cases) {
        SCOPED_TRACE(wrong.Arguments);
        const CommandLine line = ParseCommandLine(wrong.Arguments);
        EXPECT_EQ(line.Error, wrong.Reason);
        EXPECT_FALSE(line.LogFile.has_value());
        EXPECT_FALSE(line.UninstallLog.has_value());
        EXPECT_EQ(line.Mode, RunMode::Quiet);
    }
    TempDir here;
    char current[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, current);
    ASSERT_TRUE(SetCurrentDirectoryA(here.Path().c_str()));
    const CommandLine relative = ParseCommandLine("/quiet /log=run.log /uninstall=old\\uninst.fls");
    EXPECT_TRUE(relative.Error.empty()) << relative.Error;
    SetCurrentDirectoryA(current);
    EXPECT_EQ(relative.LogFile, here.Path() + "run.log");
    EXPECT_EQ(relative.UninstallLog, here.Path() + "old\\uninst.fls");
}

// The command line as the system gives it in Unicode: what the code page
// holds is read as it is, and an argument with a character it cannot hold
// is named, never read as a look-alike.
TEST(CommandLine, ArgumentsAreTakenFromUnicodeAndOneTheCodePageCannotHoldIsNamed)
{
    std::string unfit;
    EXPECT_EQ(AnsiProgramArguments(L"\"C:\\dist\\setup.exe\" /quiet \"/dir=C:\\Caf\u00e9\"", unfit),
              "/quiet \"/dir=C:\\Caf\xe9\"");
    EXPECT_EQ(unfit, "");
    const std::string text =
        AnsiProgramArguments(L"setup.exe /quiet \"/log=C:\\L.log\" /dir=C:\\Test\u03b1 /group=\u03b2", unfit);
    EXPECT_EQ(unfit, "/dir=C:\\Test?");
    // Never the look-alike "a".
    EXPECT_EQ(text.find("Testa"), std::string::npos);
}

TEST(CommandLine, AnUnexpectedErrorHasItsOwnExitCode)
{
    EXPECT_EQ(static_cast<int>(ExitCode::Unexpected), 6);
    EXPECT_EQ(ExitCodeMeaning(ExitCode::Unexpected), "unexpected error");
    for (int code = 0; code < 6; ++code)
        EXPECT_NE(ExitCodeMeaning(static_cast<ExitCode>(code)), "unexpected error");

    // Under /quiet it shows no box (a box would wait for nobody): the log
    // has the error and the code.
    TempDir folder;
    SetupState state;
    state.Switches.Mode = RunMode::Quiet;
    ASSERT_EQ(state.Log.Open(folder.Path() + "run.log"), "");
    int code = 0;
    try {
        throw std::runtime_error("nothing foresaw this");
    } catch (...) {
        code = state.Log.Finish(EndUnexpectedly(state));
    }
    EXPECT_EQ(code, 6);
    const std::string log = ReadWhole(folder.Path() + "run.log");
    EXPECT_NE(log.find("Unexpected error: "), std::string::npos) << log;
    EXPECT_NE(log.find("nothing foresaw this"), std::string::npos) << log;
    EXPECT_NE(log.find("Exit code 6: unexpected error\r\n"), std::string::npos) << log;
}

// The log is made with its first line, appended to when that line is there,
// and never replaces another file; two runs cannot write into it at once.
TEST(RunLog, MakesItsFileAppendsToItsOwnAndNeverReplacesAnother)
{
    TempDir folder;
    const std::string name = folder.Path() + "run.log";
    {
        RunLog log;
        ASSERT_EQ(log.Open(name), "");
        log.Line("first\rrun");
        RunLog second;
        EXPECT_EQ(second.Open(name), "The log " + name + " cannot be written");
        EXPECT_EQ(log.Finish(ExitCode::Finished), 0);
    }
    // An earlier run cut off in a line: the next run's part begins on a
    // line of its own.
    WriteWhole(name, ReadWhole(name) + "cut");
    {
        RunLog log;
        ASSERT_EQ(log.Open(name), "");
        log.Finish(ExitCode::Refused);
    }
    EXPECT_EQ(ReadWhole(name), "Brisdane 95 Setup run log\r\nfirst run\r\nExit code 0: finished\r\ncut\r\n"
                               "Brisdane 95 Setup run log\r\nExit code 5: refused before anything was made\r\n");

    for (const std::string& content : {std::string("my letter\r\n"), std::string(), std::string("Brisdane 95 Setup run log"),
                                       std::string("x\r\nBrisdane 95 Setup run log\r\n")}) {
        SCOPED_TRACE(content);
        const std::string other = folder.Path() + "letter.txt";
        WriteWhole(other, content);
        RunLog log;
        EXPECT_EQ(log.Open(other), "The log " + other +
                                       " exists and is not a log of this setup: a log never replaces another file");
        EXPECT_FALSE(log.IsOpen());
        log.Line("never");
        EXPECT_EQ(ReadWhole(other), content);
    }
}

} // namespace

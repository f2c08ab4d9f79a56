// The switches read from a command line: the spellings an administrator may
// use, and every way a command line is wrong.
#include <gtest/gtest.h>

#include "setup/CommandLine.h"

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

} // namespace

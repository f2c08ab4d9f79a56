// The switches setup.exe may be started with, read once at the start, and
// the exit codes through which the program tells whoever started it what
// happened. A run started without switches is the one a person clicks
// through.
#pragma once

#include <optional>
#include <string>
#include <vector>

enum class RunMode {
    Interactive,  // every form and question, as a person runs the setup
    Quiet,        // no window at all
    Passive,      // the progress form alone
};

// The answer to every optional file's question.
enum class OptionalAnswer {
    Ask,   // a person is asked; an unattended run takes the question's default, Yes
    All,
    None,
};

struct CommandLine {
    RunMode Mode = RunMode::Interactive;
    // The destination as typed, and the Start Menu group, instead of the
    // script's.
    std::optional<std::string> Dir;
    std::optional<std::string> Group;
    bool NoGroup = false;
    OptionalAnswer Optional = OptionalAnswer::Ask;
    bool NoLaunch = false;
    std::optional<std::string> LogFile;
    // Removal instead of installation, from the log named or the one beside
    // the program.
    bool Uninstall = false;
    std::optional<std::string> UninstallLog;
    bool Help = false;
    // Why the command line is wrong, empty when it is right. The rest of the
    // switches are still read, so that the reason reaches the log they name.
    std::string Error;

    bool Unattended() const { return Mode != RunMode::Interactive; }
};

// What the program returns, in every mode.
enum class ExitCode {
    Finished = 0,             // installed, removed what was selected, or handed over to a running setup
    WrongCommandLine = 1,
    EndedByUser = 2,          // Exit, Cancel, or a close box answered Yes
    Failed = 3,               // a failure during the run, which is then taken back
    AnotherSetupRunning = 4,  // an unattended run never hands over
    Refused = 5,              // refused before anything was made
};

// The meaning of an exit code, as the log's last line gives it.
std::string ExitCodeMeaning(ExitCode code);

// What follows the program's name in a whole command line (as the system
// gives it, the name quoted or not).
std::string ProgramArguments(const std::string& commandLine);
// The words of the arguments: split at blanks and tabs outside quotes, with
// the quotes taken out, so that a quote may open anywhere in a word.
// NOTE: a backslash is an ordinary character here, also before a quote, so
// that /dir="C:\Program Files\" names the folder it shows.
std::vector<std::string> SplitArguments(const std::string& arguments);
// Reads the switches (case does not matter; "/" or "-" before each, a value
// after "="). A wrong command line sets Error to the first reason found.
CommandLine ParseCommandLine(const std::string& arguments);

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
    // The run's log, in full (a relative name is taken from the current
    // folder); a device or a name the system would change is refused.
    std::optional<std::string> LogFile;
    // Removal instead of installation, from the log named (in full, by the
    // rule of LogFile) or the one beside the program.
    bool Uninstall = false;
    std::optional<std::string> UninstallLog;
    bool Help = false;
    // Why the command line is wrong, empty when it is right. The rest of the
    // switches are still read, so that the reason reaches the log they name;
    // Mode is then Quiet or Passive when any spelling of /quiet or /passive
    // appears anywhere, so that nothing waits for a person to read it.
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
    Unexpected = 6,           // an error the program did not foresee, reported by the last-chance handler
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
// The arguments of the whole command line as the system gives it in Unicode
// (GetCommandLineW), in the ANSI code page that the rest of the program
// reads. A character the code page cannot hold exactly is never replaced by
// a look-alike: unfit is then the first argument that holds one (with "?"
// for it), else empty.
std::string AnsiProgramArguments(const std::wstring& commandLine, std::string& unfit);
// Reads the switches (case does not matter; "/" or "-" before each, a value
// after "="). A wrong command line sets Error to the first reason found: an
// unknown switch or value, a quote left open, a switch given twice with
// different values (the same value twice is taken once), switches that
// exclude each other, or a /log or /uninstall file that is a device or no
// plain full name.
CommandLine ParseCommandLine(const std::string& arguments);

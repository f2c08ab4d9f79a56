// The switches setup.exe was started with, as read, and the exit codes
// through which the program tells whoever started it what happened. A run
// started without switches is the one a person clicks through. The engine
// reads the switches' answers; the unattended runs read the command line
// into them.
#pragma once

#include <optional>
#include <string>

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

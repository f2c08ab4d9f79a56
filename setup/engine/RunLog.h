// The plain text log of a run that the /log switch asks for: a first line
// that marks the file as this program's log, one line for each action,
// message and answer, and a last line with the exit code. Each line goes to
// the file as soon as it is written, so that the log tells what happened
// also after a crash. A log never replaces or cuts another file: it is made
// new, or a later run appends to a log of this program.
#pragma once

#include <string>

#include "runtime/Handles.h"
#include "setup/engine/Switches.h"

class RunLog {
public:
    // A log that writes nothing, until it is opened.
    RunLog() = default;

    // Makes the file with the log's first line, or, when a file of that
    // name exists and its first line is that line, appends to it, opening
    // this run's part with the same line. The file is kept from being
    // written by anyone else while it is open, so that two runs never mix
    // their lines. The reason when it cannot be opened so (another file of
    // that name, a file in use, a folder that cannot be written), else an
    // empty text; the log then writes nothing.
    std::string Open(const std::string& name);
    bool IsOpen() const { return m_file.IsValid(); }

    // Writes one line; the line breaks of a dialog's text become blanks. A
    // line that cannot be written in whole (a full drive) is taken out
    // again, the log is closed, and it has failed.
    void Line(const std::string& text);
    // Whether a line could not be written: the run it describes then has
    // failed, since the log can no longer say what it did.
    bool Failed() const { return !m_failure.empty(); }
    // Why the log failed, naming it; empty while it has not.
    const std::string& Failure() const { return m_failure; }
    // The last line: the exit code and its meaning. Returns the code, or
    // Failed's when the log failed in a run that had finished.
    int Finish(ExitCode code);

private:
    std::string m_name;
    std::string m_failure;
    FileHandle m_file;
};

// Writes the line to the standard error stream, when the program was given
// one (a program with windows gets one only from the program that started
// it); never makes a console.
void ToStandardError(const std::string& text);

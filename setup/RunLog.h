// The plain text log of a run that the /log switch asks for: one line for
// each action, message and answer, and a last line with the exit code.
// Each line goes to the file as soon as it is written, so that the log tells
// what happened also after a crash.
#pragma once

#include <string>

#include "runtime/Handles.h"
#include "setup/CommandLine.h"

class RunLog {
public:
    // A log that writes nothing, until it is opened.
    RunLog() = default;

    // Makes the file, replacing one of that name: the administrator named
    // it. False when it cannot be made; the log then writes nothing.
    bool Open(const std::string& name);
    bool IsOpen() const { return m_file.IsValid(); }

    // Writes one line; the line breaks of a dialog's text become blanks.
    void Line(const std::string& text);
    // The last line: the exit code and its meaning. Returns the code.
    int Finish(ExitCode code);

private:
    FileHandle m_file;
};

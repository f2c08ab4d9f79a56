// The engine's questions answered from the command line's switches, and
// every question, notice and action written to the run's log. What the
// switches leave open goes to a person when there is one (an interactive
// run); an unattended run takes each question's default instead, and ends
// where only a person could go on.
#pragma once

#include <string>

#include "runtime/Exceptions.h"
#include "setup/engine/Switches.h"
#include "setup/engine/RunLog.h"
#include "setup/engine/SetupPrompts.h"

// Raised when an unattended run meets what needs a person (a missing
// source file, another diskette); its message is the question's text.
class EUnattendedStop : public Exception {
public:
    explicit EUnattendedStop(std::string message) : Exception(std::move(message)) {}
};

class AnsweringPrompts : public SetupPrompts {
public:
    // person shows the progress and, in an interactive run, answers what
    // the switches leave open and reads the notices; it may be null when
    // nothing is shown. None of the three is owned; all outlive the prompts.
    AnsweringPrompts(const CommandLine& switches, RunLog& log, SetupPrompts* person)
        : m_switches(switches), m_log(log), m_person(person)
    {
    }

    bool Ask(Question question, const std::string& text) override;
    bool AnswersNo(Question question) const override;
    void Tell(const std::string& text) override;
    void Warn(const std::string& text) override;
    void BeginCopies(int count) override;
    void Copying(const std::string& destination) override;
    void Copied(bool counted) override;
    void Acted(ActionKind kind, const std::string& path) override;
    void Logged(const std::string& line) override { m_log.Line(line); }
    // Also once the log can no longer be written: the run cannot say what
    // it does, and stops as a failure.
    bool Stopped() const override;

    // The file being copied, from Copying until Copied; empty between two
    // copies.
    const std::string& Working() const { return m_working; }

private:
    // The answer the switches give, or the one the person gives.
    bool Answer(Question question, const std::string& text);

    const CommandLine& m_switches;  // not owned
    RunLog& m_log;                  // not owned
    SetupPrompts* m_person;         // not owned
    std::string m_working;
};

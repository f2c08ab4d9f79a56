// The setup engine driven with no form and no window: a setup state whose
// folders lie in a temporary folder, and prompts answered by the test.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "setup/engine/SetupPrompts.h"
#include "setup/engine/SetupState.h"
#include "tests/support/TempDir.h"

// Points the state's folders into dir, each made: the program's own
// (ExeDir, SourceDir), DEST (DestDir), WIN and WIN\SYSTEM, MENU\PROGRAMS
// with STARTUP below it; the title is Halvarn 95.
void UseTestFolders(SetupState& state, const TempDir& dir);
// The journals of a test: a folder in dir, and a registry key of the
// current user's that holds nothing yet.
constexpr char TestJournalKey[] = "Software\\Brisdane95Setup\\Tests";
JournalPlace TestJournalPlace(const TempDir& dir);

// Answers the engine's questions through a function of the test, and keeps
// what it was asked and told.
class ScriptedPrompts : public SetupPrompts {
public:
    using Answer = std::function<bool(Question question, const std::string& text)>;
    // Without an answer every question is answered No (Ignore).
    explicit ScriptedPrompts(Answer answer = {}) : m_answer(std::move(answer)) {}

    struct Asked {
        Question Kind;
        std::string Text;
    };
    std::vector<Asked> Questions;
    std::vector<std::string> Told;
    std::vector<std::string> Warned;
    std::vector<std::string> Copies;
    int Total = 0;
    int Counted = 0;
    bool Stop = false;
    // Runs after each copy, as the form lets messages through there.
    std::function<void()> AfterCopy;

    bool Ask(Question question, const std::string& text) override
    {
        Questions.push_back({question, text});
        return m_answer && m_answer(question, text);
    }
    void Tell(const std::string& text) override { Told.push_back(text); }
    void Warn(const std::string& text) override { Warned.push_back(text); }
    void BeginCopies(int count) override { Total = count; }
    void Copying(const std::string& destination) override { Copies.push_back(destination); }
    void Copied(bool counted) override
    {
        Counted += counted ? 1 : 0;
        if (AfterCopy)
            AfterCopy();
    }
    bool Stopped() const override { return Stop; }

private:
    Answer m_answer;
};

class EngineTest : public testing::Test {
protected:
    void SetUp() override;
    // The uninstallation moves the current directory into the test's
    // folder; it goes back, so that the folder can be deleted.
    void TearDown() override;

    TempDir m_dir;
    SetupState m_state;

private:
    std::string m_startDir;
};

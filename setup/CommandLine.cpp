#include "setup/CommandLine.h"

#include <algorithm>
#include <utility>

#include "runtime/Format.h"
#include "runtime/Paths.h"
#include "runtime/ResStrings.h"
#include "setup/ScriptFormat.h"

namespace {

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

// A switch's name in lower case, for the comparison that ignores case.
std::string LowerAscii(std::string text)
{
    for (char& c : text)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return text;
}

enum class Takes { Nothing, Value, MaybeValue };

struct Switch {
    const char* Name;
    Takes Value;
};

constexpr Switch Switches[] = {
    {"quiet", Takes::Nothing},   {"passive", Takes::Nothing}, {"dir", Takes::Value},
    {"group", Takes::Value},     {"nogroup", Takes::Nothing}, {"optional", Takes::Value},
    {"nolaunch", Takes::Nothing}, {"log", Takes::Value},      {"uninstall", Takes::MaybeValue},
    {"?", Takes::Nothing},       {"help", Takes::Nothing},
};

const Switch* FindSwitch(const std::string& name)
{
    for (const Switch& candidate : Switches)
        if (name == candidate.Name)
            return &candidate;
    return nullptr;
}

// Takes one switch's meaning into the command line; the reason when it is
// wrong, else an empty text.
std::string Apply(CommandLine& line, const std::string& name, const std::optional<std::string>& value)
{
    if (name == "quiet")
        line.Mode = RunMode::Quiet;
    else if (name == "passive") {
        // Quiet stays quiet, so that a command line that also asks for the
        // progress shows no dialog to say it is wrong.
        if (line.Mode != RunMode::Quiet)
            line.Mode = RunMode::Passive;
    }
    else if (name == "dir")
        line.Dir = value;
    else if (name == "group") {
        line.Group = value;
        // The same rule as for the script's group: a folder of its own below
        // the Programs folder, which the uninstaller can take back.
        if (!ScriptFormat::IsGroupPath(*value))
            return Format(LoadResString(StrId::SGroupSwitchName), {*value});
    } else if (name == "nogroup")
        line.NoGroup = true;
    else if (name == "optional") {
        const std::string answer = LowerAscii(*value);
        if (answer == "all")
            line.Optional = OptionalAnswer::All;
        else if (answer == "none")
            line.Optional = OptionalAnswer::None;
        else
            return Format(LoadResString(StrId::SOptionalValue), {*value});
    } else if (name == "nolaunch")
        line.NoLaunch = true;
    else if (name == "log")
        line.LogFile = value;
    else if (name == "uninstall") {
        line.Uninstall = true;
        line.UninstallLog = value;
    } else
        line.Help = true;
    return std::string();
}

} // namespace

std::string ExitCodeMeaning(ExitCode code)
{
    switch (code) {
    case ExitCode::Finished: return LoadResString(StrId::SExitFinished);
    case ExitCode::WrongCommandLine: return LoadResString(StrId::SExitWrongCommandLine);
    case ExitCode::EndedByUser: return LoadResString(StrId::SExitEndedByUser);
    case ExitCode::Failed: return LoadResString(StrId::SExitFailed);
    case ExitCode::AnotherSetupRunning: return LoadResString(StrId::SExitAnotherSetup);
    case ExitCode::Refused: return LoadResString(StrId::SExitRefused);
    }
    return std::string();
}

std::string ProgramArguments(const std::string& commandLine)
{
    size_t at = 0;
    while (at < commandLine.size() && IsBlank(commandLine[at]))
        ++at;
    // The program's name runs to the first blank outside quotes.
    bool quoted = false;
    for (; at < commandLine.size() && (quoted || !IsBlank(commandLine[at])); ++at)
        if (commandLine[at] == '"')
            quoted = !quoted;
    while (at < commandLine.size() && IsBlank(commandLine[at]))
        ++at;
    return commandLine.substr(at);
}

std::vector<std::string> SplitArguments(const std::string& arguments)
{
    std::vector<std::string> words;
    std::string word;
    bool inWord = false;
    bool quoted = false;
    for (const char c : arguments) {
        if (c == '"') {
            quoted = !quoted;
            inWord = true;
        } else if (IsBlank(c) && !quoted) {
            if (inWord)
                words.push_back(word);
            word.clear();
            inWord = false;
        } else {
            word += c;
            inWord = true;
        }
    }
    if (inWord)
        words.push_back(word);
    return words;
}

CommandLine ParseCommandLine(const std::string& arguments)
{
    CommandLine line;
    std::vector<std::string> seen;
    const auto fail = [&](const std::string& reason) {
        if (line.Error.empty())
            line.Error = reason;
    };
    for (const std::string& word : SplitArguments(arguments)) {
        if (word.empty() || (word[0] != '/' && word[0] != '-')) {
            fail(Format(LoadResString(StrId::SUnknownSwitch), {word}));
            continue;
        }
        const size_t equals = word.find('=');
        const std::string spelled = word.substr(0, equals);
        const std::string name = LowerAscii(spelled.substr(1));
        std::optional<std::string> value;
        if (equals != std::string::npos)
            value = word.substr(equals + 1);
        const Switch* known = FindSwitch(name);
        if (!known) {
            fail(Format(LoadResString(StrId::SUnknownSwitch), {word}));
            continue;
        }
        // NOTE: "/dir=" names no folder and "/uninstall=" no log: a switch
        // with "=" and nothing after it lacks its value.
        if (known->Value == Takes::Nothing && value) {
            fail(Format(LoadResString(StrId::SSwitchTakesNoValue), {spelled}));
            continue;
        }
        if (known->Value != Takes::Nothing && (value ? value->empty() : known->Value == Takes::Value)) {
            fail(Format(LoadResString(StrId::SSwitchNeedsValue), {spelled}));
            continue;
        }
        seen.push_back(name);
        fail(Apply(line, name, value));
    }
    const auto saw = [&](const char* name) { return std::find(seen.begin(), seen.end(), name) != seen.end(); };
    for (const auto& [first, second] : {std::pair{"quiet", "passive"}, std::pair{"group", "nogroup"}})
        if (saw(first) && saw(second))
            fail(Format(LoadResString(StrId::SSwitchesExclude), {first, second}));
    return line;
}

// The command line split into words, read into switches, and checked.
#include "setup/unattended/CommandLine.h"

#include <windows.h>

#include <algorithm>
#include <map>
#include <utility>

#include "runtime/Format.h"
#include "runtime/Paths.h"
#include "runtime/ResStrings.h"
#include "setup/engine/ScriptFormat.h"

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

// The full name of a file named on the command line: a relative name is
// taken from the current folder, as the system would take it.
std::string FullFileName(const std::string& name)
{
    const DWORD size = GetFullPathNameA(name.c_str(), 0, nullptr, nullptr);
    if (size == 0)
        return name;
    std::string full(size, '\0');
    const DWORD length = GetFullPathNameA(name.c_str(), size, full.data(), nullptr);
    if (length == 0 || length >= size)
        return name;
    full.resize(length);
    return full;
}

bool IsDevicePath(std::string_view path)
{
    const std::string_view start = path.substr(0, 4);
    return start == "\\\\.\\" || start == "\\\\?\\" || start == "\\??\\";
}

// Why the file a switch names (as typed, and in full) is no file that the
// run may read or write, or an empty text. The rule is the destination's:
// a drive or network share and then plain names, so that a device (COM1,
// C:\X\COM1.fls, which the system opens as the port), a device path or a
// name the system would trim never reaches the file functions.
std::string FileSwitchRefusal(const std::string& name, const std::string& typed, const std::string& full)
{
    // Both spellings are looked at: the system makes "C:\X\COM1.fls" in full
    // into the device path of the port, and drops the dot of "C:\logs.\".
    for (const std::string* path : {&typed, &full}) {
        if (IsDevicePath(*path))
            return Format(LoadResString(StrId::SSwitchDevicePath), {name, typed});
        for (size_t from = 0; from < path->size();) {
            const size_t end = std::min(path->find_first_of("\\/", from), path->size());
            const std::string part = path->substr(from, end - from);
            if (ScriptFormat::IsDeviceName(part))
                return Format(LoadResString(StrId::SSwitchDeviceName), {name, typed, part});
            if (!part.empty() && part != "." && part != ".." && (part.back() == '.' || part.back() == ' '))
                return Format(LoadResString(StrId::SSwitchNotPlain), {name, typed});
            from = end + 1;
        }
    }
    if (!ScriptFormat::IsPlainFullName(full))
        return Format(LoadResString(StrId::SSwitchNotPlain), {name, typed});
    return std::string();
}

// Takes one switch's meaning into the command line; the reason when it is
// wrong, else an empty text.
std::string Apply(CommandLine& line, const std::string& name, const std::optional<std::string>& value)
{
    if (name == "quiet" || name == "passive") {
        // The mode is read from every spelling of the switches, also the
        // wrong ones, before the words are taken one by one.
    } else if (name == "dir")
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
    else if (name == "log" || name == "uninstall") {
        std::optional<std::string> full;
        if (value) {
            full = FullFileName(*value);
            // NOTE: a refused name is not kept: nothing may open it, not
            // even to report that it is wrong.
            const std::string refusal = FileSwitchRefusal(name, *value, *full);
            if (!refusal.empty())
                return refusal;
        }
        if (name == "log") {
            line.LogFile = full;
        } else {
            line.Uninstall = true;
            line.UninstallLog = full;
        }
    } else
        line.Help = true;
    return std::string();
}

// The mode that some spelling of /quiet or /passive asks for, read from the
// words and, when the command line is wrong, also from every blank-separated
// piece of it with its quotes taken out: a wrong value ("/quiet=yes") or a
// quote left open before the switch must not bring up a window that nobody
// is there to close. Quiet wins.
RunMode AskedMode(const std::vector<std::string>& words, const std::string& arguments, bool wrong)
{
    std::vector<std::string> pieces = words;
    if (wrong) {
        std::string unquoted = arguments;
        unquoted.erase(std::remove(unquoted.begin(), unquoted.end(), '"'), unquoted.end());
        const std::vector<std::string> loose = SplitArguments(unquoted);
        pieces.insert(pieces.end(), loose.begin(), loose.end());
    }
    RunMode mode = RunMode::Interactive;
    for (const std::string& piece : pieces) {
        if (piece.empty() || (piece[0] != '/' && piece[0] != '-'))
            continue;
        const std::string name = LowerAscii(piece.substr(1, piece.find('=') - 1));
        if (name == "quiet")
            mode = RunMode::Quiet;
        else if (name == "passive" && mode != RunMode::Quiet)
            mode = RunMode::Passive;
    }
    return mode;
}

bool SameValue(const std::optional<std::string>& one, const std::optional<std::string>& other)
{
    // Paths, group names and answers are all read without regard to case.
    return one.has_value() == other.has_value() && (!one || UpperCaseAscii(*one) == UpperCaseAscii(*other));
}

// The words of the arguments of a command line in either character type,
// by the rules of ProgramArguments and SplitArguments.
template <class Text>
Text ArgumentsOf(const Text& commandLine)
{
    size_t at = 0;
    while (at < commandLine.size() && IsBlank(static_cast<char>(commandLine[at])))
        ++at;
    // The program's name runs to the first blank outside quotes.
    bool quoted = false;
    for (; at < commandLine.size() && (quoted || !IsBlank(static_cast<char>(commandLine[at]))); ++at)
        if (commandLine[at] == '"')
            quoted = !quoted;
    while (at < commandLine.size() && IsBlank(static_cast<char>(commandLine[at])))
        ++at;
    return commandLine.substr(at);
}

template <class Text>
std::vector<Text> WordsOf(const Text& arguments)
{
    std::vector<Text> words;
    Text word;
    bool inWord = false;
    bool quoted = false;
    for (const auto c : arguments) {
        if (c == '"') {
            quoted = !quoted;
            inWord = true;
        } else if (IsBlank(static_cast<char>(c)) && !quoted) {
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

// The text in the ANSI code page; fits is cleared when a character has no
// exact counterpart there (none is replaced by a look-alike).
std::string ToAnsi(const std::wstring& text, bool& fits)
{
    fits = true;
    if (text.empty())
        return std::string();
    // NOTE: a UTF-8 code page holds every character, and takes neither the
    // flag nor the question whether a default was used.
    const bool utf8 = GetACP() == CP_UTF8;
    BOOL usedDefault = FALSE;
    const DWORD flags = utf8 ? 0 : WC_NO_BEST_FIT_CHARS;
    BOOL* used = utf8 ? nullptr : &usedDefault;
    const int size =
        WideCharToMultiByte(CP_ACP, flags, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, used);
    std::string ansi(static_cast<size_t>(std::max(size, 0)), '\0');
    if (size > 0)
        WideCharToMultiByte(CP_ACP, flags, text.data(), static_cast<int>(text.size()), ansi.data(), size, nullptr,
                            used);
    fits = size > 0 && !usedDefault;
    return ansi;
}

} // namespace

std::string ProgramArguments(const std::string& commandLine)
{
    return ArgumentsOf(commandLine);
}

std::vector<std::string> SplitArguments(const std::string& arguments)
{
    return WordsOf(arguments);
}

std::string AnsiProgramArguments(const std::wstring& commandLine, std::string& unfit)
{
    unfit.clear();
    const std::wstring arguments = ArgumentsOf(commandLine);
    bool fits = true;
    std::string ansi = ToAnsi(arguments, fits);
    if (!fits) {
        for (const std::wstring& word : WordsOf(arguments)) {
            bool wordFits = true;
            const std::string shown = ToAnsi(word, wordFits);
            if (!wordFits) {
                unfit = shown;
                break;
            }
        }
    }
    return ansi;
}

CommandLine ParseCommandLine(const std::string& arguments)
{
    CommandLine line;
    const auto fail = [&](const std::string& reason) {
        if (line.Error.empty())
            line.Error = reason;
    };
    // NOTE: a quote left open takes every switch after it into one value
    // ("/dir="C:\X /quiet" is a folder named "X /quiet"): the command line
    // is not what its writer meant, and is refused.
    if (std::count(arguments.begin(), arguments.end(), '"') % 2 != 0)
        fail(Format(LoadResString(StrId::SUnterminatedQuote), {arguments.substr(arguments.rfind('"'))}));
    const std::vector<std::string> words = SplitArguments(arguments);
    // Each switch with the word that gave it first, for a second one.
    std::map<std::string, std::pair<std::string, std::optional<std::string>>> given;
    for (const std::string& word : words) {
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
        // NOTE: a switch given twice with two values is a mistake, not a
        // choice of the last one; the same value twice says one thing.
        const auto [earlier, first] = given.try_emplace(name, word, value);
        if (!first) {
            if (!SameValue(earlier->second.second, value))
                fail(Format(LoadResString(StrId::SSwitchRepeated), {name, earlier->second.first, word}));
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
        fail(Apply(line, name, value));
    }
    const auto saw = [&](const char* name) { return given.count(name) != 0; };
    // NOTE: a removal takes its folder from its log; a destination beside it
    // would name another folder than the one the log's items are in.
    for (const auto& [first, second] :
         {std::pair{"quiet", "passive"}, std::pair{"group", "nogroup"}, std::pair{"dir", "uninstall"}})
        if (saw(first) && saw(second))
            fail(Format(LoadResString(StrId::SSwitchesExclude), {first, second}));
    line.Mode = AskedMode(words, arguments, !line.Error.empty());
    return line;
}

// The plain text rules of the setup script's arguments: names, path codes,
// group paths, and the names of the distribution's files.
#include "setup/engine/ScriptFormat.h"

#include <array>
#include <utility>

#include "runtime/Paths.h"

namespace ScriptFormat {

bool HasPathCode(std::string_view path)
{
    return !path.empty() && PathCodes.find(path.front()) != std::string_view::npos;
}

namespace {

// The text before the first separator and the text after it; without one,
// the whole text and nothing.
struct Split {
    std::string Before;
    std::string After;
    bool Found = false;
};

Split SplitAtFirst(std::string_view text, char separator)
{
    const size_t at = text.find(separator);
    if (at == std::string_view::npos)
        return {std::string(text), {}, false};
    return {std::string(text.substr(0, at)), std::string(text.substr(at + 1)), true};
}

} // namespace

bool IsDeviceName(std::string_view name)
{
    std::string_view base = name.substr(0, name.find('.'));
    while (!base.empty() && base.back() == ' ')
        base.remove_suffix(1);
    const std::string upper = UpperCaseAscii(std::string(base));
    static constexpr std::array<std::string_view, 6> devices = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"};
    for (const std::string_view device : devices) {
        if (upper == device)
            return true;
    }
    if (upper.size() != 4 || (upper.compare(0, 3, "COM") != 0 && upper.compare(0, 3, "LPT") != 0))
        return false;
    const unsigned char digit = static_cast<unsigned char>(upper[3]);
    return (digit >= '0' && digit <= '9') || digit == 0xB9 || digit == 0xB2 || digit == 0xB3;
}

FileArgument SplitFileArgument(std::string_view argument)
{
    Split split = SplitAtFirst(argument, '{');
    return {std::move(split.Before), std::move(split.After), split.Found};
}

ItemArgument SplitItemArgument(std::string_view argument)
{
    Split split = SplitAtFirst(argument, ',');
    return {std::move(split.Before), std::move(split.After), split.Found};
}

std::string MandatorySourceName(std::string_view path)
{
    const size_t last = path.rfind('\\');
    if (last != std::string_view::npos)
        return std::string(path.substr(last + 1));
    return path.empty() ? std::string() : std::string(path.substr(1));
}

std::string OptionalSourceName(std::string_view path)
{
    return FileNamePart(path);
}

bool IsPlainName(std::string_view name)
{
    if (name.empty() || name == "." || name == ".." || name.back() == '.' || name.back() == ' ')
        return false;
    for (const char c : name) {
        if (static_cast<unsigned char>(c) < 32 || std::string_view("<>:\"/\\|?*").find(c) != std::string_view::npos)
            return false;
    }
    return !IsDeviceName(name);
}

bool IsPlainFullName(std::string_view path)
{
    const auto isLetter = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); };
    if (path.size() >= 3 && isLetter(path[0]) && path[1] == ':' && path[2] == '\\') {
        path.remove_prefix(3);
    } else if (path.substr(0, 2) == "\\\\") {
        // The server and the share; "\\?\" and "\\.\" name no share.
        path.remove_prefix(2);
        for (int part = 0; part < 2; ++part) {
            const size_t end = path.find('\\');
            if (end == std::string_view::npos || !IsPlainName(path.substr(0, end)))
                return false;
            path.remove_prefix(end + 1);
        }
    } else {
        return false;
    }
    // Below the root the names follow the rule of a Start Menu group: plain
    // names joined by single backslashes, none of them "." or "..".
    return IsGroupPath(path);
}

bool IsGroupPath(std::string_view name)
{
    if (name.empty())
        return false;
    size_t start = 0;
    for (;;) {
        const size_t end = name.find('\\', start);
        if (!IsPlainName(name.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start)))
            return false;
        if (end == std::string_view::npos)
            return true;
        start = end + 1;
    }
}

bool StaysInItsFolder(std::string_view name, bool fullPath)
{
    size_t start = 0;
    for (bool first = true;; first = false) {
        const size_t end = name.find_first_of("\\/", start);
        const std::string_view part = name.substr(start, end == std::string_view::npos ? end : end - start);
        const bool isDrive = fullPath && first && end != std::string_view::npos && part.size() == 2 &&
                             part[1] == ':' && UpperCaseAscii(part[0]) >= 'A' && UpperCaseAscii(part[0]) <= 'Z';
        if (!isDrive && (part.find_first_not_of(". ") == std::string_view::npos ||
                         part.find(':') != std::string_view::npos))
            return false;
        if (end == std::string_view::npos)
            return true;
        start = end + 1;
    }
}

std::optional<WrittenName> NameLeavingItsFolder(const TextRecord& record)
{
    const bool option = record.Command == 'S';
    const std::string_view argument = option ? record.Second : record.Argument;
    const int line = option ? record.SecondLine : record.ArgumentLine;
    std::string_view name = argument;
    bool fullPath = false;
    switch (record.Command) {
    case 'F':
    case 'S': {
        const std::string_view path = option ? argument : argument.substr(0, argument.find('{'));
        if (path.empty())
            return std::nullopt;
        name = path.substr(1);
        fullPath = path.front() == 'N';
        break;
    }
    case 'Q':
        // A Q name has no code letter: it is a name in the destination
        // directory.
        break;
    default:
        return std::nullopt;
    }
    if (StaysInItsFolder(name, fullPath))
        return std::nullopt;
    return WrittenName{argument, line};
}

} // namespace ScriptFormat

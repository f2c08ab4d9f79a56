#include "setup/ScriptFormat.h"

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

} // namespace ScriptFormat

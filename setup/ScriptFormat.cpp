#include "setup/ScriptFormat.h"

#include "runtime/Paths.h"

namespace ScriptFormat {

bool HasPathCode(std::string_view path)
{
    return !path.empty() && PathCodes.find(path.front()) != std::string_view::npos;
}

FileArgument SplitFileArgument(std::string_view argument)
{
    FileArgument result;
    const size_t brace = argument.find('{');
    if (brace == std::string_view::npos) {
        result.Path = std::string(argument);
        return result;
    }
    result.Path = std::string(argument.substr(0, brace));
    result.SizeText = std::string(argument.substr(brace + 1));
    result.HasBrace = true;
    return result;
}

ItemArgument SplitItemArgument(std::string_view argument)
{
    ItemArgument result;
    const size_t comma = argument.find(',');
    if (comma == std::string_view::npos) {
        result.Target = std::string(argument);
        return result;
    }
    result.Target = std::string(argument.substr(0, comma));
    result.Name = std::string(argument.substr(comma + 1));
    result.HasComma = true;
    return result;
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

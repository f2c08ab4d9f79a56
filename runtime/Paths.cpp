#include "runtime/Paths.h"

namespace {

// Position just behind the last separator, or 0.
size_t NameStart(std::string_view path)
{
    const size_t last = path.find_last_of("\\:");
    return last == std::string_view::npos ? 0 : last + 1;
}

} // namespace

std::string FileDirPart(std::string_view path)
{
    return std::string(path.substr(0, NameStart(path)));
}

std::string FileNamePart(std::string_view path)
{
    return std::string(path.substr(NameStart(path), 255));
}

std::string FileDrivePart(std::string_view path)
{
    if (path.size() >= 2 && path[1] == ':')
        return std::string(path.substr(0, 2));
    if (path.size() >= 2 && path[0] == '\\' && path[1] == '\\') {
        // Skip the server name, then the share name; stop before the
        // backslash that follows the share.
        const size_t share = path.find('\\', 2);
        if (share == std::string_view::npos)
            return std::string(path);
        return std::string(path.substr(0, path.find('\\', share + 1)));
    }
    return std::string();
}

std::string UpperCaseAscii(std::string_view text)
{
    std::string result(text);
    for (char& c : result)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return result;
}

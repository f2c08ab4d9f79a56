// Paths taken apart and put together by their text alone: the directory, name
// and drive parts, joining, ASCII upper case, shortening for a label, and the
// chain of a directory's ancestors for a tree.
#include "runtime/Paths.h"

#include <utility>

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

char UpperCaseAscii(char c)
{
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

std::string UpperCaseAscii(std::string_view text)
{
    std::string result(text);
    for (char& c : result)
        c = UpperCaseAscii(c);
    return result;
}

std::string JoinDir(std::string_view dir, std::string_view name)
{
    std::string result(dir);
    if (result.empty() || result.back() != '\\')
        result += '\\';
    return result.append(name);
}

std::string MinimizePath(std::string_view path, int32_t maxWidth,
                         const std::function<int32_t(const std::string&)>& width)
{
    std::string dir(FileDirPart(path));
    const std::string name(path.substr(dir.size()));
    std::string drive;
    if (dir.size() >= 2 && dir[1] == ':') {
        drive = dir.substr(0, 2);
        dir.erase(0, 2);
    }
    std::string result = drive + dir + name;
    while ((!drive.empty() || !dir.empty()) && width(result) > maxWidth) {
        if (dir == "\\...\\") {
            drive.clear();
            dir = "...\\";
        } else if (dir.empty()) {
            drive.clear();
        } else if (dir == "\\") {
            dir.clear();
        } else {
            // Drop the topmost directory that is still named, keeping one
            // "..." for everything dropped so far.
            const bool rooted = dir[0] == '\\';
            if (rooted)
                dir.erase(0, 1);
            if (dir.compare(0, 4, "...\\") == 0)
                dir.erase(0, 4);
            const size_t next = dir.find('\\');
            dir = next == std::string::npos ? std::string() : "...\\" + dir.substr(next + 1);
            if (rooted)
                dir.insert(0, "\\");
        }
        result = drive + dir + name;
    }
    return result;
}

DirectoryChain SplitDirectoryChain(std::string_view directory)
{
    DirectoryChain chain;
    const std::string root = FileDrivePart(directory) + "\\";
    std::string_view rest = directory;
    if (root.size() >= 2 && root[1] == '\\') {
        chain.Ancestors.push_back(root);
        rest = directory.size() > root.size() ? directory.substr(root.size()) : std::string_view();
    }
    if (!rest.empty() && rest.back() != '\\') {
        for (size_t at = rest.find('\\'); at != std::string_view::npos; at = rest.find('\\')) {
            std::string name(rest.substr(0, at));
            if (chain.Ancestors.empty())
                name += '\\';  // the root, such as C:\ .
            chain.Ancestors.push_back(std::move(name));
            rest.remove_prefix(at + 1);
        }
    }
    chain.Current = rest;
    return chain;
}

std::string AncestorPath(std::string_view directory, int depth)
{
    const std::string_view rest = directory.substr(FileDrivePart(directory).size());
    int seen = 0;
    for (size_t at = 0; at < rest.size(); ++at)
        if (rest[at] == '\\' && ++seen == depth + 1)
            return std::string(rest.substr(0, at));
    return std::string(rest);
}

std::string RemoveTrailingBackslash(std::string_view path)
{
    if (!path.empty() && path.back() == '\\')
        path.remove_suffix(1);
    return std::string(path);
}

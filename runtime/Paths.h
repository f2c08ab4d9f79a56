// Splitting paths into their parts, by plain text rules: nothing here asks
// the file system. A directory value keeps its trailing "\" or ":".
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

// The path up to and including its last "\" or ":"; empty when neither occurs.
std::string FileDirPart(std::string_view path);
// What follows the last "\" or ":", at most 255 characters.
std::string FileNamePart(std::string_view path);
// "X:" when the second character is ":"; for a path starting with two
// backslashes, the server and share part (\\server\share); otherwise empty.
std::string FileDrivePart(std::string_view path);
// Maps a to z to A to Z and leaves every other byte as it is.
char UpperCaseAscii(char c);
std::string UpperCaseAscii(std::string_view text);
// The directory and the name joined by one backslash; a directory that ends
// in a backslash (a root) gets no second one.
std::string JoinDir(std::string_view dir, std::string_view name);

// The path without its last character when that is a backslash.
std::string RemoveTrailingBackslash(std::string_view path);

// A path shortened to fit maxWidth as measured by width: directories from the
// top are replaced by "...", then the drive goes, then the directories
// altogether, leaving at least the last component.
std::string MinimizePath(std::string_view path, int32_t maxWidth,
                         const std::function<int32_t(const std::string&)>& width);

// A directory split into the entries of a tree from its root down to it: the
// ancestors, root first (a drive root as "C:\", a network share as
// "\\server\share\"), and the directory's own name, which is empty when
// the directory is a network share's root itself.
struct DirectoryChain {
    std::vector<std::string> Ancestors;
    std::string Current;
};
DirectoryChain SplitDirectoryChain(std::string_view directory);
// The path of the ancestor at that depth (1 is the first below the root)
// without the drive: the directory up to the backslash that ends it.
std::string AncestorPath(std::string_view directory, int depth);

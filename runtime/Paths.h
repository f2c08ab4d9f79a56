// Splitting paths into their parts, by plain text rules: nothing here asks
// the file system. A directory value keeps its trailing "\" or ":".
#pragma once

#include <string>
#include <string_view>

// The path up to and including its last "\" or ":"; empty when neither occurs.
std::string FileDirPart(std::string_view path);
// What follows the last "\" or ":", at most 255 characters.
std::string FileNamePart(std::string_view path);
// "X:" when the second character is ":"; for a path starting with two
// backslashes, the server and share part (\\server\share); otherwise empty.
std::string FileDrivePart(std::string_view path);
// Maps a to z to A to Z and leaves every other byte as it is.
std::string UpperCaseAscii(std::string_view text);

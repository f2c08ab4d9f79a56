// The fuzz target of the path helpers. Each input is taken as a path and
// split every way the helpers offer; what they return must fit together as
// their contracts say: the directory part is a prefix that ends at a
// separator, the name part is what follows it (cut at 255 characters) and
// holds no separator, the drive part is a prefix of the path, and the
// upper-case copy differs only in the letters a to z. Shortened for a label,
// the path keeps its last component and fits the width unless only that is
// left; split into a directory tree's entries, it joins back to itself. A
// crash, undefined behaviour, a leak, an exception or a broken contract is a
// finding.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "runtime/Paths.h"

namespace {

void Require(bool condition)
{
    if (!condition)
        std::abort();
}

bool IsSeparator(char c)
{
    return c == '\\' || c == ':';
}

bool StartsWith(std::string_view text, std::string_view prefix)
{
    return text.substr(0, prefix.size()) == prefix;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view path(reinterpret_cast<const char*>(data), size);

    const std::string dir = FileDirPart(path);
    Require(StartsWith(path, dir));
    Require(dir.empty() || IsSeparator(dir.back()));
    const std::string rest(path.substr(dir.size()));
    Require(rest.find_first_of("\\:") == std::string::npos);

    const std::string name = FileNamePart(path);
    Require(name == rest.substr(0, 255));

    const std::string drive = FileDrivePart(path);
    Require(StartsWith(path, drive));
    if (size >= 2 && path[1] == ':')
        Require(drive.size() == 2);
    else if (size >= 2 && path[0] == '\\' && path[1] == '\\')
        // The server and share part: at most the two backslashes that begin
        // it and the one between server and share.
        Require(drive.size() >= 2 && std::count(drive.begin(), drive.end(), '\\') <= 3 &&
                (drive.size() == size || path[drive.size()] == '\\'));
    else
        Require(drive.empty());

    const std::string upper = UpperCaseAscii(path);
    Require(upper.size() == size);
    for (size_t i = 0; i < size; ++i) {
        const char c = path[i];
        Require(upper[i] == (c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c));
    }

    const auto chars = [](const std::string& text) { return static_cast<int32_t>(text.size()); };
    for (const size_t width : {size_t{0}, size / 2, size}) {
        const std::string shown = MinimizePath(path, static_cast<int32_t>(width), chars);
        Require(shown.size() >= rest.size() && shown.compare(shown.size() - rest.size(), rest.size(), rest) == 0);
        Require(shown.size() <= width || shown == rest);
        Require(width < size || shown == path);
    }

    // The root keeps its backslash; every other ancestor is followed by one.
    const DirectoryChain chain = SplitDirectoryChain(path);
    std::string joined;
    for (size_t i = 0; i < chain.Ancestors.size(); ++i)
        joined += i == 0 ? chain.Ancestors[i] : chain.Ancestors[i] + "\\";
    joined += chain.Current;
    if (!chain.Current.empty())
        Require(joined == path);
    else if (size == 0)
        Require(chain.Ancestors.empty());
    else
        // A network share's root by itself.
        Require(chain.Ancestors.size() == 1 && (joined == path || joined == std::string(path) + "\\"));
    return 0;
}

// The fuzz target of the path helpers. Each input is taken as a path and
// split every way the helpers offer; what they return must fit together as
// their contracts say: the directory part is a prefix that ends at a
// separator, the name part is what follows it (cut at 255 characters) and
// holds no separator, the drive part is a prefix of the path, and the
// upper-case copy differs only in the letters a to z. A crash, undefined
// behaviour, a leak, an exception or a broken contract is a finding.
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
    return 0;
}

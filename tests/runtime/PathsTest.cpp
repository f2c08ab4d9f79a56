// Splitting paths by text rules alone. The setup joins directories and names
// by concatenation, so each part must keep or drop its separators exactly.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "runtime/Paths.h"

namespace {

using Cases = std::vector<std::pair<std::string, std::string>>;

template <typename Fn>
void ExpectAll(Fn fn, const Cases& cases)
{
    for (const auto& [input, expected] : cases) {
        SCOPED_TRACE(::testing::PrintToString(input));
        EXPECT_EQ(fn(input), expected);
    }
}

} // namespace

TEST(Paths, FileDirPartKeepsTheLastSeparator)
{
    ExpectAll(FileDirPart, {
        {"C:", "C:"},
        {"C:\\DIR\\F.TXT", "C:\\DIR\\"},
        {"C:\\DIR\\", "C:\\DIR\\"},
        {"C:\\F.TXT", "C:\\"},
        {"C:F.TXT", "C:"},
        {"F.TXT", ""},
        {"", ""},
        {"\\", "\\"},
        {"DIR\\SUB\\F", "DIR\\SUB\\"},
        {"\\\\srv\\share\\f.txt", "\\\\srv\\share\\"},
        {"A:\\SETUP.EXE", "A:\\"},
        {"C:\\A.B\\NOEXT", "C:\\A.B\\"},
        {"C:/DIR/F.TXT", "C:"},  // a slash is not a separator here
    });
}

TEST(Paths, FileNamePartIsWhatFollowsTheLastSeparator)
{
    ExpectAll(FileNamePart, {
        {"C:", ""},
        {"C:\\DIR\\F.TXT", "F.TXT"},
        {"C:\\DIR\\", ""},
        {"C:F.TXT", "F.TXT"},
        {"F.TXT", "F.TXT"},
        {"", ""},
        {"\\\\srv\\share", "share"},
        {"C:\\DIR\\long name.text", "long name.text"},
    });

    SCOPED_TRACE("cut at 255 characters");
    std::string longName(300, 'n');
    for (size_t i = 0; i < longName.size(); ++i)
        longName[i] = static_cast<char>('a' + i % 26);
    EXPECT_EQ(FileNamePart("C:\\DIR\\" + longName), longName.substr(0, 255));
    EXPECT_EQ(FileNamePart(std::string(255, 'x')), std::string(255, 'x'));
    EXPECT_EQ(FileNamePart(std::string(256, 'x')), std::string(255, 'x'));
}

TEST(Paths, FileDirPartAndFileNamePartJoinToThePath)
{
    for (const std::string path : {"C:\\DIR\\F.TXT", "C:F", "F", "\\\\srv\\share\\d\\f", "C:\\", "C:"}) {
        SCOPED_TRACE(path);
        EXPECT_EQ(FileDirPart(path) + FileNamePart(path), path);
    }
}

TEST(Paths, FileDrivePartIsTheDriveOrTheShare)
{
    ExpectAll(FileDrivePart, {
        {"C:\\x", "C:"},
        {"C:", "C:"},
        {"c:relative", "c:"},
        {"A:\\SETUP.FLS", "A:"},
        {"\\\\srv\\share\\dir\\f", "\\\\srv\\share"},
        {"\\\\srv\\share\\", "\\\\srv\\share"},
        {"\\\\srv\\share", "\\\\srv\\share"},
        {"\\\\srv", "\\\\srv"},
        {"\\\\", "\\\\"},
        {"DIR\\F.TXT", ""},
        {"F.TXT", ""},
        {"\\DIR\\F.TXT", ""},
        {"C", ""},
        {"", ""},
    });
}

TEST(Paths, UpperCaseAsciiChangesOnlyTheLettersAToZ)
{
    ExpectAll(static_cast<std::string (*)(std::string_view)>(UpperCaseAscii), {
        {"c:\\program files\\halvarn", "C:\\PROGRAM FILES\\HALVARN"},
        {"abcdefghijklmnopqrstuvwxyz", "ABCDEFGHIJKLMNOPQRSTUVWXYZ"},
        {"ALREADY UPPER 123", "ALREADY UPPER 123"},
        {"\xE4\xF6\xFC\xE9", "\xE4\xF6\xFC\xE9"},  // accented letters stay as they are
        {"a\xE4z", "A\xE4Z"},
        {"@[`{~!", "@[`{~!"},                      // the neighbours of the letter ranges
        {"", ""},
    });
    EXPECT_EQ(UpperCaseAscii(std::string("a\0b", 3)), std::string("A\0B", 3));
}

TEST(Paths, MinimizePathDropsDirectoriesThenTheDrive)
{
    auto chars = [](const std::string& text) { return static_cast<int32_t>(text.size()); };
    const std::string path = "C:\\WINDOWS\\SYSTEM\\COLOR";
    EXPECT_EQ(MinimizePath(path, 23, chars), path);
    EXPECT_EQ(MinimizePath(path, 22, chars), "C:\\...\\SYSTEM\\COLOR");
    EXPECT_EQ(MinimizePath(path, 18, chars), "C:\\...\\COLOR");
    EXPECT_EQ(MinimizePath(path, 11, chars), "...\\COLOR");
    EXPECT_EQ(MinimizePath(path, 8, chars), "COLOR");
    EXPECT_EQ(MinimizePath(path, 1, chars), "COLOR");
    EXPECT_EQ(MinimizePath("C:\\", 1, chars), "");
}

TEST(Paths, SplitDirectoryChainFromTheRootDown)
{
    using Names = std::vector<std::string>;
    EXPECT_EQ(SplitDirectoryChain("C:\\").Current, "C:\\");
    EXPECT_EQ(SplitDirectoryChain("C:\\A\\B\\C").Ancestors, (Names{"C:\\", "A", "B"}));
    EXPECT_EQ(SplitDirectoryChain("C:\\A\\B\\C").Current, "C");
    EXPECT_EQ(SplitDirectoryChain("\\\\srv\\share\\x\\y").Ancestors, (Names{"\\\\srv\\share\\", "x"}));
    EXPECT_EQ(SplitDirectoryChain("\\\\srv\\share").Ancestors, Names{"\\\\srv\\share\\"});
    EXPECT_EQ(SplitDirectoryChain("\\\\srv\\share").Current, "");

    SCOPED_TRACE("an ancestor's path leaves out the drive");
    EXPECT_EQ(AncestorPath("C:\\A\\B\\C", 2), "\\A\\B");
    EXPECT_EQ(AncestorPath("\\\\srv\\share\\x\\y", 1), "\\x");
}

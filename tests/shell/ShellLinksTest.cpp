// Shell links written through the platform's shell link object into real
// temporary folders and read back through the same interfaces, and the
// platform's directories fetched whatever their length.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "shell/ShellLinks.h"
#include "tests/controls/ControlsTestSupport.h"
#include "tests/support/ShellLinkFiles.h"
#include "tests/support/TempDir.h"

namespace {

// The names of the entries of a folder, without "." and "..".
std::vector<std::string> FolderEntries(const std::string& dir)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA data;
    HANDLE search = FindFirstFileA((dir + "*").c_str(), &data);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do {
        const std::string name = data.cFileName;
        if (name != "." && name != "..")
            names.push_back(name);
    } while (FindNextFileA(search, &data));
    FindClose(search);
    return names;
}

} // namespace

// ---------------------------------------------------------------------------
// Writing links

TEST(ShellLinks, ALinkReadsBackWithItsTargetArgumentsAndDescription)
{
    TempDir dir;
    dir.WriteFile("prog.exe", "MZ");
    WriteShellLink((dir / "prog.exe").c_str(), "copy A:\\SETUP.EXE", "The product", dir / "Item One.lnk", false);
    const LinkSettings link = ReadLink(dir / "Item One.lnk");
    ASSERT_TRUE(link.Loaded);
    EXPECT_EQ(link.Path, dir / "prog.exe");
    EXPECT_EQ(link.Arguments, "copy A:\\SETUP.EXE");
    EXPECT_EQ(link.Description, "The product");

    {
        SCOPED_TRACE("absent arguments and description leave them empty");
        WriteShellLink((dir / "prog.exe").c_str(), nullptr, nullptr, dir / "Plain.lnk", false);
        const LinkSettings plain = ReadLink(dir / "Plain.lnk");
        ASSERT_TRUE(plain.Loaded);
        EXPECT_EQ(plain.Path, dir / "prog.exe");
        EXPECT_EQ(plain.Arguments, "");
        EXPECT_EQ(plain.Description, "");
    }
}

TEST(ShellLinks, LoadingFirstKeepsTheOtherSettingsOfAnExistingLink)
{
    TempDir dir;
    dir.WriteFile("old.bat", "@echo old");
    dir.WriteFile("new.bat", "@echo new");
    dir.WriteFile("icons.dll", "MZ");
    LinkSettings existing;
    existing.Path = dir / "old.bat";
    existing.Arguments = "/old";
    existing.Description = "old description";
    existing.WorkingDirectory = dir.Path() + "work";
    existing.IconPath = dir / "icons.dll";
    existing.IconIndex = 3;

    WriteLinkWithSettings(dir / "prog.pif", existing);
    WriteShellLink((dir / "new.bat").c_str(), nullptr, nullptr, dir / "prog.pif", true);
    const LinkSettings loaded = ReadLink(dir / "prog.pif");
    ASSERT_TRUE(loaded.Loaded);
    EXPECT_EQ(loaded.Path, dir / "new.bat");
    EXPECT_EQ(loaded.Arguments, "");
    EXPECT_EQ(loaded.Description, "");
    EXPECT_EQ(loaded.WorkingDirectory, existing.WorkingDirectory);
    EXPECT_EQ(loaded.IconPath, existing.IconPath);
    EXPECT_EQ(loaded.IconIndex, 3);

    {
        SCOPED_TRACE("without loading first the other settings are the shell's defaults");
        WriteLinkWithSettings(dir / "again.pif", existing);
        WriteShellLink((dir / "new.bat").c_str(), nullptr, nullptr, dir / "again.pif", false);
        const LinkSettings fresh = ReadLink(dir / "again.pif");
        ASSERT_TRUE(fresh.Loaded);
        EXPECT_EQ(fresh.Path, dir / "new.bat");
        EXPECT_EQ(fresh.WorkingDirectory, "");
        EXPECT_EQ(fresh.IconPath, "");
    }
    {
        SCOPED_TRACE("loading first when there is no file yet still writes the link");
        WriteShellLink((dir / "new.bat").c_str(), nullptr, "made", dir / "first.pif", true);
        const LinkSettings made = ReadLink(dir / "first.pif");
        ASSERT_TRUE(made.Loaded);
        EXPECT_EQ(made.Path, dir / "new.bat");
        EXPECT_EQ(made.Description, "made");
    }
}

TEST(ShellLinks, NamesUpToThePathLimitAreWrittenWholeAndLongerOnesNotAtAll)
{
    TempDir dir;
    dir.WriteFile("prog.exe", "MZ");
    const std::string target = dir / "prog.exe";
    // A link file name of the given total length in the folder.
    const auto nameOfLength = [&](size_t length) {
        const size_t stem = length - dir.Path().size() - 4;
        return dir.Path() + std::string(stem, 'n') + ".lnk";
    };
    for (size_t length : {size_t{254}, size_t{255}, size_t{256}, MaxLinkFileName}) {
        SCOPED_TRACE("a name of " + std::to_string(length) + " characters");
        const std::string name = nameOfLength(length);
        ASSERT_EQ(name.size(), length);
        WriteShellLink(target.c_str(), nullptr, nullptr, name, false);
        const LinkSettings link = ReadLink(name);
        EXPECT_TRUE(link.Loaded);
        EXPECT_EQ(link.Path, target);
    }
    const size_t written = FolderEntries(dir.Path()).size();
    EXPECT_EQ(written, 5u);
    for (size_t length : {MaxLinkFileName + 1, MaxLinkFileName + 2}) {
        SCOPED_TRACE("a name of " + std::to_string(length) + " characters");
        WriteShellLink(target.c_str(), nullptr, nullptr, nameOfLength(length), false);
        EXPECT_FALSE(FileExists(nameOfLength(length)));
        // Nothing else appeared either, such as the name cut short.
        EXPECT_EQ(FolderEntries(dir.Path()).size(), written);
    }
    {
        SCOPED_TRACE("a name with a null character in it");
        WriteShellLink(target.c_str(), nullptr, nullptr, dir.Path() + std::string("cut\0off.lnk", 11), false);
        EXPECT_FALSE(FileExists(dir / "cut"));
        EXPECT_EQ(FolderEntries(dir.Path()).size(), written);
    }
}

// ---------------------------------------------------------------------------
// The platform's directories

TEST(PlatformDirectories, AreThePlatformsOwn)
{
    char expected[MAX_PATH] = {};
    GetWindowsDirectoryA(expected, MAX_PATH);
    EXPECT_EQ(WindowsDirectory(), expected);
    GetSystemDirectoryA(expected, MAX_PATH);
    EXPECT_EQ(SystemDirectory(), expected);
}

class LongPlatformText : public CurrentDirTest {};

TEST_F(LongPlatformText, IsFetchedWholeWhateverItsLength)
{
    // The Windows directory cannot be moved here, so the current directory,
    // which the platform reports under the same contract, stands in for it.
    const auto currentDirectory = [](char* buffer, UINT size) { return GetCurrentDirectoryA(size, buffer); };
    char saved[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, saved);
    TempDir dir;
    std::string path = dir.Path().substr(0, dir.Path().size() - 1);
    for (size_t length : {size_t{199}, size_t{200}, size_t{201}, size_t{240}}) {
        SCOPED_TRACE("a directory of " + std::to_string(length) + " characters");
        // One more folder brings the path to the length wanted.
        ASSERT_LT(path.size() + 2, length);
        const std::string longer = path + "\\" + std::string(length - path.size() - 1, 'd');
        ASSERT_EQ(longer.size(), length);
        ASSERT_TRUE(CreateDirectoryA(longer.c_str(), nullptr));
        ASSERT_TRUE(SetCurrentDirectoryA(longer.c_str()));
        EXPECT_EQ(FetchPlatformText(currentDirectory), longer);
        // The folder is left, so that it can be removed.
        ASSERT_TRUE(SetCurrentDirectoryA(saved));
    }
}

TEST(PlatformText, AFailureOrATextThatNeverFitsGivesAnEmptyText)
{
    // Stand-ins for a platform function that fails, and for one whose text
    // grows on every call; neither can be had from the real platform here.
    EXPECT_EQ(FetchPlatformText([](char*, UINT) -> UINT { return 0; }), "");
    int calls = 0;
    EXPECT_EQ(FetchPlatformText([&](char*, UINT size) -> UINT {
                  ++calls;
                  return size + 10;
              }),
              "");
    EXPECT_LE(calls, 4);
}

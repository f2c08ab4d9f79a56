// Questions to the file system and the creation of directory paths, on real
// files and folders.
#include <windows.h>

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "runtime/DirPaths.h"
#include "runtime/Exceptions.h"
#include "runtime/Files.h"
#include "tests/support/TempDir.h"

namespace {

// Makes a folder the current directory for the life of the object.
class CurrentDirectoryScope {
public:
    explicit CurrentDirectoryScope(const std::string& dir)
    {
        char saved[MAX_PATH];
        GetCurrentDirectoryA(MAX_PATH, saved);
        m_saved = saved;
        m_ok = SetCurrentDirectoryA(dir.c_str()) != FALSE;
    }
    ~CurrentDirectoryScope() { SetCurrentDirectoryA(m_saved.c_str()); }
    bool Ok() const { return m_ok; }

private:
    std::string m_saved;
    bool m_ok = false;
};

// Sets a file's last-write time, given in UTC.
bool SetLastWrite(const std::string& name, WORD year, WORD month, WORD day)
{
    SYSTEMTIME st = {};
    st.wYear = year;
    st.wMonth = month;
    st.wDay = day;
    st.wHour = 12;
    FILETIME ft;
    if (!SystemTimeToFileTime(&st, &ft))
        return false;
    HANDLE h = CreateFileA(name.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    const bool ok = SetFileTime(h, nullptr, nullptr, &ft) != FALSE;
    CloseHandle(h);
    return ok;
}

WORD LastWriteYear(const std::string& name)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    SYSTEMTIME st = {};
    if (!GetFileAttributesExA(name.c_str(), GetFileExInfoStandard, &data) ||
        !FileTimeToSystemTime(&data.ftLastWriteTime, &st))
        return 0;
    return st.wYear;
}

// The bytes available to the caller on the drive of root, or -1.
int64_t DiskAvailable(const std::string& root)
{
    ULARGE_INTEGER available;
    if (!GetDiskFreeSpaceExA(root.c_str(), &available, nullptr, nullptr))
        return -1;
    return static_cast<int64_t>(available.QuadPart);
}

// Free space changes whenever anything on the machine writes, so FreeSpace is
// compared only when two readings taken around it agree.
void ExpectFreeSpaceIs(int driveNumber, const std::string& root)
{
    for (int attempt = 0; attempt < 200; ++attempt) {
        const int64_t before = DiskAvailable(root);
        const int64_t got = FreeSpace(driveNumber);
        const int64_t after = DiskAvailable(root);
        if (before == after) {
            EXPECT_EQ(got, before) << "drive " << driveNumber << " (" << root << ")";
            return;
        }
    }
    ADD_FAILURE() << "the free space of " << root << " never held still";
}

} // namespace

TEST(Files, CreateDirectoryPathCreatesEveryMissingLevel)
{
    TempDir dir;
    CreateDirectoryPath(dir / "one\\two\\three");
    EXPECT_TRUE(IsExistingDirectory(dir / "one"));
    EXPECT_TRUE(IsExistingDirectory(dir / "one\\two"));
    EXPECT_TRUE(IsExistingDirectory(dir / "one\\two\\three"));

    CreateDirectoryPath(dir / "a\\b\\c\\");
    EXPECT_TRUE(IsExistingDirectory(dir / "a\\b\\c"));

    SCOPED_TRACE("an existing path keeps its contents");
    dir.WriteFile("one\\two\\keep.txt", "kept");
    CreateDirectoryPath(dir / "one\\two\\");
    CreateDirectoryPath(dir / "one\\two\\three\\four");
    EXPECT_TRUE(IsExistingDirectory(dir / "one\\two\\three\\four"));
    EXPECT_EQ(dir.ReadFile("one\\two\\keep.txt"), "kept");
}

TEST(Files, CreateDirectoryPathOfRelativeAndShortNames)
{
    TempDir dir;
    CurrentDirectoryScope cwd(dir.Path());
    ASSERT_TRUE(cwd.Ok());

    CreateDirectoryPath("rel\\sub");
    EXPECT_TRUE(IsExistingDirectory(dir / "rel\\sub"));

    // Two characters or fewer are taken for a drive ("C:") and left alone.
    CreateDirectoryPath("ab");
    CreateDirectoryPath("ab\\");
    EXPECT_FALSE(IsExistingDirectory(dir / "ab"));
    CreateDirectoryPath("abc");
    EXPECT_TRUE(IsExistingDirectory(dir / "abc"));

    // An empty argument does nothing at all.
    CreateDirectoryPath("");
    CreateDirectoryPath("\\");
    CreateDirectoryPath("C:\\");
    EXPECT_TRUE(IsExistingDirectory("C:\\"));
}

TEST(Files, CreateDirectoryPathReturnsForNamesEndingInAColon)
{
    TempDir dir;
    CurrentDirectoryScope cwd(dir.Path());
    ASSERT_TRUE(cwd.Ok());
    // The directory part of such a name is the name itself; these calls would
    // never return if the parent were made first without a check.
    CreateDirectoryPath("xx:");
    CreateDirectoryPath("xx:\\");
    CreateDirectoryPath(dir / "sub\\yy:");
    CreateDirectoryPath("Q:");
    SUCCEED();
}

TEST(Files, CreateDirectoryPathFailsSilently)
{
    TempDir dir;
    dir.WriteFile("blocker", "a file in the way");
    CreateDirectoryPath(dir / "blocker\\inner\\deeper");
    EXPECT_FALSE(IsExistingDirectory(dir / "blocker\\inner"));
    EXPECT_FALSE(IsExistingDirectory(dir / "blocker"));
    EXPECT_EQ(dir.ReadFile("blocker"), "a file in the way");

    CreateDirectoryPath(dir / "bad|name\\sub");
    CreateDirectoryPath(dir / std::string("nul\0byte\\sub", 12));
    EXPECT_FALSE(IsExistingDirectory(dir / "nul"));
}

TEST(Files, IsExistingDirectoryOnlyForDirectories)
{
    TempDir dir;
    dir.WriteFile("file.txt", "x");
    CreateDirectoryPath(dir / "sub");
    EXPECT_TRUE(IsExistingDirectory(dir / "sub"));
    EXPECT_TRUE(IsExistingDirectory(dir / "sub\\"));
    EXPECT_TRUE(IsExistingDirectory(dir.Path()));
    EXPECT_FALSE(IsExistingDirectory(dir / "file.txt"));
    EXPECT_FALSE(IsExistingDirectory(dir / "missing"));
    EXPECT_FALSE(IsExistingDirectory(dir / "missing\\deeper"));
    EXPECT_FALSE(IsExistingDirectory(""));
    EXPECT_FALSE(IsExistingDirectory(dir / std::string("sub\0junk", 8)));
}

TEST(Files, FileIsPresentForFilesOnly)
{
    TempDir dir;
    dir.WriteFile("file.txt", "x");
    dir.WriteFile("empty.txt", "");
    CreateDirectoryPath(dir / "sub");
    EXPECT_TRUE(FileIsPresent(dir / "file.txt"));
    EXPECT_TRUE(FileIsPresent(dir / "empty.txt"));
    EXPECT_TRUE(FileIsPresent(dir / "FILE.TXT")) << "names compare without case";
    EXPECT_FALSE(FileIsPresent(dir / "sub"));
    EXPECT_FALSE(FileIsPresent(dir / "missing.txt"));
    EXPECT_FALSE(FileIsPresent(dir / "missing\\file.txt"));
    EXPECT_FALSE(FileIsPresent(""));

    // Hidden and system files count: the setup asks whether a file is there,
    // not whether it is shown.
    ASSERT_TRUE(SetFileAttributesA((dir / "file.txt").c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
    EXPECT_TRUE(FileIsPresent(dir / "file.txt"));
}

TEST(Files, FileIsPresentMatchesWildcards)
{
    TempDir dir;
    CreateDirectoryPath(dir / "dest");
    EXPECT_FALSE(FileIsPresent(dir / "dest\\*.*")) << "an empty folder holds only . and ..";
    CreateDirectoryPath(dir / "dest\\folder");
    EXPECT_FALSE(FileIsPresent(dir / "dest\\*.*")) << "a sub-folder is not a file";
    dir.WriteFile("dest\\folder\\deep.txt", "x");
    EXPECT_FALSE(FileIsPresent(dir / "dest\\*.*")) << "files below a sub-folder are not searched";
    dir.WriteFile("dest\\readme.doc", "x");
    EXPECT_TRUE(FileIsPresent(dir / "dest\\*.*"));
    EXPECT_TRUE(FileIsPresent(dir / "dest\\*.doc"));
    EXPECT_TRUE(FileIsPresent(dir / "dest\\read??.doc"));
    EXPECT_FALSE(FileIsPresent(dir / "dest\\*.exe"));
}

TEST(Files, FileIsPresentForFilesDatedBefore1980)
{
    TempDir dir;
    dir.WriteFile("old.txt", "from 1975");
    ASSERT_TRUE(SetLastWrite(dir / "old.txt", 1975, 6, 15));
    ASSERT_EQ(LastWriteYear(dir / "old.txt"), 1975) << "the file system kept another date";
    EXPECT_TRUE(FileIsPresent(dir / "old.txt"));
    EXPECT_TRUE(FileIsPresent(dir / "*.txt"));
}

TEST(Files, FreeSpaceOfDriveC)
{
    const int64_t available = DiskAvailable("C:\\");
    ASSERT_GT(available, 0);
    ExpectFreeSpaceIs(3, "C:\\");
    ExpectFreeSpaceIs(3, "c:\\");
    EXPECT_GT(FreeSpace(3), 0);
    // A drive with 2 GiB or more free is reported in full, not wrapped.
    if (available >= (int64_t{1} << 31)) {
        EXPECT_GT(FreeSpace(3), int64_t{INT32_MAX});
    }
}

TEST(Files, FreeSpaceOfTheCurrentDrive)
{
    TempDir dir;
    CurrentDirectoryScope cwd(dir.Path());
    ASSERT_TRUE(cwd.Ok());
    const std::string current = CurrentDir();
    ASSERT_GE(current.size(), 3u);
    ASSERT_EQ(current[1], ':');
    ExpectFreeSpaceIs(0, current.substr(0, 3));

    CurrentDirectoryScope onZ("Z:\\");
    if (onZ.Ok())
        ExpectFreeSpaceIs(0, "Z:\\");
}

TEST(Files, FreeSpaceOfDrivesThatCannotBeAsked)
{
    const DWORD drives = GetLogicalDrives();
    int missing = 0;
    for (int n = 26; n >= 1 && missing == 0; --n)
        if ((drives & (1u << (n - 1))) == 0)
            missing = n;
    ASSERT_NE(missing, 0) << "every drive letter is in use";
    EXPECT_EQ(FreeSpace(missing), -1) << "drive " << static_cast<char>('A' + missing - 1);
    EXPECT_EQ(FreeSpace(27), -1);
    EXPECT_EQ(FreeSpace(-1), -1);
    EXPECT_EQ(FreeSpace(1000), -1);
}

TEST(Files, CurrentDirIsWhatWasSet)
{
    TempDir dir;
    CreateDirectoryPath(dir / "inner dir");
    const std::string before = CurrentDir();
    ASSERT_FALSE(before.empty());
    {
        CurrentDirectoryScope cwd(dir / "inner dir");
        ASSERT_TRUE(cwd.Ok());
        const std::string expected = dir / "inner dir";
        EXPECT_EQ(CurrentDir(), expected);
    }
    EXPECT_EQ(CurrentDir(), before);
    {
        CurrentDirectoryScope cwd("C:\\");
        ASSERT_TRUE(cwd.Ok());
        EXPECT_EQ(CurrentDir(), "C:\\") << "a root keeps its backslash";
    }
}

TEST(Files, ProcessPathSplitsAndRestoresTheCurrentDirectory)
{
    TempDir dir;
    for (const char* name : {"alpha", "Beta", "Gamma"})
        CreateDirectoryPath(dir / name);
    dir.WriteFile("file.txt", "text");
    CurrentDirectoryScope cwd(dir / "Gamma");
    ASSERT_TRUE(cwd.Ok());
    const std::string before = CurrentDir();
    const std::string root = before.substr(0, before.size() - 6);  // without "\\Gamma"
    // A last component that is a directory belongs to the directory part, a
    // trailing backslash names the directory itself, a file or a pattern
    // stays the file part.
    const std::vector<std::array<std::string, 3>> cases = {{"\\file.txt", "", "file.txt"},
                                                           {"\\alpha", "\\alpha", ""},
                                                           {"\\Beta\\", "\\Beta", ""},
                                                           {"\\*.txt", "", "*.txt"}};
    char drive = '\0';
    std::string dirFound;
    std::string fileFound;
    for (const auto& [name, dirPart, filePart] : cases) {
        SCOPED_TRACE(name);
        ProcessPath(root + name, drive, dirFound, fileFound);
        EXPECT_EQ(drive, root[0]);
        EXPECT_EQ(dirFound, root.substr(2) + dirPart);
        EXPECT_EQ(fileFound, filePart);
        EXPECT_EQ(CurrentDir(), before);
    }
    EXPECT_THROW(ProcessPath(root + "\\NOPE", drive, dirFound, fileFound), EInOutError);
    EXPECT_EQ(CurrentDir(), before);
}

// The test bed maps a real folder as drive A: with the floppy drive type, so
// that installations from a removable drive can be tested. These tests check
// what the program will see there.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "runtime/Files.h"
#include "runtime/TextFile.h"
#include "tests/support/ProgramPaths.h"

namespace {

// The folder behind A:, reached through the bed's drive Z:.
std::string FloppyFolderThroughZ()
{
    const char* unixPath = std::getenv("WINEBED_FLOPPY");
    const std::string path = unixPath ? ThroughDriveZ(unixPath) : std::string();
    return path.empty() ? path : path + "\\";
}

} // namespace

TEST(FloppyDrive, DriveAIsRemovable)
{
    EXPECT_EQ(GetDriveTypeA("A:\\"), static_cast<UINT>(DRIVE_REMOVABLE));
    EXPECT_TRUE(GetLogicalDrives() & 1) << "drive A: is not listed";
}

TEST(FloppyDrive, FilesWrittenOnAAreInTheMappedFolder)
{
    const std::string folder = FloppyFolderThroughZ();
    ASSERT_FALSE(folder.empty()) << "the bed did not say which folder is A:";

    TTextFile file;
    BindTextFile(file, "A:\\PROBE.TXT");
    OpenTextForWriting(file);
    ASSERT_EQ(InOutResult(), 0);
    WriteText(file, "on the diskette");
    WriteTextLineEnd(file);
    CloseTextFile(file);
    ASSERT_EQ(InOutResult(), 0);

    EXPECT_TRUE(FileIsPresent(folder + "PROBE.TXT"));
    TTextFile back;
    BindTextFile(back, folder + "PROBE.TXT");
    OpenTextForReading(back);
    ASSERT_EQ(InOutResult(), 0);
    EXPECT_EQ(ReadTextLine(back), "on the diskette");
    CloseTextFile(back);
    DeleteFileA("A:\\PROBE.TXT");
    EXPECT_FALSE(FileIsPresent(folder + "PROBE.TXT"));
    EXPECT_GE(FreeSpace(1), 0);
}

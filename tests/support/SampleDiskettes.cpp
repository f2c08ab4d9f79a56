#include "tests/support/SampleDiskettes.h"

#include <windows.h>

#include <gtest/gtest.h>

#include "tests/support/ProgramPaths.h"

namespace {

const std::string Drive = "A:\\";

// Outside the drive, on the same disk as the drive's folder, so that a
// running program can be moved there.
std::string ParkingFolder()
{
    return BuildFolder() + "e2e-diskettes\\parked\\";
}

} // namespace

std::string SampleDisketteFolder(int number)
{
    return BuildFolder() + "e2e-diskettes\\drive\\disk" + std::to_string(number) + "\\";
}

void InsertDisketteFiles(const std::string& folder, const std::vector<std::string>& names)
{
    static unsigned parked = 0;
    for (const std::string& name : FilesIn(Drive)) {
        if (DeleteFileA((Drive + name).c_str()))
            continue;
        CreateDirectoryA(ParkingFolder().c_str(), nullptr);
        const std::string place =
            ParkingFolder() + std::to_string(GetCurrentProcessId()) + "_" + std::to_string(++parked) + "_" + name;
        EXPECT_TRUE(MoveFileA((Drive + name).c_str(), place.c_str())) << name << " stays in the drive";
    }
    for (const std::string& name : names)
        EXPECT_TRUE(CopyFileA((folder + name).c_str(), (Drive + name).c_str(), FALSE)) << name;
}

void InsertDiskette(int number)
{
    if (number == 0) {
        InsertDisketteFiles(std::string(), {});
        return;
    }
    const std::vector<std::string> names = FilesIn(SampleDisketteFolder(number));
    ASSERT_FALSE(names.empty()) << "diskette " << number << " was not laid out";
    InsertDisketteFiles(SampleDisketteFolder(number), names);
}

void ClearParkedFiles()
{
    RemoveTree(ParkingFolder());
}

EmptyDriveAtEnd::~EmptyDriveAtEnd()
{
    InsertDiskette(0);
    ClearParkedFiles();
}

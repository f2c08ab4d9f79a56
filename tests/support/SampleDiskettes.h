// The sample's diskettes in drive A: of the test bed, a folder mapped as a
// floppy drive: the diskettes are folders of the build that hold the files of
// the sample's floppy images, taken out with mtools, and a test changes the
// diskette by changing what the drive's folder holds.
#pragma once

#include <string>
#include <vector>

#include "tests/support/TempDir.h"

// The folder that holds the files of the sample's diskette number (from 1),
// laid out on two diskettes for runs from A:.
std::string SampleDisketteFolder(int number);
// Empties A:, then copies the named files of folder (which ends in a
// backslash) into it: a diskette that holds those files.
// NOTE: a program that runs from A: keeps running when its diskette is taken
// out, and the drive shows it no more. Its file cannot be deleted while it
// runs, so it is moved out of the drive into a parking folder instead, which
// ClearParkedFiles empties once the program has ended.
void InsertDisketteFiles(const std::string& folder, const std::vector<std::string>& names);
// The same with the files of the sample's diskette number; 0 leaves A: empty.
void InsertDiskette(int number);
// Deletes what the diskette changes moved out of the drive.
void ClearParkedFiles();

// Takes the diskette out and clears the parking folder when it goes: made
// before the program that runs from A: is started, so that it goes after
// the program has been ended.
class EmptyDriveAtEnd {
public:
    EmptyDriveAtEnd() = default;
    ~EmptyDriveAtEnd();
    EmptyDriveAtEnd(const EmptyDriveAtEnd&) = delete;
    EmptyDriveAtEnd& operator=(const EmptyDriveAtEnd&) = delete;
};

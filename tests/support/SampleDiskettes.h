// The sample's diskettes in drive A: of the test bed, a folder mapped as a
// floppy drive: the diskettes are folders of the build that hold the files of
// the sample's floppy images, taken out with mtools, and a test changes the
// diskette by changing what the drive's folder holds.
#pragma once

#include <string>
#include <vector>

// The folder that holds the files of the sample's diskette number (from 1),
// laid out on two diskettes for runs from A:.
std::string SampleDisketteFolder(int number);
// The names of the files (not folders) directly in folder.
std::vector<std::string> FilesIn(const std::string& folder);
// Empties A:, then copies the files of diskette number into it; 0 leaves A:
// empty. A program still running from A: is moved aside instead of deleted.
void InsertDiskette(int number);


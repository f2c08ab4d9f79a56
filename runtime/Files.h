// Questions to the file system about files, directories and drives, the
// deletion of one file, the creation of directory paths, and the system's
// words for an error code. None of these reports a failure by itself.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Whether a directory search for the name finds an entry that is not a
// directory. Wildcards in the name match.
bool FileIsPresent(std::string_view name);
// Whether the name's attributes can be read and say it is a directory.
bool IsExistingDirectory(std::string_view name);
// Deletes the file, a read-only one too, and never a folder (a folder that
// takes the name meanwhile is refused by the deletion itself). Whether the
// name is free afterwards.
bool DeleteOnlyFile(const std::string& path);
// Creates the directory and every missing parent; failures are ignored.
void CreateDirectoryPath(std::string_view dir);
// Free bytes on drive number n: 0 the current drive, 1 A:, 2 B: and so on.
// -1 when the drive cannot be asked.
int64_t FreeSpace(int driveNumber);
// Free bytes on the volume of a root directory, C:\ or \\SERVER\SHARE\,
// or of the current drive for an empty root; -1 when it cannot be asked.
int64_t FreeSpaceOfRoot(const std::string& root);
// The process's current directory.
std::string CurrentDir();

// The system's own words for an error code (GetLastError's), without the
// line end and full stop the system puts after them; "error N" when it has
// none.
std::string SystemErrorText(unsigned long code);

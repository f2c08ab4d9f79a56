// Moving the process's current directory, and splitting a path the way a
// user enters a directory, checked against the file system step by step.
#pragma once

#include <string>

// Changes the process's current directory. Every drive keeps a current
// directory of its own: the result is recorded as its drive's (in the "=X:"
// variable that the system consults for a bare "X:"), so that changing to
// "X:" later returns there. Returns 0 or the error code.
int ChangeDir(const std::string& path);
// ChangeDir, raising EInOutError with the error code on failure.
void ChDir(const std::string& path);

// Splits a path the way the directory list enters it, checking each step by
// really changing the process's current directory and putting it back
// afterwards, also on failure: the drive letter (zero for a network path),
// the directory part (with its drive only for a network path) and the file
// part (a last component that names a file or holds wildcards). Raises
// EInOutError for a drive or directory that cannot be entered.
void ProcessPath(const std::string& path, char& drive, std::string& dirPart, std::string& filePart);

// Steps of an installation of the sample from its diskettes, driven from
// outside: changing the diskette in drive A: of the test bed (a folder mapped
// as a floppy drive; the diskettes are folders of the build that hold the
// files of the sample's floppy images, taken out with mtools), answering the
// setup's message dialogs, and closing the product the setup starts.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

class DrivenProcess;

// The folder that holds the files of the sample's diskette number (from 1),
// laid out on two diskettes for the installation from A:.
std::string SampleDisketteFolder(int number);
// The names of the files (not folders) directly in folder.
std::vector<std::string> FilesIn(const std::string& folder);
// Empties A:, then copies the files of diskette number into it; 0 leaves A:
// empty.
void InsertDiskette(int number);

// Answers the next message dialog of the setup with this caption, which must
// offer exactly these buttons (the texts inside a message dialog are drawn,
// not windows, so the buttons tell which question it is). Returns the
// dialog's window, or null when none came (a failure).
HWND AnswerMessage(DrivenProcess& setup, const char* caption, const std::vector<std::string>& buttons,
                   const std::string& answer);
// The product that the setup starts at its end shows its command line in a
// message box of its own process: waits for it and closes it.
void CloseStartedProduct();
// A whole file's bytes, or "<missing>" when it cannot be read.
std::string FileBytes(const std::string& path);

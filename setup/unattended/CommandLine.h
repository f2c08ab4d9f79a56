// The reading of setup.exe's command line into its switches, once at the
// start: the words split as the system's own rules would not (a backslash
// before a quote is a backslash), the Unicode text checked against the code
// page, and every wrong command line named.
#pragma once

#include <string>
#include <vector>

#include "setup/engine/Switches.h"

// What follows the program's name in a whole command line (as the system
// gives it, the name quoted or not).
std::string ProgramArguments(const std::string& commandLine);
// The words of the arguments: split at blanks and tabs outside quotes, with
// the quotes taken out, so that a quote may open anywhere in a word.
// NOTE: a backslash is an ordinary character here, also before a quote, so
// that /dir="C:\Program Files\" names the folder it shows.
std::vector<std::string> SplitArguments(const std::string& arguments);
// The arguments of the whole command line as the system gives it in Unicode
// (GetCommandLineW), in the ANSI code page that the rest of the program
// reads. A character the code page cannot hold exactly is never replaced by
// a look-alike: unfit is then the first argument that holds one (with "?"
// for it), else empty.
std::string AnsiProgramArguments(const std::wstring& commandLine, std::string& unfit);
// Reads the switches (case does not matter; "/" or "-" before each, a value
// after "="). A wrong command line sets Error to the first reason found: an
// unknown switch or value, a quote left open, a switch given twice with
// different values (the same value twice is taken once), switches that
// exclude each other, or a /log or /uninstall file that is a device or no
// plain full name.
CommandLine ParseCommandLine(const std::string& arguments);

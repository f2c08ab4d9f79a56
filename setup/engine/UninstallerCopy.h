// The uninstaller in place: the log a removal reads, and the temporary copy
// of the program through which an uninstaller that lies in the folder it
// removes takes that folder away, its own file included. A running
// program's file cannot be deleted, but it can be moved within its volume:
// the copy moves it into the copy's own folder, which goes at the next
// restart.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "setup/engine/Switches.h"

// The full name of the uninstall log a removal reads: the one the switches
// name, or the one in programDir (which ends in a backslash).
std::string UninstallLogName(const CommandLine& switches, const std::string& programDir);

// Whether the program lies in the folder that holds the log (the same
// folder under any name).
bool RunsBesideLog(const std::string& program, const std::string& logPath);

// Runs the program again from a copy in a new folder of its own in the
// system's temporary folder, with the same arguments, the same current
// folder and standard handles, and waits for it to end; meanwhile this
// process leaves its current folder for the Windows folder, so that the
// copy can remove it. Then deletes the copy, and its folder when nothing
// else is left in it. The copy's exit code; none when no copy could be made
// or started (nothing of it is left then).
std::optional<DWORD> RunFromTemporaryCopy(const std::string& program);

// The folder, with its backslash, of the temporary copy this program is,
// when an uninstaller in place started it as such; empty otherwise. Asked
// once at the start: the mark is taken out of the environment, so that
// nothing the copy starts inherits it.
std::string TemporaryCopyFolder(const std::string& program);

// Moves the uninstaller's own file, which the program that started this
// copy still runs from, into the copy's folder (on the same volume only,
// never replacing a file there), and has it and that folder deleted at the
// next restart, which needs administrator rights; without them both stay in
// the temporary folder. Whether the file has left its name.
bool MoveRunningUninstaller(const std::string& path, const std::string& copyFolder);

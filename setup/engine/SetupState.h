// The setup state: the folders the run works with, the product's title,
// version, publisher and group, the script read, and where the run keeps
// its journal and registers the product. One value, owned by the program's
// start and handed to every form and engine unit that needs it.
#pragma once

#include <memory>
#include <string>

#include "setup/engine/Switches.h"
#include "setup/engine/JournalPlace.h"
#include "setup/engine/Registration.h"
#include "setup/engine/RunLog.h"
#include "setup/engine/SetupScript.h"

class ProtectedFolders;

struct SetupState {
    std::string WinDir;
    std::string SysDir;
    // The folder the setup program runs from, in upper case, with its
    // backslash: where the distribution's files are looked for.
    std::string SourceDir;
    std::string DestDir;
    std::string ProductTitle;
    // The product's version and publisher as the script names them, empty
    // when it names none: what the system's list of installed programs
    // shows beside the title.
    std::string ProductVersion;
    std::string Publisher;
    // The setup program's folder as the system gives it, with its backslash,
    // and the program's full name.
    std::string ExeDir;
    std::string ProgramPath;
    std::string StartupDir;
    std::string ProgramsDir;
    // The destination's last folder name, kept when another parent folder
    // is picked with the directory dialog.
    std::string DestName;
    std::string GroupName;
    // Where the installation run keeps its journal while it goes, and where
    // a start looks for one that an earlier run left.
    JournalPlace Journals;
    // Where the product is registered with Windows, and where an
    // uninstallation looks for its key.
    RegistrationPlace Registrations;
    SetupScript Script;
    // The switches the program was started with (none when a person runs
    // it): the destination and group they name stand over the script's.
    CommandLine Switches;
    // The log the switches ask for; it writes nothing when they ask for none.
    RunLog Log;
    // The folder of the temporary copy of the uninstaller that this program
    // is, with its backslash: where the removal may move the uninstaller's
    // own file, which the program that started it still runs from. Empty
    // for any other run.
    std::string TemporaryCopyDir;
    // How the run ends, for the exit code. A run that ends without having
    // finished, failed or been refused was ended by the user.
    ExitCode Outcome = ExitCode::EndedByUser;
    // The protected folders as the first check of this run gathered them
    // (ProtectedFoldersOf), none before.
    mutable std::shared_ptr<const ProtectedFolders> Protected;
};

// The path with one backslash appended unless it already ends in one.
std::string CheckPath(const std::string& path);

// Fills ExeDir from the program's path, and WinDir, SysDir, StartupDir and
// ProgramsDir; the Start Menu folders come from the current user's Shell
// Folders key, or from fixed places below WinDir when the key cannot be
// opened. Raises ERegistryException for a folder value that is not a string.
void GetDirectories(SetupState& state, const std::string& programPath);

// Reads the script beside the program into the state: the script value,
// and the title, version, publisher, destination and group it names (or the
// switches name). The records read before a failure are in the state when
// the failure propagates.
void ReadSetupFile(SetupState& state);

// The full path for a path-coded argument: A (the setup program's own
// directory), D (destination), N (the rest is a full path), S (System),
// T (Startup folder) or W (Windows directory), then the rest. An empty
// argument or any other first character gives an empty result, which names
// no file.
std::string ResolvePath(const SetupState& state, const std::string& arg);

// The uninstall log read into a plan of what may be removed (and of what the
// log named that may not be, and why), without a window: the reading asks
// and shows nothing. Removal.h removes what a person selects from it.
#pragma once

#include <exception>
#include <optional>
#include <string>
#include <vector>

#include "setup/engine/ProtectedFolders.h"
#include "setup/engine/Registration.h"
#include "setup/engine/SetupPrompts.h"
#include "setup/engine/SetupState.h"
#include "setup/engine/WorkProgress.h"

enum class RemovalKind {
    File,       // an F record, or a match of a U pattern
    Directory,  // a D record: the product's folder
    Group,      // a G record: the Start Menu group
};

// One item the uninstaller lists.
struct PlannedRemoval {
    RemovalKind Kind;
    // The full path of the file or folder; for a group, its folder below
    // the Programs folder.
    std::string Path;
    // What the record said: the path as logged, or the group's name.
    std::string Argument;
    // A folder that a U pattern matched: the only File item that removes a
    // folder, with what it holds. Any other File item names a file and
    // never removes a folder, whatever has taken the file's name since.
    bool FolderMatch = false;

    // The line the list shows for it.
    std::string Line() const;
};

// A record the uninstaller does not list, and why.
struct RefusedRecord {
    char Letter;
    std::string Argument;
    std::string Reason;
};

struct UninstallPlan {
    // The log that was read: only the folder that holds it is removed with
    // its contents.
    std::string LogPath;
    // What is listed, in the order of the log.
    std::vector<PlannedRemoval> Items;
    std::vector<RefusedRecord> Refused;
    // The groups of G records that could not be found (or may not be
    // removed), to be named to the user after the reading.
    std::vector<std::string> MissingGroups;
    // The last D record's argument, and the last listed group's name in
    // upper case, as the log names them.
    std::optional<std::string> Destination;
    std::optional<std::string> GroupName;
    // A read error after which the records before it were planned; raised
    // by the caller once the plan is shown.
    std::exception_ptr ReadFailure;
    // Whether the log ended inside a record, as a run cut short while
    // writing it leaves it: the records before it are planned, the cut one
    // is not, and the person is told before the list is shown.
    bool Damaged = false;
    // Whether a D record names the folder that holds the log, as every log
    // an installation wrote does: a file without one (a text file, a
    // script, a log copied elsewhere) is no uninstall log of an
    // installation, and an unattended removal acts on none of it.
    bool NamesItsFolder = false;
    // The product's keys in the Uninstall list that the log's R records
    // name and that name the log's folder: they go once the log has gone.
    std::vector<FoundRegistration> Registrations;
};

// What the code D of a U pattern stands for while the log is read.
enum class PatternFolder {
    // The setup state's destination: the script's, or the one the switches
    // gave.
    ScriptDestination,
    // The folder that holds the log, where the installation wrote it.
    LogFolder,
};

// Reads the log at logPath (a full path) into a plan. A log that cannot be
// opened raises its input/output error. U patterns are resolved against the
// state, their code D as patternFolder says, and the destination folder that
// limits their folder matches is the log's last D record, or the state's
// destination when it has none. The progress, when given, hears of every
// record planned, of all the records read.
UninstallPlan ReadUninstallLog(const std::string& logPath, const SetupState& state,
                               const ProtectedFolders& protectedFolders,
                               PatternFolder patternFolder = PatternFolder::ScriptDestination,
                               WorkProgress* progress = nullptr);

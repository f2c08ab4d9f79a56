// The uninstallation, without a window: the uninstall log read into a plan
// of what may be removed (and of what the log named that may not be, and
// why), and the removal of the items a person selected from it. Questions
// go through SetupPrompts; the reading itself asks and shows nothing.
#pragma once

#include <exception>
#include <optional>
#include <string>
#include <vector>

#include "setup/ProtectedFolders.h"
#include "setup/SetupPrompts.h"
#include "setup/SetupState.h"

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
};

// What the code D of a U pattern stands for while the log is read.
enum class PatternFolder {
    // The setup state's destination: the script's, or the one the switches
    // gave.
    ScriptDestination,
    // The folder that holds the log, where the installation wrote it.
    LogFolder,
};

// What a removal left behind.
struct RemovalResult {
    // The items still to be listed: those not selected or not removed, in
    // their order, then the other directories that stayed, the log's own
    // item and the log's directory when it stayed.
    std::vector<PlannedRemoval> Kept;
    // The selected items that are still there although their removal was
    // tried, in the same order: to be named to the person. A directory the
    // person chose to keep is not among them, nor is the log kept for a
    // later uninstallation.
    std::vector<PlannedRemoval> NotRemoved;
    // Whether the log is still there: the uninstallation is not complete,
    // whatever else went.
    bool LogKept = false;
};

// Reads the log at logPath (a full path) into a plan. A log that cannot be
// opened raises its input/output error. U patterns are resolved against the
// state, their code D as patternFolder says, and the destination folder that
// limits their folder matches is the log's last D record, or the state's
// destination when it has none.
UninstallPlan ReadUninstallLog(const std::string& logPath, const SetupState& state,
                               const ProtectedFolders& protectedFolders,
                               PatternFolder patternFolder = PatternFolder::ScriptDestination);

// Removes the selected items of the plan (selected[i] for plan.Items[i]):
// files and groups at once in the list's order, then the selected
// directories: the one that holds the log (or else the last selected) last
// of all. A directory is removed when it is empty, or holds nothing but the
// log; with other contents, only the folder that holds the log goes, and
// only when the person agrees. Any other directory stays when it is not
// empty, and is named.
// The log itself goes last of all, and only once every other selected item
// has gone, so that an uninstallation cut short or left incomplete can be
// finished by another. First the process's current directory leaves the
// folders to be removed, for the setup program's own folder (or the
// Windows folder, when that one is to go).
RemovalResult RemoveSelected(const UninstallPlan& plan, const std::vector<bool>& selected, const SetupState& state,
                             const ProtectedFolders& protectedFolders, SetupPrompts& prompts);

// The message that names the groups of a plan's G records that could not be
// found: one group as it has always been named, several as a list of at
// most 20 names and a count of the rest.
std::string GroupsNotFoundText(const std::vector<std::string>& groups);
// The message that names the items a removal could not remove, in the same
// list of at most 20 lines and a count of the rest.
std::string NotRemovedText(const std::vector<PlannedRemoval>& items);

// Deletes a file, or a folder with everything in it, through the shell,
// without questions and for good. Reports nothing. A protected folder, a
// folder reached through a link, and a name with wildcards are never
// deleted.
void DeletePath(const std::string& path, const ProtectedFolders& protectedFolders);

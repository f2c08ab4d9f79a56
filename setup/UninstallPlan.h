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
};

// Reads the log at logPath into a plan. A log that cannot be opened raises
// its input/output error. U patterns are resolved against the state, and
// the destination folder that limits their folder matches is the log's
// last D record, or the state's destination when it has none.
UninstallPlan ReadUninstallLog(const std::string& logPath, const SetupState& state,
                               const ProtectedFolders& protectedFolders);

// Removes the selected items of the plan (selected[i] for plan.Items[i]):
// files and groups at once in the list's order, then the last selected
// directory. A directory is removed when it is empty; with contents, only
// the folder that holds the log goes, and only when the person agrees.
// Returns the items that are still to be listed: those not selected or not
// removed, in their order, then a directory that stayed.
std::vector<PlannedRemoval> RemoveSelected(const UninstallPlan& plan, const std::vector<bool>& selected,
                                           const ProtectedFolders& protectedFolders, SetupPrompts& prompts);

// The message that names the groups of a plan's G records that could not be
// found: one group as it has always been named, several as a list of at
// most 20 names and a count of the rest.
std::string GroupsNotFoundText(const std::vector<std::string>& groups);

// Deletes a file, or a folder with everything in it, through the shell,
// without questions and for good. Reports nothing. A protected folder, a
// folder reached through a link, and a name with wildcards are never
// deleted.
void DeletePath(const std::string& path, const ProtectedFolders& protectedFolders);

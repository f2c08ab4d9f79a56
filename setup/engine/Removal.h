// The removal of the items a person (or an unattended run, all of them)
// selected from an uninstall plan, without a window: questions go through
// SetupPrompts. And the messages that name what could not be found or
// removed.
#pragma once

#include <string>
#include <vector>

#include "setup/engine/ProtectedFolders.h"
#include "setup/engine/SetupPrompts.h"
#include "setup/engine/SetupState.h"
#include "setup/engine/UninstallPlan.h"
#include "setup/engine/WorkProgress.h"

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
    // The product's keys in the Uninstall list removed with the log, as
    // KeyText names them.
    std::vector<std::string> RegistrationsRemoved;
};

// Removes the selected items of the plan (selected[i] for plan.Items[i]):
// files and groups at once in the list's order, then the selected
// directories: the one that holds the log (or else the last selected) last
// of all. A directory is removed when it is empty, or holds nothing but the
// log; with other contents, only the folder that holds the log goes, and
// only when the person agrees. Any other directory stays when it is not
// empty, and is named.
// The uninstaller beside the log that cannot be deleted (its program still
// runs) is moved into the state's temporary copy's folder, when there is one.
// The log itself goes last of all, and only once every other selected item
// has gone (a folder kept by choice for files the installation did not make
// counts as gone when nothing else of the log is left), so that an
// uninstallation cut short or left incomplete can be finished by another; the product's registration with Windows goes with
// it, and stays with a log that stays, so that the Apps list still offers
// to finish the job. First the process's current directory leaves the
// folders to be removed, for the setup program's own folder (or the
// Windows folder, when that one is to go).
// The progress, when given, hears of every selected item as the pass from
// the top is through with it, of all the selected items (a directory and
// the log counted when their turn is put off to the end, which is quick).
RemovalResult RemoveSelected(const UninstallPlan& plan, const std::vector<bool>& selected, const SetupState& state,
                             const ProtectedFolders& protectedFolders, SetupPrompts& prompts,
                             WorkProgress* progress = nullptr);

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

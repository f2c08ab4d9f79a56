// The removal of the items a person selected from an uninstall plan, and the
// messages that name what it could not remove.
#include "setup/engine/Removal.h"

#include <windows.h>
#include <shellapi.h>

#include <algorithm>

#include "runtime/DirPaths.h"
#include "runtime/Files.h"
#include "runtime/FolderIdentity.h"
#include "runtime/Format.h"
#include "runtime/Paths.h"
#include "runtime/ResStrings.h"
#include "runtime/Search.h"
#include "setup/engine/NameLines.h"
#include "setup/engine/PlanFolders.h"
#include "setup/engine/UninstallerCopy.h"

namespace {

// The shell's delete operation on the names, all at once, without questions
// and for good. NOTE: its result is not looked at: under Wine and under
// Windows it differs for the same failure, so callers look at what is left.
void ShellDelete(const std::vector<std::string>& names)
{
    if (names.empty())
        return;
    // The shell takes a list of names, each ended by a NUL, and one more NUL.
    std::string from;
    for (const std::string& name : names) {
        from += name;
        from += '\0';
    }
    from += '\0';
    const char to[2] = {'\0', '\0'};
    SHFILEOPSTRUCTA operation = {};
    operation.hwnd = nullptr;
    operation.wFunc = FO_DELETE;
    operation.pFrom = from.c_str();
    operation.pTo = to;
    // Removed for good, not into the recycle bin, with no progress window
    // and no question.
    operation.fFlags = FOF_SILENT | FOF_NOCONFIRMATION;
    SHFileOperationA(&operation);
}

// Deletes everything in the folder that holds the log but the log, as
// DeletePath would delete the folder: nothing when it is protected or leads
// elsewhere.
void DeleteBesidesTheLog(const std::string& folder, const LogFile& log, const ProtectedFolders& protectedFolders)
{
    if (protectedFolders.Keeps(folder))
        return;
    // NOTE: the shell stops at the first name it cannot delete. What is left
    // after deleting everything at once is deleted one name at a time, so
    // that a file held open keeps nothing else from going.
    ShellDelete(log.OthersIn(folder));
    for (const std::string& left : log.OthersIn(folder))
        ShellDelete({left});
}

// Moves the process's current directory out of the folders that the
// selected items remove, as no one can remove a folder that is a process's
// current directory: to the setup program's own folder, or to the Windows
// folder when the program's lies in one of them.
void LeaveFoldersToBeRemoved(const UninstallPlan& plan, const std::vector<bool>& selected, const SetupState& state)
{
    std::vector<FolderId> ways = FolderParents(state.ExeDir);
    if (const std::optional<FolderId> own = FolderIdentity(state.ExeDir))
        ways.push_back(*own);
    bool ownFolderGoes = false;
    for (size_t index = 0; index < plan.Items.size() && index < selected.size() && !ownFolderGoes; ++index) {
        const PlannedRemoval& item = plan.Items[index];
        if (!selected[index] || (item.Kind == RemovalKind::File && !item.FolderMatch))
            continue;
        const std::optional<FolderId> removed = FolderIdentity(item.Path);
        ownFolderGoes = removed && std::find(ways.begin(), ways.end(), *removed) != ways.end();
    }
    // NOTE: the Windows folder is never removed, and is where the system
    // starts a program whose own folder it cannot enter.
    if (ownFolderGoes || ChangeDir(state.ExeDir) != 0)
        ChangeDir(state.WinDir);
}

} // namespace

RemovalResult RemoveSelected(const UninstallPlan& plan, const std::vector<bool>& selected, const SetupState& state,
                             const ProtectedFolders& protectedFolders, SetupPrompts& prompts,
                             WorkProgress* progress)
{
    LeaveFoldersToBeRemoved(plan, selected, state);
    // One pass from the top: every selected item is acted on in the order
    // the list shows them, but for the directory and the log itself, which
    // come last.
    const LogFile log(plan.LogPath);
    RemovalResult result;
    std::vector<const PlannedRemoval*> directories;
    const PlannedRemoval* logItem = nullptr;
    FileFolders folders;
    // An item whose name is still there when its removal is done stays in
    // the list, and is named.
    auto stayed = [&result](const PlannedRemoval& item) {
        result.Kept.push_back(item);
        result.NotRemoved.push_back(item);
    };
    const auto listed = selected.begin() + static_cast<std::ptrdiff_t>(std::min(selected.size(), plan.Items.size()));
    const size_t chosen = static_cast<size_t>(std::count(selected.begin(), listed, true));
    size_t done = 0;
    for (size_t index = 0; index < plan.Items.size(); ++index) {
        const PlannedRemoval& item = plan.Items[index];
        if (index >= selected.size() || !selected[index]) {
            result.Kept.push_back(item);
            continue;
        }
        switch (item.Kind) {
        case RemovalKind::File:
            if (log.IsNamedBy(item.Path, item.FolderMatch)) {
                logItem = &item;
            } else if (item.FolderMatch) {
                DeletePath(item.Path, protectedFolders);
                if (GetFileAttributesA(item.Path.c_str()) != INVALID_FILE_ATTRIBUTES)
                    stayed(item);
            } else if (!DeleteListedFile(item.Path, folders) &&
                       !(log.IsUninstallerBesideIt(item.Path, item.FolderMatch) &&
                         folders.MayDeleteIn(FileDirPart(item.Path)) &&
                         MoveRunningUninstaller(item.Path, state.TemporaryCopyDir))) {
                // NOTE: the uninstaller beside the log, which the program
                // that started this copy of it still runs from, cannot be
                // deleted; it leaves the folder for the copy's own.
                stayed(item);
            }
            break;
        case RemovalKind::Directory:
            directories.push_back(&item);
            break;
        case RemovalKind::Group:
            try {
                DeletePath(item.Path, protectedFolders);
            } catch (...) {
                // Deliberately dropped: the group may have gone already,
                // and the rest of the uninstallation goes on. Whether it
                // is still there is what counts.
            }
            if (IsExistingDirectory(item.Path))
                stayed(item);
            break;
        }
        if (progress)
            progress->Reached(++done, chosen);
    }

    // The directory that goes last is the selected one that holds the log,
    // or else the last one selected. NOTE: every other selected directory
    // (a log may name several) goes before it, and only when it is empty;
    // one that is not stays with its line, and is named. One that is the
    // log's folder under another name goes with it.
    const auto holding = std::find_if(directories.begin(), directories.end(),
                                      [&log](const PlannedRemoval* item) { return log.IsIn(item->Path); });
    const PlannedRemoval* directory =
        holding != directories.end() ? *holding : directories.empty() ? nullptr : directories.back();
    for (const PlannedRemoval* other : directories) {
        if (other == directory || log.IsIn(other->Path))
            continue;
        RemoveDirectoryA(RemoveTrailingBackslash(other->Path).c_str());
        if (IsExistingDirectory(other->Path))
            stayed(*other);
    }

    // The directory goes when it is empty. Only the folder that holds the
    // log goes with what is still in it: at once when, every other selected
    // item gone, the log is all it holds; with anything else in it, only
    // when the person says so. Any other folder a log names stays with its
    // line.
    bool takeLog = logItem != nullptr;
    bool keptByChoice = false;
    bool holdsLog = false;
    std::string dir;
    if (directory) {
        dir = RemoveTrailingBackslash(directory->Path);
        holdsLog = log.IsIn(dir);
        if (!RemoveDirectoryA(dir.c_str()) && holdsLog) {
            if (log.OthersIn(dir).empty()) {
                takeLog = true;
            } else if (prompts.Ask(SetupPrompts::Question::FolderNotEmpty,
                                   Format(LoadResString(StrId::SFolderNotEmpty), {directory->Path}))) {
                DeleteBesidesTheLog(dir, log, protectedFolders);
                takeLog = true;
            } else {
                keptByChoice = true;
            }
        }
    }
    // NOTE: a folder kept for what the installation did not make (the
    // user's own files), when nothing the log lists is left, holds nothing
    // of the installation: the log and the registration go, and the
    // uninstallation is complete. Otherwise a deployment would count every
    // machine where a user saved a file there as one where the removal
    // failed, and try again for ever.
    const bool onlyOthersFilesStay = keptByChoice && result.Kept.empty() && result.NotRemoved.empty();
    if (onlyOthersFilesStay)
        takeLog = true;
    // The log goes last of all, once every other selected item has gone:
    // until then, another uninstallation can finish what this one could not,
    // or what a cut-short run left.
    const bool othersGone =
        result.NotRemoved.empty() &&
        (keptByChoice ? onlyOthersFilesStay
                      : !directory || (holdsLog ? log.OthersIn(dir).empty() : !IsExistingDirectory(dir)));
    if (takeLog && othersGone && DeleteListedFile(plan.LogPath, folders) && holdsLog)
        RemoveDirectoryA(dir.c_str());
    if (logItem && GetFileAttributesA(logItem->Path.c_str()) != INVALID_FILE_ATTRIBUTES) {
        result.Kept.push_back(*logItem);
        if (othersGone)
            result.NotRemoved.push_back(*logItem);
    }
    if (directory && IsExistingDirectory(dir)) {
        result.Kept.push_back(*directory);
        if (!keptByChoice)
            result.NotRemoved.push_back(*directory);
    }
    result.LogKept = GetFileAttributesA(plan.LogPath.c_str()) != INVALID_FILE_ATTRIBUTES;
    if (!result.LogKept)
        for (const FoundRegistration& key : plan.Registrations)
            if (RemoveRegistration(key))
                result.RegistrationsRemoved.push_back(KeyText(key.Root, key.Key));
    return result;
}

std::string GroupsNotFoundText(const std::vector<std::string>& groups)
{
    if (groups.size() == 1)
        return Format(LoadResString(StrId::SGroupNotFound), {groups.front()});
    return Format(LoadResString(StrId::SGroupsNotFound), {NameLines(groups, groups.size())});
}

std::string NotRemovedText(const std::vector<PlannedRemoval>& items)
{
    std::vector<std::string> lines;
    for (size_t index = 0; index < items.size() && index < MostNamed; ++index)
        lines.push_back(items[index].Line());
    return Format(LoadResString(StrId::SNotRemoved), {NameLines(lines, items.size())});
}

void DeletePath(const std::string& path, const ProtectedFolders& protectedFolders)
{
    const std::string name = RemoveTrailingBackslash(path);
    if (name.empty() || HasWildcards(name))
        return;
    // Only a folder can be protected; a file goes wherever it lies.
    const DWORD attributes = GetFileAttributesA(name.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return;
    // NOTE: a folder that holds a link to a folder elsewhere is not deleted
    // either: the shell might delete what the link points to.
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 && protectedFolders.Keeps(name))
        return;
    ShellDelete({name});
}

#include "setup/UninstallPlan.h"

#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <map>

#include "runtime/DirPaths.h"
#include "runtime/Files.h"
#include "runtime/FolderIdentity.h"
#include "runtime/Format.h"
#include "runtime/Paths.h"
#include "runtime/ResStrings.h"
#include "runtime/Search.h"
#include "setup/NameLines.h"
#include "setup/ScriptFormat.h"
#include "setup/UninstallLog.h"

std::string PlannedRemoval::Line() const
{
    switch (Kind) {
    case RemovalKind::Directory: return Format(LoadResString(StrId::SDirectoryLine), {Argument});
    case RemovalKind::Group: return Format(LoadResString(StrId::SGroupLine), {Argument});
    case RemovalKind::File: break;
    }
    return Format(LoadResString(StrId::SFileLine), {Path});
}

namespace {

bool HasWildcards(const std::string& path)
{
    return path.find_first_of("*?") != std::string::npos;
}

// The log being read: the folder that holds it, the only one removed with
// its contents, and its name as that folder lists it, as the log is
// removed last of all.
class LogFile {
public:
    explicit LogFile(const std::string& path) : m_folder(FolderIdentity(FileDirPart(path)))
    {
        char longName[MAX_PATH];
        const DWORD length = GetLongPathNameA(path.c_str(), longName, sizeof longName);
        m_name = UpperCaseAscii(FileNamePart(length > 0 && length < sizeof longName ? std::string(longName, length)
                                                                                     : path));
    }

    // Whether the folder is the one that holds the log, under any name.
    bool IsIn(const std::string& folder) const { return m_folder && FolderIdentity(folder) == m_folder; }
    // Whether a file item names the log itself.
    bool IsNamedBy(const PlannedRemoval& item) const
    {
        return !item.FolderMatch && UpperCaseAscii(FileNamePart(item.Path)) == m_name && IsIn(FileDirPart(item.Path));
    }
    // The full names of what the folder holds besides the log.
    std::vector<std::string> OthersIn(const std::string& folder) const
    {
        const std::string dir = RemoveTrailingBackslash(folder) + "\\";
        std::vector<std::string> others;
        TSearchRec match;
        for (int result = SearchFirst(dir + "*", faAnyFile, match); result == 0; result = SearchNext(match)) {
            if (match.Name != "." && match.Name != ".." && UpperCaseAscii(match.Name) != m_name)
                others.push_back(dir + match.Name);
        }
        SearchEnd(match);
        return others;
    }

private:
    std::optional<FolderId> m_folder;
    std::string m_name;  // in upper case
};

// The folders in which files may be deleted: those the way to which crosses
// no link or mount point. Each folder is looked at once, as a log names many
// files in few folders.
class FileFolders {
public:
    bool MayDeleteIn(const std::string& folder)
    {
        const auto [known, added] = m_known.emplace(UpperCaseAscii(folder), false);
        if (added)
            known->second = !ReachedThroughLinks(folder);
        return known->second;
    }

private:
    std::map<std::string, bool> m_known;
};

// Deletes the file that the name reaches, and never a folder: the plan was
// made earlier, and a folder may have taken the file's name since. A file
// reached through a link or a mount point is not deleted either. Whether
// the name is gone afterwards.
bool DeleteFileOnly(const std::string& path, FileFolders& folders)
{
    if (GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES)
        return true;
    if (HasWildcards(path) || !folders.MayDeleteIn(FileDirPart(path)))
        return false;
    // A read-only file is deleted too, as the shell's delete did: the
    // installation may have copied it so from its medium.
    return DeleteOnlyFile(path);
}

// Whether the record names a folder that may be listed and removed with its
// contents: a plain full path of an existing folder that is not protected.
bool IsRemovableFolder(const std::string& folder, const ProtectedFolders& protectedFolders)
{
    return IsPlainFullPath(folder) && IsExistingDirectory(folder) && !protectedFolders.Protects(folder);
}

// What the reading of one log knows besides the record at hand.
class LogReading {
public:
    LogReading(UninstallPlan& plan, const SetupState& state, const ProtectedFolders& protectedFolders,
               std::string destination, PatternFolder patternFolder)
        : m_plan(plan), m_state(state), m_protected(protectedFolders), m_destinationName(std::move(destination)),
          m_patternFolder(patternFolder)
    {
    }

    void Read(const LogRecord& record);

private:
    void List(RemovalKind kind, const std::string& path, const std::string& argument, bool folderMatch = false)
    {
        m_plan.Items.push_back({kind, path, argument, folderMatch});
    }
    void Refuse(const LogRecord& record, std::string reason)
    {
        m_plan.Refused.push_back({record.Letter, record.Argument, std::move(reason)});
    }
    // The full pattern of a U record's argument.
    std::string Resolve(const std::string& pattern) const
    {
        // NOTE: the installation wrote the log into its destination: D
        // there is the folder that holds the log, which no switch or script
        // of the run now reading it can change.
        if (m_patternFolder == PatternFolder::LogFolder && !pattern.empty() && pattern[0] == 'D')
            return FileDirPart(m_plan.LogPath) + pattern.substr(1);
        return ResolvePath(m_state, pattern);
    }
    void AddPatternMatches(const std::string& pattern);

    // The destination's identity when it is a folder that may be removed
    // and holds the log: only folders inside it may be removed as the
    // matches of a U record, as only it is removed with its contents.
    // Learnt at the first such match, as most logs have none.
    const std::optional<FolderId>& Destination()
    {
        if (!m_destinationKnown) {
            m_destinationKnown = true;
            if (IsRemovableFolder(m_destinationName, m_protected) && LogFile(m_plan.LogPath).IsIn(m_destinationName))
                m_destination = FolderIdentity(m_destinationName);
        }
        return m_destination;
    }

    UninstallPlan& m_plan;                    // not owned: the plan being made
    const SetupState& m_state;                // not owned
    const ProtectedFolders& m_protected;      // not owned
    const std::string m_destinationName;
    const PatternFolder m_patternFolder;
    bool m_destinationKnown = false;
    std::optional<FolderId> m_destination;
    FileFolders m_folders;
};

void LogReading::AddPatternMatches(const std::string& pattern)
{
    // NOTE: only a plain full path is searched; a relative pattern would
    // match whatever lies in the folder the program happens to run in.
    if (!IsPlainFullPath(pattern))
        return;
    const std::string dir = FileDirPart(pattern);
    if (!m_folders.MayDeleteIn(dir))
        return;
    TSearchRec match;
    for (int result = SearchFirst(pattern, faAnyFile, match); result == 0; result = SearchNext(match)) {
        // NOTE: the entries that stand for the searched folder and its parent
        // match most patterns too; removing them would take the whole folder.
        if (match.Name == "." || match.Name == "..")
            continue;
        const std::string path = dir + match.Name;
        if ((match.Attr & faDirectory) != 0) {
            // A folder goes with everything in it: only one that lies inside
            // the destination directory, is not protected and leads nowhere
            // else, is listed.
            const std::optional<FolderId>& destination = Destination();
            if (!destination || m_protected.Protects(path))
                continue;
            const std::vector<FolderId> parents = FolderParents(path);
            if (std::find(parents.begin(), parents.end(), *destination) == parents.end() ||
                ReachesThroughLinks(path))
                continue;
            List(RemovalKind::File, path, path, true);
            continue;
        }
        List(RemovalKind::File, path, path);
    }
    SearchEnd(match);
}

void LogReading::Read(const LogRecord& record)
{
    const std::string& argument = record.Argument;
    switch (record.Letter) {
    case UninstallLog::Directory:
        m_plan.Destination = argument;
        m_plan.NamesItsFolder = m_plan.NamesItsFolder || NamesFolder(argument, FileDirPart(m_plan.LogPath));
        // NOTE: a destination that is not a plain full path, or that is a
        // protected folder under any name, gets no line, so it is never removed.
        if (IsRemovableFolder(argument, m_protected))
            List(RemovalKind::Directory, argument, argument);
        else
            Refuse(record, "not a folder that may be removed");
        break;
    case UninstallLog::File:
        // A file the installation made has a plain full name; a pattern, a
        // relative name or a device name would delete what the log did not
        // name. A folder is not a file and gets no line either, nor does a
        // file reached through a link or a mount point.
        if (IsPlainFullPath(argument) && !HasWildcards(argument) && FileIsPresent(argument) &&
            m_folders.MayDeleteIn(FileDirPart(argument)))
            List(RemovalKind::File, argument, argument);
        else
            Refuse(record, "not an existing file named by a plain full path");
        break;
    case UninstallLog::Group: {
        // The group may lie in a folder of its own below the Programs folder
        // ("Tools\Halvarn 95"); only its deepest folder is removed.
        // NOTE: a name that is no such path, and a group that turns out to be
        // a protected folder, a mount point or a link, or to hold one, are
        // reported as not found: the user is told to look at it, and nothing
        // is removed.
        const std::string group = m_state.ProgramsDir + argument;
        if (ScriptFormat::IsGroupPath(argument) && IsRemovableFolder(group, m_protected) &&
            !m_protected.Keeps(group)) {
            List(RemovalKind::Group, group, argument);
            m_plan.GroupName = UpperCaseAscii(argument);
        } else {
            m_plan.MissingGroups.push_back(argument);
            Refuse(record, "no group folder that may be removed");
        }
        break;
    }
    case UninstallLog::Pattern:
        AddPatternMatches(Resolve(argument));
        break;
    default:
        // The title, and letters of a later version, list nothing.
        break;
    }
}

} // namespace

UninstallPlan ReadUninstallLog(const std::string& logPath, const SetupState& state,
                               const ProtectedFolders& protectedFolders, PatternFolder patternFolder)
{
    // The records are all read before any is planned, as a U record needs
    // the destination that the log names after it; a read error plans the
    // records before it and is kept in the plan.
    LogContents log = ReadLogRecords(logPath);
    UninstallPlan plan;
    plan.LogPath = logPath;
    plan.Damaged = log.Damaged;
    plan.ReadFailure = log.ReadFailure;
    LogReading reading(plan, state, protectedFolders, log.Destination().value_or(state.DestDir), patternFolder);
    for (const LogRecord& record : log.Records)
        reading.Read(record);
    return plan;
}

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
                             const ProtectedFolders& protectedFolders, SetupPrompts& prompts)
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
    for (size_t index = 0; index < plan.Items.size(); ++index) {
        const PlannedRemoval& item = plan.Items[index];
        if (index >= selected.size() || !selected[index]) {
            result.Kept.push_back(item);
            continue;
        }
        switch (item.Kind) {
        case RemovalKind::File:
            if (log.IsNamedBy(item)) {
                logItem = &item;
            } else if (item.FolderMatch) {
                DeletePath(item.Path, protectedFolders);
                if (GetFileAttributesA(item.Path.c_str()) != INVALID_FILE_ATTRIBUTES)
                    stayed(item);
            } else if (!DeleteFileOnly(item.Path, folders)) {
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
    // The log goes last of all, once every other selected item has gone:
    // until then, another uninstallation can finish what this one could not,
    // or what a cut-short run left.
    const bool othersGone = result.NotRemoved.empty() && !keptByChoice &&
                            (!directory || (holdsLog ? log.OthersIn(dir).empty() : !IsExistingDirectory(dir)));
    if (takeLog && othersGone && DeleteFileOnly(plan.LogPath, folders) && holdsLog)
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

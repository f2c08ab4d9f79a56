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
#include "setup/LineFiles.h"
#include "setup/ScriptFormat.h"

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

// Whether the folder is the one that holds the uninstall log being read,
// under any name: the installation wrote the log into its destination, and
// only that folder is removed with what it holds.
bool HoldsTheLog(const std::string& folder, const std::string& logPath)
{
    const std::optional<FolderId> id = FolderIdentity(folder);
    return id && id == FolderIdentity(FileDirPart(logPath));
}

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
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return true;
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 || HasWildcards(path) ||
        !folders.MayDeleteIn(FileDirPart(path)))
        return false;
    // A read-only file is deleted too, as the shell's delete did: the
    // installation may have copied it so from its medium.
    if ((attributes & FILE_ATTRIBUTE_READONLY) != 0)
        SetFileAttributesA(path.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
    // NOTE: DeleteFileA refuses a folder itself, so a folder that takes the
    // name between the look and the deletion is refused too.
    return DeleteFileA(path.c_str()) || GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES;
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
               std::string destination)
        : m_plan(plan), m_state(state), m_protected(protectedFolders), m_destinationName(std::move(destination))
    {
    }

    void Read(const TextRecord& record);

private:
    void List(RemovalKind kind, const std::string& path, const std::string& argument, bool folderMatch = false)
    {
        m_plan.Items.push_back({kind, path, argument, folderMatch});
    }
    void Refuse(const TextRecord& record, std::string reason)
    {
        m_plan.Refused.push_back({record.Command, record.Argument, std::move(reason)});
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
            if (IsRemovableFolder(m_destinationName, m_protected) && HoldsTheLog(m_destinationName, m_plan.LogPath))
                m_destination = FolderIdentity(m_destinationName);
        }
        return m_destination;
    }

    UninstallPlan& m_plan;                    // not owned: the plan being made
    const SetupState& m_state;                // not owned
    const ProtectedFolders& m_protected;      // not owned
    const std::string m_destinationName;
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

void LogReading::Read(const TextRecord& record)
{
    const std::string& argument = record.Argument;
    switch (record.Command) {
    case 'D':
        m_plan.Destination = argument;
        // NOTE: a destination that is not a plain full path, or that is a
        // protected folder under any name, gets no line, so it is never removed.
        if (IsRemovableFolder(argument, m_protected))
            List(RemovalKind::Directory, argument, argument);
        else
            Refuse(record, "not a folder that may be removed");
        break;
    case 'F':
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
    case 'G': {
        // The group may lie in a folder of its own below the Programs folder
        // ("Tools\Halvarn 95"); only its deepest folder is removed.
        // NOTE: a name that is no such path, and a group that turns out to be
        // a protected folder, a mount point or a link, or to hold one, are
        // reported as not found: the user is told to look at it, and nothing
        // is removed.
        const std::string group = m_state.ProgramsDir + argument;
        if (ScriptFormat::IsGroupPath(argument) && IsRemovableFolder(group, m_protected) &&
            !ReachesThroughLinks(group)) {
            List(RemovalKind::Group, group, argument);
            m_plan.GroupName = UpperCaseAscii(argument);
        } else {
            m_plan.MissingGroups.push_back(argument);
            Refuse(record, "no group folder that may be removed");
        }
        break;
    }
    case 'U':
        AddPatternMatches(ResolvePath(m_state, argument));
        break;
    default:
        break;
    }
}

} // namespace

UninstallPlan ReadUninstallLog(const std::string& logPath, const SetupState& state,
                               const ProtectedFolders& protectedFolders)
{
    // A record is a letter line, of which only the first character counts,
    // and an argument line; no record of the log has a second argument.
    // The records are all read before any is planned, as a U record needs
    // the destination that the log names after it; a read error plans the
    // records before it and is kept in the plan.
    LineFileReader log(logPath, std::string_view());
    std::vector<TextRecord> records;
    UninstallPlan plan;
    plan.LogPath = logPath;
    try {
        TextRecord record;
        while (log.Next(record))
            records.push_back(record);
        log.Close();
    } catch (...) {
        plan.ReadFailure = std::current_exception();
    }
    std::string destination = state.DestDir;
    for (const TextRecord& record : records) {
        if (record.Command == 'D')
            destination = record.Argument;
    }
    LogReading reading(plan, state, protectedFolders, destination);
    for (const TextRecord& record : records)
        reading.Read(record);
    return plan;
}

std::vector<PlannedRemoval> RemoveSelected(const UninstallPlan& plan, const std::vector<bool>& selected,
                                           const ProtectedFolders& protectedFolders, SetupPrompts& prompts)
{
    // One pass from the top: every selected item is acted on in the order
    // the list shows them, the directory last of all.
    std::vector<PlannedRemoval> kept;
    const PlannedRemoval* directory = nullptr;
    FileFolders folders;
    for (size_t index = 0; index < plan.Items.size(); ++index) {
        const PlannedRemoval& item = plan.Items[index];
        if (index >= selected.size() || !selected[index]) {
            kept.push_back(item);
            continue;
        }
        switch (item.Kind) {
        case RemovalKind::File:
            // An item whose name is still there when its removal is done
            // stays in the list.
            if (item.FolderMatch)
                DeletePath(item.Path, protectedFolders);
            else if (DeleteFileOnly(item.Path, folders))
                break;
            if (GetFileAttributesA(item.Path.c_str()) != INVALID_FILE_ATTRIBUTES)
                kept.push_back(item);
            break;
        case RemovalKind::Directory:
            // NOTE: the directory removed is the one the selected line
            // names; the last one selected, when there are several.
            directory = &item;
            break;
        case RemovalKind::Group:
            try {
                DeletePath(item.Path, protectedFolders);
            } catch (...) {
                // Deliberately dropped: the group may have gone already,
                // and the rest of the uninstallation goes on.
            }
            break;
        }
    }
    if (directory && !RemoveDirectoryA(RemoveTrailingBackslash(directory->Path).c_str())) {
        // Only the folder that holds the log goes with what is still in it,
        // and only when the person says so; any other folder a log names
        // goes only when it is empty, and otherwise stays with its line.
        const std::string& dir = directory->Path;
        if (HoldsTheLog(dir, plan.LogPath) &&
            prompts.Ask(SetupPrompts::Question::FolderNotEmpty,
                        Format(LoadResString(StrId::SFolderNotEmpty), {dir}))) {
            // NOTE: the file-open dialog that found the log made its folder
            // the current directory, which the system does not let anyone
            // remove: the current directory moves up first.
            ChangeDir(FileDirPart(RemoveTrailingBackslash(dir)));
            DeletePath(dir, protectedFolders);
        }
        if (IsExistingDirectory(dir))
            kept.push_back(*directory);
    }
    return kept;
}

std::string GroupsNotFoundText(const std::vector<std::string>& groups)
{
    constexpr size_t mostNamed = 20;
    if (groups.size() == 1)
        return Format(LoadResString(StrId::SGroupNotFound), {groups.front()});
    std::string names;
    for (size_t index = 0; index < groups.size() && index < mostNamed; ++index)
        names += "\r" + groups[index];
    if (groups.size() > mostNamed)
        names += "\r" + Format(LoadResString(StrId::SAndMore), {static_cast<int>(groups.size() - mostNamed)});
    return Format(LoadResString(StrId::SGroupsNotFound), {names});
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
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 &&
        (protectedFolders.Protects(name) || ReachesThroughLinks(name)))
        return;
    // The shell takes a list of names, each ended by a NUL, and one more NUL.
    std::string from = name;
    from.append(2, '\0');
    const char to[2] = {'\0', '\0'};
    SHFILEOPSTRUCTA operation = {};
    operation.hwnd = nullptr;
    operation.wFunc = FO_DELETE;
    operation.pFrom = from.c_str();
    operation.pTo = to;
    // Removed for good, not into the recycle bin, with no progress window
    // and no question. The result is not looked at: a failure is not
    // reported to anyone.
    operation.fFlags = FOF_SILENT | FOF_NOCONFIRMATION;
    SHFileOperationA(&operation);
}

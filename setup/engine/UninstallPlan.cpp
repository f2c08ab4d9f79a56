// The reading of the uninstall log into the plan of what may be removed,
// record by record, with the reason for each record it refuses.
#include "setup/engine/UninstallPlan.h"

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
#include "setup/engine/PlanFolders.h"
#include "setup/engine/ScriptFormat.h"
#include "setup/engine/UninstallLog.h"

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
    case UninstallLog::Registration: {
        // NOTE: looked for while the log's folder is there, so that it is
        // compared by identity: a key that names another folder is another
        // installation's, and stays.
        std::vector<FoundRegistration> found = RegistrationsOfFolder(m_state, argument, FileDirPart(m_plan.LogPath));
        if (found.empty())
            Refuse(record, "no key of the Uninstall list for this folder");
        for (FoundRegistration& key : found)
            m_plan.Registrations.push_back(std::move(key));
        break;
    }
    default:
        // The title, and letters of a later version, list nothing.
        break;
    }
}

} // namespace

UninstallPlan ReadUninstallLog(const std::string& logPath, const SetupState& state,
                               const ProtectedFolders& protectedFolders, PatternFolder patternFolder,
                               WorkProgress* progress)
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
    // NOTE: the records are read at once; it is the existence of what each
    // one names, asked of the file system, that takes the time.
    const size_t total = log.Records.size();
    for (size_t index = 0; index < total; ++index) {
        reading.Read(log.Records[index]);
        if (progress)
            progress->Reached(index + 1, total);
    }
    return plan;
}

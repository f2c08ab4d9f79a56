#include "setup/InstallRun.h"

#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <set>

#include "runtime/Exceptions.h"
#include "runtime/FileStream.h"
#include "runtime/Files.h"
#include "runtime/Format.h"
#include "runtime/Paths.h"
#include "runtime/ResStrings.h"
#include "runtime/ScopeGuard.h"
#include "setup/NameLines.h"
#include "setup/ProtectedFolders.h"
#include "setup/ScriptFormat.h"
#include "setup/Staging.h"
#include "shell/ShellLinks.h"

namespace {

// A link of the Start Menu group: the file it points to, and its full name.
struct GroupLink {
    std::string Target;
    std::string Name;
};

// The group's folder, with its backslash.
std::string GroupFolder(const SetupState& state)
{
    return CheckPath(state.ProgramsDir + state.GroupName);
}

// The links that the script's items make in the group.
std::vector<GroupLink> GroupLinks(const SetupState& state)
{
    const std::string folder = GroupFolder(state);
    std::vector<GroupLink> links;
    for (const ScriptFormat::ItemArgument& item : state.Script.ItemList) {
        // NOTE: an item without a comma names no link, one whose target has
        // no path code names no target, and one whose name is not a plain
        // file name would put its link outside the group, where the
        // uninstaller never looks; none of them makes a link.
        if (!item.HasComma || !ScriptFormat::IsPlainName(item.Name))
            continue;
        std::string target = ResolvePath(state, item.Target);
        if (!target.empty())
            links.push_back({std::move(target), folder + item.Name + ".lnk"});
    }
    return links;
}

} // namespace

std::optional<std::string> GroupRefusal(const SetupState& state)
{
    if (!ScriptFormat::IsGroupPath(state.GroupName))
        return std::nullopt;
    const auto tooLong = [&](const std::string& name, size_t longest) {
        return Format(LoadResString(StrId::SGroupTooLong),
                      {state.GroupName, name, static_cast<int>(name.size()), static_cast<int>(longest)});
    };
    // NOTE: CreateDirectory refuses a folder name that leaves no room for a
    // short file name in it: with its backslash and the terminating NUL it
    // may take MAX_PATH - 12 characters. No link is written under a name
    // longer than MaxLinkFileName. The folder and links would be missing,
    // with folders above them made for nothing.
    const std::string folder = RemoveTrailingBackslash(GroupFolder(state));
    constexpr size_t longestFolder = MAX_PATH - 13;
    if (folder.size() > longestFolder)
        return tooLong(folder, longestFolder);
    for (const GroupLink& link : GroupLinks(state)) {
        if (link.Name.size() > MaxLinkFileName)
            return tooLong(link.Name, MaxLinkFileName);
    }
    // The uninstaller's own rule decides: a group it keeps would stay, with
    // the product's links in it, for good.
    if (ProtectedFolders(state).Keeps(folder))
        return Format(LoadResString(StrId::SGroupKept), {state.GroupName});
    return std::nullopt;
}

void InstallRun::MakeFolders(const std::string& folder)
{
    std::vector<std::string> missing;
    for (std::string dir = RemoveTrailingBackslash(folder); !dir.empty() && !IsExistingDirectory(dir);) {
        missing.push_back(dir);
        // A root is never made: it is there, or nothing below it can be.
        const std::string parent = FileDirPart(dir);
        if (parent.size() <= 3 || parent.size() >= dir.size())
            break;
        dir = RemoveTrailingBackslash(parent);
    }
    for (auto it = missing.rbegin(); it != missing.rend(); ++it) {
        Journal().WillMakeFolder(*it);
        if (!CreateDirectoryA(it->c_str(), nullptr))
            break;
        Record(ActionKind::FolderMade, *it);
    }
}

FileStreamMode InstallRun::WillWrite(const std::string& file, bool move)
{
    const DWORD attributes = GetFileAttributesA(file.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        Journal().WillCreate(file);
        return FileStreamMode::CreateNew;
    }
    if ((attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)) != 0)
        return FileStreamMode::Create;
    const std::string backup = BackupName(file);
    Journal().WillReplace(file, backup);
    if (move && MoveFileA(file.c_str(), backup.c_str())) {
        Journal().BackupMade(backup);
        return FileStreamMode::CreateNew;
    }
    // NOTE: a file that cannot be moved aside (one in use) is copied aside;
    // one that cannot be copied either is left for the step to meet, which
    // reports why, and the run taken back leaves it as it is.
    if (CopyFileA(file.c_str(), backup.c_str(), TRUE))
        Journal().BackupMade(backup);
    return FileStreamMode::Create;
}

bool InstallRun::SourceIsRemovable() const
{
    // The drive's root is asked, so that a setup program in a folder of a
    // diskette counts as being on a diskette too.
    const std::string drive = FileDrivePart(m_state.SourceDir);
    if (drive.empty())
        return false;
    return GetDriveTypeA((drive + "\\").c_str()) == DRIVE_REMOVABLE;
}

bool InstallRun::CopyOneFile(const std::string& Source, const std::string& Dest, FileStreamMode mode)
{
    while (!FileIsPresent(Source)) {
        const std::string text =
            Format(LoadResString(StrId::SMissingFile), {FileNamePart(Source)}) +
            Format(LoadResString(SourceIsRemovable() ? StrId::SInsertOtherDiskette : StrId::SMakeSureInDirectory),
                   {FileDirPart(Source)});
        if (!m_prompts.Ask(SetupPrompts::Question::MissingFile, text)) {
            m_fileSkipped = true;
            return false;
        }
    }
    {
        // NOTE: a copy that failed part way (a full drive, a failing read)
        // would leave a cut-off file under the product's name that no log
        // names; it is deleted, once closed, before the error reaches the
        // user. A destination that could not be created is not ours to
        // delete. The guard is made first so that it runs last.
        bool created = false;
        bool copied = false;
        const ScopeExit removeCutCopy([&] {
            if (created && !copied)
                DeleteFileA(Dest.c_str());
        });
        TFileStream source(Source, FileStreamMode::OpenRead);
        // A name that must be new is never moved aside: its creation fails
        // when the name is taken. NOTE: a name that was free when it was
        // journaled is created as new too, so that a file that has taken it
        // since is never emptied; the journal then knows the run never made
        // it.
        const FileStreamMode how = mode == FileStreamMode::CreateNew
                                       ? (Journal().WillCreate(Dest), FileStreamMode::CreateNew)
                                       : WillWrite(Dest, true);
        std::optional<TFileStream> destination;
        try {
            destination.emplace(Dest, how);
        } catch (const EFCreateError&) {
            if (how == FileStreamMode::CreateNew)
                Journal().Gone(Dest);
            throw;
        }
        created = true;
        Journal().Opened(Dest, destination->Handle());
        // NOTE: a source of zero bytes copies nothing and is still a file of
        // the product: it is created empty and logged like any other.
        CopyStreamData(*destination, source, 0);
        destination.reset();
        copied = true;
        Journal().Written(Dest);
    }
    Record(ActionKind::FileCopied, Dest);
    return true;
}

bool InstallRun::Execute()
{
    m_fileSkipped = false;
    // The journal is there before the first change, and stays until the
    // run completes or is taken back.
    Journal();
    MakeDestination();
    const std::vector<ScriptFile>& files = m_state.Script.FileList;
    m_prompts.BeginCopies(static_cast<int>(files.size()));
    for (const ScriptFile& file : files) {
        if (m_prompts.Stopped())
            return false;
        const std::string destination = ResolvePath(m_state, file.Path);
        m_prompts.Copying(destination);
        CopyOneFile(m_state.ExeDir + ScriptFormat::MandatorySourceName(file.Path), destination);
        m_prompts.Copied(true);
    }
    if (m_prompts.Stopped())
        return false;
    InstallOptionalFiles();
    if (m_prompts.Stopped())
        return false;
    MakeStartMenuGroup();
    if (m_prompts.Stopped())
        return false;
    UpdatePifFiles();
    m_destinationLogged = true;
    if (SourceIsRemovable() && !FileIsPresent(m_state.SourceDir + std::string(ScriptFormat::ProgramName))) {
        m_prompts.Tell(LoadResString(StrId::SInsertFirstDiskette));
        if (m_prompts.Stopped())
            return false;
    }
    WriteUninstallLog();
    StartProduct();
    return true;
}

void InstallRun::MakeDestination()
{
    // Failures are met by the copies into it, which report them.
    MakeFolders(m_state.DestDir);
}

void InstallRun::InstallOptionalFiles()
{
    for (const ScriptOption& option : m_state.Script.OptionList) {
        if (m_prompts.Stopped())
            return;
        // NOTE: a file that the switches decline (/optional=none) is not read
        // at all, so that a distribution without it installs: the answer is
        // only logged.
        if (m_prompts.AnswersNo(SetupPrompts::Question::OptionalFile)) {
            m_prompts.Ask(SetupPrompts::Question::OptionalFile, option.Question);
            continue;
        }
        // Staged in \temp of the destination drive, or in \temp1 when the
        // setup program itself runs from \temp there.
        const std::string drive = FileDrivePart(m_state.DestDir);
        const bool runsFromTemp = UpperCaseAscii(m_state.ExeDir) == UpperCaseAscii(drive + "\\temp\\");
        const std::string name = ScriptFormat::OptionalSourceName(option.Path);
        const Staging staging = ChooseStaging(drive + (runsFromTemp ? "\\temp1" : "\\temp"), name,
                                              [&](const std::string& folder) { Journal().WillMakeFolder(folder); });
        std::optional<FileStamp> staged;
        // What was staged is removed also when the run is ending, and before
        // a failed copy is reported: it is nobody's file.
        const ScopeExit removeStaging([&] {
            if (RemoveStaging(staging, staged))
                Journal().Gone(staging.File);
        });
        // NOTE: the staged copy never replaces a file: the name was free
        // when it was chosen, and one that has been taken since stops the
        // run with the creation error.
        const bool stagedNow = CopyOneFile(m_state.ExeDir + name, staging.File, FileStreamMode::CreateNew);
        if (stagedNow)
            staged = StampOfFile(staging.File);
        // NOTE: a file the user skipped is not offered: there is nothing to
        // install, and the copy would only ask again for the staged file.
        if (stagedNow && !m_prompts.Stopped() && m_prompts.Ask(SetupPrompts::Question::OptionalFile, option.Question) &&
            !m_prompts.Stopped()) {
            const std::string destination = ResolvePath(m_state, option.Path);
            m_prompts.Copying(destination);
            CopyOneFile(staging.File, destination);
            m_prompts.Copied(false);
        }
    }
}

void InstallRun::MakeStartMenuGroup()
{
    // NOTE: a group name that is empty, absolute or leads out through ".."
    // names no folder of its own below the Programs folder, and the
    // uninstaller would take the wrong folder back; nothing can be made, so
    // the question is not asked.
    if (!ScriptFormat::IsGroupPath(m_state.GroupName))
        return;
    // A group that cannot be made, or that the uninstaller would never take
    // back, is not offered: the person is told why, and the log has it,
    // unless the switches decline the group anyway. (A /group switch naming
    // one refuses an unattended run before it starts.)
    const bool declined = m_prompts.AnswersNo(SetupPrompts::Question::StartMenu);
    if (const std::optional<std::string> refusal = declined ? std::nullopt : GroupRefusal(m_state)) {
        m_prompts.Warn(Format(LoadResString(StrId::SNoGroupMade), {*refusal}));
        return;
    }
    const std::string question = Format(LoadResString(StrId::SStartMenuQuestion), {m_state.ProductTitle});
    if (!m_prompts.Ask(SetupPrompts::Question::StartMenu, question) || m_prompts.Stopped())
        return;
    // NOTE: what is recorded as made is there: a folder or a link that the
    // system did not make (the shell writes a link without a word of its
    // failure) fails the run, which is then taken back, rather than being
    // reported as made.
    const std::string group = GroupFolder(m_state);
    MakeFolders(group);
    if (!IsExistingDirectory(group))
        throw Exception(StrId::SGroupFolderNotMade, {RemoveTrailingBackslash(group)});
    for (const GroupLink& link : GroupLinks(m_state)) {
        WillWrite(link.Name, true);
        WriteShellLink(link.Target.c_str(), nullptr, nullptr, link.Name, false);
        if (!FileIsPresent(link.Name))
            throw Exception(StrId::SLinkNotMade, {link.Name});
        Journal().Written(link.Name);
        Record(ActionKind::LinkMade, link.Name);
    }
    Record(ActionKind::GroupMade, m_state.GroupName);
}

void InstallRun::UpdatePifFiles()
{
    for (const std::string& pif : m_state.Script.PifList) {
        const std::string base = m_state.DestDir + pif;
        // The link keeps its other settings, so it is read before it is
        // written: its copy is made beside it.
        WillWrite(base + ".pif", false);
        WriteShellLink((base + ".bat").c_str(), nullptr, nullptr, base + ".pif", true);
        if (!FileIsPresent(base + ".pif"))
            throw Exception(StrId::SLinkNotMade, {base + ".pif"});
        Journal().Written(base + ".pif");
        Record(ActionKind::PifMade, base + ".pif");
    }
}

std::vector<LogRecord> InstallRun::LogRecords() const
{
    std::vector<LogRecord> records;
    // The title tells a later installation whose log this is.
    if (!m_state.ProductTitle.empty())
        records.push_back({UninstallLog::Title, m_state.ProductTitle});
    for (const std::string& pattern : m_state.Script.UninstallList)
        records.push_back({UninstallLog::Pattern, pattern});
    for (const InstallAction& action : m_actions) {
        switch (action.Kind) {
        case ActionKind::FileCopied:
        case ActionKind::PifMade:
            records.push_back({UninstallLog::File, action.Path});
            break;
        case ActionKind::GroupMade:
            records.push_back({UninstallLog::Group, action.Path});
            break;
        default:
            // Folders and links go with the destination and the group.
            break;
        }
    }
    if (m_destinationLogged)
        records.push_back({UninstallLog::Directory, m_state.DestDir});
    return records;
}

namespace {

// The records of an earlier installation of this product in the
// destination; none when its log is not one (see EarlierInstallationLog),
// so that nothing of a cut log or of another product's is ever merged.
std::vector<LogRecord> EarlierRecords(const SetupState& state)
{
    std::optional<LogContents> earlier = EarlierInstallationLog(state.DestDir, state.ProductTitle);
    return earlier ? std::move(earlier->Records) : std::vector<LogRecord>();
}

// The new run's records with those of the earlier log that it does not
// write again: the new title and U records, then the earlier ones, in their
// order, then the rest of the new ones. Names are compared as the file
// system does, without regard to case. The earlier title is the new one's,
// and is not kept.
std::vector<LogRecord> WithEarlierRecords(std::vector<LogRecord> records, const std::vector<LogRecord>& earlier)
{
    if (earlier.empty())
        return records;
    const auto key = [](const LogRecord& record) { return record.Letter + UpperCaseAscii(record.Argument); };
    std::set<std::string> written;
    for (const LogRecord& record : records)
        written.insert(key(record));
    const auto firstOther = std::find_if(records.begin(), records.end(), [](const LogRecord& record) {
        return record.Letter != UninstallLog::Title && record.Letter != UninstallLog::Pattern;
    });
    std::vector<LogRecord> kept;
    for (const LogRecord& record : earlier) {
        if (record.Letter != UninstallLog::Title && written.insert(key(record)).second)
            kept.push_back(record);
    }
    records.insert(firstOther, kept.begin(), kept.end());
    return records;
}

} // namespace

void InstallRun::WriteUninstallLog()
{
    const std::string name = m_state.DestDir + std::string(ScriptFormat::LogName);
    // NOTE: the log is written under a free name and renamed into place, so
    // that no reader ever sees half a log, and an earlier log stays as it
    // was until the new one is whole. A log that could not be written
    // whole (a full drive) is deleted, once closed, before the error
    // reaches the user.
    const std::string written = BackupName(name);
    Journal().WillCreate(written);
    {
        bool opened = false;
        bool whole = false;
        const ScopeExit removeCutLog([&] {
            if (opened && !whole)
                DeleteFileA(written.c_str());
        });
        const std::vector<LogRecord> records = WithEarlierRecords(LogRecords(), EarlierRecords(m_state));
        LogWriter log(written);
        opened = true;
        for (const LogRecord& record : records)
            log.Write(record);
        log.Close();
        whole = true;
    }
    Journal().Written(written);
    WillWrite(name, false);
    if (!MoveFileExA(written.c_str(), name.c_str(), MOVEFILE_REPLACE_EXISTING))
        throw EInOutError(GetLastError());
    Journal().Written(name);
    Journal().Committed();
    m_completed = true;
    Record(ActionKind::LogWritten, name);
    // The copies of the files it replaced are no longer needed, nor is the
    // journal. NOTE: a copy that cannot be deleted now stays in a committed
    // journal, which the next start finishes.
    m_journal->Close();
    TakeBackJournal(m_journal->Journal(), m_journal->Path(), m_state.Journals, ProtectedFolders(m_state));
    m_journal.reset();
}

JournalWriter& InstallRun::Journal()
{
    if (!m_journal)
        m_journal.emplace(m_state.Journals, m_state.ProductTitle);
    return *m_journal;
}

bool InstallRun::TakeBack()
{
    if (!m_journal)
        return true;
    m_journal->Close();
    const TakeBackResult result =
        TakeBackJournal(m_journal->Journal(), m_journal->Path(), m_state.Journals, ProtectedFolders(m_state));
    m_journal.reset();
    ReportTakeBack(result, m_prompts);
    return result.Complete();
}

void InstallRun::StartProduct()
{
    // An administrator who deploys the product may not want it started.
    if (m_state.Switches.NoLaunch)
        return;
    const std::string parameters = "copy \"" + m_state.ProgramPath + "\" \"" + m_state.ProgramsDir + "\" " +
                                   (m_fileSkipped ? "" : "False");
    // The shell reports nothing back that the run could act on.
    const std::string product = m_state.DestDir + std::string(ScriptFormat::ProductProgram);
    ShellExecuteA(nullptr, nullptr, product.c_str(), parameters.c_str(), nullptr, SW_SHOWNORMAL);
    Record(ActionKind::ProductStarted, product);
}

void ReportTakeBack(const TakeBackResult& result, SetupPrompts& prompts)
{
    for (const std::string& line : result.Undone)
        prompts.Logged(Format(LoadResString(StrId::SLogUndone), {line}));
    std::vector<std::string> kept, failed;
    for (const TakeBackItem& item : result.Kept) {
        prompts.Logged(Format(LoadResString(StrId::SLogKept), {item.Path, item.Reason}));
        kept.push_back(item.Line());
    }
    for (const TakeBackItem& item : result.Failed) {
        prompts.Logged(Format(LoadResString(StrId::SLogNotUndone), {item.Line()}));
        failed.push_back(item.Line());
    }
    std::string text;
    if (!failed.empty())
        text = Format(LoadResString(StrId::SNotUndone), {NameLines(failed)});
    if (!kept.empty())
        text += (text.empty() ? "" : "\r\r") + Format(LoadResString(StrId::SLeftAsTheyAre), {NameLines(kept)});
    if (!text.empty())
        prompts.Warn(text);
}

LeftRun FinishLeftRun(const SetupState& state, SetupPrompts& prompts)
{
    const std::optional<LeftJournal> left = FindLeftJournal(state.Journals);
    if (!left)
        return LeftRun::None;
    // NOTE: a journal that is not the very file this program wrote and
    // named may have been written by anyone: nothing of it is carried out,
    // the file is left as it is, and only the program's own name of it goes.
    if (!left->Distrust.empty()) {
        prompts.Warn(Format(LoadResString(StrId::SJournalNotTrusted), {left->Path, left->Distrust}));
        ForgetLeftJournal(state.Journals);
        return LeftRun::None;
    }
    const ProtectedFolders protectedFolders(state);
    const TakeBackPlan plan = PlanTakeBack(left->Journal, protectedFolders);
    if (!plan.Changes.empty() || !plan.Refused.empty()) {
        std::string text = Format(LoadResString(StrId::SLastRunUnfinished), {left->Journal.Title, NameLines(plan.Changes)});
        if (!plan.Refused.empty())
            text += Format(LoadResString(StrId::SJournalLeftAlone), {NameLines(plan.Refused)});
        if (!prompts.Ask(SetupPrompts::Question::TakeBack, text))
            return LeftRun::Declined;
    }
    const TakeBackResult result = TakeBackJournal(left->Journal, left->Path, state.Journals, protectedFolders);
    ReportTakeBack(result, prompts);
    return result.Complete() ? LeftRun::TakenBack : LeftRun::Incomplete;
}

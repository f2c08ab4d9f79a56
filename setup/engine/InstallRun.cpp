// The installation run: the journaled steps from the destination's folders
// to the uninstall log and the product's start.
#include "setup/engine/InstallRun.h"

#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <set>

#include "runtime/Exceptions.h"
#include "runtime/FileIdentity.h"
#include "runtime/FileStream.h"
#include "runtime/Files.h"
#include "runtime/Format.h"
#include "runtime/Handles.h"
#include "runtime/Paths.h"
#include "runtime/ResStrings.h"
#include "runtime/ScopeGuard.h"
#include "setup/engine/LeftRun.h"
#include "setup/engine/ProtectedFolders.h"
#include "setup/engine/Registration.h"
#include "setup/engine/ScriptFormat.h"
#include "setup/engine/Staging.h"
#include "setup/engine/TakeBack.h"
#include "setup/engine/StartMenuGroup.h"
#include "shell/ShellLinks.h"

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
    // A name of the batch that has been taken since it was named is never
    // the run's new file.
    Journal().WillNotCreate(file);
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

bool InstallRun::IsInDestination(const std::string& file) const
{
    return !m_state.DestDir.empty() && UpperCaseAscii(file).rfind(UpperCaseAscii(m_state.DestDir), 0) == 0;
}

namespace {

// The names the folder holds, long and short, in upper case; none when it
// cannot be read.
std::set<std::string> NamesIn(const std::string& folder)
{
    std::set<std::string> names;
    WIN32_FIND_DATAA entry;
    const SearchHandle search(FindFirstFileA((CheckPath(folder) + "*").c_str(), &entry));
    if (!search)
        return names;
    do {
        names.insert(UpperCaseAscii(entry.cFileName));
        if (entry.cAlternateFileName[0] != '\0')
            names.insert(UpperCaseAscii(entry.cAlternateFileName));
    } while (FindNextFileA(search.Get(), &entry));
    return names;
}

} // namespace

size_t InstallRun::JournalBatch(const std::vector<std::string>& destinations, size_t first)
{
    // NOTE: a file outside the destination is journaled on its own, as the
    // journal's rules ask for a file that could not be told apart from the
    // system's; so is a file that is there already, whose copy is journaled
    // when it is moved aside. A batch ends before such a file, so that the
    // journal names the changes in the order they are made, and a take-back
    // undoes them newest first.
    // NOTE: the folder is read once for the batch rather than asked for
    // each name, which under Wine searches the whole folder each time (a
    // name it does not show is still created only as new). A file that is
    // there already is found at once, without reading the folder, so that a
    // reinstallation reads no folder for its files.
    constexpr size_t mostFiles = 64;
    if (!IsInDestination(destinations[first]) ||
        GetFileAttributesA(destinations[first].c_str()) != INVALID_FILE_ATTRIBUTES)
        return first + 1;
    const std::string folder = UpperCaseAscii(FileDirPart(destinations[first]));
    const std::set<std::string> present = NamesIn(folder);
    const auto isNew = [&](size_t i) {
        return IsInDestination(destinations[i]) && present.count(UpperCaseAscii(FileNamePart(destinations[i]))) == 0;
    };
    std::vector<std::string> created{destinations[first]};
    // A name the script gives twice replaces the batch's own file.
    std::set<std::string> names{UpperCaseAscii(destinations[first])};
    size_t end = first + 1;
    for (; end < destinations.size() && end - first < mostFiles; ++end) {
        if (UpperCaseAscii(FileDirPart(destinations[end])) != folder || !isNew(end) ||
            !names.insert(UpperCaseAscii(destinations[end])).second)
            break;
        created.push_back(destinations[end]);
    }
    Journal().WillCreateEach(created);
    return end;
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
            Journal().WillNotCreate(Dest);
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
        // A name that its batch found free is not asked for again: under
        // Wine, asking for a name that is not there searches the whole
        // folder.
        const bool namedAhead = mode != FileStreamMode::CreateNew && Journal().NamedAhead(Dest);
        std::optional<TFileStream> destination;
        const auto open = [&](FileStreamMode how) {
            try {
                destination.emplace(Dest, how);
            } catch (const EFCreateError&) {
                if (how == FileStreamMode::CreateNew)
                    Journal().Gone(Dest);
                throw;
            }
        };
        try {
            open(mode == FileStreamMode::CreateNew || namedAhead ? (Journal().WillCreate(Dest), FileStreamMode::CreateNew)
                                                                 : WillWrite(Dest, true));
        } catch (const EFCreateError&) {
            // A name of the batch that someone has taken since is replaced
            // as it would have been had it been there when it was named.
            if (!namedAhead || GetFileAttributesA(Dest.c_str()) == INVALID_FILE_ATTRIBUTES)
                throw;
            open(WillWrite(Dest, true));
        }
        created = true;
        Journal().Opened(Dest, destination->Handle());
        // NOTE: a source of zero bytes copies nothing and is still a file of
        // the product: it is created empty and logged like any other.
        CopyStreamData(*destination, source, 0);
        Journal().Written(Dest, destination->Handle());
        destination.reset();
        copied = true;
        if (!IsInDestination(Dest))
            Journal().Flush();
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
    std::vector<std::string> destinations;
    for (const ScriptFile& file : files)
        destinations.push_back(ResolvePath(m_state, file.Path));
    for (size_t i = 0, batchEnd = 0; i < files.size(); ++i) {
        if (m_prompts.Stopped())
            return false;
        if (i == batchEnd)
            batchEnd = JournalBatch(destinations, i);
        m_prompts.Copying(destinations[i]);
        CopyOneFile(m_state.ExeDir + ScriptFormat::MandatorySourceName(files[i].Path), destinations[i]);
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
    CopyUninstaller();
    RegisterProduct();
    WriteUninstallLog();
    StartProduct();
    return true;
}

void InstallRun::CopyUninstaller()
{
    const std::string uninstaller = m_state.DestDir + std::string(ScriptFormat::UninstallerName);
    // NOTE: a setup that runs as that very file (started from the
    // destination) is the uninstaller already; copied onto itself, it would
    // first be moved aside and then be missing as its own source.
    const std::optional<FileId> running = IdentityOfFile(m_state.ProgramPath);
    if (running && running == IdentityOfFile(uninstaller)) {
        Record(ActionKind::FileCopied, uninstaller);
        return;
    }
    m_prompts.Copying(uninstaller);
    CopyOneFile(m_state.ProgramPath, uninstaller);
    m_prompts.Copied(false);
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
        Journal().Flush();
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

void InstallRun::RegisterProduct()
{
    // The size the Apps list shows: the files the run put in place.
    uint64_t bytes = 0;
    for (const InstallAction& action : m_actions) {
        WIN32_FILE_ATTRIBUTE_DATA data;
        if (action.Kind == ActionKind::FileCopied &&
            GetFileAttributesExA(action.Path.c_str(), GetFileExInfoStandard, &data))
            bytes += (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    }
    const std::string key =
        m_state.Registrations.Key + "\\" + RegistrationName(m_state.ProductTitle);
    const HKEY root = m_state.Registrations.Root;
    const std::string uninstaller = m_state.DestDir + std::string(ScriptFormat::UninstallerName);
    const std::string log = m_state.DestDir + std::string(ScriptFormat::LogName);
    Journal().WillWriteKey(KeyText(root, key), ValuesText(ReadKeyValues(root, key)));
    WriteKeyValues(root, key, ProductRegistration(m_state, bytes, uninstaller, log));
    Record(ActionKind::Registered, KeyText(root, key));
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
        case ActionKind::Registered:
            // The key's name alone: the uninstaller looks for it where it
            // may, and removes it only when it names the log's folder.
            records.push_back({UninstallLog::Registration, action.Path.substr(action.Path.rfind('\\') + 1)});
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
        const std::vector<LogRecord> records = MergedWithEarlier(LogRecords(), EarlierInstallationLog(m_state.DestDir, m_state.ProductTitle));
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
    TakeBackJournal(m_journal->Journal(), m_journal->Path(), m_state.Journals, *ProtectedFoldersOf(m_state));
    EndJournal();
}

void InstallRun::EndJournal()
{
    m_journalFlushes += m_journal->Flushes();
    m_journalRecords += m_journal->Records();
    m_journal.reset();
}

unsigned long InstallRun::JournalFlushes() const
{
    return m_journalFlushes + (m_journal ? m_journal->Flushes() : 0);
}

unsigned long InstallRun::JournalRecords() const
{
    return m_journalRecords + (m_journal ? m_journal->Records() : 0);
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
        TakeBackJournal(m_journal->Journal(), m_journal->Path(), m_state.Journals, *ProtectedFoldersOf(m_state));
    EndJournal();
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

void PerformInstall(InstallRun& run, SetupState& state, const AnsweringPrompts& prompts)
{
    const bool unattended = state.Switches.Unattended();
    // A journal that cannot be made refuses the run before anything is
    // made; a person reads why in the framework's error box.
    try {
        run.BeginJournal();
    } catch (const EJournalError& e) {
        state.Outcome = ExitCode::Refused;
        state.Log.Line(Format(LoadResString(StrId::SLogRefusal), {e.what()}));
        if (!unattended)
            throw;
        return;
    }
    try {
        if (run.Execute()) {
            if (state.Switches.NoLaunch)
                state.Log.Line(LoadResString(StrId::SLogProductNotStarted));
            state.Outcome = ExitCode::Finished;
            return;
        }
        // A log that can no longer be written stops the run as a failure.
        state.Outcome = state.Log.Failed() ? ExitCode::Failed : ExitCode::EndedByUser;
    } catch (const std::exception& e) {
        state.Outcome = ExitCode::Failed;
        // The failure names the file it met, when its own text does not.
        const std::string& file = prompts.Working();
        const std::string what = e.what();
        if (!file.empty() && UpperCaseAscii(what).find(UpperCaseAscii(file)) == std::string::npos)
            state.Log.Line(Format(LoadResString(StrId::SLogFailureAt), {file, what}));
        else
            state.Log.Line(Format(LoadResString(StrId::SLogFailure), {what}));
        if (!unattended)
            throw;
    } catch (...) {
        state.Outcome = ExitCode::Failed;
        if (!unattended)
            throw;
    }
    if (unattended) {
        state.Log.Line(LoadResString(StrId::SRestoringPreviousState));
        if (!run.TakeBack())
            state.Outcome = ExitCode::Failed;
    }
}

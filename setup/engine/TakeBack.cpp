// The take-back of a journal: each entry checked as the uninstaller checks
// its log, each file undone only while it is still as the run left it, and
// what could not be undone kept in a journal of its own for the next start.
#include "setup/engine/TakeBack.h"

#include <map>

#include "runtime/FileIdentity.h"
#include "runtime/Files.h"
#include "runtime/FolderIdentity.h"
#include "runtime/Format.h"
#include "runtime/Paths.h"
#include "runtime/ResStrings.h"
#include "setup/engine/Destination.h"
#include "setup/engine/ProtectedFolders.h"
#include "setup/engine/Registration.h"

namespace {

// Checks the entries as the uninstaller checks its log's records; the
// folders' ways are looked at once each.
class EntryChecks {
public:
    explicit EntryChecks(const ProtectedFolders& protectedFolders) : m_protected(protectedFolders) {}

    // Why the entry is not carried out; empty when it may be.
    std::string Refusal(const JournalEntry& entry)
    {
        // A key is put back only when it is a product's key below an
        // Uninstall key, with earlier values the journal could read.
        if (entry.Kind == JournalKind::KeyWritten)
            return ProductKeyOfText(entry.Path) && ValuesOfText(entry.Backup)
                       ? std::string()
                       : LoadResString(StrId::SReasonNotProductKey);
        if (!IsLocalPlainPath(entry.Path))
            return LoadResString(StrId::SReasonNotLocalPath);
        if (entry.Kind == JournalKind::FileReplaced && !IsBackupNameOf(entry.Backup, entry.Path))
            return LoadResString(StrId::SReasonNotOwnBackup);
        const bool folder = entry.Kind == JournalKind::FolderMade;
        if (ThroughLinks(folder ? entry.Path : RemoveTrailingBackslash(FileDirPart(entry.Path))))
            return LoadResString(StrId::SReasonThroughLink);
        if (folder && m_protected.Protects(entry.Path))
            return LoadResString(StrId::SReasonProtectedFolder);
        return std::string();
    }

private:
    bool ThroughLinks(const std::string& folder)
    {
        const std::string key = UpperCaseAscii(folder);
        const auto known = m_ways.find(key);
        if (known != m_ways.end())
            return known->second;
        const bool through = ReachedThroughLinks(folder);
        m_ways.emplace(key, through);
        return through;
    }

    const ProtectedFolders& m_protected;
    std::map<std::string, bool> m_ways;
};

// Whether the entry has anything left to undo; a folder or file that is
// not there needs nothing, and its way is not looked at.
bool HasSomethingToUndo(const JournalEntry& entry)
{
    switch (entry.Kind) {
    case JournalKind::FolderMade:
        return IsExistingDirectory(entry.Path);
    case JournalKind::FileCreated:
        return !entry.Gone && GetFileAttributesA(entry.Path.c_str()) != INVALID_FILE_ATTRIBUTES;
    case JournalKind::FileReplaced:
        return GetFileAttributesA(entry.Backup.c_str()) != INVALID_FILE_ATTRIBUTES;
    case JournalKind::KeyWritten:
        return true;
    }
    return false;
}

std::string ChangeLine(const JournalEntry& entry)
{
    switch (entry.Kind) {
    case JournalKind::FolderMade:
        return Format(LoadResString(StrId::SUndoFolder), {entry.Path});
    case JournalKind::FileCreated:
        return Format(LoadResString(StrId::SUndoDelete), {entry.Path});
    case JournalKind::FileReplaced:
        return Format(LoadResString(StrId::SUndoPutBack), {entry.Path});
    case JournalKind::KeyWritten:
        return Format(LoadResString(StrId::SUndoRegistration), {entry.Path});
    }
    return entry.Path;
}

// Puts the copy back under the file's name, replacing what is there; a file
// in use cannot be replaced by a rename, but its content can. Whether the
// copy is back.
bool PutBack(const std::string& file, const std::string& backup)
{
    if (MoveFileExA(backup.c_str(), file.c_str(), MOVEFILE_REPLACE_EXISTING))
        return true;
    if (!CopyFileA(backup.c_str(), file.c_str(), FALSE))
        return false;
    DeleteOnlyFile(backup);
    return true;
}

// A copy that cannot be deleted now (a program that was running when it was
// replaced still has it mapped) goes when the system next starts, where the
// rights allow that.
bool DeleteCopy(const std::string& backup)
{
    return DeleteOnlyFile(backup) || MoveFileExA(backup.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
}

// Why an entry's file is left as it is although the entry may be carried
// out: the file there is no longer the one the run left. Empty when the
// entry is the run's to undo.
std::string KeepReason(const JournalEntry& entry)
{
    if (entry.Kind == JournalKind::KeyWritten)
        return std::string();
    // NOTE: a file whose stamp never reached the journal was created and
    // the run killed before a byte of it was written, so it is empty; one
    // with content is someone else's, and so is any file at a name that the
    // run named ahead with its batch but is not known to have begun.
    const auto runs = [&](const FileStamp& now) {
        return entry.Written ? entry.Written->Matches(now) : !entry.NotBegun && now.Size == 0;
    };
    const std::optional<FileStamp> now = StampOfFile(entry.Path);
    const bool present = GetFileAttributesA(entry.Path.c_str()) != INVALID_FILE_ATTRIBUTES;
    switch (entry.Kind) {
    case JournalKind::FolderMade:
    case JournalKind::KeyWritten:
        return std::string();
    case JournalKind::FileCreated:
        if (!now)
            return LoadResString(StrId::SReasonNotAFile);
        if (!runs(*now))
            return LoadResString(entry.Written ? StrId::SReasonChanged : StrId::SReasonNotKnown);
        return std::string();
    case JournalKind::FileReplaced: {
        const std::optional<FileStamp> copy = StampOfFile(entry.Backup);
        if (!copy || (present && !now))
            return LoadResString(StrId::SReasonNotAFile);
        if (entry.BackupStamp && !entry.BackupStamp->Matches(*copy))
            return LoadResString(StrId::SReasonBackupChanged);
        // NOTE: the user's own later version stays, and so does the copy of
        // the earlier one, which is theirs too: both are named.
        if (now && !runs(*now))
            return Format(LoadResString(StrId::SReasonEarlierKept), {entry.Backup});
        return std::string();
    }
    }
    return std::string();
}

// Undoes one entry of a run that did not complete. Returns true when it is
// done with (undone, or left as it is and named), false when it could not
// be undone and stays in the journal.
bool UndoEntry(const JournalEntry& entry, const std::vector<JournalEntry>& failed, TakeBackResult& result)
{
    if (const std::string reason = KeepReason(entry); !reason.empty()) {
        result.Kept.push_back({entry.Path, reason});
        return true;
    }
    bool undone = false;
    switch (entry.Kind) {
    case JournalKind::FolderMade: {
        // Only an empty folder: what the user saved into it stays.
        if (RemoveDirectoryA(RemoveTrailingBackslash(entry.Path).c_str())) {
            result.Undone.push_back(ChangeLine(entry));
            return true;
        }
        // A folder that holds a change still to be undone goes with it, at
        // the next start.
        const std::string inside = UpperCaseAscii(CheckPath(entry.Path));
        for (const JournalEntry& other : failed) {
            if (UpperCaseAscii(other.Path).rfind(inside, 0) == 0) {
                result.Failed.push_back({entry.Path, LoadResString(StrId::SLogKeptNotEmpty)});
                return false;
            }
        }
        result.Kept.push_back({entry.Path, LoadResString(StrId::SLogKeptNotEmpty)});
        return true;
    }
    case JournalKind::FileCreated:
        // Through a handle that is checked again: nothing that has taken the
        // name since the look above is deleted.
        if (const std::optional<FileStamp> now = StampOfFile(entry.Path))
            undone = DeleteIfStill(entry.Path, entry.Written ? *entry.Written : *now);
        break;
    case JournalKind::FileReplaced:
        undone = PutBack(entry.Path, entry.Backup);
        break;
    case JournalKind::KeyWritten: {
        const auto key = ProductKeyOfText(entry.Path);
        const auto earlier = ValuesOfText(entry.Backup);
        undone = key && earlier && PutKeyBack(key->first, key->second, *earlier);
        break;
    }
    }
    if (!undone) {
        result.Failed.push_back({entry.Path, SystemErrorText(GetLastError())});
        return false;
    }
    result.Undone.push_back(ChangeLine(entry));
    return true;
}

// Ends a journal whose take-back is complete: its file, its name in the
// registry, and its folder when empty.
void DropJournal(const std::string& path, const JournalPlace& place)
{
    DeleteFileA(path.c_str());
    ForgetLeftJournal(place, path);
    RemoveDirectoryA(RemoveTrailingBackslash(place.Folder).c_str());
}

} // namespace

std::string TakeBackItem::Line() const
{
    return Format(LoadResString(StrId::SEntryLine), {Path, Reason});
}

TakeBackPlan PlanTakeBack(const RunJournal& journal, const ProtectedFolders& protectedFolders)
{
    TakeBackPlan plan;
    if (journal.Committed)
        return plan;
    EntryChecks checks(protectedFolders);
    for (auto entry = journal.Entries.rbegin(); entry != journal.Entries.rend(); ++entry) {
        if (!HasSomethingToUndo(*entry))
            continue;
        std::string reason = checks.Refusal(*entry);
        if (reason.empty())
            reason = KeepReason(*entry);
        if (reason.empty())
            plan.Changes.push_back(ChangeLine(*entry));
        else
            plan.Refused.push_back(TakeBackItem{entry->Path, reason}.Line());
    }
    return plan;
}

TakeBackResult TakeBackJournal(const RunJournal& journal, const std::string& path, const JournalPlace& place,
                               const ProtectedFolders& protectedFolders)
{
    TakeBackResult result;
    EntryChecks checks(protectedFolders);
    // What stays in the journal, newest first.
    std::vector<JournalEntry> failed;
    for (auto entry = journal.Entries.rbegin(); entry != journal.Entries.rend(); ++entry) {
        // Only the copies of replaced files are left of a completed run, and
        // each only while it is the copy that was put aside; nothing else of
        // it is looked at.
        if (journal.Committed && entry->Kind != JournalKind::FileReplaced)
            continue;
        if (!HasSomethingToUndo(*entry))
            continue;
        if (const std::string refusal = checks.Refusal(*entry); !refusal.empty()) {
            result.Kept.push_back({entry->Path, refusal});
            continue;
        }
        if (journal.Committed) {
            const std::optional<FileStamp> copy = StampOfFile(entry->Backup);
            if (!copy || (entry->BackupStamp && !entry->BackupStamp->Matches(*copy)))
                result.Kept.push_back({entry->Backup, LoadResString(StrId::SReasonBackupChanged)});
            else if (!DeleteCopy(entry->Backup)) {
                result.Failed.push_back({entry->Backup, SystemErrorText(GetLastError())});
                failed.push_back(*entry);
            }
            continue;
        }
        if (!UndoEntry(*entry, failed, result))
            failed.push_back(*entry);
    }
    if (failed.empty()) {
        DropJournal(path, place);
        return result;
    }
    // What could not be undone is written into a journal of its own, which
    // the registry then names, before the old one goes: no copy is ever
    // left that no journal names.
    JournalWriter kept(place, journal.Title);
    for (auto entry = failed.rbegin(); entry != failed.rend(); ++entry)
        kept.Carry(*entry);
    if (journal.Committed)
        kept.Committed();
    kept.Close();
    if (UpperCaseAscii(path) != UpperCaseAscii(kept.Path()))
        DeleteFileA(path.c_str());
    return result;
}

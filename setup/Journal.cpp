// The installation's journal: its place, its writer, its trusted reading
// and the take-back of what it names.
#include "setup/Journal.h"

#include <bcrypt.h>
#include <sddl.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>

#include "runtime/Files.h"
#include "runtime/FolderIdentity.h"
#include "runtime/Format.h"
#include "runtime/Paths.h"
#include "runtime/RecordReader.h"
#include "runtime/ResStrings.h"
#include "runtime/TextBuffer.h"
#include "setup/Destination.h"
#include "setup/ProtectedFolders.h"

namespace {

constexpr char TitleLetter = 'T';
constexpr char CommitLetter = 'K';
constexpr char StampLetter = 'I';
constexpr char GoneLetter = 'X';
constexpr char ReplacedLetter = static_cast<char>(JournalKind::FileReplaced);
// The commands that have a second argument line: a replaced file's copy,
// and a file's stamp.
constexpr char TwoArgumentLetters[] = {ReplacedLetter, StampLetter, '\0'};

// The registry key of the journals, and its values: the journal's full
// name and its file's identity.
constexpr char JournalKey[] = "Software\\Brisdane95Setup";
constexpr char JournalValue[] = "Journal";
constexpr char JournalIdValue[] = "JournalId";
constexpr char FolderName[] = "Brisdane95Setup";
// The identity's bytes: the volume's serial, the file's index, and the run's
// token, which the journal's own record repeats.
constexpr size_t IdentitySize = 20;
constexpr char TokenLetter = 'R';

// Only administrators and the system, nothing inherited: what a program
// without the setup's rights may neither write nor swap.
constexpr char ProtectedDescriptor[] = "D:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)";

// A security descriptor made from its text, freed with LocalFree.
class SecurityDescriptor {
public:
    explicit SecurityDescriptor(bool wanted)
    {
        if (wanted && ConvertStringSecurityDescriptorToSecurityDescriptorA(ProtectedDescriptor, SDDL_REVISION_1,
                                                                           &m_descriptor, nullptr)) {
            m_attributes.lpSecurityDescriptor = m_descriptor;
        }
    }
    ~SecurityDescriptor()
    {
        if (m_descriptor)
            LocalFree(m_descriptor);
    }
    SecurityDescriptor(const SecurityDescriptor&) = delete;
    SecurityDescriptor& operator=(const SecurityDescriptor&) = delete;

    PSECURITY_DESCRIPTOR Get() const { return m_descriptor; }
    // Attributes for a creation: none when no descriptor is wanted.
    SECURITY_ATTRIBUTES* Attributes() { return m_descriptor ? &m_attributes : nullptr; }

private:
    PSECURITY_DESCRIPTOR m_descriptor = nullptr;
    SECURITY_ATTRIBUTES m_attributes{sizeof(SECURITY_ATTRIBUTES), nullptr, FALSE};
};

std::string StampText(const FileStamp& stamp)
{
    char text[96];
    if (stamp.Known)
        std::snprintf(text, sizeof text, "%08lX %016llX %llX %016llX", static_cast<unsigned long>(stamp.Id.Volume),
                      static_cast<unsigned long long>(stamp.Id.Index), static_cast<unsigned long long>(stamp.Size),
                      static_cast<unsigned long long>(stamp.WriteTime));
    else
        std::snprintf(text, sizeof text, "%08lX %016llX", static_cast<unsigned long>(stamp.Id.Volume),
                      static_cast<unsigned long long>(stamp.Id.Index));
    return text;
}

std::optional<FileStamp> ParseStamp(const std::string& text)
{
    unsigned long volume = 0;
    unsigned long long index = 0, size = 0, time = 0;
    char rest = 0;
    FileStamp stamp;
    const int fields = std::sscanf(text.c_str(), "%8lx %16llx %llx %16llx%c", &volume, &index, &size, &time, &rest);
    if (fields != 2 && fields != 4)
        return std::nullopt;
    stamp.Id = {static_cast<DWORD>(volume), index};
    stamp.Known = fields == 4;
    stamp.Size = size;
    stamp.WriteTime = time;
    return stamp;
}

bool SameName(const std::string& one, const std::string& other)
{
    return UpperCaseAscii(one) == UpperCaseAscii(other);
}

// The newest entry that names the path as its file or as its copy.
JournalEntry* NewestEntryOf(std::vector<JournalEntry>& entries, const std::string& path, bool& isBackup)
{
    for (auto entry = entries.rbegin(); entry != entries.rend(); ++entry) {
        isBackup = entry->Kind == JournalKind::FileReplaced && SameName(entry->Backup, path);
        if (isBackup || SameName(entry->Path, path))
            return &*entry;
    }
    return nullptr;
}

// Applies one record to the journal being read; false for a record that no
// journal holds, which ends the reading.
bool Apply(RunJournal& journal, const TextRecord& record)
{
    bool isBackup = false;
    switch (record.Command) {
    case TitleLetter:
        journal.Title = record.Argument;
        return true;
    case TokenLetter:
        journal.Token = std::strtoull(record.Argument.c_str(), nullptr, 16);
        return true;
    case CommitLetter:
        journal.Committed = true;
        return true;
    case 'M':
    case 'C':
        journal.Entries.push_back({static_cast<JournalKind>(record.Command), record.Argument, {}});
        return true;
    case ReplacedLetter:
        journal.Entries.push_back({JournalKind::FileReplaced, record.Argument, record.Second});
        return true;
    case StampLetter: {
        const std::optional<FileStamp> stamp = ParseStamp(record.Second);
        JournalEntry* entry = NewestEntryOf(journal.Entries, record.Argument, isBackup);
        if (!stamp || !entry)
            return false;
        (isBackup ? entry->BackupStamp : entry->Written) = stamp;
        return true;
    }
    case GoneLetter:
        if (JournalEntry* entry = NewestEntryOf(journal.Entries, record.Argument, isBackup); entry && !isBackup && entry->Kind == JournalKind::FileCreated) {
            entry->Gone = true;
            return true;
        }
        return false;
    default:
        return false;
    }
}

// The records of a journal's bytes, as far as they are whole. NOTE: what
// follows the last line end is a record a kill cut off: its change was
// never begun, as a change is made only once its record is whole on disk.
RunJournal ParseJournal(std::string bytes)
{
    TextBuffer buffer(std::move(bytes));
    TextRecordReader reader(buffer, TwoArgumentLetters);
    RunJournal journal;
    TextRecord record;
    while (reader.Next(record)) {
        const bool twoLines = record.Command == ReplacedLetter || record.Command == StampLetter;
        if (!record.Ended || !record.HasArgument || (twoLines && !record.HasSecond) || !Apply(journal, record))
            break;
    }
    return journal;
}

RegistryKey OpenJournalKey(const JournalPlace& place, REGSAM access, bool create)
{
    HKEY key = nullptr;
    const LONG status = create ? RegCreateKeyExA(place.Root, place.Key.c_str(), 0, nullptr, 0, access, nullptr, &key,
                                                 nullptr)
                               : RegOpenKeyExA(place.Root, place.Key.c_str(), 0, access, &key);
    return RegistryKey(status == ERROR_SUCCESS ? key : nullptr);
}

// Names the journal file in the place's key: its full name and identity.
bool NameJournal(const JournalPlace& place, const std::string& path, const FileId& id, uint64_t token)
{
    const RegistryKey key = OpenJournalKey(place, KEY_SET_VALUE, true);
    if (!key)
        return false;
    BYTE identity[IdentitySize];
    std::memcpy(identity, &id.Volume, 4);
    std::memcpy(identity + 4, &id.Index, 8);
    std::memcpy(identity + 12, &token, 8);
    const bool named =
        RegSetValueExA(key.Get(), JournalValue, 0, REG_SZ, reinterpret_cast<const BYTE*>(path.c_str()),
                       static_cast<DWORD>(path.size() + 1)) == ERROR_SUCCESS &&
        RegSetValueExA(key.Get(), JournalIdValue, 0, REG_BINARY, identity, sizeof identity) == ERROR_SUCCESS;
    // The name must outlive a power cut as the journal does.
    return named && RegFlushKey(key.Get()) == ERROR_SUCCESS;
}

// The identity the place's key gives for the journal, and its name.
bool NamedJournal(const JournalPlace& place, std::string& path, FileId& id, uint64_t& token)
{
    const RegistryKey key = OpenJournalKey(place, KEY_QUERY_VALUE, false);
    if (!key)
        return false;
    char name[MAX_PATH + 1] = {};
    DWORD type = 0, size = MAX_PATH;
    if (RegQueryValueExA(key.Get(), JournalValue, nullptr, &type, reinterpret_cast<BYTE*>(name), &size) !=
            ERROR_SUCCESS ||
        type != REG_SZ)
        return false;
    path.assign(name, strnlen(name, size));
    BYTE identity[IdentitySize] = {};
    size = sizeof identity;
    if (RegQueryValueExA(key.Get(), JournalIdValue, nullptr, &type, identity, &size) != ERROR_SUCCESS ||
        type != REG_BINARY || size != sizeof identity)
        return true; // a name without an identity matches no file
    std::memcpy(&id.Volume, identity, 4);
    std::memcpy(&id.Index, identity + 4, 8);
    std::memcpy(&token, identity + 12, 8);
    return true;
}

// Whether the name is a full path on a local drive made of plain names, as
// every file and folder a run makes is: no "..", no device, no "\\?\".
bool IsLocalPlainPath(const std::string& path)
{
    return path.size() > 3 && path[1] == ':' && IsDestinationFolder(CheckPath(path));
}

// Checks the entries as the uninstaller checks its log's records; the
// folders' ways are looked at once each.
class EntryChecks {
public:
    explicit EntryChecks(const ProtectedFolders& protectedFolders) : m_protected(protectedFolders) {}

    // Why the entry is not carried out; empty when it may be.
    std::string Refusal(const JournalEntry& entry)
    {
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
    // NOTE: a file whose stamp never reached the journal was created and
    // the run killed before a byte of it was written, so it is empty; one
    // with content is someone else's.
    const auto runs = [&](const FileStamp& now) {
        return entry.Written ? entry.Written->Matches(now) : now.Size == 0;
    };
    const std::optional<FileStamp> now = StampOfFile(entry.Path);
    const bool present = GetFileAttributesA(entry.Path.c_str()) != INVALID_FILE_ATTRIBUTES;
    switch (entry.Kind) {
    case JournalKind::FolderMade:
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
    std::string named;
    FileId id;
    uint64_t token = 0;
    if (NamedJournal(place, named, id, token) && SameName(named, path))
        ForgetLeftJournal(place);
    RemoveDirectoryA(RemoveTrailingBackslash(place.Folder).c_str());
}

} // namespace

std::string TakeBackItem::Line() const
{
    return Format(LoadResString(StrId::SEntryLine), {Path, Reason});
}

JournalPlace DefaultJournalPlace()
{
    JournalPlace place;
    place.Key = JournalKey;
    // Whether this process may write the machine's part of the registry:
    // then it has administrator rights, and its journals must be kept from
    // programs without them.
    HKEY software = nullptr;
    const bool machine =
        RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software", 0, KEY_CREATE_SUB_KEY, &software) == ERROR_SUCCESS;
    if (software)
        RegCloseKey(software);
    place.Root = machine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
    place.Protected = machine;
    char folder[MAX_PATH + 1] = {};
    if (SUCCEEDED(SHGetFolderPathA(nullptr, (machine ? CSIDL_COMMON_APPDATA : CSIDL_LOCAL_APPDATA) | CSIDL_FLAG_CREATE,
                                   nullptr, SHGFP_TYPE_CURRENT, folder))) {
        place.Folder = JoinDir(folder, FolderName) + "\\";
    } else {
        char temp[MAX_PATH + 1] = {};
        GetTempPathA(sizeof temp, temp);
        place.Folder = JoinDir(temp, FolderName) + "\\";
    }
    return place;
}

JournalWriter::JournalWriter(const JournalPlace& place, const std::string& title) : m_place(place)
{
    SecurityDescriptor descriptor(place.Protected);
    const std::string folder = RemoveTrailingBackslash(place.Folder);
    // NOTE: a folder that was there already, made by anyone, is given the
    // protection again; a journal in it is protected by its own descriptor
    // and its identity in the registry all the same.
    if (!CreateDirectoryA(folder.c_str(), descriptor.Attributes()) && descriptor.Get())
        SetFileSecurityA(folder.c_str(), DACL_SECURITY_INFORMATION, descriptor.Get());
    DWORD number = GetTickCount() ^ (GetCurrentProcessId() << 16);
    DWORD error = ERROR_FILE_EXISTS;
    for (int attempt = 0; attempt < 100 && error == ERROR_FILE_EXISTS; ++attempt, number += 7919) {
        char name[24];
        wsprintfA(name, "run-%08lX.jnl", static_cast<unsigned long>(number));
        m_path = place.Folder + name;
        m_file.Reset(CreateFileA(m_path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, descriptor.Attributes(), CREATE_NEW,
                                 FILE_ATTRIBUTE_NORMAL, nullptr));
        error = m_file ? ERROR_SUCCESS : GetLastError();
    }
    if (!m_file)
        throw EJournalError(Format(LoadResString(StrId::SJournalNotMade), {m_path, SystemErrorText(error)}));
    const std::optional<FileStamp> stamp = StampOfHandle(m_file.Get());
    BCryptGenRandom(nullptr, reinterpret_cast<PUCHAR>(&m_journal.Token), sizeof m_journal.Token,
                    BCRYPT_USE_SYSTEM_PREFERRED_RNG);
    m_journal.Token |= 1; // never 0, which no journal has
    if (!stamp || !NameJournal(place, m_path, stamp->Id, m_journal.Token)) {
        error = GetLastError();
        m_file.Reset();
        DeleteFileA(m_path.c_str());
        throw EJournalError(Format(LoadResString(StrId::SJournalNotMade),
                                   {m_path, SystemErrorText(error == ERROR_SUCCESS ? ERROR_ACCESS_DENIED : error)}));
    }
    m_journal.Title = title;
    char token[24];
    std::snprintf(token, sizeof token, "%016llX", static_cast<unsigned long long>(m_journal.Token));
    Append(TokenLetter, token, nullptr, false);
    Append(TitleLetter, title, nullptr, true);
}

void JournalWriter::Append(char letter, const std::string& argument, const std::string* second, bool flush)
{
    std::string record(1, letter);
    record += "\r\n" + argument + "\r\n";
    if (second)
        record += *second + "\r\n";
    DWORD written = 0;
    // NOTE: the journal is flushed ahead of each change, the copied files
    // are not: only the journal must outlive a power cut for the run to be
    // taken back.
    if (!WriteFile(m_file.Get(), record.data(), static_cast<DWORD>(record.size()), &written, nullptr) ||
        written != record.size() || (flush && !FlushFileBuffers(m_file.Get())))
        throw EJournalError(Format(LoadResString(StrId::SJournalNotMade), {m_path, SystemErrorText(GetLastError())}));
}

JournalEntry* JournalWriter::EntryOf(const std::string& path)
{
    bool isBackup = false;
    return NewestEntryOf(m_journal.Entries, path, isBackup);
}

void JournalWriter::WillMakeFolder(const std::string& folder)
{
    Append(static_cast<char>(JournalKind::FolderMade), folder, nullptr, true);
    m_journal.Entries.push_back({JournalKind::FolderMade, folder, {}});
}

void JournalWriter::WillCreate(const std::string& file)
{
    Append(static_cast<char>(JournalKind::FileCreated), file, nullptr, true);
    m_journal.Entries.push_back({JournalKind::FileCreated, file, {}});
}

void JournalWriter::WillReplace(const std::string& file, const std::string& backup)
{
    Append(ReplacedLetter, file, &backup, true);
    m_journal.Entries.push_back({JournalKind::FileReplaced, file, backup});
}

void JournalWriter::Stamp(const std::string& file, const std::optional<FileStamp>& stamp)
{
    bool isBackup = false;
    JournalEntry* entry = NewestEntryOf(m_journal.Entries, file, isBackup);
    if (!stamp || !entry)
        return;
    const std::string text = StampText(*stamp);
    Append(StampLetter, file, &text, false);
    (isBackup ? entry->BackupStamp : entry->Written) = stamp;
}

void JournalWriter::Carry(const JournalEntry& entry)
{
    switch (entry.Kind) {
    case JournalKind::FolderMade:
        WillMakeFolder(entry.Path);
        break;
    case JournalKind::FileCreated:
        WillCreate(entry.Path);
        break;
    case JournalKind::FileReplaced:
        WillReplace(entry.Path, entry.Backup);
        Stamp(entry.Backup, entry.BackupStamp);
        break;
    }
    Stamp(entry.Path, entry.Written);
}

void JournalWriter::Opened(const std::string& file, HANDLE handle)
{
    std::optional<FileStamp> stamp = StampOfHandle(handle);
    if (stamp)
        stamp->Known = false;
    Stamp(file, stamp);
}

void JournalWriter::Written(const std::string& file)
{
    // NOTE: taken once the file is closed: a file system may set the last
    // write when the handle is closed.
    Stamp(file, StampOfFile(file));
}

void JournalWriter::BackupMade(const std::string& backup)
{
    Stamp(backup, StampOfFile(backup));
}

void JournalWriter::Gone(const std::string& file)
{
    JournalEntry* entry = EntryOf(file);
    if (!entry || entry->Kind != JournalKind::FileCreated)
        return;
    Append(GoneLetter, file, nullptr, false);
    entry->Gone = true;
}

void JournalWriter::Committed()
{
    Append(CommitLetter, std::string(), nullptr, true);
    m_journal.Committed = true;
}

std::optional<LeftJournal> FindLeftJournal(const JournalPlace& place)
{
    LeftJournal left;
    FileId named;
    uint64_t token = 0;
    if (!NamedJournal(place, left.Path, named, token))
        return std::nullopt;
    const std::string inside = UpperCaseAscii(place.Folder);
    const std::string upper = UpperCaseAscii(left.Path);
    if (!IsLocalPlainPath(left.Path) || upper.rfind(inside, 0) != 0 ||
        upper.find('\\', inside.size()) != std::string::npos) {
        left.Distrust = LoadResString(StrId::SDistrustOutside);
        return left;
    }
    // Read through the handle whose identity was checked, so that nothing
    // can be swapped in between.
    const FileHandle file(CreateFileA(left.Path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                      FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!file) {
        left.Distrust = LoadResString(StrId::SDistrustMissing);
        return left;
    }
    const std::optional<FileStamp> stamp = StampOfHandle(file.Get());
    if (!stamp || !(stamp->Id == named)) {
        left.Distrust = LoadResString(StrId::SDistrustSwapped);
        return left;
    }
    std::string bytes;
    char buffer[65536];
    DWORD read = 0;
    while (ReadFile(file.Get(), buffer, sizeof buffer, &read, nullptr) && read > 0)
        bytes.append(buffer, read);
    left.Journal = ParseJournal(std::move(bytes));
    // NOTE: the token tells the run's file from one made later under the
    // same index, which some file systems give out again at once (Wine's
    // index is the host's inode number).
    if (left.Journal.Token != token || token == 0)
        left.Distrust = LoadResString(StrId::SDistrustSwapped);
    return left;
}

void ForgetLeftJournal(const JournalPlace& place)
{
    const RegistryKey key = OpenJournalKey(place, KEY_SET_VALUE, false);
    if (!key)
        return;
    RegDeleteValueA(key.Get(), JournalValue);
    RegDeleteValueA(key.Get(), JournalIdValue);
    RegFlushKey(key.Get());
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
        if (!HasSomethingToUndo(*entry))
            continue;
        if (const std::string refusal = checks.Refusal(*entry); !refusal.empty()) {
            result.Kept.push_back({entry->Path, refusal});
            continue;
        }
        if (journal.Committed) {
            // Only the copies of replaced files are left of a completed run,
            // and each only while it is the copy that was put aside.
            if (entry->Kind != JournalKind::FileReplaced)
                continue;
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
    if (!SameName(path, kept.Path()))
        DeleteFileA(path.c_str());
    return result;
}

std::string BackupName(const std::string& file)
{
    const std::string folder = FileDirPart(file);
    for (unsigned number = GetTickCount() & 0xFFFFFF;; ++number) {
        char name[16];
        wsprintfA(name, "~SB%05X.TMP", number & 0xFFFFF);
        const std::string backup = folder + name;
        if (GetFileAttributesA(backup.c_str()) == INVALID_FILE_ATTRIBUTES)
            return backup;
    }
}

bool IsBackupNameOf(const std::string& backup, const std::string& file)
{
    if (!SameName(FileDirPart(backup), FileDirPart(file)))
        return false;
    const std::string name = UpperCaseAscii(FileNamePart(backup));
    if (name.size() != 12 || name.rfind("~SB", 0) != 0 || name.substr(8) != ".TMP")
        return false;
    return std::all_of(name.begin() + 3, name.begin() + 8,
                       [](char c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'); });
}

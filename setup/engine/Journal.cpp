// The installation's journal: its place, its writer and its trusted
// reading.
#include "setup/engine/Journal.h"

#include <bcrypt.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "runtime/Files.h"
#include "runtime/FolderIdentity.h"
#include "runtime/Format.h"
#include "runtime/Paths.h"
#include "runtime/RecordReader.h"
#include "runtime/ResStrings.h"
#include "runtime/TextBuffer.h"
#include "setup/engine/Destination.h"

namespace {

constexpr char TitleLetter = 'T';
constexpr char CommitLetter = 'K';
constexpr char StampLetter = 'I';
constexpr char GoneLetter = 'X';
constexpr char ReplacedLetter = static_cast<char>(JournalKind::FileReplaced);
constexpr char KeyLetter = static_cast<char>(JournalKind::KeyWritten);
// The commands that have a second argument line: a replaced file's copy, a
// file's stamp, and a key's earlier values.
constexpr char TwoArgumentLetters[] = {ReplacedLetter, StampLetter, KeyLetter, '\0'};

constexpr char TokenLetter = 'R';

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
    // Compared in place: the writer asks this for every file it stamps.
    return one.size() == other.size() && std::equal(one.begin(), one.end(), other.begin(), [](char a, char b) {
               return UpperCaseAscii(a) == UpperCaseAscii(b);
           });
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
    case KeyLetter:
        journal.Entries.push_back({JournalKind::KeyWritten, record.Argument, record.Second});
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

// Marks the created files that the run is not known to have begun. The run
// makes the created files in the order of their records, and stamps each
// (or marks it gone) as soon as it has it; so of the files after the last
// one it is known to have begun, only the first can have been made, and a
// file before that one without a stamp was passed by (or its stamp could
// not be taken), not begun and left unstamped.
void MarkNotBegun(RunJournal& journal)
{
    const auto unstamped = [](const JournalEntry& entry) {
        return entry.Kind == JournalKind::FileCreated && !entry.Written && !entry.Gone;
    };
    size_t firstAfterBegun = 0;
    for (size_t i = 0; i < journal.Entries.size(); ++i) {
        const JournalEntry& entry = journal.Entries[i];
        if (entry.Kind == JournalKind::FileCreated && !unstamped(entry))
            firstAfterBegun = i + 1;
    }
    bool inFlight = false;
    for (size_t i = 0; i < journal.Entries.size(); ++i) {
        JournalEntry& entry = journal.Entries[i];
        if (!unstamped(entry))
            continue;
        if (i >= firstAfterBegun && !inFlight)
            inFlight = true;
        else
            entry.NotBegun = true;
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
        const bool twoLines =
            record.Command == ReplacedLetter || record.Command == StampLetter || record.Command == KeyLetter;
        if (!record.Ended || !record.HasArgument || (twoLines && !record.HasSecond) || !Apply(journal, record))
            break;
    }
    MarkNotBegun(journal);
    return journal;
}

} // namespace

JournalWriter::JournalWriter(const JournalPlace& place, const std::string& title) : m_place(place)
{
    JournalSecurity descriptor(place.Protected);
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
    if (!stamp || !NameJournal(place, {m_path, stamp->Id, m_journal.Token})) {
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
    if (!WriteFile(m_file.Get(), record.data(), static_cast<DWORD>(record.size()), &written, nullptr) ||
        written != record.size())
        throw EJournalError(Format(LoadResString(StrId::SJournalNotMade), {m_path, SystemErrorText(GetLastError())}));
    ++m_records;
    m_unflushed = true;
    if (flush)
        Flush();
}

void JournalWriter::Flush()
{
    // NOTE: the journal is flushed ahead of the changes, the copied files
    // are not: only the journal must outlive a power cut for the run to be
    // taken back.
    if (!m_unflushed)
        return;
    if (!FlushFileBuffers(m_file.Get()))
        throw EJournalError(Format(LoadResString(StrId::SJournalNotMade), {m_path, SystemErrorText(GetLastError())}));
    m_unflushed = false;
    ++m_flushes;
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

JournalEntry* JournalWriter::NotBegunEntryOf(const std::string& file)
{
    // Most files are looked for when no batch waits: their search would
    // read the whole journal.
    if (m_notBegun == 0)
        return nullptr;
    JournalEntry* entry = EntryOf(file);
    return entry && entry->Kind == JournalKind::FileCreated && entry->NotBegun ? entry : nullptr;
}

void JournalWriter::Begin(JournalEntry& entry)
{
    if (entry.NotBegun) {
        entry.NotBegun = false;
        --m_notBegun;
    }
}

void JournalWriter::WillCreate(const std::string& file)
{
    // Named with its batch, on the disk already.
    if (JournalEntry* entry = NotBegunEntryOf(file)) {
        Begin(*entry);
        return;
    }
    Append(static_cast<char>(JournalKind::FileCreated), file, nullptr, true);
    m_journal.Entries.push_back({JournalKind::FileCreated, file, {}});
}

void JournalWriter::WillCreateEach(const std::vector<std::string>& files)
{
    for (const std::string& file : files) {
        Append(static_cast<char>(JournalKind::FileCreated), file, nullptr, false);
        JournalEntry entry{JournalKind::FileCreated, file, {}};
        entry.NotBegun = true;
        m_journal.Entries.push_back(std::move(entry));
        ++m_notBegun;
    }
    Flush();
}

void JournalWriter::WillNotCreate(const std::string& file)
{
    // NOTE: not flushed: without it, a later start keeps a file found at
    // the name unless it is empty and the next the run would have made.
    if (JournalEntry* entry = NotBegunEntryOf(file)) {
        Append(GoneLetter, file, nullptr, false);
        Begin(*entry);
        entry->Gone = true;
    }
}

void JournalWriter::WillReplace(const std::string& file, const std::string& backup)
{
    // A name of the batch that someone has taken since is never the run's
    // new file.
    WillNotCreate(file);
    Append(ReplacedLetter, file, &backup, true);
    m_journal.Entries.push_back({JournalKind::FileReplaced, file, backup});
}

void JournalWriter::WillWriteKey(const std::string& key, const std::string& earlier)
{
    Append(KeyLetter, key, &earlier, true);
    m_journal.Entries.push_back({JournalKind::KeyWritten, key, earlier});
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
    Begin(*entry);
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
    case JournalKind::KeyWritten:
        WillWriteKey(entry.Path, entry.Backup);
        return;
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

void JournalWriter::Written(const std::string& file, HANDLE handle)
{
    // NOTE: a file system may set the last write again when the handle is
    // closed, unless it was set through the handle: so it is set here, to
    // now, and the stamp taken from the handle is the file as it stays.
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    SetFileTime(handle, nullptr, nullptr, &now);
    Stamp(file, StampOfHandle(handle));
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
    const std::optional<JournalName> name = NamedJournal(place);
    if (!name)
        return std::nullopt;
    LeftJournal left;
    left.Path = name->Path;
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
    if (!stamp || !(stamp->Id == name->Id)) {
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
    if (left.Journal.Token != name->Token || name->Token == 0)
        left.Distrust = LoadResString(StrId::SDistrustSwapped);
    return left;
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

#include "setup/Journal.h"

#include <windows.h>

#include "runtime/Exceptions.h"
#include "runtime/Files.h"
#include "runtime/Paths.h"

namespace {

constexpr char TitleLetter = 'T';
constexpr char CommitLetter = 'K';
// The command that has a second argument line: a replaced file's copy.
constexpr char ReplacedLetter = static_cast<char>(JournalKind::FileReplaced);

// Puts the copy back under the file's name. A copy that is gone means the
// file was never replaced: the file is then left as it is.
void PutBack(const std::string& file, const std::string& backup)
{
    if (!FileIsPresent(backup))
        return;
    if (MoveFileExA(backup.c_str(), file.c_str(), MOVEFILE_REPLACE_EXISTING))
        return;
    // A file in use cannot be replaced by a rename; its content can.
    if (CopyFileA(backup.c_str(), file.c_str(), FALSE))
        DeleteOnlyFile(backup);
}

} // namespace

std::string JournalPath()
{
    char temp[MAX_PATH + 1] = {};
    const DWORD length = GetTempPathA(sizeof temp, temp);
    const std::string folder = length > 0 && length < sizeof temp ? std::string(temp, length) : std::string("C:\\");
    return JoinDir(folder, "setuprun.jnl");
}

JournalWriter::JournalWriter(const std::string& path, const std::string& title) : m_path(path)
{
    m_file.Reset(CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!m_file)
        throw EFCreateError(StrId::SFCreateError, {path});
    m_journal.Title = title;
    Append(TitleLetter, title);
}

void JournalWriter::Append(char letter, const std::string& argument, const std::string* second)
{
    std::string record(1, letter);
    record += "\r\n" + argument + "\r\n";
    if (second)
        record += *second + "\r\n";
    DWORD written = 0;
    // NOTE: the journal is flushed at every step, the copied files are not:
    // only the journal must outlive a power cut for the run to be taken back.
    if (!WriteFile(m_file.Get(), record.data(), static_cast<DWORD>(record.size()), &written, nullptr) ||
        written != record.size() || !FlushFileBuffers(m_file.Get()))
        throw EInOutError(GetLastError());
}

void JournalWriter::WillMakeFolder(const std::string& folder)
{
    Append(static_cast<char>(JournalKind::FolderMade), folder);
    m_journal.Entries.push_back({JournalKind::FolderMade, folder, {}});
}

void JournalWriter::WillCreate(const std::string& file)
{
    Append(static_cast<char>(JournalKind::FileCreated), file);
    m_journal.Entries.push_back({JournalKind::FileCreated, file, {}});
}

void JournalWriter::WillReplace(const std::string& file, const std::string& backup)
{
    Append(ReplacedLetter, file, &backup);
    m_journal.Entries.push_back({JournalKind::FileReplaced, file, backup});
}

void JournalWriter::Committed()
{
    Append(CommitLetter, std::string());
    m_journal.Committed = true;
}

std::optional<RunJournal> ReadJournal(const std::string& path)
{
    const FileHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return std::nullopt;
    std::string bytes;
    char buffer[4096];
    DWORD read = 0;
    while (ReadFile(file.Get(), buffer, sizeof buffer, &read, nullptr) && read > 0)
        bytes.append(buffer, read);
    // The journal's own lines, each ended by CR LF as it was written. NOTE:
    // what follows the last line end is a record the kill cut off: its
    // change was never begun, as a change is made only once its record is
    // whole on disk, so it is not taken back.
    std::vector<std::string> lines;
    for (size_t start = 0, end; (end = bytes.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(bytes.substr(start, end - start));
    RunJournal journal;
    for (size_t at = 0; at + 1 < lines.size(); at += 2) {
        const char letter = lines[at].empty() ? '\0' : lines[at][0];
        const std::string& argument = lines[at + 1];
        switch (letter) {
        case TitleLetter:
            journal.Title = argument;
            break;
        case CommitLetter:
            journal.Committed = true;
            break;
        case 'M':
        case 'C':
            journal.Entries.push_back({static_cast<JournalKind>(letter), argument, {}});
            break;
        case ReplacedLetter:
            if (at + 2 >= lines.size())
                return journal;
            journal.Entries.push_back({JournalKind::FileReplaced, argument, lines[at + 2]});
            ++at;
            break;
        default:
            return journal;
        }
    }
    return journal;
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

void TakeBackJournal(const RunJournal& journal, const std::string& path)
{
    for (auto entry = journal.Entries.rbegin(); entry != journal.Entries.rend(); ++entry) {
        if (journal.Committed) {
            if (entry->Kind == JournalKind::FileReplaced)
                DeleteOnlyFile(entry->Backup);
            continue;
        }
        switch (entry->Kind) {
        case JournalKind::FolderMade:
            // Only an empty folder: what the user saved into it stays.
            RemoveDirectoryA(RemoveTrailingBackslash(entry->Path).c_str());
            break;
        case JournalKind::FileCreated:
            DeleteOnlyFile(entry->Path);
            break;
        case JournalKind::FileReplaced:
            PutBack(entry->Path, entry->Backup);
            break;
        }
    }
    DeleteFileA(path.c_str());
}

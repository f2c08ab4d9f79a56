// The installation's journal: a record of every change the run makes,
// written and flushed to disk ahead of the change, and of each file as the
// run left it (written without a flush of its own), so that a run that ends before it completes (the
// user ended it, it failed, or the process was killed) can be taken back by
// the run itself or by the next start, touching only what the run made and
// nobody has changed since.
//
// NOTE: the setup usually runs with administrator rights, while the user's
// own programs, without them, can write the user's temporary folder and the
// current user's registry. A journal is a list of files to delete and to put
// back: one that such a program could write or swap would let it delete or
// replace any file with the setup's rights. So a journal is kept where only
// the setup's rights can write (JournalPlace), its file's identity is named
// in the registry where only those rights can write, and a start carries out
// only the journal that the registry names, when it is still that very file.
// Even then every entry is checked as the uninstaller checks its log, and
// each file is put back or deleted only when it is still the one the run
// wrote.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "runtime/Exceptions.h"
#include "runtime/FileIdentity.h"
#include "runtime/Handles.h"
#include "setup/engine/JournalPlace.h"

enum class JournalKind : char {
    FolderMade = 'M',    // Path did not exist: it is removed when empty
    FileCreated = 'C',   // Path did not exist: it is deleted
    FileReplaced = 'B',  // Path existed: Backup keeps it, and is put back
    KeyWritten = 'Y',    // Path is a product's registry key, Backup its earlier values: they are put back
};

// One change the run was about to make, and what it then made.
struct JournalEntry {
    JournalKind Kind;
    std::string Path;
    std::string Backup;
    // The file at Path as the run left it, once it was opened (the identity
    // alone) and once it was written (with size and last write).
    std::optional<FileStamp> Written;
    // The backup as it was put aside.
    std::optional<FileStamp> BackupStamp;
    // The run removed the file itself, or never made it because the name
    // was taken: there is nothing to undo.
    bool Gone = false;
};

// A journal as a run left it.
struct RunJournal {
    // The product's title as the run knew it.
    std::string Title;
    // The run's own random token, which the registry's name of the journal
    // repeats; never 0.
    uint64_t Token = 0;
    std::vector<JournalEntry> Entries;
    // Set once the run's log was in place: nothing is taken back then, and
    // only the copies of replaced files are left to delete.
    bool Committed = false;
};

// A journal that cannot be made: the message names its file and the cause.
class EJournalError : public Exception {
public:
    using Exception::Exception;
};

// The journal of a run being made.
class JournalWriter {
public:
    // Starts a new journal in the place for the product of that title, and
    // names it in the place's registry key; raises EJournalError when it
    // cannot be made or named.
    JournalWriter(const JournalPlace& place, const std::string& title);
    JournalWriter(const JournalWriter&) = delete;
    JournalWriter& operator=(const JournalWriter&) = delete;

    // Each is written and flushed before the change it names is made.
    void WillMakeFolder(const std::string& folder);
    void WillCreate(const std::string& file);
    void WillReplace(const std::string& file, const std::string& backup);
    // The product's registry key (as KeyText gives it) is about to be
    // written; earlier is its values before (as ValuesText gives them).
    void WillWriteKey(const std::string& key, const std::string& earlier);
    // What the run then made, written without a flush of its own (the next
    // record's flush carries it): the file opened for writing, its handle
    // still open; the file written and closed; the backup put aside; a file
    // the run removed itself or never made. NOTE: a stamp lost with a power
    // cut only makes the take-back keep the file and name it.
    void Opened(const std::string& file, HANDLE handle);
    void Written(const std::string& file);
    // The same for a file written through handle, still open.
    void Written(const std::string& file, HANDLE handle);
    void BackupMade(const std::string& backup);
    void Gone(const std::string& file);
    // The run's log is in place: the run is complete.
    void Committed();
    // Writes an entry of an earlier journal as it stands, with what that
    // journal knew of its files.
    void Carry(const JournalEntry& entry);

    const RunJournal& Journal() const { return m_journal; }
    const std::string& Path() const { return m_path; }
    const JournalPlace& Place() const { return m_place; }
    // Closes the file, which stays.
    void Close() { m_file.Reset(); }

private:
    void Append(char letter, const std::string& argument, const std::string* second, bool flush);
    void Stamp(const std::string& file, const std::optional<FileStamp>& stamp);
    JournalEntry* EntryOf(const std::string& path);

    JournalPlace m_place;
    std::string m_path;
    FileHandle m_file;
    RunJournal m_journal;
};

// A journal that an earlier start left, as the place's registry key names
// it.
struct LeftJournal {
    std::string Path;
    RunJournal Journal;
    // Empty when the journal is the very file the registry names, read
    // whole; otherwise why it is not carried out.
    std::string Distrust;
};

// The journal an earlier start left, none when the place names none.
std::optional<LeftJournal> FindLeftJournal(const JournalPlace& place);


// A free name for the copy of a replaced file, in the file's own folder (so
// on its own volume, where moving it aside and back is a rename).
std::string BackupName(const std::string& file);
// Whether backup is such a name beside file.
bool IsBackupNameOf(const std::string& backup, const std::string& file);

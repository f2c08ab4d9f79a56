// The installation's journal: a record of every change the run makes,
// on disk ahead of the change, and of each file as the run left it, so that
// a run that ends before it completes (the user ended it, it failed, or the
// process was killed) can be taken back by the run itself or by the next
// start, touching only what the run made and nobody has changed since.
//
// What is flushed, and why that is enough. A record written with WriteFile
// is in the system's hands at once: a killed process loses none of it, only
// a power cut loses what was not flushed. So the disk is waited for only
// where a power cut would otherwise leave a change that nothing names:
// - The files of a batch (one folder's new files, at most 64) are named by
//   their C records, all written and then flushed once before the first of
//   them is made; they are made in the records' order. A C record whose
//   file the run never made (the run was killed first, or skipped it) is
//   harmless: no file there means nothing to undo, and a file there without
//   a stamp is not the run's, with one exception: the first file after the
//   last one the run is known to have begun (stamped, or marked gone) may
//   be the one it was making when it was killed, before its stamp was
//   written; it is the run's only when it is empty (it has no byte of
//   anyone else's either). So a file that someone puts at a batch's later
//   name after a kill is kept, empty or not.
// - A file's stamp (I, after it is opened and after it is written) is not
//   flushed: the next batch's flush carries it. A stamp lost with a power
//   cut only makes the take-back keep that file and name it.
// - A replaced file's copy (B) is flushed before the file is moved aside,
//   since the copy then cannot be told from a stray file; a file put outside
//   the destination (the Windows folder, the Start Menu) is journaled on
//   its own and its stamp flushed once it is written, since a file kept
//   there for want of a stamp could not be told from the system's.
// - The product's registry key (Y, with its earlier values) is flushed
//   before the key is written: a key that no record names would stay
//   registered for an installation taken back.
// - The commit record (K) is flushed before the copies are deleted on its
//   word.
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
    // A created file named ahead with its batch that the run is not known to
    // have begun: a file there without a stamp is not the run's, even empty.
    bool NotBegun = false;
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
    // The files of a batch that the run will create, each named once, in
    // the order it will make them, written with one flush. WillCreate then begins one without a
    // record of its own, and WillNotCreate marks one the run passes by (its
    // name was taken, or its source skipped) as never made.
    void WillCreateEach(const std::vector<std::string>& files);
    void WillNotCreate(const std::string& file);
    // Whether the file was named with its batch and is not yet begun.
    bool NamedAhead(const std::string& file) { return NotBegunEntryOf(file) != nullptr; }
    // Puts every record written so far on the disk, when one is not there
    // yet: before a change that could not be told apart afterwards.
    void Flush();
    // What the run then made, written without a flush of its own (the next
    // flush carries it): the file opened for writing, its handle
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
    // How many times the journal waited for the disk, and how many records
    // it wrote.
    unsigned long Flushes() const { return m_flushes; }
    unsigned long Records() const { return m_records; }
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
    // The newest entry of the file when it is a created file named ahead
    // and not yet begun.
    JournalEntry* NotBegunEntryOf(const std::string& file);
    // The entry is begun: it no longer waits with its batch.
    void Begin(JournalEntry& entry);

    JournalPlace m_place;
    std::string m_path;
    FileHandle m_file;
    RunJournal m_journal;
    // Records are written that are not yet known to be on the disk.
    bool m_unflushed = false;
    // How many created files wait with their batch, not yet begun.
    size_t m_notBegun = 0;
    unsigned long m_flushes = 0;
    unsigned long m_records = 0;
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

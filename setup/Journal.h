// The installation's journal: written ahead of every change the run makes,
// and flushed to disk at each step, so that a run that ends before it
// completes (the user ended it, it failed, or the process was killed) can
// always be taken back, by the run itself or by the next start.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "runtime/Handles.h"

enum class JournalKind : char {
    FolderMade = 'M',    // Path did not exist: it is removed when empty
    FileCreated = 'C',   // Path did not exist: it is deleted
    FileReplaced = 'B',  // Path existed: Backup keeps it, and is put back
};

// One change the run was about to make.
struct JournalEntry {
    JournalKind Kind;
    std::string Path;
    std::string Backup;
};

// A journal as a run left it.
struct RunJournal {
    // The product's title as the run knew it.
    std::string Title;
    std::vector<JournalEntry> Entries;
    // Set once the run's log was in place: nothing is taken back then, and
    // only the copies of replaced files are left to delete.
    bool Committed = false;
};

// The journal's file: one fixed name in the user's temporary folder, which
// every later start finds without knowing where the run installed, and
// which the user can always write.
std::string JournalPath();

// The journal of a run being made.
class JournalWriter {
public:
    // Starts a journal at path for the product of that title; raises the
    // creation error when it cannot be made.
    JournalWriter(const std::string& path, const std::string& title);
    JournalWriter(const JournalWriter&) = delete;
    JournalWriter& operator=(const JournalWriter&) = delete;

    // Each is written and flushed before the change it names is made.
    void WillMakeFolder(const std::string& folder);
    void WillCreate(const std::string& file);
    void WillReplace(const std::string& file, const std::string& backup);
    // The run's log is in place: the run is complete.
    void Committed();

    const RunJournal& Journal() const { return m_journal; }
    const std::string& Path() const { return m_path; }
    // Closes the file, which stays.
    void Close() { m_file.Reset(); }

private:
    void Append(char letter, const std::string& argument, const std::string* second = nullptr);

    std::string m_path;
    FileHandle m_file;
    RunJournal m_journal;
};

// Reads the journal at path; none when there is no journal. A journal cut
// off in the middle of a record keeps the records before it.
std::optional<RunJournal> ReadJournal(const std::string& path);

// A free name for the copy of a replaced file, in the file's own folder (so
// on its own volume, where moving it aside and back is a rename).
std::string BackupName(const std::string& file);

// Undoes the journal's changes, newest first: created files are deleted,
// replaced files put back from their copies, made folders removed when
// empty. A committed journal only has its copies deleted. The journal's
// file is deleted afterwards.
void TakeBackJournal(const RunJournal& journal, const std::string& path);

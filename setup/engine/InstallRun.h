// The installation run, without a window: the destination's folders, the
// mandatory files, the optional files through their staging folder, the
// Start Menu group and its items, the program-information links, the
// uninstaller's copy beside the log, the product's registration with
// Windows, the uninstall log (with the records of an earlier one) and the
// product's start. Every change is journaled before it is made, so that a run that
// does not complete is taken back, by itself or by the next start
// (FinishLeftRun). Every action it takes is recorded, in order, and the
// uninstall log is written from that record. What needs a person goes
// through SetupPrompts.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "runtime/FileStream.h"
#include "setup/engine/ActionKind.h"
#include "setup/engine/AnsweringPrompts.h"
#include "setup/engine/Journal.h"
#include "setup/engine/SetupPrompts.h"
#include "setup/engine/SetupState.h"
#include "setup/engine/UninstallLog.h"

struct InstallAction {
    ActionKind Kind;
    std::string Path;
};

class InstallRun {
public:
    // Neither is owned; both outlive the run. The journal is made in the
    // state's journal place when the run begins, and stays until the run
    // completes or is taken back.
    InstallRun(const SetupState& state, SetupPrompts& prompts) : m_state(state), m_prompts(prompts) {}

    // Performs the run from the start. Returns true when it completed (the
    // log in place and the product started, unless the switches say not to
    // start it), false when the user stopped it on the way. A failure (a
    // file that cannot be read or written) propagates at the step where it
    // happened. Either way a run that did not complete leaves its journal,
    // and TakeBack undoes it.
    bool Execute();

    // Makes the run's journal, before anything else is made; raises
    // EJournalError, naming the journal and the cause, when it cannot.
    void BeginJournal() { Journal(); }
    // Undoes what a run that did not complete made and replaced, newest
    // first, and deletes its journal; nothing after a completed run, or a
    // second time. What it left as it is and what it could not undo are
    // told through the prompts; what it could not undo stays in the
    // journal for the next start. Whether it could undo everything.
    bool TakeBack();
    // Whether the run completed: its log is in place.
    bool Completed() const { return m_completed; }

    // Copies Source to Dest, asking for Source while it is missing; Ignore
    // sets FileSkipped and copies nothing. True when the file was copied; a
    // copy that fails part way deletes its cut-off file and propagates. An
    // existing Dest is replaced, or with mode CreateNew left alone and the
    // creation error raised.
    bool CopyOneFile(const std::string& Source, const std::string& Dest,
                     FileStreamMode mode = FileStreamMode::Create);

    // Whether the setup program's directory lies on a removable drive, that
    // is, on a diskette.
    bool SourceIsRemovable() const;

    // How many times the run's journal waited for the disk, and how many
    // records it wrote, so far.
    unsigned long JournalFlushes() const;
    unsigned long JournalRecords() const;

    // Set when the user skipped a missing source file.
    bool FileSkipped() const { return m_fileSkipped; }
    const std::vector<InstallAction>& Actions() const { return m_actions; }
    // The uninstall log's records as the run has made them so far: the
    // product's title, the script's patterns, then what the run made, then
    // the destination.
    std::vector<LogRecord> LogRecords() const;

private:
    // Makes the folder and every missing folder above it, each journaled
    // and recorded; a folder that cannot be made ends the making quietly,
    // and the copy into it reports the failure.
    void MakeFolders(const std::string& folder);
    // Journals the file that the next step makes or changes: a new file, or
    // one that is there, whose copy is kept under a free name beside it
    // (moved aside when move is true, else copied, for a file the step
    // reads first). A read-only file is left for the step to fail on. How
    // the step is to create the file: as new when its name is free.
    FileStreamMode WillWrite(const std::string& file, bool move);
    // The journal, begun at the first change.
    JournalWriter& Journal();
    // Names in the journal, with one flush, the files that the batch from
    // first on creates: the new files that follow on into the same folder
    // of the destination, at most 64. Returns where the next batch begins.
    size_t JournalBatch(const std::vector<std::string>& destinations, size_t first);
    // Whether the file lies in the destination folder or below it.
    bool IsInDestination(const std::string& file) const;
    // Counts the journal's work, and lets it go.
    void EndJournal();
    void MakeDestination();
    void InstallOptionalFiles();
    void MakeStartMenuGroup();
    void UpdatePifFiles();
    // Copies the running setup program into the destination as the
    // uninstaller, which the log then names as one of the product's files.
    void CopyUninstaller();
    // Registers the product with Windows, journaled so that a run taken
    // back leaves no key, or the earlier installation's as it was.
    void RegisterProduct();
    void WriteUninstallLog();
    void StartProduct();
    void Record(ActionKind kind, const std::string& path)
    {
        m_actions.push_back({kind, path});
        m_prompts.Acted(kind, path);
    }

    const SetupState& m_state;  // not owned
    SetupPrompts& m_prompts;    // not owned
    std::optional<JournalWriter> m_journal;
    unsigned long m_journalFlushes = 0;
    unsigned long m_journalRecords = 0;
    bool m_completed = false;
    bool m_fileSkipped = false;
    bool m_destinationLogged = false;
    std::vector<InstallAction> m_actions;
};

// Performs the installation and sets the state's outcome, with a failure's
// text in the log, naming the file the prompts were told the run was
// working on. An unattended run that failed or was stopped is taken back; a
// person's failed run raises its failure again, for the report. A log that
// could not be written makes the run a failure.
void PerformInstall(InstallRun& run, SetupState& state, const AnsweringPrompts& prompts);

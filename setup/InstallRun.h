// The installation run, without a window: the destination's folders, the
// mandatory files, the optional files through their staging folder, the
// Start Menu group and its items, the program-information links, the
// uninstall log (with the records of an earlier one) and the product's
// start. Every change is journaled before it is made, so that a run that
// does not complete is taken back, by itself or by the next start
// (FinishLeftRun). Every action it takes is recorded, in order, and the
// uninstall log is written from that record. What needs a person goes
// through SetupPrompts.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "runtime/FileStream.h"
#include "setup/ActionKind.h"
#include "setup/Journal.h"
#include "setup/SetupPrompts.h"
#include "setup/SetupState.h"
#include "setup/UninstallLog.h"

struct InstallAction {
    ActionKind Kind;
    std::string Path;
};

class InstallRun {
public:
    // Neither is owned; both outlive the run. The journal is kept in the
    // state's JournalFile while the run goes.
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
    void MakeDestination();
    void InstallOptionalFiles();
    void MakeStartMenuGroup();
    void UpdatePifFiles();
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
    bool m_completed = false;
    bool m_fileSkipped = false;
    bool m_destinationLogged = false;
    std::vector<InstallAction> m_actions;
};

// Why the state's Start Menu group cannot be made where the uninstaller
// takes it back: its folder, or the link of one of the script's items, would
// have a longer name than the system allows, or its folder is one that the
// uninstaller keeps (such as the StartUp folder). None when it can be made,
// and when the name is no group path at all (no group is offered then).
std::optional<std::string> GroupRefusal(const SetupState& state);

// Tells what a take-back did: each change to the log, and what it left as
// it is or could not undo in one warning.
void ReportTakeBack(const TakeBackResult& result, SetupPrompts& prompts);

// How a start met a run that an earlier process left.
enum class LeftRun {
    None,        // none was left (or none that this program wrote)
    TakenBack,   // it was taken back, or only its leftovers removed
    Declined,    // the person chose to leave it: the start ends
    Incomplete,  // part of it could not be undone: the start ends
};

// Finishes a run that an earlier process left (it was killed, or the machine
// stopped): one that did not complete is taken back once the person, told
// what will be undone, agrees; one that completed has only its leftovers
// removed. A journal that this program did not write is carried out never.
LeftRun FinishLeftRun(const SetupState& state, SetupPrompts& prompts);

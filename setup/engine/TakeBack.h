// The take-back of a journal: what it would undo, for a person to read
// first, and the undoing itself, newest first, of only what the run made and
// nobody has changed since.
#pragma once

#include <string>
#include <vector>

#include "setup/engine/Journal.h"

class ProtectedFolders;

// What a take-back would do with a journal, for a person to read first.
struct TakeBackPlan {
    // One line for each change that will be undone.
    std::vector<std::string> Changes;
    // One line for each entry that is left alone, with why.
    std::vector<std::string> Refused;
};
TakeBackPlan PlanTakeBack(const RunJournal& journal, const ProtectedFolders& protectedFolders);

// An entry that a take-back left as it is, or could not undo, and why.
struct TakeBackItem {
    std::string Path;
    std::string Reason;
    // The line a message or a log shows for it.
    std::string Line() const;
};

// What a take-back did: the lines a log of the run shows for it.
struct TakeBackResult {
    // The changes undone, as PlanTakeBack words them.
    std::vector<std::string> Undone;
    // Left as they are: entries refused, and files that are no longer the
    // ones the run wrote.
    std::vector<TakeBackItem> Kept;
    // Could not be undone (a file in use): kept in the journal, with their
    // copies, for the next start to try again.
    std::vector<TakeBackItem> Failed;
    bool Complete() const { return Failed.empty(); }
};

// Undoes the journal's changes, newest first: created files are deleted,
// replaced files put back from their copies, made folders removed when
// empty, each only while it is still as the run left it. A committed
// journal only has its copies deleted. A take-back that is complete deletes
// the journal and its name in the registry; one that is not keeps what it
// could not undo in the journal, for the next start.
TakeBackResult TakeBackJournal(const RunJournal& journal, const std::string& path, const JournalPlace& place,
                               const ProtectedFolders& protectedFolders);

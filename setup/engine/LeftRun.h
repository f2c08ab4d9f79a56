// A run that an earlier start left unfinished (its process was killed, or
// the machine stopped), met by the next start: told to the person, taken
// back once they agree, and what the take-back did told in turn.
#pragma once

#include "setup/engine/SetupPrompts.h"
#include "setup/engine/SetupState.h"
#include "setup/engine/TakeBack.h"

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

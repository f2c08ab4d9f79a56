// The setup's five forms made in their order (the first is the main form)
// and given the setup state they share.
#pragma once

#include "setup/engine/SetupState.h"

// Creates Form1 to Form5 through the application, then hands each the state,
// which must outlive them.
void CreateSetupForms(SetupState& state);
// Creates Form5 alone, the main form then, for a run that shows only the
// progress; hands it the state, which must outlive it.
void CreateProgressForm(SetupState& state);

// The runs that no person attends: /quiet shows no window at all, /passive
// the progress form alone. Both read the folders and the script as the
// splash does, refuse a destination as the settings do, and answer every
// question from the switches or its default; the log has what a person
// would have read.
#pragma once

#include <optional>

#include "setup/engine/InstallRun.h"
#include "setup/engine/SetupState.h"
#include "setup/engine/AnsweringPrompts.h"

// The start of an unattended run: the folders, the script and its messages
// (into the log), and for an installation the checks of the destination and
// of the space. The outcome when the run ends here (Refused, with the reason
// in the log), none when it may go on.
std::optional<ExitCode> PrepareUnattended(SetupState& state);

// The whole of a run that shows nothing once it is prepared: a quiet
// installation, or the removal of everything the log lists.
ExitCode RunWithoutWindows(SetupState& state);


// The program's full file name.
std::string ProgramPath();

// The end of a run that met an exception nothing else caught; called inside
// the catch block. The exception's text goes to the log and to the standard
// error stream, and to the last-chance error box when a person runs the
// setup (a run that shows nothing shows no box either). Returns Unexpected,
// which no other end of the program gives.
ExitCode EndUnexpectedly(SetupState& state) noexcept;

// Where the log of a run may not go: onto the distribution it installs
// from, or onto a file the run itself writes. Looked at before the log is
// opened, so that a log can never take the place of the script, a source
// file, the program or a file of the installation.
#pragma once

#include <optional>
#include <string>

#include "setup/unattended/CommandLine.h"

// Why the run started from program with these switches may not write its
// log to name (in full), naming the file it would be: the script, a source
// file the script names, the program itself, or a file the run writes (a
// file of the destination, the uninstall log, a program information file,
// a Start Menu link, the journal). None when it may. An existing file is
// compared by its identity, so that every spelling of it is found; a name
// that exists nowhere yet by its full name, without regard to case.
std::optional<std::string> RunLogPlaceRefusal(const std::string& name, const CommandLine& switches,
                                              const std::string& program);

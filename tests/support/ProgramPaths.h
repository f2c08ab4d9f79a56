// Where the programs of the build lie, seen from a running test program.
#pragma once

#include <string>

// The folder of the running test program, ending in a backslash.
std::string TestProgramFolder();
// The build folder, which holds setup.exe: the parent of the test programs'
// folder, ending in a backslash.
std::string BuildFolder();

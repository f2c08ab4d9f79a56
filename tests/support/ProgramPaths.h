// Where the programs of the build lie, seen from a running test program.
#pragma once

#include <string>

// The folder of the running test program, ending in a backslash.
std::string TestProgramFolder();
// The build folder, which holds setup.exe: the parent of the test programs'
// folder, ending in a backslash.
std::string BuildFolder();
// The name under which a program in the test bed reaches a file or folder of
// the host, given by its Unix path: through drive Z:, which leads to the bed's
// build folder only. Empty for a path outside that folder, or outside the bed.
std::string ThroughDriveZ(std::string unixPath);

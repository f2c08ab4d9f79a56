// The command line of the form compiler:
//
//     formc [-I dir]... input.form output.bin
//
// Files named in file() and bitmap() are looked for in the -I directories in
// the order given, then in the input's own directory. Mistakes in the source
// are reported as "input.form:line: message". The output is written only when
// the whole source compiled; a failed run removes an output left from an
// earlier run, so that a build never takes a stale stream for a fresh one.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace formc {

// Runs the compiler on the arguments (without the program name). Returns the
// exit code: 0 on success, 1 for a mistake in the source or a file that can't
// be read or written, 2 for a wrong command line.
int RunFormc(const std::vector<std::string>& args, std::ostream& err);

} // namespace formc

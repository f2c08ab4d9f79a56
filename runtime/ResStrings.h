// Access to the program's string table: every message text the program
// shows is looked up here by its id, never written into the code.
#pragma once

#include <string>

enum class StrId : unsigned {
#define STRING(name, id, text) name = id,
#include "resources/StringTable.def"
#undef STRING
};

// Returns the text of a string-table entry. In the Windows program the text
// comes from the executable's STRINGTABLE resource; a build for the build
// machine (fuzzing, tools) has no resources and uses the same list compiled in.
std::string LoadResString(StrId id);

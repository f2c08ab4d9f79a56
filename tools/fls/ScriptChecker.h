// The script checker: reads a setup.fls with the setup's own record reader
// and reports every record that the setup would misread or that would fail
// at install time, with its line and a sentence that says how to fix it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "tools/fls/DistFolders.h"

struct Finding {
    enum class Severity { Warning, Error };
    Severity Level = Severity::Error;
    // The line it concerns, counting from 1 as the setup counts lines (a
    // line ends at CR); 0 for the script as a whole.
    int Line = 0;
    std::string Text;
};

// Checks the script's bytes against the files of the distribution. The
// findings come in line order, the ones about the whole script last.
std::vector<Finding> CheckScript(std::string_view bytes, const DistFolders& folders);

// 0 when there is nothing to report, 1 for warnings only, 2 when there is an
// error.
int CheckExitStatus(const std::vector<Finding>& findings);

// "setup.fls:12: error: ..." (no line number for the script as a whole).
std::string FormatFinding(std::string_view scriptName, const Finding& finding);

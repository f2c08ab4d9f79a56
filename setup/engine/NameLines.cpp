// The lists of names in the setup's messages.
#include "setup/engine/NameLines.h"

#include "runtime/Format.h"
#include "runtime/ResStrings.h"

std::string NameLines(const std::vector<std::string>& names, size_t total)
{
    std::string lines;
    for (size_t index = 0; index < names.size() && index < MostNamed; ++index)
        lines += "\r" + names[index];
    if (total > MostNamed)
        lines += "\r" + Format(LoadResString(StrId::SAndMore), {static_cast<int>(total - MostNamed)});
    return lines;
}

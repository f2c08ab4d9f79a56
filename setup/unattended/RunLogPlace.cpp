// The places a run's log may not go: the distribution's files and the
// files the run writes, told by identity and by full name.
#include "setup/unattended/RunLogPlace.h"

#include <windows.h>

#include <vector>

#include "runtime/Format.h"
#include "runtime/Paths.h"
#include "runtime/ResStrings.h"
#include "setup/engine/ScriptFormat.h"
#include "setup/engine/SetupState.h"
#include "setup/engine/Staging.h"

namespace {

// The full name, as the system makes it, in upper case for a comparison
// that ignores case as the file system does.
std::string ComparableName(const std::string& name)
{
    char full[MAX_PATH * 2] = {};
    const DWORD length = GetFullPathNameA(name.c_str(), sizeof full, full, nullptr);
    return UpperCaseAscii(length == 0 || length >= sizeof full ? name : std::string(full, length));
}

} // namespace

std::optional<std::string> RunLogPlaceRefusal(const std::string& name, const CommandLine& switches,
                                              const std::string& program)
{
    // The folders and the script as the run will read them; a script that
    // cannot be read still names the files before the failure, and the
    // run then ends before it writes anything.
    SetupState probe;
    probe.Switches = switches;
    try {
        GetDirectories(probe, program);
    } catch (const std::exception&) {
        probe.ExeDir = FileDirPart(program);
    }
    probe.SourceDir = CheckPath(UpperCaseAscii(FileDirPart(program)));
    try {
        ReadSetupFile(probe);
    } catch (const std::exception&) {
        // Deliberately dropped: the records read before the failure count.
    }
    const SetupScript& script = probe.Script;

    std::vector<std::string> sources{program, probe.ExeDir + std::string(ScriptFormat::ScriptName)};
    std::vector<std::string> written;
    const auto add = [&](const std::string& path) {
        if (!path.empty())
            written.push_back(path);
    };
    for (const ScriptFile& file : script.FileList) {
        sources.push_back(probe.ExeDir + ScriptFormat::MandatorySourceName(file.Path));
        add(ResolvePath(probe, file.Path));
    }
    for (const ScriptOption& option : script.OptionList) {
        sources.push_back(probe.ExeDir + ScriptFormat::OptionalSourceName(option.Path));
        add(ResolvePath(probe, option.Path));
    }
    if (!probe.DestDir.empty()) {
        add(probe.DestDir + std::string(ScriptFormat::LogName));
        for (const std::string& pif : script.PifList)
            add(probe.DestDir + pif + ".pif");
    }
    if (ScriptFormat::IsGroupPath(probe.GroupName) && !probe.ProgramsDir.empty())
        for (const ScriptFormat::ItemArgument& item : script.ItemList)
            add(CheckPath(probe.ProgramsDir + probe.GroupName) + item.Name + ".lnk");

    const std::optional<FileId> identity = IdentityOfFile(name);
    const std::string comparable = ComparableName(name);
    // The journals' folder holds the run's journal, whatever its name.
    const std::string journals = ComparableName(probe.Journals.Folder);
    if (!journals.empty() && comparable.rfind(journals, 0) == 0)
        return Format(LoadResString(StrId::SRunLogIsWritten), {name, probe.Journals.Folder});
    const auto same = [&](const std::string& other) {
        if (identity)
            return IdentityOfFile(other) == identity;
        return ComparableName(other) == comparable;
    };
    for (const std::string& source : sources)
        if (same(source))
            return Format(LoadResString(StrId::SRunLogIsSource), {name, source});
    for (const std::string& file : written)
        if (same(file))
            return Format(LoadResString(StrId::SRunLogIsWritten), {name, file});
    return std::nullopt;
}

// The setup state's folders from the system and the registry, the script
// read into it, and the path codes resolved against it.
#include "setup/engine/SetupState.h"

#include "runtime/Registry.h"
#include "runtime/Paths.h"
#include "runtime/ScopeGuard.h"
#include "setup/engine/Journal.h"
#include "shell/ShellLinks.h"

std::string CheckPath(const std::string& path)
{
    return JoinDir(path, "");
}

void GetDirectories(SetupState& state, const std::string& programPath)
{
    state.ProgramPath = programPath;
    state.ExeDir = FileDirPart(programPath);
    state.WinDir = CheckPath(UpperCaseAscii(WindowsDirectory()));
    state.SysDir = CheckPath(UpperCaseAscii(SystemDirectory()));
    state.Journals = DefaultJournalPlace();
    state.Registrations = DefaultRegistrationPlace();

    // NOTE: the key is opened with full access although it is only read, so
    // a key that refuses writing leads to the fixed folders below WinDir.
    TRegistry registry;
    if (registry.OpenKey("Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders")) {
        state.StartupDir = CheckPath(registry.ReadString("Startup"));
        state.ProgramsDir = CheckPath(registry.ReadString("Programs"));
    } else {
        state.StartupDir = CheckPath(state.WinDir + "Startm~1\\Programs\\StartUp\\");
        state.ProgramsDir = CheckPath(state.WinDir + "Startm~1\\Programs\\");
    }
}

void ReadSetupFile(SetupState& state)
{
    SetupScript& script = state.Script;
    const auto useDestination = [&](const std::string& destination) {
        const size_t last = destination.find_last_of("\\:");
        state.DestName = last == std::string::npos ? destination : destination.substr(last + 1);
        state.DestDir = CheckPath(destination);
    };
    // Also after a failed read, the records before it count.
    const ScopeExit apply([&] {
        if (const std::optional<std::string>& destination = script.Destination)
            useDestination(*destination);
        if (script.Group)
            state.GroupName = *script.Group;
        if (script.Title)
            state.ProductTitle = *script.Title;
        if (script.Version)
            state.ProductVersion = *script.Version;
        if (script.Publisher)
            state.Publisher = *script.Publisher;
        if (state.Switches.Dir)
            useDestination(*state.Switches.Dir);
        if (state.Switches.Group)
            state.GroupName = *state.Switches.Group;
    });
    ReadSetupScript(state.ExeDir + std::string(ScriptFormat::ScriptName), script);
}

std::string ResolvePath(const SetupState& state, const std::string& arg)
{
    if (arg.empty())
        return std::string();
    const std::string rest = arg.substr(1);
    switch (arg[0]) {
    case 'A': return state.SourceDir + rest;
    case 'D': return state.DestDir + rest;
    case 'N': return rest;
    case 'S': return state.SysDir + rest;
    case 'T': return state.StartupDir + rest;
    case 'W': return state.WinDir + rest;
    default:
        // NOTE: not a path code: the result names no file, so nothing is
        // copied to or searched in a place the argument did not name.
        return std::string();
    }
}

// The runs no person attends: their start, their installation refused as
// the settings would refuse it, and the removal of everything a log lists.
#include "setup/unattended/Unattended.h"

#include <windows.h>

#include <set>
#include <utility>
#include <vector>

#include "framework/Application.h"
#include "runtime/Files.h"
#include "runtime/Format.h"
#include "runtime/Paths.h"
#include "runtime/ResStrings.h"
#include "setup/engine/Destination.h"
#include "setup/engine/LeftRun.h"
#include "setup/engine/StartMenuGroup.h"
#include "setup/engine/ScriptFormat.h"
#include "setup/engine/AnsweringPrompts.h"
#include "setup/engine/Removal.h"
#include "setup/engine/UninstallPlan.h"
#include "setup/engine/UninstallerCopy.h"

namespace {

// Why the drives cannot take what the run copies, naming the drive; none
// when they can. A drive or share whose free space cannot be asked is not
// one that is full: it cannot be reached.
std::optional<std::string> SpaceRefusal(const SpaceNeeds& needs, const SetupState& state)
{
    const auto check = [](const std::string& drive, uint8_t number, int64_t need,
                          const std::string& place) -> std::optional<std::string> {
        const int64_t free = DriveFreeSpace(drive, number);
        if (free < 0)
            return Format(LoadResString(StrId::SDriveUnreachable), {place});
        if (free < need)
            return Format(LoadResString(StrId::SNotEnoughSpaceOn),
                          {drive + "\\", std::to_string(need), std::to_string(free)});
        return std::nullopt;
    };
    if (!needs.OneDrive())
        if (std::optional<std::string> refusal =
                check(needs.DestDrive, needs.DestDriveNum, needs.DestNeed, RemoveTrailingBackslash(state.DestDir)))
            return refusal;
    const std::string winPlace = RemoveTrailingBackslash(needs.OneDrive() ? state.DestDir : state.WinDir);
    return check(needs.WinDrive, needs.WinDriveNum, needs.WinNeed, winPlace);
}

// Why the installation may not begin, as the settings would have told a
// person; none when it may. An unattended run answers the questions of an
// occupied folder and of too little space with their safe answer, No.
std::optional<std::string> InstallRefusal(const SetupState& state)
{
    // NOTE: a script with nothing to install would end 0 having done
    // nothing, and a deployment would count the machine as done.
    if (state.Script.FileList.empty() && !state.Script.Title)
        return Format(LoadResString(StrId::SScriptInstallsNothing),
                      {state.ExeDir + std::string(ScriptFormat::ScriptName)});
    if (std::optional<std::string> refusal = DestinationRefusal(state.DestDir, state.Script))
        return refusal;
    if (std::optional<std::string> refusal = KeptDestinationRefusal(state.DestDir, state))
        return refusal;
    if (HoldsOtherFiles(state.DestDir, state.ProductTitle))
        return Format(LoadResString(StrId::SDestinationHoldsFiles), {RemoveTrailingBackslash(state.DestDir)});
    return SpaceRefusal(ReckonSpace(state), state);
}

// Removes everything the log lists, as Select All and Uninstall would, and
// logs each item removed or kept, and why.
ExitCode UninstallEverything(SetupState& state)
{
    RunLog& log = state.Log;
    const std::string logName = UninstallLogName(state.Switches, state.SourceDir);
    const ProtectedFolders protectedFolders(state);
    UninstallPlan plan;
    try {
        // The log's U patterns name files of its own folder, whatever the
        // script or the switches say the destination is.
        plan = ReadUninstallLog(logName, state, protectedFolders, PatternFolder::LogFolder);
        // NOTE: a log that breaks off part way may have lost the lines that
        // tie the rest together; an unattended run removes nothing from it.
        if (plan.ReadFailure)
            std::rethrow_exception(plan.ReadFailure);
    } catch (const std::exception& e) {
        log.Line(Format(LoadResString(StrId::SLogRefusal), {logName + ": " + e.what()}));
        return ExitCode::Refused;
    }
    // NOTE: an installation writes its log into the folder its D record
    // names. Any other file (a text file, an empty one, a script, a log
    // copied elsewhere) is acted on in nothing: its records would remove
    // what no installation made there.
    if (!plan.NamesItsFolder) {
        log.Line(Format(LoadResString(StrId::SLogRefusal),
                        {Format(LoadResString(StrId::SNoInstallationLog), {logName})}));
        return ExitCode::Refused;
    }
    for (const RefusedRecord& refused : plan.Refused)
        log.Line(Format(LoadResString(StrId::SLogNotListed),
                        {std::string(1, refused.Letter), refused.Argument, refused.Reason}));
    AnsweringPrompts prompts(state.Switches, log, nullptr);
    if (plan.Damaged)
        prompts.Warn(Format(LoadResString(StrId::SLogDamaged), {logName}));
    if (!plan.MissingGroups.empty())
        prompts.Tell(GroupsNotFoundText(plan.MissingGroups));
    const RemovalResult result =
        RemoveSelected(plan, std::vector<bool>(plan.Items.size(), true), state, protectedFolders, prompts);
    // Looked up by kind and path: a log of many thousand items may keep
    // many of them.
    std::set<std::pair<RemovalKind, std::string>> stayed;
    for (const PlannedRemoval& item : result.Kept)
        stayed.emplace(item.Kind, item.Path);
    for (const PlannedRemoval& item : plan.Items) {
        if (stayed.count({item.Kind, item.Path}) == 0)
            log.Line(Format(LoadResString(StrId::SLogRemoved), {item.Line()}));
        else
            log.Line(Format(LoadResString(StrId::SLogKept),
                            {item.Line(), LoadResString(item.Kind == RemovalKind::Directory ? StrId::SLogKeptNotEmpty
                                                                                            : StrId::SLogKeptThere)}));
    }
    for (const std::string& key : result.RegistrationsRemoved)
        log.Line(Format(LoadResString(StrId::SLogRegistrationRemoved), {key}));
    // What could not be removed (a file in use) makes the removal one that
    // did not do what was asked: the log names it, and is kept for another.
    if (!result.NotRemoved.empty()) {
        prompts.Warn(NotRemovedText(result.NotRemoved));
        return ExitCode::Failed;
    }
    // A log that stays (its folder kept for what the installation did not
    // make) means the product is not wholly removed.
    if (result.LogKept) {
        prompts.Warn(Format(LoadResString(StrId::SLogKeptForLater), {logName}));
        return ExitCode::Failed;
    }
    prompts.Tell(LoadResString(StrId::SUninstallComplete));
    return ExitCode::Finished;
}

} // namespace

std::optional<ExitCode> PrepareUnattended(SetupState& state)
{
    const std::string program = ProgramPath();
    try {
        GetDirectories(state, program);
        // A script that cannot be read is named with the reason. NOTE: a
        // removal needs none: the uninstaller an installation left beside
        // its log has no script beside it.
        const std::string script = state.ExeDir + std::string(ScriptFormat::ScriptName);
        try {
            if (!state.Switches.Uninstall || FileIsPresent(script))
                ReadSetupFile(state);
        } catch (const std::exception& e) {
            throw Exception(script + ": " + e.what());
        }
        state.SourceDir = CheckPath(UpperCaseAscii(FileDirPart(program)));
        // A run an earlier start left unfinished is taken back first, as a
        // person's start does; its message goes to the log.
        AnsweringPrompts told(state.Switches, state.Log, nullptr);
        if (FinishLeftRun(state, told) == LeftRun::Incomplete)
            return ExitCode::Failed;
        for (const std::string& message : state.Script.MessageList)
            state.Log.Line(Format(LoadResString(StrId::SLogMessage), {message}));
        if (state.Switches.Uninstall)
            return std::nullopt;
        // NOTE: a group the switch names that cannot be made, or that the
        // uninstaller would keep, is a mistake of the command line.
        if (state.Switches.Group) {
            if (const std::optional<std::string> refusal = GroupRefusal(state)) {
                state.Log.Line(Format(LoadResString(StrId::SLogWrongCommandLine), {*refusal}));
                return ExitCode::WrongCommandLine;
            }
        }
        if (const std::optional<std::string> refusal = InstallRefusal(state)) {
            state.Log.Line(Format(LoadResString(StrId::SLogRefusal), {*refusal}));
            return ExitCode::Refused;
        }
    } catch (const std::exception& e) {
        state.Log.Line(Format(LoadResString(StrId::SLogRefusal), {e.what()}));
        return ExitCode::Refused;
    }
    return std::nullopt;
}

ExitCode RunWithoutWindows(SetupState& state)
{
    if (state.Switches.Uninstall)
        return UninstallEverything(state);
    AnsweringPrompts prompts(state.Switches, state.Log, nullptr);
    InstallRun run(state, prompts);
    PerformInstall(run, state, prompts);
    return state.Outcome;
}

std::string ProgramPath()
{
    char path[MAX_PATH + 1] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    return path;
}

ExitCode EndUnexpectedly(SetupState& state) noexcept
{
    try {
        const std::string line = Format(LoadResString(StrId::SLogUnexpected), {CurrentExceptionText()});
        state.Log.Line(line);
        ToStandardError(line);
    } catch (...) {
        // Deliberately dropped: the exit code still says what happened.
    }
    // NOTE: nobody would close the box of a run that shows no window.
    if (!state.Switches.Unattended())
        ShowRuntimeErrorBox();
    return ExitCode::Unexpected;
}

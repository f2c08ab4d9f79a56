// The main program of setup.exe: the switches read, the framework's
// start-up, the application's title, the five forms in order (the first is
// the main form), or the run that nobody attends, or the uninstaller's run
// from a copy of itself, the message loop, the
// framework's end, and the exit code. An exception that nothing else catches
// ends the program with its own exit code, through the last-chance error box
// when a person runs it and in the log alone when nobody does.
#include <windows.h>

#include <algorithm>
#include <optional>
#include <string>

#include "framework/Application.h"
#include "framework/MessageDialogs.h"
#include "runtime/Format.h"
#include "runtime/Handles.h"
#include "runtime/Paths.h"
#include "runtime/ResStrings.h"
#include "setup/engine/UninstallerCopy.h"
#include "setup/unattended/RunLogPlace.h"
#include "setup/forms/SetupForms.h"
#include "setup/unattended/Unattended.h"

namespace {

constexpr char ApplicationTitle[] = "Brisdane 95 Setup";
// Held by the running setup for its whole life; the system drops it when
// the process ends, however it ends.
constexpr char RunningLockName[] = "Brisdane95Setup.OneInstallationAtATime";
// The class of the application's hidden window, which every form of the
// program belongs to.
constexpr char ApplicationClassName[] = "TApplication";

struct FrontSearch {
    DWORD ProcessId = 0;
    HWND Skip = nullptr;
    HWND Found = nullptr;
};

// Top-level windows come top first: the first visible, enabled one of the
// process is the dialog its user works in (a message box above a form, a
// form above the splash).
BOOL CALLBACK FindFrontWindow(HWND window, LPARAM data) noexcept
{
    try {
        FrontSearch& search = *reinterpret_cast<FrontSearch*>(data);
        DWORD processId = 0;
        GetWindowThreadProcessId(window, &processId);
        if (processId != search.ProcessId || window == search.Skip || !IsWindowVisible(window) ||
            !IsWindowEnabled(window))
            return TRUE;
        search.Found = window;
        return FALSE;
    } catch (...) {
        return FALSE;
    }
}

// Brings the running setup to the front. It may not have made its windows
// yet; then there is nothing to bring forward, and it comes up by itself.
void BringRunningSetupForward()
{
    HWND application = FindWindowA(ApplicationClassName, ApplicationTitle);
    if (!application)
        return;
    if (IsIconic(application))
        PostMessageA(application, WM_SYSCOMMAND, SC_RESTORE, 0);
    FrontSearch search;
    search.Skip = application;
    GetWindowThreadProcessId(application, &search.ProcessId);
    EnumWindows(FindFrontWindow, reinterpret_cast<LPARAM>(&search));
    // The copy the user has just started holds the foreground, so Windows
    // lets it hand the foreground on to the running one.
    SetForegroundWindow(search.Found ? search.Found : application);
}

// Shows a notice of the command line (the usage, or why it is wrong) in a
// message dialog, with the framework started for it and ended again.
void ShowCommandLineNotice(const std::string& text, bool wrong)
{
    InitializeFramework();
    Application->Initialize();
    Application->SetTitle(ApplicationTitle);
    ShowMessageDialog(text, wrong ? MessageKind::Error : MessageKind::Information, {mbOK}, 0);
    FinalizeFramework();
}

// The usage, one line of the log for each of its lines.
void LogUsage(RunLog& log)
{
    const std::string usage = LoadResString(StrId::SUsage);
    for (size_t start = 0; start < usage.size();) {
        const size_t end = std::min(usage.find('\r', start), usage.size());
        if (end > start)
            log.Line(usage.substr(start, end - start));
        start = end + 1;
    }
}

// The run from the switches read to its exit code.
int Run(SetupState& state)
{
    CommandLine& switches = state.Switches;
    std::string unfit;
    switches = ParseCommandLine(AnsiProgramArguments(GetCommandLineW(), unfit));
    if (!unfit.empty())
        switches.Error = Format(LoadResString(StrId::SArgumentUnfit), {unfit});
    // NOTE: the log's place is judged before anything is opened for
    // writing, also for a wrong command line, whose reason goes to it: a log
    // that would be the script, a source or a file of the run is never
    // opened, and its refusal reaches the standard error stream alone.
    if (switches.LogFile) {
        if (const std::optional<std::string> refusal = RunLogPlaceRefusal(*switches.LogFile, switches, ProgramPath())) {
            if (switches.Error.empty())
                switches.Error = *refusal;
            switches.LogFile.reset();
        }
    }
    // NOTE: an uninstaller that lies in the folder of the log it removes
    // can delete neither its own file nor that folder while it runs: a copy
    // of it elsewhere does the removal, and this process waits for it and
    // ends as it ended. The copy takes the lock and opens the log, so it is
    // started before either.
    const std::string program = ProgramPath();
    state.TemporaryCopyDir = TemporaryCopyFolder(program);
    if (switches.UninstallLog && switches.Error.empty() && !switches.Help && state.TemporaryCopyDir.empty() &&
        RunsBesideLog(program, UninstallLogName(switches, FileDirPart(program)))) {
        if (const std::optional<DWORD> code = RunFromTemporaryCopy(program))
            return static_cast<int>(*code);
    }
    // NOTE: two setups at once would share the staging folder and the
    // uninstall log, and each would delete the other's files; a second copy
    // hands over to the first and ends quietly, before it shows anything. An
    // unattended one does not hand over: nobody would be there to go on.
    // The lock is looked at before the log is opened: a log the running
    // setup holds cannot be opened (it keeps it from writers), and the
    // second run then ends with 4 all the same, writing nothing into the
    // first one's log.
    const KernelHandle running(CreateMutexA(nullptr, FALSE, RunningLockName));
    const bool another = running && GetLastError() == ERROR_ALREADY_EXISTS;
    if (switches.LogFile) {
        const std::string why = state.Log.Open(*switches.LogFile);
        if (!why.empty() && !another && switches.Error.empty())
            switches.Error = why;
    }
    // A wrong command line and the usage end the program before it touches
    // anything; when /quiet or /passive is there in any spelling, only the
    // log and the standard error stream have them.
    const bool unattended = switches.Unattended();
    if (!switches.Error.empty()) {
        const std::string line = Format(LoadResString(StrId::SLogWrongCommandLine), {switches.Error});
        state.Log.Line(line);
        ToStandardError(line);
        if (!unattended)
            ShowCommandLineNotice(switches.Error, true);
        return state.Log.Finish(ExitCode::WrongCommandLine);
    }
    if (switches.Help) {
        if (unattended)
            LogUsage(state.Log);
        else
            ShowCommandLineNotice(LoadResString(StrId::SUsage), false);
        return state.Log.Finish(ExitCode::Finished);
    }
    if (another) {
        if (unattended)
            return state.Log.Finish(ExitCode::AnotherSetupRunning);
        BringRunningSetupForward();
        return state.Log.Finish(ExitCode::Finished);
    }
    if (unattended) {
        if (const std::optional<ExitCode> refused = PrepareUnattended(state))
            return state.Log.Finish(*refused);
        if (switches.Mode == RunMode::Quiet || switches.Uninstall)
            return state.Log.Finish(RunWithoutWindows(state));
    }
    InitializeFramework();
    Application->Initialize();
    Application->SetTitle(ApplicationTitle);
    // A passive run, prepared above, shows the progress form alone.
    if (unattended)
        CreateProgressForm(state);
    else
        CreateSetupForms(state);
    Application->Run();
    FinalizeFramework();
    return state.Log.Finish(state.Outcome);
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    // Owned here, for the whole run, by the one start every form shares.
    SetupState state;
    try {
        return Run(state);
    } catch (...) {
        return state.Log.Finish(EndUnexpectedly(state));
    }
}

// The main program of setup.exe: the framework's start-up, the application's
// title, the five forms in order (the first is the main form), the message
// loop, and the framework's end. An exception that nothing else catches ends the program
// through the last-chance error box with exit code 1.
#include <windows.h>

#include "framework/Application.h"
#include "runtime/Handles.h"
#include "setup/SetupForms.h"

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

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    // NOTE: two setups at once would share the staging folder and the
    // uninstall log, and each would delete the other's files; a second copy
    // hands over to the first and ends quietly, before it shows anything.
    const KernelHandle running(CreateMutexA(nullptr, FALSE, RunningLockName));
    if (running && GetLastError() == ERROR_ALREADY_EXISTS) {
        BringRunningSetupForward();
        return 0;
    }
    try {
        // Owned here, for the whole run, by the one start every form shares.
        SetupState state;
        InitializeFramework();
        Application->Initialize();
        Application->SetTitle(ApplicationTitle);
        CreateSetupForms(state);
        Application->Run();
        FinalizeFramework();
    } catch (...) {
        return ShowLastChanceError();
    }
    return 0;
}

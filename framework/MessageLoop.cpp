// The message loop: taking and dispatching messages, the dialog keys offered
// first, the request to end, and the disabling of the program's other windows
// while a platform dialog runs.
#include "framework/MessageLoop.h"

#include <algorithm>

#include "framework/Controls.h"
#include "framework/ErrorRouting.h"
#include "runtime/ScopeGuard.h"

namespace {

HWND g_ownerWindow = nullptr;  // the application's: destroyed with it, which sets this back to none
TComponent* g_mainForm = nullptr;  // not owned: the application, its owner, clears it through the free notification
bool g_terminated = false;

BOOL CALLBACK CollectWindow(HWND window, LPARAM data)
{
    return GuardEntry<BOOL>(nullptr, FALSE, [&] {
        reinterpret_cast<std::vector<HWND>*>(data)->push_back(window);
        return TRUE;
    });
}

// The top-level windows of this thread, in z-order.
std::vector<HWND> ThreadWindows()
{
    std::vector<HWND> windows;
    EnumThreadWindows(GetCurrentThreadId(), CollectWindow, reinterpret_cast<LPARAM>(&windows));
    std::vector<HWND> ordered;
    for (HWND w = GetTopWindow(nullptr); w; w = GetWindow(w, GW_HWNDNEXT))
        if (std::find(windows.begin(), windows.end(), w) != windows.end())
            ordered.push_back(w);
    return ordered;
}

// Offers a keyboard message to the dialog keys of the form of the framework
// control it is for (or of the nearest one that holds its window).
bool IsDialogKey(const MSG& msg)
{
    if ((msg.message < WM_KEYFIRST || msg.message > WM_KEYLAST) || GetCapture())
        return false;
    TWinControl* control = nullptr;
    for (HWND w = msg.hwnd; w && !control; w = GetParent(w))
        control = TWinControl::FindControl(w);
    if (!control)
        return false;
    TWinControl* form = control;
    while (form->Parent())
        form = form->Parent();
    return form->DialogKey(msg, control);
}

// Takes one waiting message and handles it; false when none was waiting.
bool ProcessMessage()
{
    MSG msg;
    if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
        return false;
    if (msg.message == WM_QUIT) {
        g_terminated = true;
        return true;
    }
    // NOTE: the keyboard handling clicks buttons (Enter, Esc, accelerators)
    // from here, outside any window procedure, so their handlers are
    // reported here as a mouse click's are in the window procedure.
    CallHandler(nullptr, [&] {
        if (!IsDialogKey(msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    });
    return true;
}

} // namespace

void SetFormOwnerWindow(HWND window)
{
    g_ownerWindow = window;
    g_mainForm = nullptr;
    g_terminated = false;
}

HWND FormOwnerWindow()
{
    return g_ownerWindow;
}

TComponent* ProgramMainForm()
{
    return g_mainForm;
}

void SetProgramMainForm(TComponent* form)
{
    g_mainForm = form;
}

bool LoopTerminated()
{
    return g_terminated;
}

void TerminateLoop()
{
    PostQuitMessage(0);
}

void HandleOneMessageOrWait()
{
    if (!ProcessMessage())
        WaitMessage();
}

void PumpWaitingMessages()
{
    while (ProcessMessage()) {
    }
}

std::vector<HWND> DisableTaskWindows(HWND except)
{
    if (!g_ownerWindow)
        return {};
    std::vector<HWND> disabled;
    for (HWND w : ThreadWindows()) {
        if (w == except || !IsWindowVisible(w) || !IsWindowEnabled(w))
            continue;
        disabled.push_back(w);
    }
    // The application's window last, so that the stay-on-top forms are
    // suspended while the others are still enabled.
    for (HWND w : disabled)
        if (w != g_ownerWindow)
            EnableWindow(w, FALSE);
    if (std::find(disabled.begin(), disabled.end(), g_ownerWindow) != disabled.end())
        EnableWindow(g_ownerWindow, FALSE);
    return disabled;
}

void EnableTaskWindows(const std::vector<HWND>& windows)
{
    for (HWND w : windows)
        if (IsWindow(w))
            EnableWindow(w, TRUE);
}

int RunTaskModal(const std::function<int()>& call)
{
    const HWND active = GetActiveWindow();
    const ScopeExit restore([active, disabled = DisableTaskWindows(nullptr)] {
        EnableTaskWindows(disabled);
        if (active && IsWindow(active))
            SetActiveWindow(active);
    });
    return call();
}

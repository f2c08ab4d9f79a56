// The message loop of the program's one thread, below the forms and the
// application object: it takes messages and hands them to their windows
// (keyboard messages first to the dialog keys of the focused control's form),
// notes the request to end, knows the application's window and main form,
// and runs platform dialogs task-modally over the program's other windows.
#pragma once

#include <windows.h>

#include <functional>
#include <vector>

class TComponent;

// The application's window, which owns every form's window, or none. Setting
// it starts a fresh loop: not terminated, without a main form.
void SetFormOwnerWindow(HWND window);
HWND FormOwnerWindow();
// The form whose closing ends the program, or none.
TComponent* ProgramMainForm();
void SetProgramMainForm(TComponent* form);

// Whether the loop has taken the quit message.
bool LoopTerminated();
// Posts the quit message; the loops notice it when they take it.
void TerminateLoop();
// Handles one waiting message, or waits for one.
void HandleOneMessageOrWait();
// Handles every waiting message, then returns; never waits.
void PumpWaitingMessages();

// The visible, enabled top-level windows of the program but except are
// disabled (the application's window last); returns them. Without an
// application nothing is disabled.
std::vector<HWND> DisableTaskWindows(HWND except);
void EnableTaskWindows(const std::vector<HWND>& windows);
// Runs a platform dialog (a message box, a common dialog) task-modally: the
// other windows of the program are disabled while call runs, then enabled
// again, and the window that was active is activated again, also when call
// raises. Returns what call returns.
int RunTaskModal(const std::function<int()>& call);

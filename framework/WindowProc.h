// The plumbing under every window the framework makes: the one window
// procedure, the one map from a window to what it is bound to, the
// registration of the window classes, and the hidden utility windows of
// components that are not controls.
#pragma once

#include <functional>
#include <string>

#include <windows.h>

class TObject;
class TWinControl;
struct TCreateParams;

// The one window procedure of every window the framework makes.
LRESULT CALLBACK FrameworkWndProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);

// Registers the window class for a control class (or the utility windows'
// class) once, and answers the window procedure that the class's own
// messages go on to: the platform control's, or the default one.
WNDPROC RegisterControlClass(const std::string& name, const TCreateParams& params);

// Makes the window of a control of a registered class; the window's first
// message binds it to the control, so that what its creation sends already
// reaches the control. Answers none when the platform refuses.
HWND CreateBoundWindow(TWinControl* control, const std::string& className, const TCreateParams& params);

// A hidden window of the framework's one utility class ("TApplication", the
// class the program's window is found by), for a component that is not a
// control: the application's window and each timer's. Once made, its
// messages go through the framework's window procedure to handler under the
// entry-point guard, with sender as the object reported; it is destroyed
// with this owner.
class UtilityWindow {
public:
    using Handler = std::function<LRESULT(UINT msg, WPARAM wParam, LPARAM lParam)>;
    UtilityWindow(const char* title, DWORD style, int x, int y, HWND parent, TObject* sender, Handler handler);
    ~UtilityWindow();
    UtilityWindow(const UtilityWindow&) = delete;
    UtilityWindow& operator=(const UtilityWindow&) = delete;

    HWND Handle() const { return m_handle; }

private:
    friend LRESULT CALLBACK FrameworkWndProc(HWND, UINT, WPARAM, LPARAM);

    TObject* m_sender;  // not owned: the component that owns this window
    Handler m_handler;
    HWND m_handle = nullptr;
};

// The program's icon: its resource "MAINICON", else the platform's.
HICON ProgramIcon();

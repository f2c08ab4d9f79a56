// Drives another program from outside, as its user would: starts it in a
// folder, waits for its windows by class and caption, clicks buttons, types
// keys into the window that has its keyboard focus, reads texts, and waits
// for its end. Every wait is bounded and keeps handling the calling thread's
// messages (a test may be holding a DDE conversation or windows of its own
// meanwhile); a wait that runs out fails the test instead of hanging it.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// The calling thread's waiting messages, dispatched.
void PumpThreadMessages();

class DrivenProcess {
public:
    static constexpr DWORD DefaultWait = 15000;

    // Starts commandLine with workingDir as its current directory (the
    // caller's when empty). A program that cannot be started fails the test.
    explicit DrivenProcess(const std::string& commandLine, const std::string& workingDir = std::string());
    // The same from a Unicode command line, as the system hands on
    // characters that no code page holds; with standardError, when given,
    // as the program's standard error stream (the handle must be
    // inheritable).
    DrivenProcess(const std::wstring& commandLine, const std::string& workingDir, HANDLE standardError = nullptr);
    // Takes over a program that runs already (one that a driven program
    // started), by its process id; one that cannot be opened fails the test.
    explicit DrivenProcess(DWORD processId);
    // A program still running is ended by force: a test never leaves one.
    ~DrivenProcess();
    DrivenProcess(const DrivenProcess&) = delete;
    DrivenProcess& operator=(const DrivenProcess&) = delete;

    bool Started() const { return m_process != nullptr; }
    DWORD ProcessId() const { return m_processId; }

    // The first visible top-level window of the program of this class (and
    // caption, unless null), or null once the wait is over (a failure).
    HWND WaitForWindow(const std::string& className, const char* caption = nullptr, DWORD milliseconds = DefaultWait);
    // The same, without failing: null when none comes.
    HWND FindWindowWithin(const std::string& className, const char* caption, DWORD milliseconds);
    // Whether the window went away (or was hidden) in time; fails if not.
    bool WaitUntilGone(HWND window, DWORD milliseconds = DefaultWait);
    // Waits until the program's window with the keyboard focus is in window
    // (or is window itself); fails if it never is.
    bool WaitForFocusIn(HWND window, DWORD milliseconds = DefaultWait);

    // Presses and releases a key in the program's window with the keyboard
    // focus, as the keyboard would, through the program's message queue.
    void PressKey(WPARAM key);
    // The program's window with the keyboard focus, or null.
    HWND FocusWindow() const;

    // Waits for the end; the exit code, or STILL_ACTIVE when it did not end
    // in time (a failure).
    DWORD WaitForExit(DWORD milliseconds = DefaultWait);
    bool Running() const;
    // The process id of a program that this one started, once one runs; 0
    // when none does within the wait (a failure).
    DWORD WaitForChild(DWORD milliseconds = DefaultWait) const;
    // Ends the program at once, as a crash or the task manager would, and
    // waits until it has gone.
    void Kill();

private:
    HANDLE m_process = nullptr;
    DWORD m_processId = 0;
    DWORD m_threadId = 0;
};

// The child window of parent whose text is text (any depth), or null.
HWND FindChildWindow(HWND parent, const std::string& text);
// The child windows of parent of this class, in z-order.
std::vector<HWND> ChildWindowsOfClass(HWND parent, const std::string& className);
// Clicks the button of parent whose caption is caption; fails if none.
bool ClickButton(HWND parent, const std::string& caption);
// The text of any window, also of another program's controls.
std::string TextOf(HWND window);
// Replaces the text of an edit control of another program.
void SetTextOf(HWND window, const std::string& text);
// The message text of a platform message box.
std::string MessageBoxText(HWND box);

// The first visible top-level window of any program with this class and
// caption, or null when none comes within the wait (not a failure): for the
// windows of a program that the driven one starts.
HWND FindAnyWindowWithin(const std::string& className, const char* caption, DWORD milliseconds);

// The lines of a list box of another program, top to bottom.
std::vector<std::string> ListBoxLines(HWND listBox);
// Selects or deselects one line of a multiple-selection list box of another
// program, as a click with Ctrl held would.
void SelectListBoxLine(HWND listBox, int index, bool selected);

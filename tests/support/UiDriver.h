// What the tests that drive windows share: a thread timer whose procedure
// is a function (it runs inside any message loop, the platform's modal
// loops included), a watchdog that ends a loop that runs too long and fails
// the test, pumping the application's messages for a bounded time, finding
// windows of this thread, and answering message dialogs as a user would.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

// A double-click on item index of a platform list box, as the mouse gives
// it: press, release, the double-click press, release, at the item's middle.
// Returns false when the list box has no such item.
bool DoubleClickItem(HWND listBox, int index);

class ThreadTimer {
public:
    ThreadTimer(UINT milliseconds, std::function<void()> body);
    ~ThreadTimer();
    ThreadTimer(const ThreadTimer&) = delete;
    ThreadTimer& operator=(const ThreadTimer&) = delete;

private:
    static void CALLBACK Proc(HWND, UINT, UINT_PTR id, DWORD);

    UINT_PTR m_id = 0;
    std::function<void()> m_body;
};

// Ends any loop that runs too long: posts the quit message and fails.
class Watchdog {
public:
    explicit Watchdog(UINT milliseconds = 5000);
    bool Fired() const { return m_fired; }

private:
    bool m_fired = false;
    ThreadTimer m_timer;
};

// The first visible top-level window of this thread whose class is
// className, or none.
HWND FindThreadWindow(const std::string& className);

// Runs the application's PumpMessages until done() holds or the time is up;
// whether done() held.
bool PumpUntil(const std::function<bool()>& done, DWORD milliseconds = 2000);
void PumpFor(DWORD milliseconds);

// The window's text.
std::string WindowText(HWND window);
// The child window of parent with this text (any depth), or null.
HWND FindChildByText(HWND parent, const std::string& text);

// Answers the message dialogs this thread shows while it exists, one at a
// time: records the caption and text of each, then acts as answer() says
// with a button's caption ("&Yes", "OK"), or Escape, Enter or Close.
class MessageDialogAnswerer {
public:
    static constexpr const char* Escape = "<escape>";
    static constexpr const char* Enter = "<enter>";
    static constexpr const char* Close = "<close>";

    using Answer = std::function<std::string(const std::string& caption, const std::string& text)>;
    explicit MessageDialogAnswerer(Answer answer, UINT period = 50);

    struct Dialog {
        std::string Caption;
        std::string Text;
    };
    std::vector<Dialog> Seen;

private:
    void Tick();

    Answer m_answer;
    HWND m_answered = nullptr;
    ThreadTimer m_timer;
};

// Acts once on the first enabled top-level window of this class that this
// thread shows while it exists: for a platform dialog whose own modal loop
// the test cannot step into.
class ThreadWindowAction {
public:
    ThreadWindowAction(const std::string& className, std::function<void(HWND)> action);
    // Whether the window was seen and acted on.
    bool Done() const { return m_done; }

private:
    bool m_done = false;
    ThreadTimer m_timer;
};

// Closes the platform message boxes this thread shows while it exists (the
// framework's error reports among them) with OK, recording the message text
// of each.
class MessageBoxCloser {
public:
    explicit MessageBoxCloser(UINT period = 50);
    std::vector<std::string> Texts;

private:
    ThreadTimer m_timer;
};

// Presses a key in the window with the keyboard focus, as the keyboard would
// send it through the message queue.
void PressKey(WPARAM key);

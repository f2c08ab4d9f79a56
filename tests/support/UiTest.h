// What tests of real windows share: pumping the application's messages for
// a bounded time, thread timers whose procedure is a function, a watchdog
// that turns a hang of the user interface into a failure, and finding the
// windows a test's code opened.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

// Runs the application's PumpMessages until done() holds or the time is up;
// whether done() held.
bool PumpUntil(const std::function<bool()>& done, DWORD milliseconds = 2000);
void PumpFor(DWORD milliseconds);

// A thread timer whose procedure is a function; it stops when the object
// goes. The procedure is an entry from the platform: nothing escapes it.
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

// The visible top-level windows of this thread whose class is className
// (and whose text is caption, unless caption is null), topmost first.
std::vector<HWND> ThreadWindows(const char* className, const char* caption = nullptr);
// The first of them, or null.
HWND FindThreadWindow(const char* className, const char* caption = nullptr);
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

// Presses a key in the window with the keyboard focus, as the keyboard would
// send it through the message queue.
void PressKey(WPARAM key);

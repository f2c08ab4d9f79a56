// What tests of the framework's windows share, beyond the timers and the
// watchdog: pumping the application's messages for a bounded time, the
// texts of windows, and answering message dialogs as a user would.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "tests/support/UiDriver.h"

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

// Presses a key in the window with the keyboard focus, as the keyboard would
// send it through the message queue.
void PressKey(WPARAM key);

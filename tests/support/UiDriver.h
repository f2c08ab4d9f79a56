// What the tests that drive windows share: a thread timer whose procedure
// is a function (it runs inside any message loop, the platform's modal
// loops included), a watchdog that ends a loop that runs too long and fails
// the test, and a search for a window of this thread by class.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

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

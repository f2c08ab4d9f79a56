// What the tests that wait on windows share: a thread timer whose procedure
// is a function, a watchdog that ends a loop running too long and fails the
// test, and pumping of the application's messages until a condition holds.
#pragma once

#include <windows.h>

#include <functional>
#include <vector>

// Runs the application's PumpMessages for a while, or until done() holds.
bool PumpUntil(const std::function<bool()>& done, DWORD milliseconds = 2000);
void PumpFor(DWORD milliseconds);

// A double-click on item index of a platform list box, as the mouse gives
// it: press, release, the double-click press, release, at the item's middle.
// Returns false when the list box has no such item.
bool DoubleClickItem(HWND listBox, int index);

// A thread timer whose procedure is a function; it stops when the object
// goes. The procedure is an entry from the platform: nothing escapes it.
class ThreadTimer {
public:
    ThreadTimer(UINT milliseconds, std::function<void()> body);
    ~ThreadTimer();
    ThreadTimer(const ThreadTimer&) = delete;
    ThreadTimer& operator=(const ThreadTimer&) = delete;

private:
    static std::vector<ThreadTimer*>& Timers();
    static void CALLBACK Proc(HWND, UINT, UINT_PTR id, DWORD);

    UINT_PTR m_id = 0;
    std::function<void()> m_body;
};

// Ends any loop that runs too long: posts the quit message and fails.
class Watchdog {
public:
    explicit Watchdog(UINT milliseconds = 5000);

private:
    bool m_fired = false;
    ThreadTimer m_timer;
};

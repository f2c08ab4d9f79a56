#include "tests/support/UiDriver.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "framework/Application.h"

bool PumpUntil(const std::function<bool()>& done, DWORD milliseconds)
{
    const DWORD start = GetTickCount();
    for (int i = 0; i < 100000; ++i) {
        Application->PumpMessages();
        if (done())
            return true;
        if (GetTickCount() - start > milliseconds)
            return false;
        Sleep(5);
    }
    return false;
}

void PumpFor(DWORD milliseconds)
{
    PumpUntil([] { return false; }, milliseconds);
}

bool DoubleClickItem(HWND listBox, int index)
{
    RECT r;
    if (SendMessageA(listBox, LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&r)) == LB_ERR)
        return false;
    const LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    SendMessageA(listBox, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageA(listBox, WM_LBUTTONUP, 0, at);
    SendMessageA(listBox, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
    SendMessageA(listBox, WM_LBUTTONUP, 0, at);
    return true;
}

ThreadTimer::ThreadTimer(UINT milliseconds, std::function<void()> body) : m_body(std::move(body))
{
    m_id = SetTimer(nullptr, 0, milliseconds, Proc);
    Timers().push_back(this);
}

ThreadTimer::~ThreadTimer()
{
    KillTimer(nullptr, m_id);
    std::erase(Timers(), this);
}

std::vector<ThreadTimer*>& ThreadTimer::Timers()
{
    static std::vector<ThreadTimer*> timers;
    return timers;
}

void CALLBACK ThreadTimer::Proc(HWND, UINT, UINT_PTR id, DWORD)
{
    for (ThreadTimer* t : std::vector<ThreadTimer*>(Timers())) {
        if (t->m_id != id)
            continue;
        try {
            t->m_body();
        } catch (...) {
            ADD_FAILURE() << "exception in a timer procedure";
        }
    }
}

Watchdog::Watchdog(UINT milliseconds)
    : m_timer(milliseconds, [this] {
          if (m_fired)
              return;
          m_fired = true;
          ADD_FAILURE() << "watchdog: the user interface did not finish in time";
          PostQuitMessage(0);
      })
{
}

#include "tests/support/UiDriver.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

std::vector<ThreadTimer*>& Timers()
{
    static std::vector<ThreadTimer*> timers;
    return timers;
}

struct WindowSearch {
    std::string ClassName;
    HWND Found = nullptr;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM data)
{
    auto* search = reinterpret_cast<WindowSearch*>(data);
    char className[64] = {};
    GetClassNameA(window, className, sizeof className);
    if (search->ClassName == className && IsWindowVisible(window)) {
        search->Found = window;
        return FALSE;
    }
    return TRUE;
}

} // namespace

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

// An entry from the platform: nothing escapes it.
void CALLBACK ThreadTimer::Proc(HWND, UINT, UINT_PTR id, DWORD)
{
    for (ThreadTimer* t : std::vector<ThreadTimer*>(Timers())) {
        if (t->m_id != id || std::find(Timers().begin(), Timers().end(), t) == Timers().end())
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

HWND FindThreadWindow(const std::string& className)
{
    WindowSearch search{className};
    EnumThreadWindows(GetCurrentThreadId(), MatchWindow, reinterpret_cast<LPARAM>(&search));
    return search.Found;
}

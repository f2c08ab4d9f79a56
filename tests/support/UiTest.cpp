#include "tests/support/UiTest.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "framework/Application.h"
#include "framework/Forms.h"
#include "framework/StdCtrls.h"

bool PumpUntil(const std::function<bool()>& done, DWORD milliseconds)
{
    const DWORD start = GetTickCount();
    for (;;) {
        Application->PumpMessages();
        if (done())
            return true;
        if (GetTickCount() - start > milliseconds)
            return false;
        Sleep(5);
    }
}

void PumpFor(DWORD milliseconds)
{
    PumpUntil([] { return false; }, milliseconds);
}

namespace {

std::vector<ThreadTimer*>& Timers()
{
    static std::vector<ThreadTimer*> timers;
    return timers;
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

void CALLBACK ThreadTimer::Proc(HWND, UINT, UINT_PTR id, DWORD)
{
    // A copy: a body may make or end timers.
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

std::string WindowText(HWND window)
{
    char text[1024] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

namespace {

struct Search {
    const char* ClassName;
    const char* Caption;
    std::vector<HWND> Found;
};

BOOL CALLBACK CollectWindow(HWND window, LPARAM data)
{
    auto& search = *reinterpret_cast<Search*>(data);
    char className[64] = {};
    GetClassNameA(window, className, sizeof className);
    if (IsWindowVisible(window) && search.ClassName == std::string(className) &&
        (!search.Caption || WindowText(window) == search.Caption))
        search.Found.push_back(window);
    return TRUE;
}

} // namespace

std::vector<HWND> ThreadWindows(const char* className, const char* caption)
{
    Search search{className, caption, {}};
    EnumThreadWindows(GetCurrentThreadId(), CollectWindow, reinterpret_cast<LPARAM>(&search));
    return search.Found;
}

HWND FindThreadWindow(const char* className, const char* caption)
{
    const std::vector<HWND> found = ThreadWindows(className, caption);
    return found.empty() ? nullptr : found.front();
}

namespace {

struct TextSearch {
    const std::string* Text;
    HWND Found = nullptr;
};

BOOL CALLBACK MatchChild(HWND window, LPARAM data)
{
    auto& search = *reinterpret_cast<TextSearch*>(data);
    if (WindowText(window) == *search.Text) {
        search.Found = window;
        return FALSE;
    }
    return TRUE;
}

} // namespace

HWND FindChildByText(HWND parent, const std::string& text)
{
    TextSearch search{&text};
    EnumChildWindows(parent, MatchChild, reinterpret_cast<LPARAM>(&search));
    return search.Found;
}

MessageDialogAnswerer::MessageDialogAnswerer(Answer answer, UINT period)
    : m_answer(std::move(answer)), m_timer(period, [this] { Tick(); })
{
}

void MessageDialogAnswerer::Tick()
{
    HWND dialog = FindThreadWindow("TMessageForm");
    if (!dialog || dialog == m_answered)
        return;
    auto* form = dynamic_cast<TForm*>(TWinControl::FindControl(dialog));
    if (!form)
        return;
    auto* label = dynamic_cast<TLabel*>(form->FindComponent("Message"));
    Seen.push_back({WindowText(dialog), label ? label->Caption() : std::string()});
    const std::string answer = m_answer(Seen.back().Caption, Seen.back().Text);
    m_answered = dialog;
    if (answer == Escape) {
        PressKey(VK_ESCAPE);
    } else if (answer == Enter) {
        PressKey(VK_RETURN);
    } else if (answer == Close) {
        PostMessageA(dialog, WM_CLOSE, 0, 0);
    } else if (HWND button = FindChildByText(dialog, answer)) {
        PostMessageA(button, BM_CLICK, 0, 0);
    } else {
        ADD_FAILURE() << "no button \"" << answer << "\" in the dialog \"" << Seen.back().Text << "\"";
        m_answered = nullptr;
    }
}

void PressKey(WPARAM key)
{
    HWND focus = GetFocus();
    PostMessageA(focus, WM_KEYDOWN, key, 1);
    PostMessageA(focus, WM_KEYUP, key, 0xC0000001);
}

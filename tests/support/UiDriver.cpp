#include "tests/support/UiDriver.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "framework/Application.h"
#include "framework/Forms.h"
#include "framework/StdCtrls.h"

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

std::string WindowText(HWND window)
{
    char text[1024] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
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

ThreadWindowAction::ThreadWindowAction(const std::string& className, std::function<void(HWND)> action)
    : m_timer(60, [this, className, action = std::move(action)] {
          HWND window = FindThreadWindow(className);
          if (m_done || !window || !IsWindowEnabled(window))
              return;
          m_done = true;
          action(window);
      })
{
}

MessageBoxCloser::MessageBoxCloser(UINT period)
    : m_timer(period, [this] {
          if (HWND box = FindThreadWindow("#32770")) {
              char text[1024] = {};
              GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
              Texts.emplace_back(text);
              PostMessageA(box, WM_COMMAND, IDOK, 0);
          }
      })
{
}

void PressKey(WPARAM key)
{
    HWND focus = GetFocus();
    PostMessageA(focus, WM_KEYDOWN, key, 1);
    PostMessageA(focus, WM_KEYUP, key, 0xC0000001);
}

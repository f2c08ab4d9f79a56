#include "tests/support/ProcessDriver.h"

#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <functional>

void PumpThreadMessages()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

namespace {

// Polls until done() holds or the time is up, handling this thread's
// messages meanwhile.
bool WaitUntil(const std::function<bool()>& done, DWORD milliseconds)
{
    const DWORD start = GetTickCount();
    for (;;) {
        PumpThreadMessages();
        if (done())
            return true;
        if (GetTickCount() - start > milliseconds)
            return false;
        Sleep(20);
    }
}

struct TopSearch {
    DWORD ProcessId;
    const std::string* ClassName;
    const char* Caption;
    HWND Found = nullptr;
};

BOOL CALLBACK MatchTopWindow(HWND window, LPARAM data)
{
    auto& search = *reinterpret_cast<TopSearch*>(data);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    // A process id of 0 stands for any program.
    if ((search.ProcessId != 0 && owner != search.ProcessId) || !IsWindowVisible(window))
        return TRUE;
    char className[64] = {};
    GetClassNameA(window, className, sizeof className);
    if (*search.ClassName != className || (search.Caption && TextOf(window) != search.Caption))
        return TRUE;
    search.Found = window;
    return FALSE;
}

struct ChildSearch {
    const std::string* Text;
    const std::string* ClassName;
    std::vector<HWND> Found;
};

BOOL CALLBACK CollectChild(HWND window, LPARAM data)
{
    auto& search = *reinterpret_cast<ChildSearch*>(data);
    if (search.Text && TextOf(window) != *search.Text)
        return TRUE;
    if (search.ClassName) {
        char className[64] = {};
        GetClassNameA(window, className, sizeof className);
        if (*search.ClassName != className)
            return TRUE;
    }
    search.Found.push_back(window);
    return TRUE;
}

} // namespace

DrivenProcess::DrivenProcess(const std::string& commandLine, const std::string& workingDir)
{
    std::string command = commandLine;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        workingDir.empty() ? nullptr : workingDir.c_str(), &startup, &process)) {
        ADD_FAILURE() << "cannot start " << commandLine << " (error " << GetLastError() << ")";
        return;
    }
    CloseHandle(process.hThread);
    m_process = process.hProcess;
    m_processId = process.dwProcessId;
    m_threadId = process.dwThreadId;
}

DrivenProcess::DrivenProcess(const std::wstring& commandLine, const std::string& workingDir, HANDLE standardError)
{
    std::wstring command = commandLine;
    std::wstring folder(workingDir.begin(), workingDir.end());
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    if (standardError) {
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdError = standardError;
    }
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, standardError != nullptr, 0, nullptr,
                        workingDir.empty() ? nullptr : folder.c_str(), &startup, &process)) {
        ADD_FAILURE() << "cannot start a Unicode command line (error " << GetLastError() << ")";
        return;
    }
    CloseHandle(process.hThread);
    m_process = process.hProcess;
    m_processId = process.dwProcessId;
    m_threadId = process.dwThreadId;
}

DrivenProcess::DrivenProcess(DWORD processId)
{
    m_process = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION | PROCESS_TERMINATE, FALSE, processId);
    if (!m_process) {
        ADD_FAILURE() << "cannot open the process " << processId << " (error " << GetLastError() << ")";
        return;
    }
    m_processId = processId;
    // Its first thread, which a program of the setup's kind runs its
    // windows in.
    const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    THREADENTRY32 thread{};
    thread.dwSize = sizeof thread;
    for (BOOL more = Thread32First(snapshot, &thread); more && m_threadId == 0; more = Thread32Next(snapshot, &thread))
        if (thread.th32OwnerProcessID == processId)
            m_threadId = thread.th32ThreadID;
    CloseHandle(snapshot);
}

DWORD DrivenProcess::WaitForChild(DWORD milliseconds) const
{
    DWORD child = 0;
    WaitUntil(
        [&] {
            const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
            PROCESSENTRY32 entry{};
            entry.dwSize = sizeof entry;
            for (BOOL more = Process32First(snapshot, &entry); more && child == 0; more = Process32Next(snapshot, &entry))
                if (entry.th32ParentProcessID == m_processId && entry.th32ProcessID != m_processId)
                    child = entry.th32ProcessID;
            CloseHandle(snapshot);
            return child != 0 || !Running();
        },
        milliseconds);
    if (child == 0)
        ADD_FAILURE() << "the program started no other";
    return child;
}

DrivenProcess::~DrivenProcess()
{
    if (!m_process)
        return;
    Kill();
    CloseHandle(m_process);
}

void DrivenProcess::Kill()
{
    if (m_process && Running()) {
        TerminateProcess(m_process, 255);
        WaitForSingleObject(m_process, 5000);
    }
}

bool DrivenProcess::Running() const
{
    return m_process && WaitForSingleObject(m_process, 0) == WAIT_TIMEOUT;
}

HWND DrivenProcess::FindWindowWithin(const std::string& className, const char* caption, DWORD milliseconds)
{
    TopSearch search{m_processId, &className, caption};
    WaitUntil(
        [&] {
            search.Found = nullptr;
            EnumWindows(MatchTopWindow, reinterpret_cast<LPARAM>(&search));
            return search.Found != nullptr || !Running();
        },
        milliseconds);
    return search.Found;
}

HWND DrivenProcess::WaitForWindow(const std::string& className, const char* caption, DWORD milliseconds)
{
    HWND window = FindWindowWithin(className, caption, milliseconds);
    if (!window)
        ADD_FAILURE() << "no window of class " << className << (caption ? std::string(" \"") + caption + "\"" : "")
                      << (Running() ? " appeared" : ": the program has ended");
    return window;
}

bool DrivenProcess::WaitUntilGone(HWND window, DWORD milliseconds)
{
    const bool gone = WaitUntil([&] { return !IsWindow(window) || !IsWindowVisible(window); }, milliseconds);
    if (!gone)
        ADD_FAILURE() << "the window \"" << TextOf(window) << "\" stayed";
    return gone;
}

HWND DrivenProcess::FocusWindow() const
{
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(m_threadId, &info))
        return nullptr;
    return info.hwndFocus ? info.hwndFocus : info.hwndActive;
}

bool DrivenProcess::WaitForFocusIn(HWND window, DWORD milliseconds)
{
    const bool focused = WaitUntil(
        [&] {
            HWND focus = FocusWindow();
            return focus && (focus == window || IsChild(window, focus));
        },
        milliseconds);
    if (!focused)
        ADD_FAILURE() << "the focus never came to \"" << TextOf(window) << "\"";
    return focused;
}

void DrivenProcess::PressKey(WPARAM key)
{
    HWND focus = FocusWindow();
    if (!focus) {
        ADD_FAILURE() << "no window of the program has the focus";
        return;
    }
    const LPARAM scan = static_cast<LPARAM>(MapVirtualKeyA(static_cast<UINT>(key), 0)) << 16;
    PostMessageA(focus, WM_KEYDOWN, key, scan | 1);
    PostMessageA(focus, WM_KEYUP, key, scan | 0xC0000001);
}

DWORD DrivenProcess::WaitForExit(DWORD milliseconds)
{
    if (!m_process)
        return STILL_ACTIVE;
    if (!WaitUntil([&] { return !Running(); }, milliseconds)) {
        ADD_FAILURE() << "the program did not end in time";
        return STILL_ACTIVE;
    }
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(m_process, &code);
    return code;
}

HWND FindChildWindow(HWND parent, const std::string& text)
{
    ChildSearch search{&text, nullptr, {}};
    EnumChildWindows(parent, CollectChild, reinterpret_cast<LPARAM>(&search));
    return search.Found.empty() ? nullptr : search.Found.front();
}

std::vector<HWND> ChildWindowsOfClass(HWND parent, const std::string& className)
{
    ChildSearch search{nullptr, &className, {}};
    EnumChildWindows(parent, CollectChild, reinterpret_cast<LPARAM>(&search));
    return search.Found;
}

bool ClickButton(HWND parent, const std::string& caption)
{
    // A window that has just been shown may not answer WM_GETTEXT at once on
    // a loaded machine (a thread that has not yet asked for a message counts
    // as hung): the button is looked for until the usual wait is over.
    HWND button = nullptr;
    WaitUntil([&] { return (button = FindChildWindow(parent, caption)) != nullptr || !IsWindow(parent); },
              5000);
    if (!button) {
        ADD_FAILURE() << "no button \"" << caption << "\" in \"" << TextOf(parent) << "\"";
        return false;
    }
    PostMessageA(button, BM_CLICK, 0, 0);
    return true;
}

std::string TextOf(HWND window)
{
    // WM_GETTEXT, unlike GetWindowText, also reads another program's controls.
    char text[2048] = {};
    SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 5000,
                        nullptr);
    return text;
}

void SetTextOf(HWND window, const std::string& text)
{
    SendMessageTimeoutA(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), SMTO_ABORTIFHUNG, 5000,
                        nullptr);
}

std::string MessageBoxText(HWND box)
{
    return TextOf(GetDlgItem(box, 0xFFFF));
}

HWND FindAnyWindowWithin(const std::string& className, const char* caption, DWORD milliseconds)
{
    TopSearch search{0, &className, caption};
    WaitUntil(
        [&] {
            search.Found = nullptr;
            EnumWindows(MatchTopWindow, reinterpret_cast<LPARAM>(&search));
            return search.Found != nullptr;
        },
        milliseconds);
    return search.Found;
}

std::vector<std::string> ListBoxLines(HWND listBox)
{
    // The platform carries the text of these list box messages across
    // programs, as it does for WM_GETTEXT.
    std::vector<std::string> lines;
    DWORD_PTR count = 0;
    if (!SendMessageTimeoutA(listBox, LB_GETCOUNT, 0, 0, SMTO_ABORTIFHUNG, 5000, &count))
        return lines;
    for (int i = 0; i < static_cast<int>(count); ++i) {
        DWORD_PTR length = 0;
        SendMessageTimeoutA(listBox, LB_GETTEXTLEN, static_cast<WPARAM>(i), 0, SMTO_ABORTIFHUNG, 5000, &length);
        // NOTE: Wine copies the reply of another program's list box back
        // in its wide form, two bytes a character, whatever the caller's
        // character set: the buffer has room for that, and a wide reply is
        // narrowed here. Windows gives the narrow text of the length asked.
        std::vector<char> buffer(2 * (static_cast<size_t>(length) + 1) + 2, '\0');
        DWORD_PTR copied = 0;
        SendMessageTimeoutA(listBox, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(buffer.data()),
                            SMTO_ABORTIFHUNG, 5000, &copied);
        std::string text;
        const bool wide = length > 0 && buffer[0] != '\0' && buffer[1] == '\0';
        for (size_t k = 0; k < static_cast<size_t>(length); ++k)
            text += wide ? buffer[2 * k] : buffer[k];
        text.resize(static_cast<size_t>(copied) <= length ? static_cast<size_t>(copied) : 0);
        lines.push_back(text);
    }
    return lines;
}

void SelectListBoxLine(HWND listBox, int index, bool selected)
{
    SendMessageTimeoutA(listBox, LB_SETSEL, selected ? TRUE : FALSE, index, SMTO_ABORTIFHUNG, 5000, nullptr);
}

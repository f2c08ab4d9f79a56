#include "tests/e2e/UnattendedFixture.h"

#include <algorithm>

namespace {

struct WindowSearch {
    DWORD ProcessId;
    std::set<std::string> Classes;
};

BOOL CALLBACK NoteVisibleWindow(HWND window, LPARAM data)
{
    WindowSearch& search = *reinterpret_cast<WindowSearch*>(data);
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    if (processId == search.ProcessId && IsWindowVisible(window)) {
        char name[64] = {};
        GetClassNameA(window, name, sizeof name);
        search.Classes.insert(name);
    }
    return TRUE;
}

} // namespace

Watched WatchUntilEnd(DrivenProcess& process, DWORD milliseconds, const std::function<void()>& meanwhile)
{
    WindowSearch search{process.ProcessId(), {}};
    const DWORD until = GetTickCount() + milliseconds;
    while (process.Running() && GetTickCount() < until) {
        EnumWindows(NoteVisibleWindow, reinterpret_cast<LPARAM>(&search));
        if (meanwhile)
            meanwhile();
        Sleep(2);
    }
    Watched watched;
    watched.Visible = search.Classes;
    watched.ExitCode = process.WaitForExit(1000);
    return watched;
}

std::string Quoted(const std::string& text)
{
    return "\"" + text + "\"";
}

Strings LinesOf(const std::string& text)
{
    Strings lines;
    for (size_t start = 0; start < text.size();) {
        const size_t end = std::min(text.find("\r\n", start), text.size());
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

void UnattendedTest::SetUp()
{
    InstallTest::SetUp();
    WriteProduct(m_dist.Path());
    m_log = m_target.Path() + "run log.txt";
}

std::string UnattendedTest::Setup(const std::string& arguments) const
{
    return Quoted(m_dist.Path() + "setup.exe") + " " + arguments;
}

std::string UnattendedTest::Size(const std::string& name) const
{
    return std::to_string(ReadWhole(m_dist.Path() + name).size());
}

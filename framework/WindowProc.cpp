// The one window procedure and the one map from a window to its control, the
// registration of window classes, and the hidden utility windows of components
// that are not controls.
#include "framework/WindowProc.h"

#include <string>
#include <unordered_map>
#include <utility>

#include "framework/Controls.h"
#include "framework/ErrorRouting.h"

namespace {

// What a window of the framework's is bound to: a control, or the utility
// window of a component that is not one.
struct WindowTarget {
    TWinControl* Control = nullptr;
    UtilityWindow* Utility = nullptr;
};

// The one place that maps a window to what it is bound to: set when the
// window is made, cleared when it is destroyed.
std::unordered_map<HWND, WindowTarget>& WindowMap()
{
    static std::unordered_map<HWND, WindowTarget> map;
    return map;
}

// The control whose window is being made; its window's first message binds
// the two.
thread_local TWinControl* t_creating = nullptr;

// The platform's own window procedure of each class built on a platform
// control, by the class name it was registered under.
std::unordered_map<std::string, WNDPROC>& SystemProcs()
{
    static std::unordered_map<std::string, WNDPROC> procs;
    return procs;
}

} // namespace

// The framework's own classes use the framework's window procedure
// throughout; a class built on a platform control copies that control's
// class and puts the framework's procedure in front of it.
WNDPROC RegisterControlClass(const std::string& name, const TCreateParams& params)
{
    auto& procs = SystemProcs();
    if (auto it = procs.find(name); it != procs.end())
        return it->second;
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSA wc = {};
    WNDPROC original = DefWindowProcA;
    if (params.SystemClass) {
        if (!GetClassInfoA(nullptr, params.SystemClass, &wc))
            throw EOutOfResources(StrId::SWindowClass);
        original = wc.lpfnWndProc;
    } else {
        wc.style = params.ClassStyle;
        wc.hIcon = params.ClassIcon;
        wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    }
    wc.lpfnWndProc = FrameworkWndProc;
    wc.hInstance = instance;
    wc.lpszClassName = name.c_str();
    wc.hbrBackground = nullptr;
    if (!RegisterClassA(&wc))
        throw EOutOfResources(StrId::SWindowClass);
    procs.emplace(name, original);
    return original;
}


TWinControl* TWinControl::FindControl(HWND window)
{
    auto& map = WindowMap();
    auto it = map.find(window);
    return it == map.end() ? nullptr : it->second.Control;
}

HWND CreateBoundWindow(TWinControl* control, const std::string& className, const TCreateParams& params)
{
    t_creating = control;
    HWND window = CreateWindowExA(params.ExStyle, className.c_str(), params.Caption.c_str(), params.Style, params.X,
                                  params.Y, params.Width, params.Height, params.WndParent, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
    t_creating = nullptr;
    return window;
}

LRESULT CALLBACK FrameworkWndProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam)
{
    auto& map = WindowMap();
    if (t_creating && !map.contains(window))
        std::exchange(t_creating, nullptr)->AttachHandle(window);
    auto it = map.find(window);
    if (it == map.end())
        return DefWindowProcA(window, msg, wParam, lParam);
    const auto [control, utility] = it->second;
    TMessage message{msg, wParam, lParam};
    GuardEntry(utility ? utility->m_sender : control, false, [&] {
        if (utility)
            message.Result = utility->m_handler(msg, wParam, lParam);
        else
            control->WndProc(message);
        return true;
    });
    return message.Result;
}

HICON ProgramIcon()
{
    HICON icon = LoadIconA(GetModuleHandleA(nullptr), "MAINICON");
    return icon ? icon : LoadIconA(nullptr, IDI_APPLICATION);
}

UtilityWindow::UtilityWindow(const char* title, DWORD style, int x, int y, HWND parent, TObject* sender,
                             Handler handler)
    : m_sender(sender), m_handler(std::move(handler))
{
    static const char className[] = "TApplication";
    TCreateParams params;
    params.ClassStyle = 0;
    // The icon counts only when the class is registered, with the first.
    static const HICON icon = ProgramIcon();
    params.ClassIcon = icon;
    RegisterControlClass(className, params);
    m_handle = CreateWindowExA(0, className, title, style, x, y, 0, 0, parent, nullptr, GetModuleHandleA(nullptr),
                               nullptr);
    if (!m_handle)
        throw EOutOfResources(StrId::SWindowCreate);
    // Bound once made: what the creation sends gets the default handling.
    WindowMap()[m_handle] = {nullptr, this};
}

UtilityWindow::~UtilityWindow()
{
    WindowMap().erase(m_handle);
    DestroyWindow(m_handle);
}

void TWinControl::AttachHandle(HWND window)
{
    m_handle = window;
    WindowMap()[window] = {this, nullptr};
}

void TWinControl::DetachHandle()
{
    WindowMap().erase(m_handle);
    m_handle = nullptr;
}

// The application object: its hidden window, its title, the run of the main
// form, the report of exceptions, and the framework's start-up and final
// steps, with the last-chance message for an error nothing else caught.
#include "framework/Application.h"

#include <cxxabi.h>

#include <cstdlib>
#include <typeinfo>
#include <utility>

#include "framework/Screen.h"
#include "runtime/Paths.h"
#include "runtime/ThrowSite.h"

TApplication* Application = nullptr;

namespace {

void ReportThroughApplication(TObject* sender)
{
    if (!Application)
        throw;
    Application->ReportException(sender);
}

std::string DefaultTitle()
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    OemToCharA(path, path);
    return TitleFromProgramFile(path);
}

} // namespace

std::string TitleFromProgramFile(const std::string& path)
{
    std::string name = FileNamePart(path);
    name = name.substr(0, name.find('.'));
    if (name.size() > 1)
        CharLowerBuffA(name.data() + 1, static_cast<DWORD>(name.size() - 1));
    return name;
}

const TClassInfo& TApplication::StaticClassInfo()
{
    static const TClassInfo info = ClassInfoBuilder<TApplication, TComponent>("TApplication").Build();
    return info;
}

TApplication::TApplication(TComponent* owner)
    : TComponent(owner),
      // A window without area, marked visible: nothing of it is seen, but it
      // gives the program its task-bar entry and owns the forms' windows.
      m_window(DefaultTitle().c_str(), WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_VISIBLE,
               GetSystemMetrics(SM_CXSCREEN) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, nullptr, this,
               [this](UINT msg, WPARAM wParam, LPARAM lParam) { return WndProc(msg, wParam, lParam); })
{
    SendMessageA(Handle(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_icon));
    if (HMENU menu = GetSystemMenu(Handle(), FALSE)) {
        DeleteMenu(menu, SC_MAXIMIZE, MF_BYCOMMAND);
        DeleteMenu(menu, SC_SIZE, MF_BYCOMMAND);
        if (LOBYTE(LOWORD(GetVersion())) >= 4)
            DeleteMenu(menu, SC_MOVE, MF_BYCOMMAND);
    }
    SetFormOwnerWindow(Handle());
}

TApplication::~TApplication()
{
    PrepareDestroy();
    SetFormOwnerWindow(nullptr);
}

std::string TApplication::Title() const
{
    char text[256] = {};
    GetWindowTextA(Handle(), text, sizeof text);
    return text;
}

void TApplication::SetTitle(const std::string& title)
{
    SetWindowTextA(Handle(), title.c_str());
}

std::string TApplication::ExecutablePath() const
{
    char path[MAX_PATH + 1] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    return path;
}

void TApplication::FormCreated(TForm* form)
{
    if (!MainForm()) {
        form->HandleNeeded();
        SetProgramMainForm(form);
    }
}

void TApplication::Notification(TComponent* component, TOperation operation)
{
    TComponent::Notification(component, operation);
    if (operation == opRemove && component == MainForm())
        SetProgramMainForm(nullptr);
}

// ---------------------------------------------------------------------------
// The message loop

void TApplication::Run()
{
    // Without a main form there is nothing to run.
    if (!MainForm())
        return;
    MainForm()->SetVisible(true);
    while (!Terminated())
        HandleOneMessage();
}

// ---------------------------------------------------------------------------
// Exceptions

void TApplication::ReportException(TObject*)
{
    if (HWND capture = GetCapture())
        SendMessageA(capture, WM_CANCELMODE, 0, 0);
    try {
        throw;
    } catch (const EAbort&) {
        // Leaving a handler on purpose shows nothing.
    } catch (const Exception& e) {
        ShowExceptionMessage(e);
    } catch (...) {
        // An object of no framework class gets the runtime's own error box,
        // the one the program's last chance shows, but the program goes on.
        ShowRuntimeErrorBox();
    }
}

void TApplication::ShowExceptionMessage(const Exception& e)
{
    // The full stop is always added, also after one the message has.
    ShowMessageBox(e.Message() + ".", Title(), MB_OK | MB_ICONSTOP);
}

int TApplication::ShowMessageBox(const std::string& text, const std::string& caption, UINT flags)
{
    return RunTaskModal([&] { return ::MessageBoxA(Handle(), text.c_str(), caption.c_str(), flags); });
}

void TApplication::SuspendTopMost()
{
    if (m_topMostLevel++ > 0)
        return;
    // The owned topmost windows above the first one that is not topmost (or
    // the main form's) move down to just above it, last collected first.
    HWND anchor = nullptr;
    HWND mainWindow = MainForm() && MainForm()->HandleAllocated() ? MainForm()->Handle() : nullptr;
    for (HWND w = GetTopWindow(nullptr); w; w = GetWindow(w, GW_HWNDNEXT)) {
        if (GetWindow(w, GW_OWNER) != Handle())
            continue;
        if ((GetWindowLongA(w, GWL_EXSTYLE) & WS_EX_TOPMOST) && w != mainWindow) {
            m_topMost.push_back(w);
        } else {
            anchor = w;
            break;
        }
    }
    for (auto it = m_topMost.rbegin(); it != m_topMost.rend(); ++it) {
        SetWindowPos(*it, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        if (anchor)
            SetWindowPos(*it, GetWindow(anchor, GW_HWNDPREV) ? GetWindow(anchor, GW_HWNDPREV) : HWND_TOP, 0, 0, 0, 0,
                         SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
}

void TApplication::ResumeTopMost()
{
    if (m_topMostLevel == 0 || --m_topMostLevel > 0)
        return;
    for (auto it = m_topMost.rbegin(); it != m_topMost.rend(); ++it)
        if (IsWindow(*it))
            SetWindowPos(*it, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    m_topMost.clear();
}

void TApplication::Shutdown()
{
    ShowOwnedPopups(Handle(), FALSE);
    Destroying();
    DestroyComponents();
}

// ---------------------------------------------------------------------------
// The application's window

LRESULT TApplication::WndProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_CLOSE:
        // Closing the task-bar entry closes the main form.
        if (TForm* form = MainForm())
            form->Close();
        return 0;
    case WM_ENABLE:
        // Whoever disables the application's window (a platform dialog it
        // owns, a modal form) makes the program's other windows wait too.
        if (wParam) {
            EnableTaskWindows(std::exchange(m_taskWindows, {}));
            ResumeTopMost();
        } else {
            SuspendTopMost();
            if (m_taskWindows.empty())
                m_taskWindows = DisableTaskWindows(Handle());
        }
        break;
    case WM_ACTIVATEAPP:
        if (wParam)
            ResumeTopMost();
        else
            SuspendTopMost();
        break;
    case WM_ENDSESSION:
        if (wParam) {
            FinalizeFramework();
            ExitProcess(0);
        }
        return 0;
    case WM_SETFOCUS:
        if (TForm* form = TScreen::Instance().FocusedForm(); form && form->Showing())
            SetFocus(form->Handle());
        return 0;
    default:
        break;
    }
    return DefWindowProcA(Handle(), msg, wParam, lParam);
}

// ---------------------------------------------------------------------------
// Start-up and the hooks of the form layer

namespace {

// Held in a function so that registrations made during static
// initialisation, in whatever order the units come, find it constructed.
std::vector<UnitStartup>& UnitStartups()
{
    static std::vector<UnitStartup> steps;
    return steps;
}

} // namespace

bool RegisterUnitStartup(UnitStartup step)
{
    UnitStartups().push_back(step);
    return true;
}

void InitializeFramework()
{
    if (Application)
        return;
    TScreen::Instance();
    Application = new TApplication(nullptr);
    SetExceptionReporter(ReportThroughApplication);
    try {
        for (UnitStartup step : UnitStartups())
            step();
    } catch (...) {
        FinalizeFramework();
        throw;
    }
}

void FinalizeFramework()
{
    if (!Application)
        return;
    // The forms' OnHide and OnDestroy run during the shutdown, and what they
    // raise is still reported through the application.
    Application->Shutdown();
    TApplication* app = std::exchange(Application, nullptr);
    SetExceptionReporter(nullptr);
    TComponent::Free(app);
}

std::string LastChanceText(const std::exception& e)
{
    int status = 0;
    char* demangled = abi::__cxa_demangle(typeid(e).name(), nullptr, nullptr, &status);
    const std::string className = status == 0 && demangled ? demangled : typeid(e).name();
    std::free(demangled);

    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    // The place of the throw, as an offset into the program's code.
    const auto* framework = dynamic_cast<const Exception*>(&e);
    const void* offset = reinterpret_cast<const void*>(ThrowOffset(&e));

    const std::string message = framework ? framework->Message() : std::string(e.what());
    const std::string stop = !message.empty() && message.back() == '.' ? "" : ".";
    return Format(LoadResString(StrId::SException), {className, FileNamePart(path), offset, message, stop});
}

std::string CurrentExceptionText()
{
    try {
        throw;
    } catch (const std::exception& e) {
        return LastChanceText(e);
    } catch (...) {
        char path[MAX_PATH] = {};
        GetModuleFileNameA(nullptr, path, MAX_PATH);
        return Format(LoadResString(StrId::SUnknownException), {FileNamePart(path)});
    }
}

void ShowRuntimeErrorBox() noexcept
{
    try {
        const std::string text = CurrentExceptionText();
        MessageBoxA(nullptr, text.c_str(), LoadResString(StrId::SExceptTitle).c_str(),
                    MB_OK | MB_ICONSTOP | MB_TASKMODAL);
    } catch (...) {
        // Building the text failed (no memory): the plain box still tells
        // the user that something went wrong.
        MessageBoxA(nullptr, "Application Error", "Application Error", MB_OK | MB_ICONSTOP | MB_TASKMODAL);
    }
}

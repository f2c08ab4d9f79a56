// Forms: their published properties, their windows and frames, showing and
// closing, activation, the modal run, and the keys (Tab, Enter, Escape and the
// arrows) that move about a form.
#include "framework/Forms.h"

#include <windows.h>

#include <algorithm>
#include <utility>

#include "framework/ErrorRouting.h"
#include "framework/Filer.h"
#include "framework/Reader.h"
#include "framework/Screen.h"
#include "framework/Writer.h"
#include "runtime/ScopeGuard.h"

template <>
const TEnumTypeInfo& EnumTypeOf<TPrintScale>()
{
    static const TEnumTypeInfo info =
        EnumType<poPrintToFit>("TPrintScale", {"poNone", "poProportional", "poPrintToFit"});
    return info;
}

// ---------------------------------------------------------------------------
// Scroll bars

const TClassInfo& TControlScrollBar::StaticClassInfo()
{
    static const TClassInfo info = ClassInfoBuilder<TControlScrollBar, TPersistent>("TControlScrollBar")
        .Property<&TControlScrollBar::Increment, &TControlScrollBar::SetIncrement>("Increment", 8)
        .Property<&TControlScrollBar::Margin, &TControlScrollBar::SetMargin>("Margin", 0)
        .Property<&TControlScrollBar::Position, &TControlScrollBar::SetPosition>("Position", 0)
        .Property<&TControlScrollBar::Range, &TControlScrollBar::SetRange>("Range", 0)
        .Property<&TControlScrollBar::Tracking, &TControlScrollBar::SetTracking>("Tracking", false)
        .Property<&TControlScrollBar::Visible, &TControlScrollBar::SetVisible>("Visible", true)
        .Build();
    return info;
}

const TClassInfo& TScrollingWinControl::StaticClassInfo()
{
    static const TClassInfo info = ClassInfoBuilder<TScrollingWinControl, TWinControl>("TScrollingWinControl").Build();
    return info;
}

TScrollingWinControl::TScrollingWinControl(TComponent* owner)
    : TWinControl(owner), m_horzScrollBar(std::make_unique<TControlScrollBar>()),
      m_vertScrollBar(std::make_unique<TControlScrollBar>())
{
}

// ---------------------------------------------------------------------------
// TForm

const TClassInfo& TForm::StaticClassInfo()
{
    static const TClassInfo info = ClassInfoBuilder<TForm, TScrollingWinControl>("TForm")
        .Property<&TForm::ActiveControl, &TForm::SetActiveControl>("ActiveControl")
        .Property<&TForm::AutoScroll, &TForm::SetAutoScroll>("AutoScroll", true)
        .Property<&TForm::BorderIcons, &TForm::SetBorderIcons>("BorderIcons", TBorderIcons{biSystemMenu, biMinimize, biMaximize})
        .Property<&TForm::BorderStyle, &TForm::SetBorderStyle>("BorderStyle", bsSizeable)
        .Publish("Caption")
        .Property<&TForm::ClientHeight, &TForm::SetClientHeight>("ClientHeight")
        .Property<&TForm::ClientWidth, &TForm::SetClientWidth>("ClientWidth")
        .Publish("Color", clBtnFace)
        .Publish("Ctl3D", "Enabled", "Font")
        .Property<&TForm::FormStyle, &TForm::SetFormStyle>("FormStyle", fsNormal)
        .Property<&TForm::HorzScrollBar, &TForm::SetHorzScrollBar>("HorzScrollBar")
        .Property<&TForm::Icon, &TForm::SetIcon>("Icon")
        .Property<&TForm::KeyPreview, &TForm::SetKeyPreview>("KeyPreview", false)
        .Publish("ParentFont", false)
        .Property<&TForm::Position, &TForm::SetPosition>("Position", poDesigned)
        .Property<&TForm::PrintScale, &TForm::SetPrintScale>("PrintScale", poProportional)
        .Property<&TForm::Scaled, &TForm::SetScaled>("Scaled", true)
        .Publish("ShowHint")
        .Property<&TForm::VertScrollBar, &TForm::SetVertScrollBar>("VertScrollBar")
        .Publish("Visible", false)
        .Property<&TForm::WindowState, &TForm::SetWindowState>("WindowState", wsNormal)
        .Property<&TForm::OnActivate, &TForm::SetOnActivate>("OnActivate")
        .Publish("OnClick")
        .Property<&TForm::OnClose, &TForm::SetOnClose>("OnClose")
        .Property<&TForm::OnCloseQuery, &TForm::SetOnCloseQuery>("OnCloseQuery")
        .Property<&TForm::OnCreate, &TForm::SetOnCreate>("OnCreate")
        .Publish("OnDblClick")
        .Property<&TForm::OnDestroy, &TForm::SetOnDestroy>("OnDestroy")
        .Property<&TForm::OnDeactivate, &TForm::SetOnDeactivate>("OnDeactivate")
        .Publish("OnDragDrop", "OnDragOver")
        .Property<&TForm::OnHide, &TForm::SetOnHide>("OnHide")
        .Publish("OnKeyDown", "OnKeyPress", "OnKeyUp", "OnMouseDown", "OnMouseMove", "OnMouseUp")
        .Property<&TForm::OnPaint, &TForm::SetOnPaint>("OnPaint")
        .Property<&TForm::OnResize, &TForm::SetOnResize>("OnResize")
        .Property<&TForm::OnShow, &TForm::SetOnShow>("OnShow")
        .Build();
    return info;
}

TForm::TForm(TComponent* owner) : TScrollingWinControl(owner), m_icon(std::make_unique<TIcon>())
{
    SetBounds(0, 0, 320, 240);
    // Hidden from the start without making the window: a form's window is
    // made when it is first shown (the main form's by CreateAppForm), with
    // the border style and state the form has by then.
    TControl::SetVisible(false);
    SetColor(clBtnFace);
    SetParentFont(false);
    m_pixelsPerInch = TScreen::Instance().PixelsPerInch();
    TScreen::Instance().InsertForm(this);
}

TForm::~TForm()
{
    PrepareDestroy();
    TReader::RemoveFixups(this);
    TScreen::Instance().RemoveForm(this);
}

void TForm::FinishConstruction()
{
    // A plain form has no stored design and no OnCreate to run.
    if (&ClassInfo() == &TForm::StaticClassInfo())
        return;
    m_creating = true;
    bool found = false;
    {
        const ScopeExit done([this] { m_creating = false; });
        found = ReadFormResource(this, TForm::StaticClassInfo());
    }
    if (!found)
        throw EResNotFound(StrId::SResNotFound, {ClassName()});
    if (m_onCreate)
        CallHandler(this, [this] { m_onCreate(this); });
    if (m_visibleRequested)
        SetVisible(true);
}

void TForm::BeforeDestruction()
{
    // Also when the owner is already being destroyed (the application at
    // the end of the program): a form going hides (running OnHide) and runs
    // OnDestroy, once.
    if (!m_destroyStarted) {
        m_destroyStarted = true;
        if (Visible() && HandleAllocated())
            CallHandler(this, [this] { SetVisible(false); });
        CallHandler(this, [this] { m_onDestroy(this); });
    }
    TScrollingWinControl::BeforeDestruction();
}

void TForm::SetVisible(bool value)
{
    // While the design is read, showing waits for the form to be complete.
    if (m_creating) {
        m_visibleRequested = value;
        return;
    }
    if (value == Visible())
        return;
    HandleNeeded();
    if (m_showingChange)
        throw EInvalidOperation(StrId::SVisibleChanged);
    m_showingChange = true;
    const ScopeExit done([this] { m_showingChange = false; });
    TControl::SetVisible(value);
    HWND window = Handle();
    if (value) {
        CallHandler(this, [this] { m_onShow(this); });
        if (m_position == poScreenCenter) {
            const int32_t x = std::max(0, (TScreen::Instance().Width() - Width()) / 2);
            const int32_t y = std::max(0, (TScreen::Instance().Height() - Height()) / 2);
            SetBounds(x, y, Width(), Height());
        }
        // Centring happens on the first showing only.
        m_position = poDesigned;
        ShowInState(m_windowState == wsMinimized ? SW_SHOWMINNOACTIVE
                    : m_windowState == wsMaximized ? SW_SHOWMAXIMIZED
                                                   : SW_SHOWNORMAL);
        return;
    }
    CallHandler(this, [this] { m_onHide(this); });
    if (m_modal) {
        SetWindowPos(window, nullptr, 0, 0, 0, 0,
                     SWP_HIDEWINDOW | SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER);
        return;
    }
    if (GetActiveWindow() == window && !IsIconic(window)) {
        // Another window of the program takes over: the first visible,
        // enabled one in z-order that is not topmost, else a topmost one.
        HWND next = nullptr;
        HWND topmost = nullptr;
        for (HWND w = GetTopWindow(nullptr); w; w = GetWindow(w, GW_HWNDNEXT)) {
            DWORD process = 0;
            GetWindowThreadProcessId(w, &process);
            if (w == window || w == FormOwnerWindow() || process != GetCurrentProcessId() || !IsWindowVisible(w) ||
                !IsWindowEnabled(w))
                continue;
            if (GetWindowLongA(w, GWL_EXSTYLE) & WS_EX_TOPMOST) {
                if (!topmost)
                    topmost = w;
            } else {
                next = w;
                break;
            }
        }
        if (!next)
            next = topmost;
        if (next) {
            SetWindowPos(window, nullptr, 0, 0, 0, 0,
                         SWP_HIDEWINDOW | SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER);
            SetActiveWindow(next);
            return;
        }
    }
    ShowWindow(window, SW_HIDE);
}

bool TForm::Showing() const
{
    return HandleAllocated() && Visible();
}

void TForm::Show()
{
    SetVisible(true);
    SetWindowPos(Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

void TForm::SetWindowState(TWindowState value)
{
    m_windowState = value;
    if (Showing())
        ShowInState(value == wsMinimized ? SW_MINIMIZE : value == wsMaximized ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL);
}

void TForm::ShowInState(int showCommand)
{
    HWND window = Handle();
    if (showCommand == SW_SHOWMAXIMIZED && m_borderStyle == bsNone && !IsZoomed(window)) {
        // NOTE: a frameless form covers its monitor in its normal state too
        // before it is maximised. Wine's X11 driver leaves the size and place
        // of a maximised window to the X window manager, so on a display
        // without one the window kept its normal rectangle on the screen while
        // the program drew it maximised, cut to that rectangle. On Windows
        // both states look the same for a form without a frame, and nothing
        // on it can restore it.
        MONITORINFO monitor{};
        monitor.cbSize = sizeof monitor;
        if (GetMonitorInfoA(MonitorFromWindow(window, MONITOR_DEFAULTTOPRIMARY), &monitor)) {
            const RECT& r = monitor.rcMonitor;
            SetWindowPos(window, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                         SWP_NOZORDER | SWP_NOACTIVATE);
        }
    }
    ShowWindow(window, showCommand);
}

void TForm::Close()
{
    if (m_modal) {
        m_modalResult = mrCancel;
        return;
    }
    bool canClose = true;
    m_onCloseQuery(this, canClose);
    if (!canClose)
        return;
    TCloseAction action = caHide;
    m_onClose(this, action);
    if (action == caNone)
        return;
    if (ProgramMainForm() == this) {
        TerminateLoop();  // the main form ends the program; it is not hidden first
        return;
    }
    switch (action) {
    case caHide: Hide(); break;
    case caMinimize: SetWindowState(wsMinimized); break;
    case caFree: Release(); break;
    default: break;
    }
}

void TForm::Release()
{
    PostMessageA(Handle(), CM_RELEASE, 0, 0);
}

void TForm::Activate()
{
    m_onActivate(this);
}

void TForm::Deactivate()
{
    m_onDeactivate(this);
}

namespace {

// The windowed controls below parent in tab order, depth first.
void CollectTabOrder(const TWinControl* parent, std::vector<TWinControl*>& out)
{
    for (TWinControl* control : parent->TabList()) {
        out.push_back(control);
        CollectTabOrder(control, out);
    }
}

bool CanTakeFocus(const TWinControl* control)
{
    return control->HandleAllocated() && control->CanFocus();
}

} // namespace

bool TForm::DialogKey(const MSG& msg, TWinControl* control)
{
    const LRESULT code = SendMessageA(msg.hwnd, WM_GETDLGCODE, msg.wParam, reinterpret_cast<LPARAM>(&msg));
    const bool shift = GetKeyState(VK_SHIFT) < 0;
    const bool ctrl = GetKeyState(VK_CONTROL) < 0;
    const bool alt = GetKeyState(VK_MENU) < 0;
    std::vector<TWinControl*> order;
    CollectTabOrder(this, order);

    if (msg.message == WM_KEYDOWN) {
        switch (msg.wParam) {
        case VK_TAB: {
            if (ctrl || alt || (code & (DLGC_WANTTAB | DLGC_WANTALLKEYS)))
                return false;
            const auto it = std::find(order.begin(), order.end(), control);
            const int count = static_cast<int>(order.size());
            int index = it == order.end() ? (shift ? 0 : count - 1) : static_cast<int>(it - order.begin());
            for (int step = 0; step < count; ++step) {
                index = (index + (shift ? count - 1 : 1)) % count;
                if (order[static_cast<size_t>(index)]->TabStop() && CanTakeFocus(order[static_cast<size_t>(index)])) {
                    order[static_cast<size_t>(index)]->SetFocus();
                    break;
                }
            }
            return true;
        }
        case VK_LEFT:
        case VK_UP:
        case VK_RIGHT:
        case VK_DOWN: {
            if (alt || !control || control == this || (code & (DLGC_WANTARROWS | DLGC_WANTALLKEYS)))
                return false;
            const bool forward = msg.wParam == VK_RIGHT || msg.wParam == VK_DOWN;
            const std::vector<TWinControl*> siblings = control->Parent() ? control->Parent()->TabList()
                                                                         : std::vector<TWinControl*>();
            const auto it = std::find(siblings.begin(), siblings.end(), control);
            if (it == siblings.end())
                return false;
            const int count = static_cast<int>(siblings.size());
            int index = static_cast<int>(it - siblings.begin());
            for (int step = 1; step < count; ++step) {
                index = (index + (forward ? 1 : count - 1)) % count;
                if (CanTakeFocus(siblings[static_cast<size_t>(index)])) {
                    siblings[static_cast<size_t>(index)]->SetFocus();
                    break;
                }
            }
            return true;
        }
        case VK_RETURN:
        case VK_ESCAPE: {
            if (shift || ctrl || alt || (code & DLGC_WANTALLKEYS))
                return false;
            TWinControl* target = m_cancelButton;
            if (msg.wParam == VK_RETURN)
                target = control && control->ClickedByEnter() ? control : m_defaultButton;
            // A registered button that has moved to another form is not this
            // form's any more.
            if (!target || target->ParentForm() != this || !CanTakeFocus(target))
                return false;
            target->Click();
            return true;
        }
        default:
            return false;
        }
    }
    if (msg.message == WM_SYSCHAR || (msg.message == WM_CHAR && !(code & DLGC_WANTCHARS))) {
        for (TWinControl* c : order) {
            if (c->IsAccelerator(static_cast<char>(msg.wParam)) && CanTakeFocus(c)) {
                c->Click();
                return true;
            }
        }
    }
    return false;
}

void TForm::FocusFirstControl()
{
    if (m_activeControl && m_activeControl->CanFocus()) {
        m_activeControl->SetFocus();
        return;
    }
    std::vector<TWinControl*> order;
    CollectTabOrder(this, order);
    for (TWinControl* control : order) {
        if (control->TabStop() && control->CanFocus()) {
            control->SetFocus();
            return;
        }
    }
    ::SetFocus(Handle());
}

int32_t TForm::RunModal()
{
    if (Visible() || !Enabled() || m_modal || m_formStyle == fsMDIChild)
        throw EInvalidOperation(StrId::SCannotShowModal);
    if (HWND capture = GetCapture()) {
        SendMessageA(capture, WM_CANCELMODE, 0, 0);
        ReleaseCapture();
    }
    m_modal = true;
    TScreen& screen = TScreen::Instance();
    HWND activeWindow = GetActiveWindow();
    const int focusCount = screen.FocusCount();
    // The form that gets the focus back may be freed while this one runs
    // (Release): the free notification then clears it.
    m_returnFocus = screen.FocusedForm();
    if (m_returnFocus)
        m_returnFocus->FreeNotification(this);
    const TCursor cursor = screen.Cursor();
    screen.RestoreFocusedForm(this);
    screen.SetCursor(crDefault);
    std::vector<HWND> disabled = DisableTaskWindows(Handle());
    const ScopeExit restore([&] {
        try {
            Hide();
        } catch (...) {
            ReportCallbackException(this);
        }
        screen.SetCursor(cursor);
        EnableTaskWindows(disabled);
        screen.RestoreFocusedForm(std::exchange(m_returnFocus, nullptr));
        if (activeWindow)
            SetActiveWindow(activeWindow);
        screen.SetFocusCount(focusCount);
        m_modal = false;
    });

    Show();
    CallHandler(this, [this] { Activate(); });
    m_modalResult = 0;
    do {
        HandleOneMessageOrWait();
        if (LoopTerminated()) {
            m_modalResult = mrCancel;
        } else if (m_modalResult != 0) {
            // The modal close step: the handlers may keep the form open.
            const bool ran = CallHandler(this, [this] {
                bool canClose = true;
                m_onCloseQuery(this, canClose);
                TCloseAction action = caHide;
                if (canClose)
                    m_onClose(this, action);
                if (!canClose || action == caNone)
                    m_modalResult = 0;
                else if (action == caFree)
                    Release();
            });
            if (!ran)
                m_modalResult = 0;
        }
    } while (m_modalResult == 0);
    const int32_t result = m_modalResult;
    CallHandler(this, [this] { Deactivate(); });
    if (GetActiveWindow() != Handle())
        activeWindow = nullptr;
    return result;
}

void TForm::FocusControl(TWinControl* control)
{
    if (control != this)
        SetActiveControl(control);
    TScreen::Instance().SetFocusedForm(this);
}

void TForm::SetActiveControl(TWinControl* control)
{
    m_activeControl = control;
    if (control)
        control->FreeNotification(this);
}

void TForm::SetDialogButtons(TWinControl* button, bool isDefault, bool isCancel)
{
    if (isDefault)
        m_defaultButton = button;
    else if (m_defaultButton == button)
        m_defaultButton = nullptr;
    if (isCancel)
        m_cancelButton = button;
    else if (m_cancelButton == button)
        m_cancelButton = nullptr;
    if (isDefault || isCancel)
        button->FreeNotification(this);
}

void TForm::Notification(TComponent* component, TOperation operation)
{
    TScrollingWinControl::Notification(component, operation);
    if (operation != opRemove)
        return;
    if (component == m_activeControl)
        m_activeControl = nullptr;
    if (component == m_returnFocus)
        m_returnFocus = nullptr;
    if (component == m_defaultButton)
        m_defaultButton = nullptr;
    if (component == m_cancelButton)
        m_cancelButton = nullptr;
}

std::vector<TComponent*> TForm::GetChildren(TComponent* root) const
{
    // Components without a parent (timers, dialogs) first, then the controls.
    std::vector<TComponent*> children;
    if (root == this)
        for (int i = 0; i < ComponentCount(); ++i)
            if (!Components(i)->HasParent())
                children.push_back(Components(i));
    for (TComponent* control : TScrollingWinControl::GetChildren(root))
        children.push_back(control);
    return children;
}

namespace {

// The window styles a form's border style and icons give; the frame around
// the client area follows from them.
void FormStyles(TFormBorderStyle border, DWORD& style, DWORD& exStyle)
{
    style = 0;
    exStyle = 0;
    switch (border) {
    case bsNone: style = WS_POPUP; break;
    case bsSingle: style = WS_CAPTION | WS_BORDER; break;
    case bsSizeable: style = WS_CAPTION | WS_THICKFRAME; break;
    case bsDialog: style = WS_POPUP | WS_CAPTION; exStyle = WS_EX_DLGMODALFRAME; break;
    case bsToolWindow: style = WS_CAPTION; exStyle = WS_EX_TOOLWINDOW; break;
    case bsSizeToolWin: style = WS_CAPTION | WS_THICKFRAME; exStyle = WS_EX_TOOLWINDOW; break;
    }
}

RECT FrameRect(TFormBorderStyle border)
{
    DWORD style;
    DWORD exStyle;
    FormStyles(border, style, exStyle);
    RECT rect = {0, 0, 0, 0};
    AdjustWindowRectEx(&rect, style, FALSE, exStyle);
    return rect;
}

// The height of the text "0" in a font, measured on the screen.
int32_t TextHeightOf(const TFont& font)
{
    ScopedDC screen;
    ScopedSelect select(screen.Get(), font.Handle());
    SIZE size = {0, 0};
    GetTextExtentPoint32A(screen.Get(), "0", 1, &size);
    return size.cy;
}

} // namespace

void TForm::CreateParams(TCreateParams& params)
{
    TScrollingWinControl::CreateParams(params);
    DWORD style;
    DWORD exStyle;
    FormStyles(m_borderStyle, style, exStyle);
    params.Style = style | WS_CLIPCHILDREN;
    params.ExStyle = exStyle;
    params.WndParent = FormOwnerWindow();
    const bool framed = m_borderStyle == bsSingle || m_borderStyle == bsSizeable;
    switch (m_borderStyle) {
    case bsNone:
        break;
    case bsDialog:
        if (m_borderIcons.Contains(biSystemMenu))
            params.Style |= WS_SYSMENU;
        if (m_borderIcons.Contains(biHelp))
            params.ExStyle |= WS_EX_CONTEXTHELP;
        break;
    case bsToolWindow:
    case bsSizeToolWin:
        if (m_borderIcons.Contains(biSystemMenu))
            params.Style |= WS_SYSMENU;
        break;
    default:
        if (m_borderIcons.Contains(biSystemMenu))
            params.Style |= WS_SYSMENU;
        if (m_borderIcons.Contains(biMinimize))
            params.Style |= WS_MINIMIZEBOX;
        if (m_borderIcons.Contains(biMaximize))
            params.Style |= WS_MAXIMIZEBOX;
        if (m_borderIcons.Contains(biHelp) && !m_borderIcons.Contains(biMinimize) && !m_borderIcons.Contains(biMaximize))
            params.ExStyle |= WS_EX_CONTEXTHELP;
        break;
    }
    // Only a framed form starts minimised or maximised; any other is made
    // in its normal state, whatever was stored.
    if (framed && m_windowState == wsMinimized)
        params.Style |= WS_MINIMIZE;
    else if (framed && m_windowState == wsMaximized)
        params.Style |= WS_MAXIMIZE;
    else
        m_windowState = wsNormal;
    if (m_position == poDefault || m_position == poDefaultPosOnly)
        params.X = params.Y = static_cast<int>(CW_USEDEFAULT);
    if ((m_position == poDefault || m_position == poDefaultSizeOnly) &&
        (m_borderStyle == bsSizeable || m_borderStyle == bsSizeToolWin))
        params.Width = params.Height = static_cast<int>(CW_USEDEFAULT);
}

void TForm::CreateHandleDone()
{
    HWND window = Handle();
    if (m_formStyle == fsStayOnTop)
        SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    if (HMENU menu = GetSystemMenu(window, FALSE)) {
        if (m_borderStyle == bsDialog) {
            // A dialog keeps only Move and Close.
            DeleteMenu(menu, SC_TASKLIST, MF_BYCOMMAND);
            DeleteMenu(menu, 7, MF_BYPOSITION);
            DeleteMenu(menu, 5, MF_BYPOSITION);
            DeleteMenu(menu, SC_MAXIMIZE, MF_BYCOMMAND);
            DeleteMenu(menu, SC_MINIMIZE, MF_BYCOMMAND);
            DeleteMenu(menu, SC_SIZE, MF_BYCOMMAND);
            DeleteMenu(menu, SC_RESTORE, MF_BYCOMMAND);
        } else {
            if (!m_borderIcons.Contains(biMinimize))
                EnableMenuItem(menu, SC_MINIMIZE, MF_BYCOMMAND | MF_GRAYED);
            if (!m_borderIcons.Contains(biMaximize))
                EnableMenuItem(menu, SC_MAXIMIZE, MF_BYCOMMAND | MF_GRAYED);
        }
    }
    if (HICON icon = m_icon->Handle())
        SendMessageA(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
}

void TForm::WndProc(TMessage& message)
{
    switch (message.Msg) {
    case WM_ACTIVATE:
        // Activation puts the focus on the form's control, not on the form.
        if (LOWORD(message.WParam) != WA_INACTIVE && !HIWORD(message.WParam)) {
            FocusFirstControl();
            message.Result = 0;
            return;
        }
        break;
    case WM_CLOSE:
        Close();
        return;
    case CM_RELEASE:
        TComponent::Free(this);
        return;
    default:
        break;
    }
    TScrollingWinControl::WndProc(message);
}

int32_t TForm::FrameWidth() const
{
    const RECT r = FrameRect(m_borderStyle);
    return r.right - r.left;
}

int32_t TForm::FrameHeight() const
{
    const RECT r = FrameRect(m_borderStyle);
    return r.bottom - r.top;
}

// While the design is read, a client size already read stands for the
// form's, so that setting one side keeps the other as read.
int32_t TForm::ClientWidth() const
{
    if (ComponentState().Contains(csReading) && m_storedClientWidth > 0)
        return m_storedClientWidth;
    return Width() - FrameWidth();
}

int32_t TForm::ClientHeight() const
{
    if (ComponentState().Contains(csReading) && m_storedClientHeight > 0)
        return m_storedClientHeight;
    return Height() - FrameHeight();
}

void TForm::SetClientSize(int32_t width, int32_t height)
{
    // While the design is read the border style may still change, so the
    // stored client size is applied once the whole design is in.
    if (ComponentState().Contains(csReading)) {
        m_storedClientWidth = width;
        m_storedClientHeight = height;
        return;
    }
    SetBounds(Left(), Top(), width + FrameWidth(), height + FrameHeight());
}

void TForm::DefineProperties(TFiler& filer)
{
    TScrollingWinControl::DefineProperties(filer);
    filer.DefineProperty(
        "PixelsPerInch", [this](TReader& r) { m_pixelsPerInch = r.ReadInteger(); },
        [this](TWriter& w) { w.WriteInteger(m_pixelsPerInch); }, true);
    filer.DefineProperty(
        "TextHeight", [this](TReader& r) { m_storedTextHeight = r.ReadInteger(); },
        [this](TWriter& w) { w.WriteInteger(TextHeightOf(*Font())); }, true);
}

void TForm::ReadState(TReader& reader)
{
    m_storedTextHeight = 0;
    m_storedClientWidth = 0;
    m_storedClientHeight = 0;
    m_pixelsPerInch = 0;
    TFont fontBefore;
    fontBefore.Assign(*Font());
    TScrollingWinControl::ReadState(reader);

    const int32_t storedPixelsPerInch = m_pixelsPerInch;
    const int32_t screenPixelsPerInch = TScreen::Instance().PixelsPerInch();
    if (storedPixelsPerInch != 0 && m_storedTextHeight > 0) {
        if (!Font()->SameAs(fontBefore) && storedPixelsPerInch != screenPixelsPerInch)
            Font()->SetHeight(MulDiv(Font()->Height(), screenPixelsPerInch, storedPixelsPerInch));
        m_pixelsPerInch = screenPixelsPerInch;
        ScaleForm(m_storedTextHeight, storedPixelsPerInch);
    } else {
        m_pixelsPerInch = screenPixelsPerInch;
    }
    if (m_storedClientWidth > 0 || m_storedClientHeight > 0) {
        const int32_t width = m_storedClientWidth > 0 ? m_storedClientWidth : ClientWidth();
        const int32_t height = m_storedClientHeight > 0 ? m_storedClientHeight : ClientHeight();
        SetBounds(Left(), Top(), width + FrameWidth(), height + FrameHeight());
    }
}

// Scales the controls (and the stored client size) by the ratio of the text
// height in the form's font on this screen to the one the design was made
// with, so that text still fits. At equal heights nothing moves.
void TForm::ScaleForm(int32_t storedTextHeight, int32_t storedPixelsPerInch)
{
    const int32_t textHeight = TextHeightOf(*Font());
    if (textHeight == storedTextHeight)
        return;
    auto scale = [&](int32_t v) { return MulDiv(v, textHeight, storedTextHeight); };
    m_storedClientWidth = scale(m_storedClientWidth);
    m_storedClientHeight = scale(m_storedClientHeight);
    // NOTE: a design that stores the form's outer size instead of its client
    // size has the client part of it scaled too: otherwise the scaled
    // controls would no longer fit into the form. The frame the design was
    // made with is this screen's frame at the design's pixels per inch, as
    // the platform draws frames by the pixels per inch.
    const int32_t screenPixelsPerInch = TScreen::Instance().PixelsPerInch();
    if (m_storedClientWidth == 0 && WidthStored())
        m_storedClientWidth = scale(Width() - MulDiv(FrameWidth(), storedPixelsPerInch, screenPixelsPerInch));
    if (m_storedClientHeight == 0 && HeightStored())
        m_storedClientHeight = scale(Height() - MulDiv(FrameHeight(), storedPixelsPerInch, screenPixelsPerInch));
    for (int i = 0; i < ComponentCount(); ++i)
        if (auto* control = dynamic_cast<TControl*>(Components(i)))
            control->ChangeScale(textHeight, storedTextHeight);
}

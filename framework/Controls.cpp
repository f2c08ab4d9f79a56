// The controls: bounds, caption, colour and font that may follow the parent's,
// showing and painting, the parent-child tree and tab order of windowed
// controls, and the making and destroying of their windows.
#include "framework/Controls.h"

#include <algorithm>

#include "framework/Forms.h"
#include "framework/WindowProc.h"

template <>
const TEnumTypeInfo& EnumTypeOf<TControlStyleFlag>()
{
    static const TEnumTypeInfo info =
        EnumType<csFixedHeight>("TControlStyleFlag", {"csOpaque", "csFramed", "csFixedWidth", "csFixedHeight"});
    return info;
}

template <>
const TEnumTypeInfo& EnumTypeOf<TBorderStyle>()
{
    static const TEnumTypeInfo info = EnumType<TBorderStyle::bsSingle>("TBorderStyle", {"bsNone", "bsSingle"});
    return info;
}

template <>
const TEnumTypeInfo& EnumTypeOf<TAlign>()
{
    static const TEnumTypeInfo info =
        EnumType<alClient>("TAlign", {"alNone", "alTop", "alBottom", "alLeft", "alRight", "alClient"});
    return info;
}

template <>
const TEnumTypeInfo& EnumTypeOf<TDragMode>()
{
    static const TEnumTypeInfo info = EnumType<dmAutomatic>("TDragMode", {"dmManual", "dmAutomatic"});
    return info;
}

template <>
const TEnumTypeInfo& EnumTypeOf<TShiftStateFlag>()
{
    static const TEnumTypeInfo info = EnumType<ssDouble>(
        "TShiftStateFlag", {"ssShift", "ssAlt", "ssCtrl", "ssLeft", "ssRight", "ssMiddle", "ssDouble"});
    return info;
}

const TEventTypeInfo MouseEventType{"TMouseEvent"};
const TEventTypeInfo MouseMoveEventType{"TMouseMoveEvent"};
const TEventTypeInfo KeyEventType{"TKeyEvent"};
const TEventTypeInfo KeyPressEventType{"TKeyPressEvent"};
const TEventTypeInfo DragDropEventType{"TDragDropEvent"};
const TEventTypeInfo DragOverEventType{"TDragOverEvent"};
const TEventTypeInfo EndDragEventType{"TEndDragEvent"};
const TEventTypeInfo StartDragEventType{"TStartDragEvent"};

// ---------------------------------------------------------------------------
// TControl

const TClassInfo& TControl::StaticClassInfo()
{
    static const TClassInfo info = ClassInfoBuilder<TControl, TComponent>("TControl")
        .Property<&TControl::Left, &TControl::SetLeft>("Left")
        .Property<&TControl::Top, &TControl::SetTop>("Top")
        .Property<&TControl::Width, &TControl::SetWidth>("Width")
        .Property<&TControl::Height, &TControl::SetHeight>("Height")
        .Property<&TControl::Cursor, &TControl::SetCursor>("Cursor", crDefault)
        .Property<&TControl::Hint, &TControl::SetHint>("Hint")
        .Declare<&TControl::Align, &TControl::SetAlign>("Align", alNone)
        .Declare<&TControl::Caption, &TControl::SetCaption>("Caption")
        .Declare<&TControl::Color, &TControl::SetColor>("Color")
        .Declare<&TControl::DragCursor, &TControl::SetDragCursor>("DragCursor", static_cast<TCursor>(-12))
        .Declare<&TControl::DragMode, &TControl::SetDragMode>("DragMode", dmManual)
        .Declare<&TControl::Enabled, &TControl::SetEnabled>("Enabled", true)
        .Declare<&TControl::Font, &TControl::SetFont>("Font")
        .Declare<&TControl::ParentColor, &TControl::SetParentColor>("ParentColor", true)
        .Declare<&TControl::ParentFont, &TControl::SetParentFont>("ParentFont", true)
        .Declare<&TControl::ParentShowHint, &TControl::SetParentShowHint>("ParentShowHint", true)
        .Declare<&TControl::PopupMenu, &TControl::SetPopupMenu>("PopupMenu")
        .Declare<&TControl::ShowHint, &TControl::SetShowHint>("ShowHint", false)
        .Declare<&TControl::Text, &TControl::SetText>("Text")
        .Declare<&TControl::Visible, &TControl::SetVisible>("Visible", true)
        .Declare<&TControl::OnClick, &TControl::SetOnClick>("OnClick")
        .Declare<&TControl::OnDblClick, &TControl::SetOnDblClick>("OnDblClick")
        .Declare<&TControl::OnDragDrop, &TControl::SetOnDragDrop>("OnDragDrop")
        .Declare<&TControl::OnDragOver, &TControl::SetOnDragOver>("OnDragOver")
        .Declare<&TControl::OnEndDrag, &TControl::SetOnEndDrag>("OnEndDrag")
        .Declare<&TControl::OnMouseDown, &TControl::SetOnMouseDown>("OnMouseDown")
        .Declare<&TControl::OnMouseMove, &TControl::SetOnMouseMove>("OnMouseMove")
        .Declare<&TControl::OnMouseUp, &TControl::SetOnMouseUp>("OnMouseUp")
        .Declare<&TControl::OnStartDrag, &TControl::SetOnStartDrag>("OnStartDrag")
        .Build();
    return info;
}

TControl::TControl(TComponent* owner) : TComponent(owner), m_font(std::make_unique<TFont>())
{
    m_font->OnChange = [this] { FontChanged(); };
}

TControl::~TControl()
{
    PrepareDestroy();
    if (m_parent)
        m_parent->RemoveControl(this);
}

void TControl::SetBounds(int32_t left, int32_t top, int32_t width, int32_t height)
{
    if (left == m_left && top == m_top && width == m_width && height == m_height)
        return;
    // The area the control leaves must be repainted by its parent too.
    if (m_parent && m_parent->HandleAllocated() && m_visible) {
        const RECT old = BoundsRect();
        InvalidateRect(m_parent->Handle(), &old, TRUE);
    }
    m_left = left;
    m_top = top;
    m_width = width;
    m_height = height;
    Changed();
}

void TControl::SetClientSize(int32_t width, int32_t height)
{
    SetBounds(m_left, m_top, m_width + width - ClientWidth(), m_height + height - ClientHeight());
}

void TControl::SetShowHint(bool value)
{
    m_showHint = value;
    m_parentShowHint = false;
}

void TControl::SetParentShowHint(bool value)
{
    m_parentShowHint = value;
}

void TControl::SetText(const std::string& value)
{
    if (value == m_text)
        return;
    m_text = value;
    Changed();
}

void TControl::SetVisible(bool value)
{
    if (value == m_visible)
        return;
    m_visible = value;
    Changed();
}

void TControl::SetEnabled(bool value)
{
    if (value == m_enabled)
        return;
    m_enabled = value;
    Changed();
}

void TControl::SetColor(TColor value)
{
    if (value == m_color) {
        m_parentColor = false;
        return;
    }
    m_color = value;
    m_parentColor = false;
    Changed();
}

void TControl::SetParentColor(bool value)
{
    if (value == m_parentColor)
        return;
    m_parentColor = value;
    if (value && m_parent)
        ParentColorChanged();
}

void TControl::ParentColorChanged()
{
    if (!m_parentColor || !m_parent)
        return;
    SetColor(m_parent->Color());
    m_parentColor = true;
}

void TControl::SetFont(TFont* value)
{
    if (value)
        m_font->Assign(*value);
}

// Any change of the font, other than taking the parent's, makes the font the
// control's own.
void TControl::FontChanged()
{
    if (!m_takingParentFont) {
        m_parentFont = false;
        MarkStored(sfFont);
    }
    Changed();
}

void TControl::ChangeScale(int32_t multiplier, int32_t divisor)
{
    auto scale = [&](int32_t v) { return MulDiv(v, multiplier, divisor); };
    const int32_t left = m_scaling & sfLeft ? scale(m_left) : m_left;
    const int32_t top = m_scaling & sfTop ? scale(m_top) : m_top;
    // The right and bottom edges are scaled, so that neighbours still meet.
    const int32_t width = (m_scaling & sfWidth) && !m_controlStyle.Contains(csFixedWidth)
                              ? scale(m_left + m_width) - scale(m_left)
                              : m_width;
    const int32_t height = (m_scaling & sfHeight) && !m_controlStyle.Contains(csFixedHeight)
                               ? scale(m_top + m_height) - scale(m_top)
                               : m_height;
    const bool font = (m_scaling & sfFont) && !m_parentFont;
    m_scaling = 0;
    SetBounds(left, top, width, height);
    if (font)
        m_font->SetHeight(scale(m_font->Height()));
}

void TControl::SetParentFont(bool value)
{
    if (value == m_parentFont)
        return;
    m_parentFont = value;
    if (value && m_parent)
        ParentFontChanged();
}

void TControl::ParentFontChanged()
{
    if (!m_parentFont || !m_parent)
        return;
    m_takingParentFont = true;
    m_font->Assign(*m_parent->Font());
    m_takingParentFont = false;
}

void TControl::SetPopupMenu(TComponent* value)
{
    m_popupMenu = value;
    if (value)
        value->FreeNotification(this);
}

void TControl::Notification(TComponent* component, TOperation operation)
{
    TComponent::Notification(component, operation);
    if (operation == opRemove && component == m_popupMenu)
        m_popupMenu = nullptr;
}

void TControl::SetParent(TWinControl* parent)
{
    if (parent == m_parent || parent == this)
        return;
    if (m_parent) {
        Invalidate();  // the place it leaves on the old parent
        m_parent->RemoveControl(this);
    }
    auto* windowed = dynamic_cast<TWinControl*>(this);
    if (parent) {
        parent->InsertControl(this);
        ParentFontChanged();
        ParentColorChanged();
    }
    // A window follows its control: it moves to the new parent's window, is
    // made when that window exists already, and goes when there is none.
    if (windowed && windowed->HandleAllocated()) {
        if (parent && parent->HandleAllocated())
            ::SetParent(windowed->Handle(), parent->Handle());
        else
            windowed->DestroyHandle();
    } else if (windowed && parent && parent->HandleAllocated()) {
        windowed->HandleNeeded();
    } else {
        Invalidate();
    }
}

TComponent* TControl::GetParentComponent() const
{
    return m_parent;
}

void TControl::SetParentComponent(TComponent* parent)
{
    SetParent(dynamic_cast<TWinControl*>(parent));
}

void TControl::UpdateBounds(int32_t left, int32_t top, int32_t width, int32_t height)
{
    m_left = left;
    m_top = top;
    m_width = width;
    m_height = height;
}

void TControl::Changed()
{
    Invalidate();
}

void TControl::Invalidate()
{
    // A control without a window is drawn by its parent: its rectangle of
    // the parent's window is repainted. An opaque control paints every pixel
    // itself, so the parent need not erase behind it.
    if (m_parent && m_parent->HandleAllocated() && m_visible) {
        const RECT r = BoundsRect();
        InvalidateRect(m_parent->Handle(), &r, !m_controlStyle.Contains(csOpaque));
    }
}

void TControl::Repaint()
{
    Invalidate();
    if (m_parent && m_parent->HandleAllocated())
        UpdateWindow(m_parent->Handle());
}

void TControl::Paint(HDC) {}

void TControl::Click()
{
    m_onClick(this);
}

void TControl::DblClick()
{
    m_onDblClick(this);
}

TForm* TControl::ParentForm() const
{
    const TControl* c = this;
    while (c->m_parent)
        c = c->m_parent;
    return dynamic_cast<TForm*>(const_cast<TControl*>(c));
}

// ---------------------------------------------------------------------------
// TWinControl

const TClassInfo& TWinControl::StaticClassInfo()
{
    static const TClassInfo info = ClassInfoBuilder<TWinControl, TControl>("TWinControl")
        .Property<&TWinControl::HelpContext, &TWinControl::SetHelpContext>("HelpContext", 0)
        .Declare<&TWinControl::Ctl3D, &TWinControl::SetCtl3D>("Ctl3D", true)
        .Declare<&TWinControl::ParentCtl3D, &TWinControl::SetParentCtl3D>("ParentCtl3D", true)
        .Declare<&TWinControl::TabOrder, &TWinControl::SetTabOrder>("TabOrder", -1)
        .Declare<&TWinControl::TabStop, &TWinControl::SetTabStop>("TabStop", false)
        .Declare<&TWinControl::OnEnter, &TWinControl::SetOnEnter>("OnEnter")
        .Declare<&TWinControl::OnExit, &TWinControl::SetOnExit>("OnExit")
        .Declare<&TWinControl::OnKeyDown, &TWinControl::SetOnKeyDown>("OnKeyDown")
        .Declare<&TWinControl::OnKeyPress, &TWinControl::SetOnKeyPress>("OnKeyPress")
        .Declare<&TWinControl::OnKeyUp, &TWinControl::SetOnKeyUp>("OnKeyUp")
        .Build();
    return info;
}

TWinControl::TWinControl(TComponent* owner) : TControl(owner) {}

TWinControl::~TWinControl()
{
    PrepareDestroy();
    // Controls parented here but owned elsewhere lose their parent.
    while (!m_controls.empty())
        RemoveControl(m_controls.back());
    DestroyHandle();
}

void TWinControl::InsertControl(TControl* control)
{
    m_controls.push_back(control);
    if (auto* windowed = dynamic_cast<TWinControl*>(control))
        m_tabList.push_back(windowed);
    control->m_parent = this;
}

void TWinControl::RemoveControl(TControl* control)
{
    m_controls.erase(std::remove(m_controls.begin(), m_controls.end(), control), m_controls.end());
    m_tabList.erase(std::remove(m_tabList.begin(), m_tabList.end(), control), m_tabList.end());
    if (control->m_parent == this)
        control->m_parent = nullptr;
}

int32_t TWinControl::TabOrder() const
{
    TWinControl* parent = Parent();
    if (!parent)
        return -1;
    const auto& list = parent->m_tabList;
    return static_cast<int32_t>(std::find(list.begin(), list.end(), this) - list.begin());
}

void TWinControl::SetTabOrder(int32_t value)
{
    TWinControl* parent = Parent();
    if (!parent)
        return;
    auto& list = parent->m_tabList;
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
    if (IsLoading()) {
        // While a form is read its controls arrive in stream order, not tab
        // order: each goes before the first sibling that asked for a higher
        // position, so that the stored tab orders hold once all are read.
        m_requestedTabOrder = value;
        auto it = std::find_if(list.begin(), list.end(),
                               [value](const TWinControl* c) { return c->m_requestedTabOrder > value; });
        list.insert(it, this);
        return;
    }
    const auto count = static_cast<int32_t>(list.size());
    if (value < 0 || value > count)
        value = count;
    list.insert(list.begin() + value, this);
}

std::vector<TWinControl*> TWinControl::TabList() const
{
    return m_tabList;
}

void TWinControl::SetCtl3D(bool value)
{
    m_ctl3D = value;
    m_parentCtl3D = false;
}

void TWinControl::SetParentCtl3D(bool value)
{
    m_parentCtl3D = value;
    if (value && Parent())
        m_ctl3D = Parent()->Ctl3D();
}

std::vector<TComponent*> TWinControl::GetChildren(TComponent* root) const
{
    std::vector<TComponent*> children;
    for (TControl* control : m_controls)
        if (control->Owner() == root)
            children.push_back(control);
    return children;
}

void TWinControl::SetChildOrder(TComponent* child, int order)
{
    auto it = std::find(m_controls.begin(), m_controls.end(), child);
    if (it == m_controls.end())
        return;
    TControl* control = *it;
    m_controls.erase(it);
    order = std::clamp(order, 0, static_cast<int>(m_controls.size()));
    m_controls.insert(m_controls.begin() + order, control);
}

void TWinControl::FontChanged()
{
    TControl::FontChanged();
    if (m_handle)
        SendMessageA(m_handle, WM_SETFONT, reinterpret_cast<WPARAM>(Font()->Handle()), TRUE);
    for (TControl* control : m_controls)
        control->ParentFontChanged();
}

void TWinControl::ParentColorChanged()
{
    TControl::ParentColorChanged();
    for (TControl* control : m_controls)
        control->ParentColorChanged();
}

HWND TWinControl::Handle()
{
    if (!m_handle)
        CreateWnd();
    return m_handle;
}

void TWinControl::CreateParams(TCreateParams& params)
{
    params.Caption = StoredText();
    params.Style = WS_CHILD | WS_CLIPSIBLINGS;
    if (Visible())
        params.Style |= WS_VISIBLE;
    if (!Enabled())
        params.Style |= WS_DISABLED;
    if (m_tabStop)
        params.Style |= WS_TABSTOP;
    params.X = Left();
    params.Y = Top();
    params.Width = Width();
    params.Height = Height();
}

void TWinControl::CreateWnd()
{
    TCreateParams params;
    CreateParams(params);
    if (params.Style & WS_CHILD) {
        if (!Parent())
            return;  // a child window needs its parent's window
        params.WndParent = Parent()->Handle();
    }
    const std::string className(ClassName());
    m_defWndProc = RegisterControlClass(className, params);
    HWND window = CreateBoundWindow(this, className, params);
    if (!window)
        throw EOutOfResources(StrId::SWindowCreate);
    if (!m_handle)
        AttachHandle(window);
    SendMessageA(window, WM_SETFONT, reinterpret_cast<WPARAM>(Font()->Handle()), FALSE);
    CreateHandleDone();
    for (TControl* control : std::vector<TControl*>(m_controls))
        if (auto* windowed = dynamic_cast<TWinControl*>(control))
            windowed->HandleNeeded();
}

void TWinControl::DestroyHandle()
{
    if (m_handle)
        DestroyWindow(m_handle);
}

void TWinControl::RecreateWnd()
{
    if (!m_handle)
        return;
    DestroyHandle();
    HandleNeeded();
}

void TWinControl::DefaultHandler(TMessage& message)
{
    message.Result = CallWindowProcA(m_defWndProc ? m_defWndProc : DefWindowProcA, m_handle, message.Msg,
                                     message.WParam, message.LParam);
}

void TWinControl::WndProc(TMessage& message)
{
    switch (message.Msg) {
    case WM_PAINT:
        WmPaint(message);
        return;
    case WM_ERASEBKGND:
        WmEraseBackground(message);
        return;
    case WM_COMMAND:
        if (message.LParam) {
            if (TWinControl* child = FindControl(reinterpret_cast<HWND>(message.LParam));
                child && child->CnCommand(HIWORD(message.WParam)))
                return;
        }
        break;
    case WM_DRAWITEM: {
        auto& item = *reinterpret_cast<DRAWITEMSTRUCT*>(message.LParam);
        if (TWinControl* child = FindControl(item.hwndItem); child && child->CnDrawItem(item)) {
            message.Result = TRUE;
            return;
        }
        break;
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
        if (TWinControl* child = FindControl(reinterpret_cast<HWND>(message.LParam))) {
            message.Result = reinterpret_cast<LRESULT>(child->CnCtlColor(reinterpret_cast<HDC>(message.WParam)));
            return;
        }
        break;
    case WM_CHAR: {
        char key = static_cast<char>(message.WParam);
        KeyPress(key);
        if (key == '\0')
            return;
        message.WParam = static_cast<unsigned char>(key);
        break;
    }
    case WM_WINDOWPOSCHANGED:
        DefaultHandler(message);
        UpdateBoundsFromWindow();
        return;
    case WM_SETFOCUS:
        DefaultHandler(message);
        if (TForm* form = ParentForm())
            form->FocusControl(this);
        return;
    case WM_NCDESTROY:
        DefaultHandler(message);
        DetachHandle();
        return;
    default:
        break;
    }
    DefaultHandler(message);
}

void TWinControl::UpdateBoundsFromWindow()
{
    RECT r;
    GetWindowRect(m_handle, &r);
    if (HWND parent = GetParent(m_handle); parent && (GetWindowLongA(m_handle, GWL_STYLE) & WS_CHILD))
        MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    UpdateBounds(r.left, r.top, r.right - r.left, r.bottom - r.top);
}

void TWinControl::WmEraseBackground(TMessage& message)
{
    if (IsSystemClass()) {
        DefaultHandler(message);
        return;
    }
    RECT r;
    GetClientRect(m_handle, &r);
    FillRect(reinterpret_cast<HDC>(message.WParam), &r, BackgroundBrush());
    message.Result = 1;
}

void TWinControl::WmPaint(TMessage& message)
{
    if (IsSystemClass()) {
        DefaultHandler(message);
        return;
    }
    ScopedPaint paint(m_handle);
    PaintWindow(paint.Get());
    PaintControls(paint.Get(), paint.Area());
}

void TWinControl::PaintWindow(HDC) {}

void TWinControl::PaintControls(HDC dc, const RECT& area)
{
    for (TControl* control : m_controls) {
        if (dynamic_cast<TWinControl*>(control) || !control->Visible())
            continue;
        const RECT bounds = control->BoundsRect();
        RECT overlap;
        if (!IntersectRect(&overlap, &bounds, &area))
            continue;
        ScopedSaveDC saved(dc);
        SetViewportOrgEx(dc, bounds.left, bounds.top, nullptr);
        IntersectClipRect(dc, 0, 0, control->Width(), control->Height());
        control->Paint(dc);
    }
}

HBRUSH TWinControl::BackgroundBrush()
{
    if (!m_brush || m_brushColor != Color()) {
        m_brush.Reset(CreateSolidBrush(ColorToRGB(Color())));
        m_brushColor = Color();
    }
    return m_brush.Get();
}

bool TWinControl::CnCommand(WORD)
{
    return false;
}

void TWinControl::KeyPress(char& key)
{
    m_onKeyPress(this, key);
}

bool TWinControl::CnDrawItem(DRAWITEMSTRUCT&)
{
    return false;
}

HBRUSH TWinControl::CnCtlColor(HDC dc)
{
    SetTextColor(dc, ColorToRGB(Font()->Color()));
    SetBkColor(dc, ColorToRGB(Color()));
    return BackgroundBrush();
}

std::string TWinControl::GetText() const
{
    if (!m_handle)
        return StoredText();
    const int length = GetWindowTextLengthA(m_handle);
    std::string text(static_cast<size_t>(length) + 1, '\0');
    text.resize(static_cast<size_t>(GetWindowTextA(m_handle, text.data(), length + 1)));
    return text;
}

void TWinControl::SetText(const std::string& value)
{
    SetStoredText(value);
    if (m_handle)
        SetWindowTextA(m_handle, value.c_str());
    else
        Changed();
}

void TWinControl::SetVisible(bool value)
{
    if (value == Visible())
        return;
    TControl::SetVisible(value);
    if (m_handle)
        ShowWindow(m_handle, value ? SW_SHOWNA : SW_HIDE);
}

void TWinControl::SetEnabled(bool value)
{
    if (value == Enabled())
        return;
    TControl::SetEnabled(value);
    if (m_handle)
        EnableWindow(m_handle, value);
}

void TWinControl::SetBounds(int32_t left, int32_t top, int32_t width, int32_t height)
{
    if (left == Left() && top == Top() && width == Width() && height == Height())
        return;
    UpdateBounds(left, top, width, height);
    if (m_handle)
        SetWindowPos(m_handle, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void TWinControl::Invalidate()
{
    if (m_handle)
        InvalidateRect(m_handle, nullptr, !ControlStyle().Contains(csOpaque));
}

void TWinControl::Repaint()
{
    if (m_handle) {
        Invalidate();
        UpdateWindow(m_handle);
    }
}

bool TWinControl::CanFocus() const
{
    for (const TWinControl* c = this; c; c = c->Parent())
        if (!c->Visible() || !c->Enabled())
            return false;
    return true;
}

void TWinControl::SetFocus()
{
    ::SetFocus(Handle());
}

bool TWinControl::Focused() const
{
    return m_handle && GetFocus() == m_handle;
}

LRESULT TWinControl::Perform(UINT msg, WPARAM wParam, LPARAM lParam)
{
    return SendMessageA(Handle(), msg, wParam, lParam);
}

const TClassInfo& TGraphicControl::StaticClassInfo()
{
    static const TClassInfo info = ClassInfoBuilder<TGraphicControl, TControl>("TGraphicControl").Build();
    return info;
}

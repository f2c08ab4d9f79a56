// The standard controls: the painted label, the push button with its default
// and cancel roles, the radio button, the edit box and the group box.
#include "framework/StdCtrls.h"

#include <algorithm>

#include "framework/Forms.h"
#include "framework/GdiHandles.h"
#include "runtime/Paths.h"

template <>
const TEnumTypeInfo& EnumTypeOf<TAlignment>()
{
    static const TEnumTypeInfo info = EnumType<taCenter>("TAlignment", {"taLeftJustify", "taRightJustify", "taCenter"});
    return info;
}

template <>
const TEnumTypeInfo& EnumTypeOf<TLeftRight>()
{
    static const TEnumTypeInfo info =
        EnumType<TLeftRight::taRightJustify>("TLeftRight", {"taLeftJustify", "taRightJustify"});
    return info;
}

template <>
const TEnumTypeInfo& EnumTypeOf<TEditCharCase>()
{
    static const TEnumTypeInfo info =
        EnumType<ecLowerCase>("TEditCharCase", {"ecNormal", "ecUpperCase", "ecLowerCase"});
    return info;
}

namespace {

// Replaces the bits of mask in a window's style with bits.
void ChangeWindowStyle(HWND window, DWORD mask, DWORD bits)
{
    const auto style = static_cast<DWORD>(GetWindowLongA(window, GWL_STYLE)) & ~mask;
    SetWindowLongA(window, GWL_STYLE, static_cast<LONG>(style | bits));
}

// The edit box style that forces a letter case.
DWORD CharCaseStyle(TEditCharCase charCase)
{
    return charCase == ecUpperCase ? ES_UPPERCASE : charCase == ecLowerCase ? ES_LOWERCASE : 0;
}

} // namespace

// ---------------------------------------------------------------------------
// TLabel

const TClassInfo& TLabel::StaticClassInfo()
{
    static const TClassInfo info = ClassInfoBuilder<TLabel, TGraphicControl>("TLabel")
        .Publish("Align")
        .Property<&TLabel::Alignment, &TLabel::SetAlignment>("Alignment", taLeftJustify)
        .Property<&TLabel::AutoSize, &TLabel::SetAutoSize>("AutoSize", true)
        .Publish("Caption", "Color", "DragCursor", "DragMode", "Enabled")
        .Property<&TLabel::FocusControl, &TLabel::SetFocusControl>("FocusControl")
        .Publish("Font", "ParentColor", "ParentFont", "ParentShowHint", "PopupMenu")
        .Property<&TLabel::ShowAccelChar, &TLabel::SetShowAccelChar>("ShowAccelChar", true)
        .Publish("ShowHint")
        .Property<&TLabel::Transparent, &TLabel::SetTransparent>("Transparent", false)
        .Publish("Visible")
        .Property<&TLabel::WordWrap, &TLabel::SetWordWrap>("WordWrap", false)
        .Publish("OnClick", "OnDblClick", "OnDragDrop", "OnDragOver", "OnEndDrag", "OnMouseDown", "OnMouseMove")
        .Publish("OnMouseUp", "OnStartDrag")
        .Build();
    return info;
}

TLabel::TLabel(TComponent* owner) : TGraphicControl(owner)
{
    SetBounds(0, 0, 65, 17);
    SetControlStyle(ControlStyle().Include(csOpaque));
}

void TLabel::LayoutChanged()
{
    Changed();
    AdjustBounds();
}

void TLabel::SetFocusControl(TWinControl* value)
{
    m_focusControl = value;
    if (value)
        value->FreeNotification(this);
}

void TLabel::SetTransparent(bool value)
{
    if (value == m_transparent)
        return;
    m_transparent = value;
    // A label that fills its rectangle needs no erasing behind it.
    TControlStyle style = ControlStyle();
    if (value)
        style.Exclude(csOpaque);
    else
        style.Include(csOpaque);
    SetControlStyle(style);
    Changed();
}

void TLabel::SetText(const std::string& value)
{
    if (value == StoredText())
        return;
    TGraphicControl::SetText(value);
    AdjustBounds();
}

void TLabel::FontChanged()
{
    TGraphicControl::FontChanged();
    AdjustBounds();
}

// The size waits until the whole label has been read: its caption, font and
// alignment arrive one by one.
void TLabel::Loaded()
{
    TGraphicControl::Loaded();
    AdjustBounds();
}

UINT TLabel::TextFlags() const
{
    UINT flags = DT_EXPANDTABS;
    if (m_wordWrap)
        flags |= DT_WORDBREAK;
    switch (m_alignment) {
    case taLeftJustify:
        flags |= DT_LEFT;
        break;
    case taRightJustify:
        flags |= DT_RIGHT;
        break;
    case taCenter:
        flags |= DT_CENTER;
        break;
    }
    if (!m_showAccelChar)
        flags |= DT_NOPREFIX;
    return flags;
}

void TLabel::AdjustBounds()
{
    if (!m_autoSize || IsLoading())
        return;
    const std::string caption = Caption();
    // An empty caption still takes the room of one line.
    const bool blank = caption.empty() || (m_showAccelChar && caption == "&");
    const std::string text = blank ? std::string(1, ' ') : caption;
    RECT r = ClientRect();
    {
        ScopedDC screen;
        ScopedSelect font(screen.Get(), Font()->Handle());
        DrawTextA(screen.Get(), text.c_str(), -1, &r, TextFlags() | DT_CALCRECT);
    }
    const int32_t width = r.right - r.left;
    const int32_t height = r.bottom - r.top;
    int32_t left = Left();
    if (m_alignment == taRightJustify)
        left += Width() - width;
    SetBounds(left, Top(), width, height);
}

void TLabel::Paint(HDC dc)
{
    RECT r = ClientRect();
    if (!m_transparent) {
        Brush background(CreateSolidBrush(ColorToRGB(Color())));
        FillRect(dc, &r, background.Get());
    }
    const std::string text = Caption();
    if (text.empty())
        return;
    ScopedSelect font(dc, Font()->Handle());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, Enabled() ? ColorToRGB(Font()->Color()) : GetSysColor(COLOR_GRAYTEXT));
    DrawTextA(dc, text.c_str(), -1, &r, TextFlags());
}

void TLabel::Notification(TComponent* component, TOperation operation)
{
    TGraphicControl::Notification(component, operation);
    if (operation == opRemove && component == m_focusControl)
        m_focusControl = nullptr;
}

// ---------------------------------------------------------------------------
// TButton

const TClassInfo& TButton::StaticClassInfo()
{
    static const TClassInfo info = ClassInfoBuilder<TButton, TWinControl>("TButton")
        .Property<&TButton::Cancel, &TButton::SetCancel>("Cancel", false)
        .Publish("Caption")
        .Property<&TButton::Default, &TButton::SetDefault>("Default", false)
        .Publish("DragCursor", "DragMode", "Enabled", "Font")
        .Property<&TButton::ModalResult, &TButton::SetModalResult>("ModalResult", 0)
        .Publish("ParentFont", "ParentShowHint", "PopupMenu", "ShowHint", "TabOrder")
        .Publish("TabStop", true)
        .Publish("Visible", "OnClick", "OnDragDrop", "OnDragOver", "OnEndDrag", "OnEnter", "OnExit", "OnKeyDown")
        .Publish("OnKeyPress", "OnKeyUp", "OnMouseDown", "OnMouseMove", "OnMouseUp", "OnStartDrag")
        .Build();
    return info;
}

TButton::TButton(TComponent* owner) : TWinControl(owner)
{
    // The size a button has until its design gives it one.
    SetBounds(0, 0, 75, 25);
    SetTabStop(true);
}

void TButton::CreateParams(TCreateParams& params)
{
    TWinControl::CreateParams(params);
    params.SystemClass = "BUTTON";
    params.Style |= m_default ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
}

bool TButton::CnCommand(WORD notifyCode)
{
    if (notifyCode != BN_CLICKED)
        return false;
    Click();
    return true;
}

// The form learns the button's result first, so that OnClick may read or
// override it.
void TButton::Click()
{
    if (TForm* form = ParentForm())
        form->SetModalResult(m_modalResult);
    TWinControl::Click();
}

void TButton::CreateHandleDone()
{
    // Also for a button put on its form through a parent that was not on
    // the form yet when Default or Cancel was set.
    RegisterWithForm();
}

void TButton::RegisterWithForm()
{
    if (TForm* form = ParentForm())
        form->SetDialogButtons(this, m_default, m_cancel);
}

void TButton::SetCancel(bool value)
{
    m_cancel = value;
    RegisterWithForm();
}

bool TButton::IsAccelerator(char key) const
{
    // The character after the first "&" of the caption that is not "&&".
    const std::string caption = Caption();
    size_t at = caption.find('&');
    while (at != std::string::npos && at + 1 < caption.size() && caption[at + 1] == '&')
        at = caption.find('&', at + 2);
    const char accelerator = at != std::string::npos && at + 1 < caption.size() ? caption[at + 1] : '\0';
    return UpperCaseAscii(accelerator) == UpperCaseAscii(key);
}

void TButton::SetDefault(bool value)
{
    if (value == m_default)
        return;
    m_default = value;
    RegisterWithForm();
    if (!HandleAllocated())
        return;
    TButton* focused = dynamic_cast<TButton*>(FindControl(GetFocus()));
    ShowDefaultFrame(focused ? focused == this : value);
}

void TButton::ShowDefaultFrame(bool on)
{
    if (!HandleAllocated())
        return;
    const auto style = static_cast<DWORD>(GetWindowLongA(Handle(), GWL_STYLE)) & BS_TYPEMASK;
    const DWORD wanted = on ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
    if (style != wanted)
        SendMessageA(Handle(), BM_SETSTYLE, wanted, TRUE);
}

void TButton::UpdateDefaultFrames(TWinControl* parent, TButton* focused)
{
    for (int i = 0; i < parent->ControlCount(); ++i) {
        auto* control = dynamic_cast<TWinControl*>(parent->Controls(i));
        if (!control)
            continue;
        if (auto* button = dynamic_cast<TButton*>(control))
            button->ShowDefaultFrame(focused ? button == focused : button->Default());
        UpdateDefaultFrames(control, focused);
    }
}

// A focused button is the one Enter presses, so it takes the default frame
// from the form's default button for as long as it has the focus.
void TButton::WndProc(TMessage& message)
{
    switch (message.Msg) {
    case WM_SETFOCUS:
        if (TForm* form = ParentForm())
            UpdateDefaultFrames(form, this);
        break;
    case WM_KILLFOCUS: {
        auto* next = dynamic_cast<TButton*>(FindControl(reinterpret_cast<HWND>(message.WParam)));
        if (!next) {
            if (TForm* form = ParentForm())
                UpdateDefaultFrames(form, nullptr);
        }
        break;
    }
    default:
        break;
    }
    TWinControl::WndProc(message);
}

// ---------------------------------------------------------------------------
// TRadioButton

const TClassInfo& TRadioButton::StaticClassInfo()
{
    static const TClassInfo info = ClassInfoBuilder<TRadioButton, TWinControl>("TRadioButton")
        .Property<&TRadioButton::Alignment, &TRadioButton::SetAlignment>("Alignment", TLeftRight::taRightJustify)
        .Publish("Caption")
        .Property<&TRadioButton::Checked, &TRadioButton::SetChecked>("Checked", false)
        .Publish("Color", "Ctl3D", "DragCursor", "DragMode", "Enabled", "Font", "ParentColor", "ParentCtl3D")
        .Publish("ParentFont", "ParentShowHint", "PopupMenu", "ShowHint", "TabOrder", "TabStop", "Visible", "OnClick")
        .Publish("OnDblClick", "OnDragDrop", "OnDragOver", "OnEndDrag", "OnEnter", "OnExit", "OnKeyDown")
        .Publish("OnKeyPress", "OnKeyUp", "OnMouseDown", "OnMouseMove", "OnMouseUp", "OnStartDrag")
        .Build();
    return info;
}

TRadioButton::TRadioButton(TComponent* owner) : TWinControl(owner)
{
    // The size a radio button has until its design gives it one.
    SetBounds(0, 0, 113, 17);
}

void TRadioButton::SetAlignment(TLeftRight value)
{
    if (value == m_alignment)
        return;
    m_alignment = value;
    if (HandleAllocated())
        ChangeWindowStyle(Handle(), BS_LEFTTEXT, value == TLeftRight::taLeftJustify ? BS_LEFTTEXT : 0);
    Changed();
}

// Not the automatic kind: the check mark follows Checked, which also
// unchecks the siblings.
void TRadioButton::CreateParams(TCreateParams& params)
{
    TWinControl::CreateParams(params);
    params.SystemClass = "BUTTON";
    params.Style |= BS_RADIOBUTTON;
    if (m_alignment == TLeftRight::taLeftJustify)
        params.Style |= BS_LEFTTEXT;
}

void TRadioButton::CreateHandleDone()
{
    SendMessageA(Handle(), BM_SETCHECK, m_checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

bool TRadioButton::CnCommand(WORD notifyCode)
{
    if (notifyCode != BN_CLICKED)
        return false;
    SetChecked(true);
    Click();
    return true;
}

// Only the checked button of a group is a tab stop, so that Tab enters the
// group at its selection; the arrow keys move within it.
void TRadioButton::SetChecked(bool value)
{
    if (value == m_checked)
        return;
    m_checked = value;
    SetTabStop(value);
    if (HandleAllocated()) {
        SendMessageA(Handle(), BM_SETCHECK, value ? BST_CHECKED : BST_UNCHECKED, 0);
        // The window's tab stop follows, so that Tab enters the group here.
        ChangeWindowStyle(Handle(), WS_TABSTOP, value ? WS_TABSTOP : 0);
    }
    Changed();
    if (!value)
        return;
    TWinControl* parent = Parent();
    if (!parent)
        return;
    for (int i = 0; i < parent->ControlCount(); ++i) {
        auto* sibling = dynamic_cast<TRadioButton*>(parent->Controls(i));
        if (sibling && sibling != this)
            sibling->SetChecked(false);
    }
}

// ---------------------------------------------------------------------------
// TEdit

const TClassInfo& TEdit::StaticClassInfo()
{
    static const TClassInfo info = ClassInfoBuilder<TEdit, TWinControl>("TEdit")
        .Property<&TEdit::AutoSelect, &TEdit::SetAutoSelect>("AutoSelect", true)
        .Property<&TEdit::AutoSize, &TEdit::SetAutoSize>("AutoSize", true)
        .Property<&TEdit::BorderStyle, &TEdit::SetBorderStyle>("BorderStyle", TBorderStyle::bsSingle)
        .Property<&TEdit::CharCase, &TEdit::SetCharCase>("CharCase", ecNormal)
        .Publish("Color", "Ctl3D", "DragCursor", "DragMode", "Enabled", "Font")
        .Property<&TEdit::HideSelection, &TEdit::SetHideSelection>("HideSelection", true)
        .Property<&TEdit::MaxLength, &TEdit::SetMaxLength>("MaxLength", 0)
        .Property<&TEdit::OEMConvert, &TEdit::SetOEMConvert>("OEMConvert", false)
        .Publish("ParentColor", false)
        .Publish("ParentCtl3D", "ParentFont", "ParentShowHint")
        .Property<&TEdit::PasswordChar, &TEdit::SetPasswordChar>("PasswordChar", '\0')
        .Publish("PopupMenu")
        .Property<&TEdit::ReadOnly, &TEdit::SetReadOnly>("ReadOnly", false)
        .Publish("ShowHint", "TabOrder")
        .Publish("TabStop", true)
        .Publish("Text", "Visible")
        .Property<&TEdit::OnChange, &TEdit::SetOnChange>("OnChange")
        .Publish("OnClick", "OnDblClick", "OnDragDrop", "OnDragOver", "OnEndDrag", "OnEnter", "OnExit", "OnKeyDown")
        .Publish("OnKeyPress", "OnKeyUp", "OnMouseDown", "OnMouseMove", "OnMouseUp", "OnStartDrag")
        .Build();
    return info;
}

TEdit::TEdit(TComponent* owner) : TWinControl(owner)
{
    // The size an edit box has until its design gives it one.
    SetBounds(0, 0, 121, 25);
    SetTabStop(true);
    SetParentColor(false);
    SetColor(clWindow);
}

void TEdit::CreateParams(TCreateParams& params)
{
    TWinControl::CreateParams(params);
    params.SystemClass = "EDIT";
    params.Style |= ES_AUTOHSCROLL;
    if (m_borderStyle == TBorderStyle::bsSingle) {
        if (Ctl3D())
            params.ExStyle |= WS_EX_CLIENTEDGE;
        else
            params.Style |= WS_BORDER;
    }
    if (m_readOnly)
        params.Style |= ES_READONLY;
    if (!m_hideSelection)
        params.Style |= ES_NOHIDESEL;
    if (m_oemConvert)
        params.Style |= ES_OEMCONVERT;
    params.Style |= CharCaseStyle(m_charCase);
}

void TEdit::CreateHandleDone()
{
    SendMessageA(Handle(), EM_LIMITTEXT, static_cast<WPARAM>(m_maxLength), 0);
    if (m_passwordChar != '\0')
        SendMessageA(Handle(), EM_SETPASSWORDCHAR, static_cast<unsigned char>(m_passwordChar), 0);
}

bool TEdit::CnCommand(WORD notifyCode)
{
    if (notifyCode != EN_CHANGE)
        return false;
    m_onChange(this);
    return true;
}

void TEdit::SetMaxLength(int32_t value)
{
    m_maxLength = value;
    if (HandleAllocated())
        SendMessageA(Handle(), EM_LIMITTEXT, static_cast<WPARAM>(value), 0);
}

void TEdit::SetReadOnly(bool value)
{
    m_readOnly = value;
    if (HandleAllocated())
        SendMessageA(Handle(), EM_SETREADONLY, value ? TRUE : FALSE, 0);
}

void TEdit::SetCharCase(TEditCharCase value)
{
    if (value == m_charCase)
        return;
    m_charCase = value;
    if (HandleAllocated())
        ChangeWindowStyle(Handle(), ES_UPPERCASE | ES_LOWERCASE, CharCaseStyle(value));
    Changed();
}

void TEdit::SetPasswordChar(char value)
{
    if (value == m_passwordChar)
        return;
    m_passwordChar = value;
    if (HandleAllocated())
        SendMessageA(Handle(), EM_SETPASSWORDCHAR, static_cast<unsigned char>(value), 0);
    Changed();
}

// ---------------------------------------------------------------------------
// TGroupBox

const TClassInfo& TGroupBox::StaticClassInfo()
{
    static const TClassInfo info = ClassInfoBuilder<TGroupBox, TWinControl>("TGroupBox")
        .Publish("Align", "Caption", "Color", "Ctl3D", "DragCursor", "DragMode", "Enabled", "Font", "ParentColor")
        .Publish("ParentCtl3D", "ParentFont", "ParentShowHint", "PopupMenu", "ShowHint", "TabOrder", "TabStop")
        .Publish("Visible", "OnClick", "OnDblClick", "OnDragDrop", "OnDragOver", "OnEndDrag", "OnEnter", "OnExit")
        .Publish("OnMouseDown", "OnMouseMove", "OnMouseUp", "OnStartDrag")
        .Build();
    return info;
}

TGroupBox::TGroupBox(TComponent* owner) : TWinControl(owner)
{
    // The size a group box has until its design gives it one.
    SetBounds(0, 0, 185, 105);
}

// The frame sits half a caption line down, so that the caption interrupts
// its top edge; the caption is drawn over the frame on the box's colour.
void TGroupBox::PaintWindow(HDC dc)
{
    RECT client;
    GetClientRect(Handle(), &client);
    ScopedSelect font(dc, Font()->Handle());
    TEXTMETRICA metrics{};
    GetTextMetricsA(dc, &metrics);
    RECT frame = client;
    frame.top += metrics.tmHeight / 2;
    DrawEdge(dc, &frame, EDGE_ETCHED, BF_RECT);
    const std::string text = Caption();
    if (text.empty())
        return;
    RECT caption{8, 0, 0, metrics.tmHeight};
    DrawTextA(dc, text.c_str(), -1, &caption, DT_CALCRECT | DT_SINGLELINE | DT_LEFT);
    caption.right = std::min(caption.right, client.right - 8);
    Brush background(CreateSolidBrush(ColorToRGB(Color())));
    RECT behind = caption;
    behind.left -= 1;
    behind.right += 1;
    FillRect(dc, &behind, background.Get());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, Enabled() ? ColorToRGB(Font()->Color()) : GetSysColor(COLOR_GRAYTEXT));
    DrawTextA(dc, text.c_str(), -1, &caption, DT_SINGLELINE | DT_LEFT);
}

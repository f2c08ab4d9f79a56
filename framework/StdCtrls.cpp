#include "framework/StdCtrls.h"

template <>
const TEnumTypeInfo& EnumTypeOf<TAlignment>()
{
    static const TEnumTypeInfo info{"TAlignment", {"taLeftJustify", "taRightJustify", "taCenter"}};
    return info;
}

template <>
const TEnumTypeInfo& EnumTypeOf<TLeftRight>()
{
    static const TEnumTypeInfo info{"TLeftRight", {"taLeftJustify", "taRightJustify"}};
    return info;
}

template <>
const TEnumTypeInfo& EnumTypeOf<TEditCharCase>()
{
    static const TEnumTypeInfo info{"TEditCharCase", {"ecNormal", "ecUpperCase", "ecLowerCase"}};
    return info;
}

template <>
const TEnumTypeInfo& EnumTypeOf<TListBoxStyle>()
{
    static const TEnumTypeInfo info{"TListBoxStyle", {"lbStandard", "lbOwnerDrawFixed", "lbOwnerDrawVariable"}};
    return info;
}

template <>
const TEnumTypeInfo& EnumTypeOf<TComboBoxStyle>()
{
    static const TEnumTypeInfo info{"TComboBoxStyle",
                                    {"csDropDown", "csSimple", "csDropDownList", "csOwnerDrawFixed", "csOwnerDrawVariable"}};
    return info;
}

// ---------------------------------------------------------------------------
// TCustomListBox

const TClassInfo& TCustomListBox::StaticClassInfo()
{
    static const TClassInfo info = ClassInfoBuilder<TCustomListBox, TWinControl>("TCustomListBox").Build();
    return info;
}

TCustomListBox::TCustomListBox(TComponent* owner) : TWinControl(owner), m_items(std::make_unique<TStringList>())
{
    SetBounds(0, 0, 121, 97);
    SetTabStop(true);
    SetParentColor(false);
    SetColor(clWindow);
}

void TCustomListBox::SetItems(TStrings* value)
{
    if (value)
        m_items->Assign(*value);
}

void TCustomListBox::SetItemHeight(int32_t value)
{
    if (value > 0)
        m_itemHeight = value;
}

// ---------------------------------------------------------------------------
// TCustomComboBox

const TClassInfo& TCustomComboBox::StaticClassInfo()
{
    static const TClassInfo info = ClassInfoBuilder<TCustomComboBox, TWinControl>("TCustomComboBox").Build();
    return info;
}

TCustomComboBox::TCustomComboBox(TComponent* owner) : TWinControl(owner), m_items(std::make_unique<TStringList>())
{
    SetBounds(0, 0, 145, 21);
    SetTabStop(true);
    SetParentColor(false);
    SetColor(clWindow);
}

void TCustomComboBox::SetItems(TStrings* value)
{
    if (value)
        m_items->Assign(*value);
}

void TCustomComboBox::SetItemHeight(int32_t value)
{
    if (value > 0)
        m_itemHeight = value;
}

// ---------------------------------------------------------------------------
// TLabel

const TClassInfo& TLabel::StaticClassInfo()
{
    static const TClassInfo info = ClassInfoBuilder<TLabel, TGraphicControl>("TLabel")
        .Property<&TLabel::Align, &TLabel::SetAlign>("Align", alNone)
        .Property<&TLabel::Alignment, &TLabel::SetAlignment>("Alignment", taLeftJustify)
        .Property<&TLabel::AutoSize, &TLabel::SetAutoSize>("AutoSize", true)
        .Property<&TLabel::Caption, &TLabel::SetCaption>("Caption")
        .Property<&TLabel::Color, &TLabel::SetColor>("Color")
        .Property<&TLabel::DragCursor, &TLabel::SetDragCursor>("DragCursor", static_cast<TCursor>(-12))
        .Property<&TLabel::DragMode, &TLabel::SetDragMode>("DragMode", dmManual)
        .Property<&TLabel::Enabled, &TLabel::SetEnabled>("Enabled", true)
        .Property<&TLabel::FocusControl, &TLabel::SetFocusControl>("FocusControl")
        .Property<&TLabel::Font, &TLabel::SetFont>("Font")
        .Property<&TLabel::ParentColor, &TLabel::SetParentColor>("ParentColor", true)
        .Property<&TLabel::ParentFont, &TLabel::SetParentFont>("ParentFont", true)
        .Property<&TLabel::ParentShowHint, &TLabel::SetParentShowHint>("ParentShowHint", true)
        .Property<&TLabel::PopupMenu, &TLabel::SetPopupMenu>("PopupMenu")
        .Property<&TLabel::ShowAccelChar, &TLabel::SetShowAccelChar>("ShowAccelChar", true)
        .Property<&TLabel::ShowHint, &TLabel::SetShowHint>("ShowHint", false)
        .Property<&TLabel::Transparent, &TLabel::SetTransparent>("Transparent", false)
        .Property<&TLabel::Visible, &TLabel::SetVisible>("Visible", true)
        .Property<&TLabel::WordWrap, &TLabel::SetWordWrap>("WordWrap", false)
        .Property<&TLabel::OnClick, &TLabel::SetOnClick>("OnClick")
        .Property<&TLabel::OnDblClick, &TLabel::SetOnDblClick>("OnDblClick")
        .Property<&TLabel::OnDragDrop, &TLabel::SetOnDragDrop>("OnDragDrop")
        .Property<&TLabel::OnDragOver, &TLabel::SetOnDragOver>("OnDragOver")
        .Property<&TLabel::OnEndDrag, &TLabel::SetOnEndDrag>("OnEndDrag")
        .Property<&TLabel::OnMouseDown, &TLabel::SetOnMouseDown>("OnMouseDown")
        .Property<&TLabel::OnMouseMove, &TLabel::SetOnMouseMove>("OnMouseMove")
        .Property<&TLabel::OnMouseUp, &TLabel::SetOnMouseUp>("OnMouseUp")
        .Property<&TLabel::OnStartDrag, &TLabel::SetOnStartDrag>("OnStartDrag")
        .Build();
    return info;
}

TLabel::TLabel(TComponent* owner) : TGraphicControl(owner)
{
    SetBounds(0, 0, 65, 17);
}

void TLabel::SetAlignment(TAlignment value)
{
    if (value == m_alignment)
        return;
    m_alignment = value;
    Changed();
}

void TLabel::SetAutoSize(bool value)
{
    if (value == m_autoSize)
        return;
    m_autoSize = value;
    Changed();
}

void TLabel::SetFocusControl(TWinControl* value)
{
    m_focusControl = value;
    if (value)
        value->FreeNotification(this);
}

void TLabel::SetShowAccelChar(bool value)
{
    if (value == m_showAccelChar)
        return;
    m_showAccelChar = value;
    Changed();
}

void TLabel::SetTransparent(bool value)
{
    if (value == m_transparent)
        return;
    m_transparent = value;
    Changed();
}

void TLabel::SetWordWrap(bool value)
{
    if (value == m_wordWrap)
        return;
    m_wordWrap = value;
    Changed();
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
        .Property<&TButton::Caption, &TButton::SetCaption>("Caption")
        .Property<&TButton::Default, &TButton::SetDefault>("Default", false)
        .Property<&TButton::DragCursor, &TButton::SetDragCursor>("DragCursor", static_cast<TCursor>(-12))
        .Property<&TButton::DragMode, &TButton::SetDragMode>("DragMode", dmManual)
        .Property<&TButton::Enabled, &TButton::SetEnabled>("Enabled", true)
        .Property<&TButton::Font, &TButton::SetFont>("Font")
        .Property<&TButton::ModalResult, &TButton::SetModalResult>("ModalResult", 0)
        .Property<&TButton::ParentFont, &TButton::SetParentFont>("ParentFont", true)
        .Property<&TButton::ParentShowHint, &TButton::SetParentShowHint>("ParentShowHint", true)
        .Property<&TButton::PopupMenu, &TButton::SetPopupMenu>("PopupMenu")
        .Property<&TButton::ShowHint, &TButton::SetShowHint>("ShowHint", false)
        .Property<&TButton::TabOrder, &TButton::SetTabOrder>("TabOrder", -1)
        .Property<&TButton::TabStop, &TButton::SetTabStop>("TabStop", true)
        .Property<&TButton::Visible, &TButton::SetVisible>("Visible", true)
        .Property<&TButton::OnClick, &TButton::SetOnClick>("OnClick")
        .Property<&TButton::OnDragDrop, &TButton::SetOnDragDrop>("OnDragDrop")
        .Property<&TButton::OnDragOver, &TButton::SetOnDragOver>("OnDragOver")
        .Property<&TButton::OnEndDrag, &TButton::SetOnEndDrag>("OnEndDrag")
        .Property<&TButton::OnEnter, &TButton::SetOnEnter>("OnEnter")
        .Property<&TButton::OnExit, &TButton::SetOnExit>("OnExit")
        .Property<&TButton::OnKeyDown, &TButton::SetOnKeyDown>("OnKeyDown")
        .Property<&TButton::OnKeyPress, &TButton::SetOnKeyPress>("OnKeyPress")
        .Property<&TButton::OnKeyUp, &TButton::SetOnKeyUp>("OnKeyUp")
        .Property<&TButton::OnMouseDown, &TButton::SetOnMouseDown>("OnMouseDown")
        .Property<&TButton::OnMouseMove, &TButton::SetOnMouseMove>("OnMouseMove")
        .Property<&TButton::OnMouseUp, &TButton::SetOnMouseUp>("OnMouseUp")
        .Property<&TButton::OnStartDrag, &TButton::SetOnStartDrag>("OnStartDrag")
        .Build();
    return info;
}

TButton::TButton(TComponent* owner) : TWinControl(owner)
{
    // The size a button has until its design gives it one.
    SetBounds(0, 0, 75, 25);
    SetTabStop(true);
}

// ---------------------------------------------------------------------------
// TRadioButton

const TClassInfo& TRadioButton::StaticClassInfo()
{
    static const TClassInfo info = ClassInfoBuilder<TRadioButton, TWinControl>("TRadioButton")
        .Property<&TRadioButton::Alignment, &TRadioButton::SetAlignment>("Alignment", TLeftRight::taRightJustify)
        .Property<&TRadioButton::Caption, &TRadioButton::SetCaption>("Caption")
        .Property<&TRadioButton::Checked, &TRadioButton::SetChecked>("Checked", false)
        .Property<&TRadioButton::Color, &TRadioButton::SetColor>("Color")
        .Property<&TRadioButton::Ctl3D, &TRadioButton::SetCtl3D>("Ctl3D", true)
        .Property<&TRadioButton::DragCursor, &TRadioButton::SetDragCursor>("DragCursor", static_cast<TCursor>(-12))
        .Property<&TRadioButton::DragMode, &TRadioButton::SetDragMode>("DragMode", dmManual)
        .Property<&TRadioButton::Enabled, &TRadioButton::SetEnabled>("Enabled", true)
        .Property<&TRadioButton::Font, &TRadioButton::SetFont>("Font")
        .Property<&TRadioButton::ParentColor, &TRadioButton::SetParentColor>("ParentColor", true)
        .Property<&TRadioButton::ParentCtl3D, &TRadioButton::SetParentCtl3D>("ParentCtl3D", true)
        .Property<&TRadioButton::ParentFont, &TRadioButton::SetParentFont>("ParentFont", true)
        .Property<&TRadioButton::ParentShowHint, &TRadioButton::SetParentShowHint>("ParentShowHint", true)
        .Property<&TRadioButton::PopupMenu, &TRadioButton::SetPopupMenu>("PopupMenu")
        .Property<&TRadioButton::ShowHint, &TRadioButton::SetShowHint>("ShowHint", false)
        .Property<&TRadioButton::TabOrder, &TRadioButton::SetTabOrder>("TabOrder", -1)
        .Property<&TRadioButton::TabStop, &TRadioButton::SetTabStop>("TabStop", false)
        .Property<&TRadioButton::Visible, &TRadioButton::SetVisible>("Visible", true)
        .Property<&TRadioButton::OnClick, &TRadioButton::SetOnClick>("OnClick")
        .Property<&TRadioButton::OnDblClick, &TRadioButton::SetOnDblClick>("OnDblClick")
        .Property<&TRadioButton::OnDragDrop, &TRadioButton::SetOnDragDrop>("OnDragDrop")
        .Property<&TRadioButton::OnDragOver, &TRadioButton::SetOnDragOver>("OnDragOver")
        .Property<&TRadioButton::OnEndDrag, &TRadioButton::SetOnEndDrag>("OnEndDrag")
        .Property<&TRadioButton::OnEnter, &TRadioButton::SetOnEnter>("OnEnter")
        .Property<&TRadioButton::OnExit, &TRadioButton::SetOnExit>("OnExit")
        .Property<&TRadioButton::OnKeyDown, &TRadioButton::SetOnKeyDown>("OnKeyDown")
        .Property<&TRadioButton::OnKeyPress, &TRadioButton::SetOnKeyPress>("OnKeyPress")
        .Property<&TRadioButton::OnKeyUp, &TRadioButton::SetOnKeyUp>("OnKeyUp")
        .Property<&TRadioButton::OnMouseDown, &TRadioButton::SetOnMouseDown>("OnMouseDown")
        .Property<&TRadioButton::OnMouseMove, &TRadioButton::SetOnMouseMove>("OnMouseMove")
        .Property<&TRadioButton::OnMouseUp, &TRadioButton::SetOnMouseUp>("OnMouseUp")
        .Property<&TRadioButton::OnStartDrag, &TRadioButton::SetOnStartDrag>("OnStartDrag")
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
    Changed();
}

// Only the checked button of a group is a tab stop, so that Tab enters the
// group at its selection; the arrow keys move within it.
void TRadioButton::SetChecked(bool value)
{
    if (value == m_checked)
        return;
    m_checked = value;
    SetTabStop(value);
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
        .Property<&TEdit::Color, &TEdit::SetColor>("Color")
        .Property<&TEdit::Ctl3D, &TEdit::SetCtl3D>("Ctl3D", true)
        .Property<&TEdit::DragCursor, &TEdit::SetDragCursor>("DragCursor", static_cast<TCursor>(-12))
        .Property<&TEdit::DragMode, &TEdit::SetDragMode>("DragMode", dmManual)
        .Property<&TEdit::Enabled, &TEdit::SetEnabled>("Enabled", true)
        .Property<&TEdit::Font, &TEdit::SetFont>("Font")
        .Property<&TEdit::HideSelection, &TEdit::SetHideSelection>("HideSelection", true)
        .Property<&TEdit::MaxLength, &TEdit::SetMaxLength>("MaxLength", 0)
        .Property<&TEdit::OEMConvert, &TEdit::SetOEMConvert>("OEMConvert", false)
        .Property<&TEdit::ParentColor, &TEdit::SetParentColor>("ParentColor", false)
        .Property<&TEdit::ParentCtl3D, &TEdit::SetParentCtl3D>("ParentCtl3D", true)
        .Property<&TEdit::ParentFont, &TEdit::SetParentFont>("ParentFont", true)
        .Property<&TEdit::ParentShowHint, &TEdit::SetParentShowHint>("ParentShowHint", true)
        .Property<&TEdit::PasswordChar, &TEdit::SetPasswordChar>("PasswordChar", '\0')
        .Property<&TEdit::PopupMenu, &TEdit::SetPopupMenu>("PopupMenu")
        .Property<&TEdit::ReadOnly, &TEdit::SetReadOnly>("ReadOnly", false)
        .Property<&TEdit::ShowHint, &TEdit::SetShowHint>("ShowHint", false)
        .Property<&TEdit::TabOrder, &TEdit::SetTabOrder>("TabOrder", -1)
        .Property<&TEdit::TabStop, &TEdit::SetTabStop>("TabStop", true)
        .Property<&TEdit::Text, &TEdit::SetText>("Text")
        .Property<&TEdit::Visible, &TEdit::SetVisible>("Visible", true)
        .Property<&TEdit::OnChange, &TEdit::SetOnChange>("OnChange")
        .Property<&TEdit::OnClick, &TEdit::SetOnClick>("OnClick")
        .Property<&TEdit::OnDblClick, &TEdit::SetOnDblClick>("OnDblClick")
        .Property<&TEdit::OnDragDrop, &TEdit::SetOnDragDrop>("OnDragDrop")
        .Property<&TEdit::OnDragOver, &TEdit::SetOnDragOver>("OnDragOver")
        .Property<&TEdit::OnEndDrag, &TEdit::SetOnEndDrag>("OnEndDrag")
        .Property<&TEdit::OnEnter, &TEdit::SetOnEnter>("OnEnter")
        .Property<&TEdit::OnExit, &TEdit::SetOnExit>("OnExit")
        .Property<&TEdit::OnKeyDown, &TEdit::SetOnKeyDown>("OnKeyDown")
        .Property<&TEdit::OnKeyPress, &TEdit::SetOnKeyPress>("OnKeyPress")
        .Property<&TEdit::OnKeyUp, &TEdit::SetOnKeyUp>("OnKeyUp")
        .Property<&TEdit::OnMouseDown, &TEdit::SetOnMouseDown>("OnMouseDown")
        .Property<&TEdit::OnMouseMove, &TEdit::SetOnMouseMove>("OnMouseMove")
        .Property<&TEdit::OnMouseUp, &TEdit::SetOnMouseUp>("OnMouseUp")
        .Property<&TEdit::OnStartDrag, &TEdit::SetOnStartDrag>("OnStartDrag")
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

void TEdit::SetBorderStyle(TBorderStyle value)
{
    if (value == m_borderStyle)
        return;
    m_borderStyle = value;
    Changed();
}

void TEdit::SetCharCase(TEditCharCase value)
{
    if (value == m_charCase)
        return;
    m_charCase = value;
    Changed();
}

void TEdit::SetPasswordChar(char value)
{
    if (value == m_passwordChar)
        return;
    m_passwordChar = value;
    Changed();
}

// ---------------------------------------------------------------------------
// TListBox

const TClassInfo& TListBox::StaticClassInfo()
{
    static const TClassInfo info = ClassInfoBuilder<TListBox, TCustomListBox>("TListBox")
        .Property<&TListBox::Align, &TListBox::SetAlign>("Align", alNone)
        .Property<&TListBox::BorderStyle, &TListBox::SetBorderStyle>("BorderStyle", TBorderStyle::bsSingle)
        .Property<&TListBox::Color, &TListBox::SetColor>("Color")
        .Property<&TListBox::Columns, &TListBox::SetColumns>("Columns", 0)
        .Property<&TListBox::Ctl3D, &TListBox::SetCtl3D>("Ctl3D", true)
        .Property<&TListBox::DragCursor, &TListBox::SetDragCursor>("DragCursor", static_cast<TCursor>(-12))
        .Property<&TListBox::DragMode, &TListBox::SetDragMode>("DragMode", dmManual)
        .Property<&TListBox::Enabled, &TListBox::SetEnabled>("Enabled", true)
        .Property<&TListBox::ExtendedSelect, &TListBox::SetExtendedSelect>("ExtendedSelect", true)
        .Property<&TListBox::Font, &TListBox::SetFont>("Font")
        .Property<&TListBox::IntegralHeight, &TListBox::SetIntegralHeight>("IntegralHeight", false)
        // No default: a design stores its item height even when it is 16.
        .Property<&TListBox::ItemHeight, &TListBox::SetItemHeight>("ItemHeight")
        .Property<&TListBox::Items, &TListBox::SetItems>("Items")
        .Property<&TListBox::MultiSelect, &TListBox::SetMultiSelect>("MultiSelect", false)
        .Property<&TListBox::ParentColor, &TListBox::SetParentColor>("ParentColor", false)
        .Property<&TListBox::ParentCtl3D, &TListBox::SetParentCtl3D>("ParentCtl3D", true)
        .Property<&TListBox::ParentFont, &TListBox::SetParentFont>("ParentFont", true)
        .Property<&TListBox::ParentShowHint, &TListBox::SetParentShowHint>("ParentShowHint", true)
        .Property<&TListBox::PopupMenu, &TListBox::SetPopupMenu>("PopupMenu")
        .Property<&TListBox::ShowHint, &TListBox::SetShowHint>("ShowHint", false)
        .Property<&TListBox::Sorted, &TListBox::SetSorted>("Sorted", false)
        .Property<&TListBox::Style, &TListBox::SetStyle>("Style", lbStandard)
        .Property<&TListBox::TabOrder, &TListBox::SetTabOrder>("TabOrder", -1)
        .Property<&TListBox::TabStop, &TListBox::SetTabStop>("TabStop", true)
        .Property<&TListBox::TabWidth, &TListBox::SetTabWidth>("TabWidth", 0)
        .Property<&TListBox::Visible, &TListBox::SetVisible>("Visible", true)
        .Property<&TListBox::OnClick, &TListBox::SetOnClick>("OnClick")
        .Property<&TListBox::OnDblClick, &TListBox::SetOnDblClick>("OnDblClick")
        .Property<&TListBox::OnDragDrop, &TListBox::SetOnDragDrop>("OnDragDrop")
        .Property<&TListBox::OnDragOver, &TListBox::SetOnDragOver>("OnDragOver")
        .Property<&TListBox::OnEndDrag, &TListBox::SetOnEndDrag>("OnEndDrag")
        .Property<&TListBox::OnEnter, &TListBox::SetOnEnter>("OnEnter")
        .Property<&TListBox::OnExit, &TListBox::SetOnExit>("OnExit")
        .Property<&TListBox::OnKeyDown, &TListBox::SetOnKeyDown>("OnKeyDown")
        .Property<&TListBox::OnKeyPress, &TListBox::SetOnKeyPress>("OnKeyPress")
        .Property<&TListBox::OnKeyUp, &TListBox::SetOnKeyUp>("OnKeyUp")
        .Property<&TListBox::OnMouseDown, &TListBox::SetOnMouseDown>("OnMouseDown")
        .Property<&TListBox::OnMouseMove, &TListBox::SetOnMouseMove>("OnMouseMove")
        .Property<&TListBox::OnMouseUp, &TListBox::SetOnMouseUp>("OnMouseUp")
        .Property<&TListBox::OnStartDrag, &TListBox::SetOnStartDrag>("OnStartDrag")
        .Build();
    return info;
}

// ---------------------------------------------------------------------------
// TGroupBox

const TClassInfo& TGroupBox::StaticClassInfo()
{
    static const TClassInfo info = ClassInfoBuilder<TGroupBox, TWinControl>("TGroupBox")
        .Property<&TGroupBox::Align, &TGroupBox::SetAlign>("Align", alNone)
        .Property<&TGroupBox::Caption, &TGroupBox::SetCaption>("Caption")
        .Property<&TGroupBox::Color, &TGroupBox::SetColor>("Color")
        .Property<&TGroupBox::Ctl3D, &TGroupBox::SetCtl3D>("Ctl3D", true)
        .Property<&TGroupBox::DragCursor, &TGroupBox::SetDragCursor>("DragCursor", static_cast<TCursor>(-12))
        .Property<&TGroupBox::DragMode, &TGroupBox::SetDragMode>("DragMode", dmManual)
        .Property<&TGroupBox::Enabled, &TGroupBox::SetEnabled>("Enabled", true)
        .Property<&TGroupBox::Font, &TGroupBox::SetFont>("Font")
        .Property<&TGroupBox::ParentColor, &TGroupBox::SetParentColor>("ParentColor", true)
        .Property<&TGroupBox::ParentCtl3D, &TGroupBox::SetParentCtl3D>("ParentCtl3D", true)
        .Property<&TGroupBox::ParentFont, &TGroupBox::SetParentFont>("ParentFont", true)
        .Property<&TGroupBox::ParentShowHint, &TGroupBox::SetParentShowHint>("ParentShowHint", true)
        .Property<&TGroupBox::PopupMenu, &TGroupBox::SetPopupMenu>("PopupMenu")
        .Property<&TGroupBox::ShowHint, &TGroupBox::SetShowHint>("ShowHint", false)
        .Property<&TGroupBox::TabOrder, &TGroupBox::SetTabOrder>("TabOrder", -1)
        .Property<&TGroupBox::TabStop, &TGroupBox::SetTabStop>("TabStop", false)
        .Property<&TGroupBox::Visible, &TGroupBox::SetVisible>("Visible", true)
        .Property<&TGroupBox::OnClick, &TGroupBox::SetOnClick>("OnClick")
        .Property<&TGroupBox::OnDblClick, &TGroupBox::SetOnDblClick>("OnDblClick")
        .Property<&TGroupBox::OnDragDrop, &TGroupBox::SetOnDragDrop>("OnDragDrop")
        .Property<&TGroupBox::OnDragOver, &TGroupBox::SetOnDragOver>("OnDragOver")
        .Property<&TGroupBox::OnEndDrag, &TGroupBox::SetOnEndDrag>("OnEndDrag")
        .Property<&TGroupBox::OnEnter, &TGroupBox::SetOnEnter>("OnEnter")
        .Property<&TGroupBox::OnExit, &TGroupBox::SetOnExit>("OnExit")
        .Property<&TGroupBox::OnMouseDown, &TGroupBox::SetOnMouseDown>("OnMouseDown")
        .Property<&TGroupBox::OnMouseMove, &TGroupBox::SetOnMouseMove>("OnMouseMove")
        .Property<&TGroupBox::OnMouseUp, &TGroupBox::SetOnMouseUp>("OnMouseUp")
        .Property<&TGroupBox::OnStartDrag, &TGroupBox::SetOnStartDrag>("OnStartDrag")
        .Build();
    return info;
}

TGroupBox::TGroupBox(TComponent* owner) : TWinControl(owner)
{
    // The size a group box has until its design gives it one.
    SetBounds(0, 0, 185, 105);
}

#include "framework/StdCtrls.h"

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

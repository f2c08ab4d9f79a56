// The standard controls of the forms: labels, buttons, radio buttons, edit
// boxes, list boxes, combo boxes and group boxes, each publishing the
// properties and events a form may store for it.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "framework/Controls.h"
#include "framework/Forms.h"
#include "framework/StringList.h"

enum TListBoxStyle { lbStandard, lbOwnerDrawFixed, lbOwnerDrawVariable };
template <>
const TEnumTypeInfo& EnumTypeOf<TListBoxStyle>();

enum TComboBoxStyle { csDropDown, csSimple, csDropDownList, csOwnerDrawFixed, csOwnerDrawVariable };
template <>
const TEnumTypeInfo& EnumTypeOf<TComboBoxStyle>();

// A windowed list of strings, each with an attached object. Classes derived
// from it publish what they use.
class TCustomListBox : public TWinControl {
    DECLARE_CLASS_INFO(TCustomListBox)
public:
    explicit TCustomListBox(TComponent* owner);

    TStrings* Items() const { return m_items.get(); }
    void SetItems(TStrings* value);
    TBorderStyle BorderStyle() const { return m_borderStyle; }
    void SetBorderStyle(TBorderStyle value) { m_borderStyle = value; }
    int32_t Columns() const { return m_columns; }
    void SetColumns(int32_t value) { m_columns = value; }
    bool ExtendedSelect() const { return m_extendedSelect; }
    void SetExtendedSelect(bool value) { m_extendedSelect = value; }
    bool IntegralHeight() const { return m_integralHeight; }
    void SetIntegralHeight(bool value) { m_integralHeight = value; }
    int32_t ItemHeight() const { return m_itemHeight; }
    void SetItemHeight(int32_t value);
    bool MultiSelect() const { return m_multiSelect; }
    void SetMultiSelect(bool value) { m_multiSelect = value; }
    bool Sorted() const { return m_sorted; }
    void SetSorted(bool value) { m_sorted = value; }
    TListBoxStyle Style() const { return m_style; }
    void SetStyle(TListBoxStyle value) { m_style = value; }
    int32_t TabWidth() const { return m_tabWidth; }
    void SetTabWidth(int32_t value) { m_tabWidth = value; }

private:
    std::unique_ptr<TStrings> m_items;
    TBorderStyle m_borderStyle = TBorderStyle::bsSingle;
    int32_t m_columns = 0;
    bool m_extendedSelect = true;
    bool m_integralHeight = false;
    int32_t m_itemHeight = 16;
    bool m_multiSelect = false;
    bool m_sorted = false;
    TListBoxStyle m_style = lbStandard;
    int32_t m_tabWidth = 0;
};

// A windowed combo box whose items are strings, each with an attached object.
class TCustomComboBox : public TWinControl {
    DECLARE_CLASS_INFO(TCustomComboBox)
public:
    explicit TCustomComboBox(TComponent* owner);

    TStrings* Items() const { return m_items.get(); }
    void SetItems(TStrings* value);
    int32_t DropDownCount() const { return m_dropDownCount; }
    void SetDropDownCount(int32_t value) { m_dropDownCount = value; }
    int32_t ItemHeight() const { return m_itemHeight; }
    void SetItemHeight(int32_t value);
    int32_t ItemIndex() const { return m_itemIndex; }
    void SetItemIndex(int32_t value) { m_itemIndex = value; }
    int32_t MaxLength() const { return m_maxLength; }
    void SetMaxLength(int32_t value) { m_maxLength = value; }
    bool Sorted() const { return m_sorted; }
    void SetSorted(bool value) { m_sorted = value; }
    TComboBoxStyle Style() const { return m_style; }
    void SetStyle(TComboBoxStyle value) { m_style = value; }

    // Events
    TNotifyEvent OnDropDown() const { return m_onDropDown; }
    void SetOnDropDown(TNotifyEvent e) { m_onDropDown = e; }

private:
    std::unique_ptr<TStrings> m_items;
    int32_t m_dropDownCount = 8;
    int32_t m_itemHeight = 16;
    int32_t m_itemIndex = -1;
    int32_t m_maxLength = 0;
    bool m_sorted = false;
    TComboBoxStyle m_style = csDropDown;
    TNotifyEvent m_onDropDown;
};

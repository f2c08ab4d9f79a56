// The list controls of the forms: the shared line storage of list and combo
// boxes, owner-drawn items, the list box and the combo box.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "framework/Controls.h"
#include "framework/StringList.h"

enum TListBoxStyle { lbStandard, lbOwnerDrawFixed, lbOwnerDrawVariable };
template <>
const TEnumTypeInfo& EnumTypeOf<TListBoxStyle>();

enum TComboBoxStyle { csDropDown, csSimple, csDropDownList, csOwnerDrawFixed, csOwnerDrawVariable };
template <>
const TEnumTypeInfo& EnumTypeOf<TComboBoxStyle>();

// Raised for a line index a list control does not have.
class EListError : public Exception {
public:
    using Exception::Exception;
};

// ---------------------------------------------------------------------------
// Owner-drawn items

enum TOwnerDrawStateFlag { odSelected, odGrayed, odDisabled, odChecked, odFocused };
using TOwnerDrawState = TSet<TOwnerDrawStateFlag>;

// What an owner-drawn item of a list or combo box is drawn on. The owner-draw
// dispatch has selected the control's font into DC and set the text colour,
// and made Brush: the control's Color, or the highlight colours for a
// selected item.
struct TItemCanvas {
    HDC DC = nullptr;
    HBRUSH Brush = nullptr;
};

// The messages of the platform's list box or combo box (see ListCtrls.cpp).
struct TListWindowMessages;

// What list and combo boxes share: a windowed list of strings, each with an
// attached object, and owner-drawn items. Once the window exists its lines
// live in the platform's window only; before that (and after it is gone)
// they are kept in memory. It has no class information of its own: the list
// and combo boxes declare theirs as derived from TWinControl.
class TListControl : public TWinControl {
public:
    // The window goes while this object is still whole, so that its last
    // messages (and the saving of its lines) reach this class.
    ~TListControl() override;

    TStrings* Items() const { return m_items.get(); }
    void SetItems(TStrings* value);
    int32_t ItemHeight() const { return m_itemHeight; }
    void SetItemHeight(int32_t value);
    // Selection, as the platform's window has it; -1: none.
    int32_t ItemIndex() const;
    void SetItemIndex(int32_t value);
    bool Sorted() const { return m_sorted; }
    void SetSorted(bool value) { m_sorted = value; }

    void WndProc(TMessage& message) override;

protected:
    TListControl(TComponent* owner, const TListWindowMessages& messages);
    // Whether the items are owner-drawn with a fixed height, which the
    // window is told.
    virtual bool FixedHeightItems() const = 0;
    // Moves what was kept while there was no window into the new one: the
    // item height, the lines and, if select, the selection.
    void RestoreLines(bool select);
    bool CnDrawItem(DRAWITEMSTRUCT& item) override;
    // Draws one owner-drawn item on the prepared canvas; by default its text
    // on the brush.
    virtual void DrawItem(int index, const RECT& rect, TOwnerDrawState state, TItemCanvas& canvas);

private:
    const TListWindowMessages& m_msg;
    // The lines kept while there is no window.
    TStringList m_saved;
    std::unique_ptr<TStrings> m_items;
    int32_t m_itemHeight = 16;
    int32_t m_itemIndex = -1;  // the selection kept while there is no window
    bool m_sorted = false;
};

// A list box. Classes derived from it publish what they use.
class TCustomListBox : public TListControl {
    DECLARE_CLASS_INFO(TCustomListBox)
public:
    explicit TCustomListBox(TComponent* owner);

    TBorderStyle BorderStyle() const { return m_borderStyle; }
    void SetBorderStyle(TBorderStyle value) { m_borderStyle = value; }
    int32_t Columns() const { return m_columns; }
    void SetColumns(int32_t value) { m_columns = value; }
    bool ExtendedSelect() const { return m_extendedSelect; }
    void SetExtendedSelect(bool value) { m_extendedSelect = value; }
    bool IntegralHeight() const { return m_integralHeight; }
    void SetIntegralHeight(bool value) { m_integralHeight = value; }
    bool MultiSelect() const { return m_multiSelect; }
    void SetMultiSelect(bool value) { m_multiSelect = value; }
    TListBoxStyle Style() const { return m_style; }
    void SetStyle(TListBoxStyle value) { m_style = value; }
    int32_t TabWidth() const { return m_tabWidth; }
    void SetTabWidth(int32_t value) { m_tabWidth = value; }

    // With multiple selection the current line is the one with the focus
    // rectangle.
    int32_t ItemIndex() const;
    void SetItemIndex(int32_t value);
    // The number of selected lines (with multiple selection), else 0 or 1.
    int32_t SelCount() const;
    // Raise EListError "List index out of bounds" for a line the list does
    // not have.
    bool Selected(int32_t index) const;
    void SetSelected(int32_t index, bool value);
    // With multiple selection, selects every line in one step and leaves the
    // anchor and the focus on the last line, as selecting each line in turn
    // would; a list with single selection is left alone.
    void SelectAll();

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateHandleDone() override;
    // A changed selection is a click; a double-click is one too.
    bool CnCommand(WORD notifyCode) override;
    bool FixedHeightItems() const override { return m_style == lbOwnerDrawFixed; }

private:
    TBorderStyle m_borderStyle = TBorderStyle::bsSingle;
    int32_t m_columns = 0;
    bool m_extendedSelect = true;
    bool m_integralHeight = false;
    bool m_multiSelect = false;
    TListBoxStyle m_style = lbStandard;
    int32_t m_tabWidth = 0;
};

// A combo box, whose lines live in the platform combo box once it exists.
class TCustomComboBox : public TListControl {
    DECLARE_CLASS_INFO(TCustomComboBox)
public:
    explicit TCustomComboBox(TComponent* owner);

    int32_t DropDownCount() const { return m_dropDownCount; }
    void SetDropDownCount(int32_t value) { m_dropDownCount = value; }
    int32_t MaxLength() const { return m_maxLength; }
    void SetMaxLength(int32_t value);
    TComboBoxStyle Style() const { return m_style; }
    void SetStyle(TComboBoxStyle value) { m_style = value; }

    // Events
    TNotifyEvent OnDropDown() const { return m_onDropDown; }
    void SetOnDropDown(TNotifyEvent e) { m_onDropDown = e; }

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateHandleDone() override;
    // Every selection change the platform reports, by mouse or keyboard, is
    // a click.
    bool CnCommand(WORD notifyCode) override;
    bool FixedHeightItems() const override { return m_style == csOwnerDrawFixed; }

private:
    int32_t m_dropDownCount = 8;
    int32_t m_maxLength = 0;
    TComboBoxStyle m_style = csDropDown;
    TNotifyEvent m_onDropDown;
};

// The list box the forms use: TCustomListBox with its properties published.
class TListBox : public TCustomListBox {
    DECLARE_CLASS_INFO(TListBox)
public:
    explicit TListBox(TComponent* owner) : TCustomListBox(owner) {}
};

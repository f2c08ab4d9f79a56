// The standard controls of the forms: labels, buttons, radio buttons, edit
// boxes, list boxes, combo boxes and group boxes, each publishing the
// properties and events a form may store for it.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "framework/Controls.h"
#include "framework/StringList.h"

// How a text sits in the width it is given.
enum TAlignment { taLeftJustify, taRightJustify, taCenter };
template <>
const TEnumTypeInfo& EnumTypeOf<TAlignment>();

// Which side of a check box or radio button its caption is on: taRightJustify
// puts the text to the right of the box. The names are those of TAlignment,
// so this is a scoped enumeration.
enum class TLeftRight { taLeftJustify, taRightJustify };
template <>
const TEnumTypeInfo& EnumTypeOf<TLeftRight>();

// The letter case an edit box forces on what is typed into it.
enum TEditCharCase { ecNormal, ecUpperCase, ecLowerCase };
template <>
const TEnumTypeInfo& EnumTypeOf<TEditCharCase>();

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

// A windowed list of strings, each with an attached object. Classes derived
// from it publish what they use. Once the window exists its lines live in the
// platform list box only; before that (and after it is gone) they are kept
// in memory.
class TCustomListBox : public TWinControl {
    DECLARE_CLASS_INFO(TCustomListBox)
public:
    explicit TCustomListBox(TComponent* owner);
    ~TCustomListBox() override;

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

    // Selection, as the platform list box has it.
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

    void WndProc(TMessage& message) override;

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateHandleDone() override;
    // A changed selection is a click; a double-click is one too.
    bool CnCommand(WORD notifyCode) override;
    bool CnDrawItem(DRAWITEMSTRUCT& item) override;
    // Draws one item of an owner-drawn list on the prepared canvas; by
    // default its text on the brush.
    virtual void DrawItem(int index, const RECT& rect, TOwnerDrawState state, TItemCanvas& canvas);

private:
    // The lines kept while there is no window.
    TStringList m_saved;
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
    int32_t m_itemIndex = -1;  // the selection kept while there is no window
};

// A windowed combo box whose items are strings, each with an attached object.
// Once the window exists its lines live in the platform combo box only, as
// a list box's do.
class TCustomComboBox : public TWinControl {
    DECLARE_CLASS_INFO(TCustomComboBox)
public:
    explicit TCustomComboBox(TComponent* owner);
    ~TCustomComboBox() override;

    TStrings* Items() const { return m_items.get(); }
    void SetItems(TStrings* value);
    int32_t DropDownCount() const { return m_dropDownCount; }
    void SetDropDownCount(int32_t value) { m_dropDownCount = value; }
    int32_t ItemHeight() const { return m_itemHeight; }
    void SetItemHeight(int32_t value);
    // Selection, as the platform combo box has it; -1: none.
    int32_t ItemIndex() const;
    void SetItemIndex(int32_t value);
    int32_t MaxLength() const { return m_maxLength; }
    void SetMaxLength(int32_t value);
    bool Sorted() const { return m_sorted; }
    void SetSorted(bool value) { m_sorted = value; }
    TComboBoxStyle Style() const { return m_style; }
    void SetStyle(TComboBoxStyle value) { m_style = value; }

    // Events
    TNotifyEvent OnDropDown() const { return m_onDropDown; }
    void SetOnDropDown(TNotifyEvent e) { m_onDropDown = e; }

    void WndProc(TMessage& message) override;

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateHandleDone() override;
    // Every selection change the platform reports, by mouse or keyboard, is
    // a click.
    bool CnCommand(WORD notifyCode) override;
    bool CnDrawItem(DRAWITEMSTRUCT& item) override;
    // Draws one item of an owner-drawn combo box on the prepared canvas; by
    // default its text on the brush.
    virtual void DrawItem(int index, const RECT& rect, TOwnerDrawState state, TItemCanvas& canvas);

private:
    // The lines kept while there is no window.
    TStringList m_saved;
    std::unique_ptr<TStrings> m_items;
    int32_t m_dropDownCount = 8;
    int32_t m_itemHeight = 16;
    int32_t m_itemIndex = -1;
    int32_t m_maxLength = 0;
    bool m_sorted = false;
    TComboBoxStyle m_style = csDropDown;
    TNotifyEvent m_onDropDown;
};

// ---------------------------------------------------------------------------
// Labels, buttons, radio buttons, edit boxes, list boxes and group boxes

// A text drawn on its parent, without a window of its own. With AutoSize it
// takes the size of its text.
class TLabel : public TGraphicControl {
    DECLARE_CLASS_INFO(TLabel)
public:
    explicit TLabel(TComponent* owner);

    // Properties
    TAlignment Alignment() const { return m_alignment; }
    void SetAlignment(TAlignment value);
    bool AutoSize() const { return m_autoSize; }
    void SetAutoSize(bool value);
    // The control that takes the focus when the label's accelerator is pressed.
    TWinControl* FocusControl() const { return m_focusControl; }
    void SetFocusControl(TWinControl* value);
    bool ShowAccelChar() const { return m_showAccelChar; }
    void SetShowAccelChar(bool value);
    bool Transparent() const { return m_transparent; }
    void SetTransparent(bool value);
    bool WordWrap() const { return m_wordWrap; }
    void SetWordWrap(bool value);

    void SetText(const std::string& value) override;
    void Paint(HDC dc) override;
    void Loaded() override;

protected:
    void Notification(TComponent* component, TOperation operation) override;
    void FontChanged() override;

private:
    // The DrawText flags of the caption, without the measuring flag.
    UINT TextFlags() const;
    // With AutoSize, takes the size of the caption (see Loaded).
    void AdjustBounds();

    TAlignment m_alignment = taLeftJustify;
    bool m_autoSize = true;
    TWinControl* m_focusControl = nullptr;  // not owned: cleared through the free notification
    bool m_showAccelChar = true;
    bool m_transparent = false;
    bool m_wordWrap = false;
};

// A push button. Default and Cancel make it the one Enter and Esc press on
// its form; a ModalResult other than 0 ends a modal run of the form.
class TButton : public TWinControl {
    DECLARE_CLASS_INFO(TButton)
public:
    explicit TButton(TComponent* owner);

    // Properties
    bool Cancel() const { return m_cancel; }
    void SetCancel(bool value);
    bool Default() const { return m_default; }
    void SetDefault(bool value);
    int32_t ModalResult() const { return m_modalResult; }
    void SetModalResult(int32_t value) { m_modalResult = value; }

    // Sets the form's ModalResult to the button's, then runs OnClick.
    void Click() override;
    void WndProc(TMessage& message) override;
    bool ClickedByEnter() const override { return true; }
    bool IsAccelerator(char key) const override;

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateHandleDone() override;
    bool CnCommand(WORD notifyCode) override;

private:
    // Tells the button's form whether Enter and Esc click it.
    void RegisterWithForm();
    // Gives the thick default frame to the button that Enter presses now:
    // focused is the button that has (or is about to have) the focus, or
    // none when the focus is on something that is not a button.
    static void UpdateDefaultFrames(TWinControl* parent, TButton* focused);
    void ShowDefaultFrame(bool on);

    bool m_cancel = false;
    bool m_default = false;
    int32_t m_modalResult = 0;
};

// A radio button: checking one unchecks the other radio buttons of the same
// parent, and only the checked one is a tab stop.
class TRadioButton : public TWinControl {
    DECLARE_CLASS_INFO(TRadioButton)
public:
    explicit TRadioButton(TComponent* owner);

    // Properties
    TLeftRight Alignment() const { return m_alignment; }
    void SetAlignment(TLeftRight value);
    bool Checked() const { return m_checked; }
    void SetChecked(bool value);

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateHandleDone() override;
    bool CnCommand(WORD notifyCode) override;

private:
    TLeftRight m_alignment = TLeftRight::taRightJustify;
    bool m_checked = false;
};

// A one-line edit box; its Text is what the user sees and types.
class TEdit : public TWinControl {
    DECLARE_CLASS_INFO(TEdit)
public:
    explicit TEdit(TComponent* owner);

    // Properties
    bool AutoSelect() const { return m_autoSelect; }
    void SetAutoSelect(bool value) { m_autoSelect = value; }
    bool AutoSize() const { return m_autoSize; }
    void SetAutoSize(bool value) { m_autoSize = value; }
    TBorderStyle BorderStyle() const { return m_borderStyle; }
    void SetBorderStyle(TBorderStyle value);
    TEditCharCase CharCase() const { return m_charCase; }
    void SetCharCase(TEditCharCase value);
    bool HideSelection() const { return m_hideSelection; }
    void SetHideSelection(bool value) { m_hideSelection = value; }
    // The most characters the box takes; 0: no limit.
    int32_t MaxLength() const { return m_maxLength; }
    void SetMaxLength(int32_t value);
    bool OEMConvert() const { return m_oemConvert; }
    void SetOEMConvert(bool value) { m_oemConvert = value; }
    // The character shown in place of each one typed; '\0': the text itself.
    char PasswordChar() const { return m_passwordChar; }
    void SetPasswordChar(char value);
    bool ReadOnly() const { return m_readOnly; }
    void SetReadOnly(bool value);

    // Events
    TNotifyEvent OnChange() const { return m_onChange; }
    void SetOnChange(TNotifyEvent e) { m_onChange = e; }

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateHandleDone() override;
    bool CnCommand(WORD notifyCode) override;

private:
    bool m_autoSelect = true;
    bool m_autoSize = true;
    TBorderStyle m_borderStyle = TBorderStyle::bsSingle;
    TEditCharCase m_charCase = ecNormal;
    bool m_hideSelection = true;
    int32_t m_maxLength = 0;
    bool m_oemConvert = false;
    char m_passwordChar = '\0';
    bool m_readOnly = false;
    TNotifyEvent m_onChange;
};

// The list box the forms use: TCustomListBox with its properties published.
class TListBox : public TCustomListBox {
    DECLARE_CLASS_INFO(TListBox)
public:
    explicit TListBox(TComponent* owner) : TCustomListBox(owner) {}
};

// A captioned frame around other controls, which are its children.
class TGroupBox : public TWinControl {
    DECLARE_CLASS_INFO(TGroupBox)
public:
    explicit TGroupBox(TComponent* owner);

protected:
    void PaintWindow(HDC dc) override;
};

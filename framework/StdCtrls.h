// The standard controls of the forms: labels, buttons, radio buttons, edit
// boxes and group boxes, each publishing the properties and events a form may
// store for it. The list and combo boxes are in ListCtrls.h.
#pragma once

#include <cstdint>
#include <string>

#include "framework/Controls.h"

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

// What the setter of a value that a control shows does: returns at once
// when value is the one held, else stores it and lets show show the change.
template <typename T, typename Show>
void StoreAndShow(T& member, T value, Show show)
{
    if (value == member)
        return;
    member = value;
    show();
}

// ---------------------------------------------------------------------------
// Labels, buttons, radio buttons, edit boxes and group boxes

// A text drawn on its parent, without a window of its own. With AutoSize it
// takes the size of its text.
class TLabel : public TGraphicControl {
    DECLARE_CLASS_INFO(TLabel)
public:
    explicit TLabel(TComponent* owner);

    // Properties
    TAlignment Alignment() const { return m_alignment; }
    void SetAlignment(TAlignment value) { StoreAndShow(m_alignment, value, [this] { LayoutChanged(); }); }
    bool AutoSize() const { return m_autoSize; }
    void SetAutoSize(bool value) { StoreAndShow(m_autoSize, value, [this] { AdjustBounds(); }); }
    // The control that takes the focus when the label's accelerator is pressed.
    TWinControl* FocusControl() const { return m_focusControl; }
    void SetFocusControl(TWinControl* value);
    bool ShowAccelChar() const { return m_showAccelChar; }
    void SetShowAccelChar(bool value) { StoreAndShow(m_showAccelChar, value, [this] { LayoutChanged(); }); }
    bool Transparent() const { return m_transparent; }
    void SetTransparent(bool value);
    bool WordWrap() const { return m_wordWrap; }
    void SetWordWrap(bool value) { StoreAndShow(m_wordWrap, value, [this] { LayoutChanged(); }); }

    void SetText(const std::string& value) override;
    void Paint(HDC dc) override;
    void Loaded() override;

protected:
    void Notification(TComponent* component, TOperation operation) override;
    void FontChanged() override;

private:
    // A value the caption's layout depends on changed: the label is redrawn
    // and, with AutoSize, sized again.
    void LayoutChanged();
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
    void SetBorderStyle(TBorderStyle value) { StoreAndShow(m_borderStyle, value, [this] { Changed(); }); }
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

// A captioned frame around other controls, which are its children.
class TGroupBox : public TWinControl {
    DECLARE_CLASS_INFO(TGroupBox)
public:
    explicit TGroupBox(TComponent* owner);

protected:
    void PaintWindow(HDC dc) override;
};

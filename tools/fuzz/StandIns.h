// Stand-ins for the classes the program's stored forms name (TForm1,
// TLabel, TButton, ...), for fuzzing the reader on the build machine where
// the real controls do not exist. They publish the properties, handlers and
// defined values the stored forms use, with the types the forms store them
// as, so that a form stream is read to its end and its mutations reach deep
// into the reader. Only the reading matters here: nothing is drawn.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "framework/DesignTypes.h"
#include "tools/fuzz/TestClasses.h"

class TStream;

enum class TStandInAlignment { taLeftJustify, taRightJustify, taCenter };
template <>
const TEnumTypeInfo& EnumTypeOf<TStandInAlignment>();

class TStandInFont : public TPersistent {
    DECLARE_CLASS_INFO(TStandInFont)
public:
    // Properties
    TFontCharset Charset() const { return m_charset; }
    void SetCharset(TFontCharset charset) { m_charset = charset; }
    TColor Color() const { return m_color; }
    void SetColor(TColor color) { m_color = color; }
    int32_t Height() const { return m_height; }
    void SetHeight(int32_t height) { m_height = height; }
    const std::string& Name() const { return m_name; }
    void SetName(const std::string& name) { m_name = name; }
    TSet<TFontStyle> Style() const { return m_style; }
    void SetStyle(TSet<TFontStyle> style) { m_style = style; }

private:
    TFontCharset m_charset{};
    TColor m_color{};
    int32_t m_height = 0;
    std::string m_name;
    TSet<TFontStyle> m_style;
};

// A picture or an icon: its "Data" is a binary value. A picture's begins
// with the graphic class's name; a bitmap's data is a byte count and a file
// that must start with "BM".
class TStandInGraphic : public TPersistent {
    DECLARE_CLASS_INFO(TStandInGraphic)
public:
    explicit TStandInGraphic(bool picture) : m_picture(picture) {}
    void DefineProperties(TFiler& filer) override;

private:
    void ReadData(TStream& stream);

    bool m_picture;
    std::string m_graphicClass;
    std::vector<uint8_t> m_data;
};

// A form's icon: its "Data" is the icon file.
class TStandInIcon : public TStandInGraphic {
    DECLARE_CLASS_INFO(TStandInIcon)
public:
    TStandInIcon() : TStandInGraphic(false) {}
};

class TStandInScrollBar : public TPersistent {
    DECLARE_CLASS_INFO(TStandInScrollBar)
public:
    // Properties
    bool Visible() const { return m_visible; }
    void SetVisible(bool visible) { m_visible = visible; }

private:
    bool m_visible = true;
};

// Every control of the forms: labels, buttons, edit boxes, list boxes,
// group boxes (the parents of other controls), images, the gauge and the
// drive and directory controls.
class TStandInControl : public TTestControl {
    DECLARE_CLASS_INFO(TStandInControl)
public:
    explicit TStandInControl(TComponent* owner);
    ~TStandInControl() override;

    // Properties
    int32_t Left() const { return m_left; }
    void SetLeft(int32_t value) { m_left = value; }
    int32_t Top() const { return m_top; }
    void SetTop(int32_t value) { m_top = value; }
    int32_t Height() const { return m_height; }
    void SetHeight(int32_t value) { m_height = value; }
    int32_t TabOrder() const { return m_tabOrder; }
    void SetTabOrder(int32_t value) { m_tabOrder = value; }
    bool TabStop() const { return m_tabStop; }
    void SetTabStop(bool value) { m_tabStop = value; }
    bool AutoSize() const { return m_autoSize; }
    void SetAutoSize(bool value) { m_autoSize = value; }
    TStandInAlignment Alignment() const { return m_alignment; }
    void SetAlignment(TStandInAlignment value) { m_alignment = value; }
    bool WordWrap() const { return m_wordWrap; }
    void SetWordWrap(bool value) { m_wordWrap = value; }
    bool ParentFont() const { return m_parentFont; }
    void SetParentFont(bool value) { m_parentFont = value; }
    bool ParentColor() const { return m_parentColor; }
    void SetParentColor(bool value) { m_parentColor = value; }
    TColor Color() const { return m_color; }
    void SetColor(TColor value) { m_color = value; }
    TStandInFont* Font() const { return m_font.get(); }
    void SetFont(TStandInFont*) {}
    bool Cancel() const { return m_cancel; }
    void SetCancel(bool value) { m_cancel = value; }
    bool Default() const { return m_default; }
    void SetDefault(bool value) { m_default = value; }
    int32_t ModalResult() const { return m_modalResult; }
    void SetModalResult(int32_t value) { m_modalResult = value; }
    int32_t ItemHeight() const { return m_itemHeight; }
    void SetItemHeight(int32_t value) { m_itemHeight = value; }
    bool MultiSelect() const { return m_multiSelect; }
    void SetMultiSelect(bool value) { m_multiSelect = value; }
    const std::string& Text() const { return m_text; }
    void SetText(const std::string& value) { m_text = value; }
    bool Checked() const { return m_checked; }
    void SetChecked(bool value) { m_checked = value; }
    int32_t Progress() const { return m_progress; }
    void SetProgress(int32_t value) { m_progress = value; }
    TStandInGraphic* Picture() const { return m_picture.get(); }
    TStandInControl* DirList() const { return m_dirList; }
    void SetDirList(TStandInControl* value);

    // Events
    const TNotifyEvent& OnChange() const { return m_onChange; }
    void SetOnChange(const TNotifyEvent& event) { m_onChange = event; }

protected:
    void Notification(TComponent* component, TOperation operation) override;

private:
    int32_t m_left = 0;
    int32_t m_top = 0;
    int32_t m_height = 0;
    int32_t m_tabOrder = -1;
    bool m_tabStop = false;
    bool m_autoSize = true;
    TStandInAlignment m_alignment = TStandInAlignment::taLeftJustify;
    bool m_wordWrap = false;
    bool m_parentFont = true;
    bool m_parentColor = true;
    TColor m_color{};
    std::unique_ptr<TStandInFont> m_font;
    bool m_cancel = false;
    bool m_default = false;
    int32_t m_modalResult = 0;
    int32_t m_itemHeight = 16;
    bool m_multiSelect = false;
    std::string m_text;
    bool m_checked = false;
    int32_t m_progress = 0;
    std::unique_ptr<TStandInGraphic> m_picture;
    TStandInControl* m_dirList = nullptr;  // not owned: cleared by the removal or free notification
    TNotifyEvent m_onChange;
};

// The non-visual components of the forms: the timer, the file-open and
// directory dialogs and the Program Manager client.
class TStandInComponent : public TTestComponent {
    DECLARE_CLASS_INFO(TStandInComponent)
public:
    explicit TStandInComponent(TComponent* owner) : TTestComponent(owner) {}

    // Properties
    int32_t Interval() const { return m_interval; }
    void SetInterval(int32_t value) { m_interval = value; }
    TFileEditStyle FileEditStyle() const { return m_fileEditStyle; }
    void SetFileEditStyle(TFileEditStyle value) { m_fileEditStyle = value; }
    TActivateType ShowGroup() const { return m_showGroup; }
    void SetShowGroup(TActivateType value) { m_showGroup = value; }

    // Events
    const TNotifyEvent& OnTimer() const { return m_onTimer; }
    void SetOnTimer(const TNotifyEvent& event) { m_onTimer = event; }

private:
    int32_t m_interval = 1000;
    TFileEditStyle m_fileEditStyle = fsComboBox;
    TActivateType m_showGroup = activateNormalSize;
    TNotifyEvent m_onTimer;
};

// The forms themselves, with the handlers their streams bind.
class TStandInForm : public TTestForm {
    DECLARE_CLASS_INFO(TStandInForm)
public:
    explicit TStandInForm(TComponent* owner);
    ~TStandInForm() override;

    // Properties
    int32_t Left() const { return m_left; }
    void SetLeft(int32_t value) { m_left = value; }
    int32_t Top() const { return m_top; }
    void SetTop(int32_t value) { m_top = value; }
    int32_t Width() const { return m_width; }
    void SetWidth(int32_t value) { m_width = value; }
    int32_t Height() const { return m_height; }
    void SetHeight(int32_t value) { m_height = value; }
    int32_t ClientWidth() const { return m_clientWidth; }
    void SetClientWidth(int32_t value) { m_clientWidth = value; }
    int32_t ClientHeight() const { return m_clientHeight; }
    void SetClientHeight(int32_t value) { m_clientHeight = value; }
    TFormBorderStyle BorderStyle() const { return m_borderStyle; }
    void SetBorderStyle(TFormBorderStyle value) { m_borderStyle = value; }
    TBorderIcons BorderIcons() const { return m_borderIcons; }
    void SetBorderIcons(TBorderIcons value) { m_borderIcons = value; }
    TColor Color() const { return m_color; }
    void SetColor(TColor value) { m_color = value; }
    TStandInFont* Font() const { return m_font.get(); }
    void SetFont(TStandInFont*) {}
    TFormStyle FormStyle() const { return m_formStyle; }
    void SetFormStyle(TFormStyle value) { m_formStyle = value; }
    TStandInIcon* Icon() const { return m_icon.get(); }
    TPosition Position() const { return m_position; }
    void SetPosition(TPosition value) { m_position = value; }
    TWindowState WindowState() const { return m_windowState; }
    void SetWindowState(TWindowState value) { m_windowState = value; }
    TStandInScrollBar* HorzScrollBar() const { return m_horzScrollBar.get(); }
    TStandInScrollBar* VertScrollBar() const { return m_vertScrollBar.get(); }

    // Events
    const TNotifyEvent& OnActivate() const { return m_onActivate; }
    void SetOnActivate(const TNotifyEvent& event) { m_onActivate = event; }
    const TNotifyEvent& OnCreate() const { return m_onCreate; }
    void SetOnCreate(const TNotifyEvent& event) { m_onCreate = event; }
    const TNotifyEvent& OnDestroy() const { return m_onDestroy; }
    void SetOnDestroy(const TNotifyEvent& event) { m_onDestroy = event; }

    // The handlers the stored forms name; none of them is ever called here.
    void Handler(TObject*) {}
    void CloseHandler(TObject*, TCloseAction&) {}

    void DefineProperties(TFiler& filer) override;

private:
    int32_t m_left = 0;
    int32_t m_top = 0;
    int32_t m_width = 0;
    int32_t m_height = 0;
    int32_t m_clientWidth = 0;
    int32_t m_clientHeight = 0;
    TFormBorderStyle m_borderStyle = bsSizeable;
    TBorderIcons m_borderIcons;
    TColor m_color{};
    std::unique_ptr<TStandInFont> m_font;
    TFormStyle m_formStyle = fsNormal;
    std::unique_ptr<TStandInIcon> m_icon;
    TPosition m_position = poDesigned;
    TWindowState m_windowState = wsNormal;
    std::unique_ptr<TStandInScrollBar> m_horzScrollBar;
    std::unique_ptr<TStandInScrollBar> m_vertScrollBar;
    TNotifyEvent m_onActivate;
    TNotifyEvent m_onCreate;
    TNotifyEvent m_onDestroy;
    int32_t m_pixelsPerInch = 0;
    int32_t m_textHeight = 0;
};

// The classes of the stored forms (TForm1, TLabel, ...), each made as the
// stand-in for it: a class of that name derived from the stand-in.
const std::vector<const TClassInfo*>& StandInClasses();

// Registers the stand-ins under the class names of the stored forms, and
// the test form, so that a stream may name any of them as its root class.
void RegisterStandIns();

// The control bases: TControl (a rectangle on a parent, with caption, colour
// and font that may follow the parent's), TWinControl (a control that is the
// parent of other controls and takes part in the tab order) and
// TGraphicControl (a control without a window of its own, painted on its
// parent). The classes publish nothing of their own beyond position, size,
// cursor and hint, and a windowed control's help context; each concrete
// control publishes what it uses.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <windows.h>

#include "framework/Component.h"
#include "framework/Graphics.h"
#include "framework/Messages.h"

class TWinControl;
class TForm;

// How a control behaves towards its parent's painting, and which of its
// sizes the platform fixes (so that scaling a design keeps them).
enum TControlStyleFlag { csOpaque, csFramed, csFixedWidth, csFixedHeight };
template <>
const TEnumTypeInfo& EnumTypeOf<TControlStyleFlag>();
using TControlStyle = TSet<TControlStyleFlag>;

// What a windowed control's window is made with.
struct TCreateParams {
    std::string Caption;
    DWORD Style = 0;
    DWORD ExStyle = 0;
    int X = 0;
    int Y = 0;
    int Width = 0;
    int Height = 0;
    HWND WndParent = nullptr;
    // The window class: registered under the control's class name. A class
    // built on one of the platform's controls names that control here; its
    // window procedure then handles what the framework leaves to it. The
    // style and icon are those of a class of the framework's own.
    const char* SystemClass = nullptr;
    UINT ClassStyle = CS_DBLCLKS;
    HICON ClassIcon = nullptr;
};

// The frame of a control that is not a form: none or a single line.
enum class TBorderStyle { bsNone, bsSingle };
template <>
const TEnumTypeInfo& EnumTypeOf<TBorderStyle>();

enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };
template <>
const TEnumTypeInfo& EnumTypeOf<TAlign>();

enum TDragMode { dmManual, dmAutomatic };
template <>
const TEnumTypeInfo& EnumTypeOf<TDragMode>();

enum TMouseButton { mbLeft, mbRight, mbMiddle };
enum TShiftStateFlag { ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle, ssDouble };
template <>
const TEnumTypeInfo& EnumTypeOf<TShiftStateFlag>();
using TShiftState = TSet<TShiftStateFlag>;

enum TDragState { dsDragEnter, dsDragLeave, dsDragMove };

// Event types of the controls, each with its own argument list.
extern const TEventTypeInfo MouseEventType;
extern const TEventTypeInfo MouseMoveEventType;
extern const TEventTypeInfo KeyEventType;
extern const TEventTypeInfo KeyPressEventType;
extern const TEventTypeInfo DragDropEventType;
extern const TEventTypeInfo DragOverEventType;
extern const TEventTypeInfo EndDragEventType;
extern const TEventTypeInfo StartDragEventType;

using TMouseEvent = TEvent<MouseEventType, TObject*, TMouseButton, TShiftState, int, int>;
using TMouseMoveEvent = TEvent<MouseMoveEventType, TObject*, TShiftState, int, int>;
using TKeyEvent = TEvent<KeyEventType, TObject*, uint16_t&, TShiftState>;
using TKeyPressEvent = TEvent<KeyPressEventType, TObject*, char&>;
using TDragDropEvent = TEvent<DragDropEventType, TObject*, TObject*, int, int>;
using TDragOverEvent = TEvent<DragOverEventType, TObject*, TObject*, int, int, TDragState, bool&>;
using TEndDragEvent = TEvent<EndDragEventType, TObject*, TObject*, int, int>;
using TStartDragEvent = TEvent<StartDragEventType, TObject*, TObject*&>;

class TControl : public TComponent {
    DECLARE_CLASS_INFO(TControl)
public:
    explicit TControl(TComponent* owner);
    ~TControl() override;

    // Position and size, relative to the parent's client area
    int32_t Left() const { return m_left; }
    void SetLeft(int32_t value) { SetStoredBounds(sfLeft, value, m_top, m_width, m_height); }
    int32_t Top() const { return m_top; }
    void SetTop(int32_t value) { SetStoredBounds(sfTop, m_left, value, m_width, m_height); }
    int32_t Width() const { return m_width; }
    void SetWidth(int32_t value) { SetStoredBounds(sfWidth, m_left, m_top, value, m_height); }
    int32_t Height() const { return m_height; }
    void SetHeight(int32_t value) { SetStoredBounds(sfHeight, m_left, m_top, m_width, value); }
    virtual void SetBounds(int32_t left, int32_t top, int32_t width, int32_t height);
    // The size of the area inside the control's frame; the same as its size
    // unless a class has a frame.
    virtual int32_t ClientWidth() const { return m_width; }
    void SetClientWidth(int32_t value) { SetClientSize(value, ClientHeight()); }
    virtual int32_t ClientHeight() const { return m_height; }
    void SetClientHeight(int32_t value) { SetClientSize(ClientWidth(), value); }
    virtual void SetClientSize(int32_t width, int32_t height);
    // Scales a design read for another text height by multiplier/divisor:
    // the bounds that the design set (a fixed width or height stays) and the
    // font, if the design set it and the control does not take its
    // parent's.
    void ChangeScale(int32_t multiplier, int32_t divisor);

    TAlign Align() const { return m_align; }
    void SetAlign(TAlign value) { m_align = value; }
    TCursor Cursor() const { return m_cursor; }
    void SetCursor(TCursor value) { m_cursor = value; }
    const std::string& Hint() const { return m_hint; }
    void SetHint(const std::string& value) { m_hint = value; }
    bool ShowHint() const { return m_showHint; }
    void SetShowHint(bool value);
    bool ParentShowHint() const { return m_parentShowHint; }
    void SetParentShowHint(bool value);

    // The caption of a control, which is the text of an edit box.
    std::string Caption() const { return GetText(); }
    void SetCaption(const std::string& value) { SetText(value); }
    std::string Text() const { return GetText(); }
    virtual void SetText(const std::string& value);

    bool Visible() const { return m_visible; }
    virtual void SetVisible(bool value);
    bool Enabled() const { return m_enabled; }
    virtual void SetEnabled(bool value);

    TColor Color() const { return m_color; }
    void SetColor(TColor value);
    bool ParentColor() const { return m_parentColor; }
    void SetParentColor(bool value);
    TFont* Font() const { return m_font.get(); }
    void SetFont(TFont* value);
    bool ParentFont() const { return m_parentFont; }
    void SetParentFont(bool value);

    // Whether the colour, the font and ShowHint are the control's own
    // rather than taken from the parent, and so worth storing.
    bool IsColorStored() const { return !m_parentColor; }
    bool IsFontStored() const { return !m_parentFont; }
    bool IsShowHintStored() const { return !m_parentShowHint; }

    TCursor DragCursor() const { return m_dragCursor; }
    void SetDragCursor(TCursor value) { m_dragCursor = value; }
    TDragMode DragMode() const { return m_dragMode; }
    void SetDragMode(TDragMode value) { m_dragMode = value; }
    TComponent* PopupMenu() const { return m_popupMenu; }
    void SetPopupMenu(TComponent* value);

    TWinControl* Parent() const { return m_parent; }
    virtual void SetParent(TWinControl* parent);

    // Events
    TNotifyEvent OnClick() const { return m_onClick; }
    void SetOnClick(TNotifyEvent e) { m_onClick = e; }
    TNotifyEvent OnDblClick() const { return m_onDblClick; }
    void SetOnDblClick(TNotifyEvent e) { m_onDblClick = e; }
    TDragDropEvent OnDragDrop() const { return m_onDragDrop; }
    void SetOnDragDrop(TDragDropEvent e) { m_onDragDrop = e; }
    TDragOverEvent OnDragOver() const { return m_onDragOver; }
    void SetOnDragOver(TDragOverEvent e) { m_onDragOver = e; }
    TEndDragEvent OnEndDrag() const { return m_onEndDrag; }
    void SetOnEndDrag(TEndDragEvent e) { m_onEndDrag = e; }
    TMouseEvent OnMouseDown() const { return m_onMouseDown; }
    void SetOnMouseDown(TMouseEvent e) { m_onMouseDown = e; }
    TMouseMoveEvent OnMouseMove() const { return m_onMouseMove; }
    void SetOnMouseMove(TMouseMoveEvent e) { m_onMouseMove = e; }
    TMouseEvent OnMouseUp() const { return m_onMouseUp; }
    void SetOnMouseUp(TMouseEvent e) { m_onMouseUp = e; }
    TStartDragEvent OnStartDrag() const { return m_onStartDrag; }
    void SetOnStartDrag(TStartDragEvent e) { m_onStartDrag = e; }

    // Streaming
    bool HasParent() const override { return true; }
    TComponent* GetParentComponent() const override;
    void SetParentComponent(TComponent* parent) override;

    // Called when the parent's font or colour changed, for a control that
    // takes it.
    virtual void ParentFontChanged();
    virtual void ParentColorChanged();

    // Windowing
    TControlStyle ControlStyle() const { return m_controlStyle; }
    void SetControlStyle(TControlStyle style) { m_controlStyle = style; }
    RECT BoundsRect() const { return RECT{m_left, m_top, m_left + m_width, m_top + m_height}; }
    RECT ClientRect() const { return RECT{0, 0, ClientWidth(), ClientHeight()}; }
    // Marks the control for repainting.
    virtual void Invalidate();
    // Repaints the control now.
    virtual void Repaint();
    // Draws a control without a window of its own; dc has its origin at the
    // control's top-left corner and is clipped to it.
    virtual void Paint(HDC dc);
    // Runs OnClick.
    virtual void Click();
    // Runs OnDblClick.
    virtual void DblClick();
    // The form the control is on (itself for a form), or none.
    TForm* ParentForm() const;

protected:
    // Whether the design being read set Width, or Height.
    bool WidthStored() const { return (m_scaling & sfWidth) != 0; }
    bool HeightStored() const { return (m_scaling & sfHeight) != 0; }
    // The control's look or size has changed.
    virtual void Changed();
    virtual void FontChanged();
    // The text as it stands; windowed controls read their window's.
    virtual std::string GetText() const { return m_text; }
    const std::string& StoredText() const { return m_text; }
    void SetStoredText(const std::string& text) { m_text = text; }
    // Updates the stored bounds from the window without moving it.
    void UpdateBounds(int32_t left, int32_t top, int32_t width, int32_t height);

private:
    // What the design being read set, for ChangeScale.
    enum ScalingFlag : uint8_t { sfLeft = 1, sfTop = 2, sfWidth = 4, sfHeight = 8, sfFont = 16 };
    void MarkStored(ScalingFlag flag)
    {
        if (ComponentState().Contains(csReading))
            m_scaling |= flag;
    }
    // One of the four bounds properties set: flag names which.
    void SetStoredBounds(ScalingFlag flag, int32_t left, int32_t top, int32_t width, int32_t height)
    {
        MarkStored(flag);
        SetBounds(left, top, width, height);
    }

    int32_t m_left = 0;
    int32_t m_top = 0;
    int32_t m_width = 0;
    int32_t m_height = 0;
    TAlign m_align = alNone;
    TCursor m_cursor = crDefault;
    TCursor m_dragCursor = static_cast<TCursor>(-12);  // crDrag
    TDragMode m_dragMode = dmManual;
    std::string m_hint;
    bool m_showHint = false;
    bool m_parentShowHint = true;
    std::string m_text;
    bool m_visible = true;
    bool m_enabled = true;
    TColor m_color = clWindow;
    bool m_parentColor = true;
    std::unique_ptr<TFont> m_font;
    bool m_parentFont = true;
    bool m_takingParentFont = false;
    TComponent* m_popupMenu = nullptr;  // cleared through the free notification
    TWinControl* m_parent = nullptr;    // not owned: the parent removes its controls before it goes
    TControlStyle m_controlStyle;
    uint8_t m_scaling = 0;  // ScalingFlag bits

    TNotifyEvent m_onClick;
    TNotifyEvent m_onDblClick;
    TDragDropEvent m_onDragDrop;
    TDragOverEvent m_onDragOver;
    TEndDragEvent m_onEndDrag;
    TMouseEvent m_onMouseDown;
    TMouseMoveEvent m_onMouseMove;
    TMouseEvent m_onMouseUp;
    TStartDragEvent m_onStartDrag;

protected:
    void Notification(TComponent* component, TOperation operation) override;

    friend class TWinControl;  // keeps m_parent in step with its list of controls
};

class TWinControl : public TControl {
    DECLARE_CLASS_INFO(TWinControl)
public:
    explicit TWinControl(TComponent* owner);
    ~TWinControl() override;

    // The controls this one is the parent of, in the order they were added.
    int ControlCount() const { return static_cast<int>(m_controls.size()); }
    TControl* Controls(int index) const { return m_controls.at(static_cast<size_t>(index)); }
    void InsertControl(TControl* control);
    void RemoveControl(TControl* control);

    // Tab order: the position among the parent's windowed controls.
    int32_t TabOrder() const;
    void SetTabOrder(int32_t value);
    bool TabStop() const { return m_tabStop; }
    void SetTabStop(bool value) { m_tabStop = value; }
    // The parent's windowed controls in tab order.
    std::vector<TWinControl*> TabList() const;

    int32_t HelpContext() const { return m_helpContext; }
    void SetHelpContext(int32_t value) { m_helpContext = value; }
    bool Ctl3D() const { return m_ctl3D; }
    void SetCtl3D(bool value);
    bool ParentCtl3D() const { return m_parentCtl3D; }
    void SetParentCtl3D(bool value);

    // Events
    TNotifyEvent OnEnter() const { return m_onEnter; }
    void SetOnEnter(TNotifyEvent e) { m_onEnter = e; }
    TNotifyEvent OnExit() const { return m_onExit; }
    void SetOnExit(TNotifyEvent e) { m_onExit = e; }
    TKeyEvent OnKeyDown() const { return m_onKeyDown; }
    void SetOnKeyDown(TKeyEvent e) { m_onKeyDown = e; }
    TKeyPressEvent OnKeyPress() const { return m_onKeyPress; }
    void SetOnKeyPress(TKeyPressEvent e) { m_onKeyPress = e; }
    TKeyEvent OnKeyUp() const { return m_onKeyUp; }
    void SetOnKeyUp(TKeyEvent e) { m_onKeyUp = e; }

    // Streaming: a windowed control is the parent of the controls read
    // inside its record.
    TComponent* GetChildParent() override { return this; }
    std::vector<TComponent*> GetChildren(TComponent* root) const override;
    void SetChildOrder(TComponent* child, int order) override;

    void ParentColorChanged() override;

    // Windowing
    // The control's window, made (with its parent's) when first needed.
    HWND Handle();
    bool HandleAllocated() const { return m_handle != nullptr; }
    void HandleNeeded() { Handle(); }
    void DestroyHandle();
    // Makes the window again (when it exists), for a change that only a new
    // window shows.
    void RecreateWnd();
    void SetText(const std::string& value) override;
    void SetVisible(bool value) override;
    void SetEnabled(bool value) override;
    void SetBounds(int32_t left, int32_t top, int32_t width, int32_t height) override;
    void Invalidate() override;
    void Repaint() override;
    void SetFocus();
    bool Focused() const;
    // Visible and enabled, and so are its parents.
    virtual bool CanFocus() const;
    // Sends a message to the window (made if needed) and returns its result.
    LRESULT Perform(UINT msg, WPARAM wParam, LPARAM lParam);
    // The brush the control's window is painted with, in its Color.
    HBRUSH BackgroundBrush();

    // Handles one message of the control's window.
    virtual void WndProc(TMessage& message);
    // A keyboard message for control, a control inside this top-level one,
    // that the message loop offers before the control sees it; true when it
    // was handled (a form's dialog keys).
    virtual bool DialogKey(const MSG&, TWinControl*) { return false; }
    // What a form's dialog keys ask of its controls: whether Enter, with the
    // focus here, clicks this control rather than the form's default button
    // (a push button), and whether key (either case) is its accelerator.
    virtual bool ClickedByEnter() const { return false; }
    virtual bool IsAccelerator(char) const { return false; }
    // What the window's class does with a message the framework leaves alone.
    void DefaultHandler(TMessage& message);
    // Draws the controls without a window of their own that lie in area.
    void PaintControls(HDC dc, const RECT& area);

    // The control of a window, or none for a window the framework did not make.
    static TWinControl* FindControl(HWND window);

protected:
    void FontChanged() override;
    std::string GetText() const override;
    virtual void CreateParams(TCreateParams& params);
    // Makes the window; then the windows of the windowed children.
    virtual void CreateWnd();
    // The window has just been made.
    virtual void CreateHandleDone() {}
    // Paints a window of the framework's own class (not a platform control).
    virtual void PaintWindow(HDC dc);
    // Notifications that the parent passes back to the control that sent
    // them; true when the control handled it.
    virtual bool CnCommand(WORD notifyCode);
    // A character typed into the control: runs OnKeyPress, which may change
    // it; a key set to zero goes no further.
    virtual void KeyPress(char& key);
    virtual bool CnDrawItem(DRAWITEMSTRUCT& item);
    // The colours of a platform control's painting; returns the brush.
    virtual HBRUSH CnCtlColor(HDC dc);
    // Whether the window is of a platform control's class.
    bool IsSystemClass() const { return m_defWndProc != DefWindowProcA && m_defWndProc != nullptr; }

private:
    friend LRESULT CALLBACK FrameworkWndProc(HWND, UINT, WPARAM, LPARAM);
    void AttachHandle(HWND window);
    void DetachHandle();
    void UpdateBoundsFromWindow();
    void WmPaint(TMessage& message);
    void WmEraseBackground(TMessage& message);

    HWND m_handle = nullptr;                 // destroyed by DestroyHandle or with the parent's window
    WNDPROC m_defWndProc = nullptr;          // the class's own window procedure, for a platform control
    Brush m_brush;
    TColor m_brushColor = clNone;
    std::vector<TControl*> m_controls;  // not owned: controls are owned by their owner (the form)
    std::vector<TWinControl*> m_tabList;  // the windowed controls in tab order; not owned
    int32_t m_requestedTabOrder = -1;  // the tab order read from the form, while loading
    bool m_tabStop = false;
    int32_t m_helpContext = 0;
    bool m_ctl3D = true;
    bool m_parentCtl3D = true;

    TNotifyEvent m_onEnter;
    TNotifyEvent m_onExit;
    TKeyEvent m_onKeyDown;
    TKeyPressEvent m_onKeyPress;
    TKeyEvent m_onKeyUp;
};

// A control without a window of its own; it is painted on its parent.
class TGraphicControl : public TControl {
    DECLARE_CLASS_INFO(TGraphicControl)
public:
    explicit TGraphicControl(TComponent* owner) : TControl(owner) {}
};

class EOutOfResources : public Exception {
public:
    using Exception::Exception;
};

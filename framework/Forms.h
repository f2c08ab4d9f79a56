// Forms: top-level windows built from their stored designs, with their
// published properties, showing, activation, closing, modal runs and the
// dialog keys that work the same on every form.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "framework/Controls.h"
#include "framework/DesignTypes.h"
#include "framework/MessageLoop.h"

// The modal results: what ended a modal run of a form or a message dialog.
enum TModalResult : int32_t {
    mrNone = 0,
    mrOk = 1,
    mrCancel = 2,
    mrAbort = 3,
    mrRetry = 4,
    mrIgnore = 5,
    mrYes = 6,
    mrNo = 7,
    mrAll = 8,
};

enum TPrintScale { poNone, poProportional, poPrintToFit };
template <>
const TEnumTypeInfo& EnumTypeOf<TPrintScale>();

// A scroll bar of a form: stored, but the setup's forms only hide them.
class TControlScrollBar : public TPersistent {
    DECLARE_CLASS_INFO(TControlScrollBar)
public:
    int32_t Increment() const { return m_increment; }
    void SetIncrement(int32_t value) { m_increment = value; }
    int32_t Margin() const { return m_margin; }
    void SetMargin(int32_t value) { m_margin = value; }
    int32_t Position() const { return m_position; }
    void SetPosition(int32_t value) { m_position = value; }
    int32_t Range() const { return m_range; }
    void SetRange(int32_t value) { m_range = value; }
    bool Tracking() const { return m_tracking; }
    void SetTracking(bool value) { m_tracking = value; }
    bool Visible() const { return m_visible; }
    void SetVisible(bool value) { m_visible = value; }

private:
    int32_t m_increment = 8;
    int32_t m_margin = 0;
    int32_t m_position = 0;
    int32_t m_range = 0;
    bool m_tracking = false;
    bool m_visible = true;
};

class TScrollingWinControl : public TWinControl {
    DECLARE_CLASS_INFO(TScrollingWinControl)
public:
    explicit TScrollingWinControl(TComponent* owner);

    bool AutoScroll() const { return m_autoScroll; }
    void SetAutoScroll(bool value) { m_autoScroll = value; }
    TControlScrollBar* HorzScrollBar() const { return m_horzScrollBar.get(); }
    void SetHorzScrollBar(TControlScrollBar*) {}
    TControlScrollBar* VertScrollBar() const { return m_vertScrollBar.get(); }
    void SetVertScrollBar(TControlScrollBar*) {}

private:
    bool m_autoScroll = true;
    std::unique_ptr<TControlScrollBar> m_horzScrollBar;
    std::unique_ptr<TControlScrollBar> m_vertScrollBar;
};

class TForm : public TScrollingWinControl {
    DECLARE_CLASS_INFO(TForm)
public:
    // The basic construction: defaults, a place in the screen's list of
    // forms and in the owner's components. A form class with a stored design
    // is then built from it by FinishConstruction (see CreateForm).
    explicit TForm(TComponent* owner);
    ~TForm() override;

    // Reads the form's design from the resources of its class chain (raising
    // EResNotFound "Resource %s not found" when there is none) and runs
    // OnCreate. A plain TForm reads nothing.
    void FinishConstruction();

    // Showing, hiding, closing
    // Visible := true, then to the top of the z-order.
    void Show();
    void Hide() { SetVisible(false); }
    // A close request: see OnCloseQuery and OnClose.
    void Close();
    // Frees the form once the message loop takes a message posted now.
    void Release();
    // Shows the form modally and returns its ModalResult.
    int32_t RunModal();
    bool IsModal() const { return m_modal; }
    // The window is shown.
    bool Showing() const;
    // Focuses the active control, or the first control in tab order that
    // can take the focus.
    void FocusFirstControl();
    // A key the focused control (control) does not take for itself: Tab,
    // arrows, Enter, Esc and button accelerators. True when it was handled.
    bool DialogKey(const MSG& msg, TWinControl* control) override;
    // The buttons Enter and Esc click: a button registers itself through its
    // Default and Cancel, and a freed one is forgotten.
    void SetDialogButtons(TWinControl* button, bool isDefault, bool isCancel);
    // Runs OnActivate or OnDeactivate.
    void Activate();
    void Deactivate();

    // Properties
    TWinControl* ActiveControl() const { return m_activeControl; }
    void SetActiveControl(TWinControl* control);
    TBorderIcons BorderIcons() const { return m_borderIcons; }
    void SetBorderIcons(TBorderIcons value) { m_borderIcons = value; }
    TFormBorderStyle BorderStyle() const { return m_borderStyle; }
    void SetBorderStyle(TFormBorderStyle value) { m_borderStyle = value; }
    TFormStyle FormStyle() const { return m_formStyle; }
    void SetFormStyle(TFormStyle value) { m_formStyle = value; }
    TIcon* Icon() const { return m_icon.get(); }
    void SetIcon(TIcon*) {}
    bool KeyPreview() const { return m_keyPreview; }
    void SetKeyPreview(bool value) { m_keyPreview = value; }
    TPosition Position() const { return m_position; }
    void SetPosition(TPosition value) { m_position = value; }
    TPrintScale PrintScale() const { return m_printScale; }
    void SetPrintScale(TPrintScale value) { m_printScale = value; }
    bool Scaled() const { return m_scaled; }
    void SetScaled(bool value) { m_scaled = value; }
    TWindowState WindowState() const { return m_windowState; }
    void SetWindowState(TWindowState value);
    int32_t PixelsPerInch() const { return m_pixelsPerInch; }
    int32_t ModalResult() const { return m_modalResult; }
    void SetModalResult(int32_t value) { m_modalResult = value; }
    void SetVisible(bool value) override;

    // The client area: the outer size less the frame the form's border
    // style and icons give.
    int32_t ClientWidth() const override;
    int32_t ClientHeight() const override;
    void SetClientSize(int32_t width, int32_t height) override;

    // Events
    TNotifyEvent OnActivate() const { return m_onActivate; }
    void SetOnActivate(TNotifyEvent e) { m_onActivate = e; }
    TCloseEvent OnClose() const { return m_onClose; }
    void SetOnClose(TCloseEvent e) { m_onClose = e; }
    TCloseQueryEvent OnCloseQuery() const { return m_onCloseQuery; }
    void SetOnCloseQuery(TCloseQueryEvent e) { m_onCloseQuery = e; }
    TNotifyEvent OnCreate() const { return m_onCreate; }
    void SetOnCreate(TNotifyEvent e) { m_onCreate = e; }
    TNotifyEvent OnDeactivate() const { return m_onDeactivate; }
    void SetOnDeactivate(TNotifyEvent e) { m_onDeactivate = e; }
    TNotifyEvent OnDestroy() const { return m_onDestroy; }
    void SetOnDestroy(TNotifyEvent e) { m_onDestroy = e; }
    TNotifyEvent OnHide() const { return m_onHide; }
    void SetOnHide(TNotifyEvent e) { m_onHide = e; }
    TNotifyEvent OnPaint() const { return m_onPaint; }
    void SetOnPaint(TNotifyEvent e) { m_onPaint = e; }
    TNotifyEvent OnResize() const { return m_onResize; }
    void SetOnResize(TNotifyEvent e) { m_onResize = e; }
    TNotifyEvent OnShow() const { return m_onShow; }
    void SetOnShow(TNotifyEvent e) { m_onShow = e; }

    // Runs OnDestroy (reporting what it raises) while the form is whole,
    // then frees what the form owns.
    void BeforeDestruction() override;

    // Streaming
    void ReadState(TReader& reader) override;
    void DefineProperties(TFiler& filer) override;
    // The components read inside the form's record are owned by the form.
    TComponent* GetChildOwner() override { return this; }
    std::vector<TComponent*> GetChildren(TComponent* root) const override;

    // The focus has moved to control, a control of this form.
    void FocusControl(TWinControl* control);

    // Windowing
    void WndProc(TMessage& message) override;

protected:
    void Notification(TComponent* component, TOperation operation) override;
    void CreateParams(TCreateParams& params) override;
    void CreateHandleDone() override;

private:
    // ShowWindow with the command for the window state.
    void ShowInState(int showCommand);
    void ScaleForm(int32_t storedTextHeight, int32_t storedPixelsPerInch);
    int32_t FrameWidth() const;
    int32_t FrameHeight() const;

    TWinControl* m_activeControl = nullptr;  // cleared through the free notification
    TForm* m_returnFocus = nullptr;          // while modal; cleared through the free notification
    TWinControl* m_defaultButton = nullptr;  // cleared through the free notification
    TWinControl* m_cancelButton = nullptr;   // cleared through the free notification
    TBorderIcons m_borderIcons{biSystemMenu, biMinimize, biMaximize};
    TFormBorderStyle m_borderStyle = bsSizeable;
    TFormStyle m_formStyle = fsNormal;
    std::unique_ptr<TIcon> m_icon;
    bool m_keyPreview = false;
    TPosition m_position = poDesigned;
    TPrintScale m_printScale = poProportional;
    bool m_scaled = true;
    TWindowState m_windowState = wsNormal;
    int32_t m_pixelsPerInch = 96;
    int32_t m_modalResult = 0;
    bool m_creating = false;
    bool m_visibleRequested = false;
    bool m_showingChange = false;
    bool m_modal = false;
    bool m_destroyStarted = false;
    int32_t m_storedTextHeight = 0;
    int32_t m_storedClientWidth = 0;
    int32_t m_storedClientHeight = 0;

    TNotifyEvent m_onActivate;
    TCloseEvent m_onClose;
    TCloseQueryEvent m_onCloseQuery;
    TNotifyEvent m_onCreate;
    TNotifyEvent m_onDeactivate;
    TNotifyEvent m_onDestroy;
    TNotifyEvent m_onHide;
    TNotifyEvent m_onPaint;
    TNotifyEvent m_onResize;
    TNotifyEvent m_onShow;
};

// Creates a form of class T owned by owner and builds it from its stored
// design; a failure frees the half-built form and passes the exception on.
template <typename T>
T* CreateForm(TComponent* owner)
{
    ComponentPtr<T> form(new T(owner));
    form->FinishConstruction();
    return form.release();
}

class EInvalidOperation : public Exception {
public:
    using Exception::Exception;
};

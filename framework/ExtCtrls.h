// Further components of the forms: the image, which shows a picture, and the
// timer, a non-visual component with the settings of a periodic OnTimer call.
#pragma once

#include <cstdint>
#include <memory>

#include "framework/Controls.h"
#include "framework/Graphics.h"
#include "framework/WindowProc.h"

// A picture drawn on its parent, without a window of its own. With AutoSize
// it takes the size of its picture.
class TImage : public TGraphicControl {
    DECLARE_CLASS_INFO(TImage)
public:
    explicit TImage(TComponent* owner);

    // Properties
    bool AutoSize() const { return m_autoSize; }
    void SetAutoSize(bool value);
    bool Center() const { return m_center; }
    void SetCenter(bool value);
    // The image's own picture; assigning one copies its graphic.
    TPicture* Picture() const { return m_picture.get(); }
    void SetPicture(TPicture* value);
    bool Stretch() const { return m_stretch; }
    void SetStretch(bool value);

    void SetBounds(int32_t left, int32_t top, int32_t width, int32_t height) override;
    void Paint(HDC dc) override;

private:
    void PictureChanged();
    // The image covers its parent only where a bitmap fills all of it.
    void UpdateOpaque();

    bool m_autoSize = false;
    bool m_center = false;
    std::unique_ptr<TPicture> m_picture;
    bool m_stretch = false;
};

// A timer: while Enabled, with an Interval above 0 and an OnTimer handler,
// it calls OnTimer every Interval milliseconds from whatever message loop
// runs. The ticks arrive at a hidden window of the timer's own.
class TTimer : public TComponent {
    DECLARE_CLASS_INFO(TTimer)
public:
    explicit TTimer(TComponent* owner);
    ~TTimer() override;

    // Properties
    bool Enabled() const { return m_enabled; }
    void SetEnabled(bool value);
    // Milliseconds between two ticks.
    uint32_t Interval() const { return m_interval; }
    void SetInterval(uint32_t value);

    // Events
    TNotifyEvent OnTimer() const { return m_onTimer; }
    void SetOnTimer(TNotifyEvent e);

    // The window the ticks arrive at.
    HWND WindowHandle() const { return m_window.Handle(); }

protected:
    // Runs OnTimer; called for each tick.
    virtual void Timer();

private:
    void UpdateTimer();
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam);

    bool m_enabled = true;
    uint32_t m_interval = 1000;
    TNotifyEvent m_onTimer;
    // A message-only window: it takes no part in the z-order of the
    // program's windows, which the modal loops walk.
    UtilityWindow m_window;
};

// The progress gauge: a windowless control that shows where a value stands
// between a minimum and a maximum, as a percentage text, a horizontal or
// vertical bar, a pie or a half-dial.
#pragma once

#include <cstdint>

#include "framework/Controls.h"
#include "framework/Forms.h"
#include "framework/GdiHandles.h"
#include "framework/StdCtrls.h"

enum TGaugeKind { gkText, gkHorizontalBar, gkVerticalBar, gkPie, gkNeedle };
template <>
const TEnumTypeInfo& EnumTypeOf<TGaugeKind>();

// A scratch bitmap of the gauge's paint with a device context to draw on
// (its canvas), compatible with the screen. The copy mode is the raster
// operation with which Draw puts the whole bitmap onto another canvas.
class TBltBitmap {
public:
    TBltBitmap() = default;
    TBltBitmap(const TBltBitmap&) = delete;
    TBltBitmap& operator=(const TBltBitmap&) = delete;
    ~TBltBitmap();

    int Width() const { return m_width; }
    int Height() const { return m_height; }
    void SetSize(int width, int height);
    HDC Canvas() const { return m_dc.Get(); }
    DWORD CopyMode() const { return m_copyMode; }
    void SetCopyMode(DWORD rop) { m_copyMode = rop; }

    // Takes the size of the template and fills itself with the window
    // frame colour.
    void MakeLike(const TBltBitmap& templateBitmap);
    // Fills the rectangle (0, 0, width, height) of the canvas from itself
    // with the BLACKNESS operation.
    void Blacken(int width, int height);
    // Draws source onto this canvas at (x, y) with this canvas's copy mode.
    void Draw(int x, int y, const TBltBitmap& source);

private:
    int m_width = 0;
    int m_height = 0;
    DWORD m_copyMode = SRCCOPY;
    MemoryDC m_dc{nullptr};
    Bitmap m_bitmap;
    HGDIOBJ m_previous = nullptr;  // the canvas's own bitmap, selected back before the DC goes
};

class TGauge : public TGraphicControl {
    DECLARE_CLASS_INFO(TGauge)
public:
    explicit TGauge(TComponent* owner);

    // The range. Writing a bound that would cross the other one raises
    // EInvalidOperation and changes nothing; a bound that moves past
    // Progress takes Progress with it, so MinValue <= Progress <= MaxValue
    // always holds.
    int32_t MinValue() const { return m_minValue; }
    void SetMinValue(int32_t value);
    int32_t MaxValue() const { return m_maxValue; }
    void SetMaxValue(int32_t value);
    // Clamped into the range, silently.
    int32_t Progress() const { return m_progress; }
    void SetProgress(int32_t value);
    // The whole percentage the gauge shows; 0 for an empty range.
    int32_t PercentComplete() const;

    TGaugeKind Kind() const { return m_kind; }
    void SetKind(TGaugeKind value) { StoreAndShow(m_kind, value, [this] { RepaintNow(); }); }
    bool ShowText() const { return m_showText; }
    void SetShowText(bool value) { StoreAndShow(m_showText, value, [this] { RepaintNow(); }); }
    TBorderStyle BorderStyle() const { return m_borderStyle; }
    void SetBorderStyle(TBorderStyle value) { StoreAndShow(m_borderStyle, value, [this] { RepaintNow(); }); }
    TColor ForeColor() const { return m_foreColor; }
    void SetForeColor(TColor value) { StoreAndShow(m_foreColor, value, [this] { RepaintNow(); }); }
    TColor BackColor() const { return m_backColor; }
    void SetBackColor(TColor value) { StoreAndShow(m_backColor, value, [this] { RepaintNow(); }); }

    // Composes the whole picture off-screen and copies it onto dc in one
    // transfer; dc has its origin at the gauge's top-left corner.
    void Paint(HDC dc) override;

protected:
    // The framework's immediate refresh: every write that changes the
    // picture ends here, and the caller expects the new picture on the
    // screen when the write returns, without any message being processed.
    virtual void RepaintNow();

private:
    // The picture of Kind inside the inner rectangle r.
    void PaintPicture(HDC dc, const RECT& r);
    // The extents of the pie's and the dial's box within r.
    SIZE RoundArea(const RECT& r) const;
    // The percentage laid over the picture, inverting what lies beneath.
    void PaintText(TBltBitmap& image, const RECT& r);

    int32_t m_minValue = 0;
    int32_t m_maxValue = 100;
    int32_t m_progress = 0;
    TGaugeKind m_kind = gkHorizontalBar;
    bool m_showText = true;
    TBorderStyle m_borderStyle = TBorderStyle::bsSingle;
    TColor m_foreColor = clBlack;
    TColor m_backColor = clWhite;
};

// The part of a length that a percentage covers, as the bar pictures size
// their filled part: Trunc(length * (percent * 0.01)) in 80-bit extended
// arithmetic. The extended value of 0.01 lies slightly below one hundredth,
// so a mathematically whole result can come out one lower (20 % of 240 is 47).
int32_t GaugeShare(int32_t percent, int32_t length);

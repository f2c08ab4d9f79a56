// The progress gauge: its range and progress, and its painting, done off
// screen, of the bar, pie or half-dial and of the percentage over it.
#include "controls/Gauges.h"

#include <cmath>
#include <limits>
#include <string>

static_assert(std::numeric_limits<long double>::digits == 64,
              "the gauge's percentages are computed in 80-bit extended precision");

template <>
const TEnumTypeInfo& EnumTypeOf<TGaugeKind>()
{
    static const TEnumTypeInfo info =
        EnumType<gkNeedle>("TGaugeKind", {"gkText", "gkHorizontalBar", "gkVerticalBar", "gkPie", "gkNeedle"});
    return info;
}

const TClassInfo& TGauge::StaticClassInfo()
{
    // The stored designs name the properties in this order; Progress has no
    // default, so a design always stores it, 0 included. Colour, font and
    // ShowHint are stored only while they are the gauge's own.
    static const TClassInfo info = ClassInfoBuilder<TGauge, TGraphicControl>("TGauge")
        .Publish("Align")
        .Publish("Color", clWindow)
        .StoredWhen<&TGauge::IsColorStored>()
        .Publish("Enabled")
        .Property<&TGauge::Kind, &TGauge::SetKind>("Kind", gkHorizontalBar)
        .Property<&TGauge::ShowText, &TGauge::SetShowText>("ShowText", true)
        .Publish("Font")
        .StoredWhen<&TGauge::IsFontStored>()
        .Property<&TGauge::BorderStyle, &TGauge::SetBorderStyle>("BorderStyle", TBorderStyle::bsSingle)
        .Property<&TGauge::ForeColor, &TGauge::SetForeColor>("ForeColor", clBlack)
        .Property<&TGauge::BackColor, &TGauge::SetBackColor>("BackColor", clWhite)
        .Property<&TGauge::MinValue, &TGauge::SetMinValue>("MinValue", 0)
        .Property<&TGauge::MaxValue, &TGauge::SetMaxValue>("MaxValue", 100)
        .Publish("ParentColor", "ParentFont", "ParentShowHint", "PopupMenu")
        .Property<&TGauge::Progress, &TGauge::SetProgress>("Progress")
        .Publish("ShowHint")
        .StoredWhen<&TGauge::IsShowHintStored>()
        .Publish("Visible")
        .Build();
    return info;
}

TGauge::TGauge(TComponent* owner) : TGraphicControl(owner)
{
    // The gauge paints every pixel of its rectangle, so its parent need not
    // erase behind it. The range, progress, picture and colours start at
    // their member defaults; only the size differs from the base's.
    SetControlStyle(ControlStyle().Include(csOpaque).Include(csFramed));
    SetBounds(Left(), Top(), 100, 100);
}

void TGauge::RepaintNow()
{
    // Painted right away through the parent's device context, clipped to
    // the gauge, without erasing and without a paint message: a handler
    // that copies files without processing messages still shows progress.
    if (!Visible() || !Parent() || !Parent()->HandleAllocated())
        return;
    ScopedDC dc(Parent()->Handle());
    SetViewportOrgEx(dc.Get(), Left(), Top(), nullptr);
    IntersectClipRect(dc.Get(), 0, 0, Width(), Height());
    Paint(dc.Get());
}

void TGauge::SetMinValue(int32_t value)
{
    if (value == m_minValue)
        return;
    if (value > m_maxValue) {
        // The lowest bound offered is one above the type's minimum, as the
        // message has always read.
        throw EInvalidOperation(StrId::SOutOfRange,
                                {-2147483647, static_cast<long long>(m_maxValue) - 1});
    }
    m_minValue = value;
    if (m_progress < value)
        m_progress = value;
    RepaintNow();
}

void TGauge::SetMaxValue(int32_t value)
{
    if (value == m_maxValue)
        return;
    if (value < m_minValue)
        throw EInvalidOperation(StrId::SOutOfRange, {static_cast<long long>(m_minValue) + 1, 2147483647});
    m_maxValue = value;
    if (m_progress > value)
        m_progress = value;
    RepaintNow();
}

void TGauge::SetProgress(int32_t value)
{
    if (value < m_minValue)
        value = m_minValue;
    else if (value > m_maxValue)
        value = m_maxValue;
    if (value == m_progress)
        return;
    // A gauge stepped once per item repaints only when the whole percentage
    // moves, at most 100 times however many items there are.
    const int32_t before = PercentComplete();
    m_progress = value;
    if (PercentComplete() != before)
        RepaintNow();
}

int32_t TGauge::PercentComplete() const
{
    // Differences are taken in 64 bits: the range may span the whole 32-bit
    // type.
    const int64_t range = static_cast<int64_t>(m_maxValue) - m_minValue;
    if (range == 0)
        return 0;
    const long double difference = static_cast<long double>(static_cast<int64_t>(m_progress) - m_minValue);
    return static_cast<int32_t>(difference * 100.0L / static_cast<long double>(range));
}

int32_t GaugeShare(int32_t percent, int32_t length)
{
    // The factor is rounded to extended precision before the multiplication
    // by the length; volatile keeps the compiler from folding the two steps.
    static const long double hundredth = 0.01L;
    volatile long double factor = static_cast<long double>(percent) * hundredth;
    return static_cast<int32_t>(static_cast<long double>(length) * factor);
}

namespace {

const long double Pi = 3.141592653589793238462643383279502884L;

// The extended-precision rounding of the pictures: halves go to the even
// neighbour, as the floating-point unit rounds by default.
int RoundExtended(long double value)
{
    return static_cast<int>(std::nearbyint(value));
}

// A pen and a brush of the picture's colours selected into a canvas for
// the scope of one drawing step.
class DrawingTools {
public:
    DrawingTools(HDC dc, TColor penColor, TColor brushColor)
        : m_pen(CreatePen(PS_SOLID, 1, ColorToRGB(penColor))), m_brush(CreateSolidBrush(ColorToRGB(brushColor))),
          m_selectPen(dc, m_pen.Get()), m_selectBrush(dc, m_brush.Get())
    {
    }
    HBRUSH Brush() const { return m_brush.Get(); }

private:
    Pen m_pen;
    ::Brush m_brush;
    ScopedSelect m_selectPen;
    ScopedSelect m_selectBrush;
};

void FillWith(HDC dc, const RECT& r, TColor color)
{
    Brush brush(CreateSolidBrush(ColorToRGB(color)));
    FillRect(dc, &r, brush.Get());
}

} // namespace

TBltBitmap::~TBltBitmap()
{
    if (m_previous)
        SelectObject(m_dc.Get(), m_previous);
}

void TBltBitmap::SetSize(int width, int height)
{
    if (m_previous) {
        SelectObject(m_dc.Get(), m_previous);
        m_previous = nullptr;
    }
    {
        ScopedDC screen;
        m_bitmap.Reset(CreateCompatibleBitmap(screen.Get(), width, height));
    }
    // NOTE: a bitmap the platform cannot make leaves the canvas with its
    // one-pixel default, and the gauge then shows nothing new; the next
    // repaint tries again.
    m_previous = SelectObject(m_dc.Get(), m_bitmap.Get());
    m_width = width;
    m_height = height;
}

void TBltBitmap::MakeLike(const TBltBitmap& templateBitmap)
{
    SetSize(templateBitmap.Width(), templateBitmap.Height());
    const RECT all{0, 0, m_width, m_height};
    FillWith(m_dc.Get(), all, clWindowFrame);
}

void TBltBitmap::Blacken(int width, int height)
{
    m_copyMode = BLACKNESS;
    StretchBlt(m_dc.Get(), 0, 0, width, height, m_dc.Get(), 0, 0, width, height, m_copyMode);
    m_copyMode = SRCCOPY;
}

void TBltBitmap::Draw(int x, int y, const TBltBitmap& source)
{
    StretchBlt(m_dc.Get(), x, y, source.Width(), source.Height(), source.Canvas(), 0, 0, source.Width(),
               source.Height(), m_copyMode);
}

void TGauge::Paint(HDC dc)
{
    const int width = Width();
    const int height = Height();
    TBltBitmap image;
    image.SetSize(width, height);
    image.Blacken(width, height);
    RECT r = ClientRect();
    if (m_borderStyle == TBorderStyle::bsSingle)
        InflateRect(&r, -1, -1);
    {
        TBltBitmap overlay;
        overlay.MakeLike(image);
        overlay.Blacken(width, height);
        PaintPicture(overlay.Canvas(), r);
        // The image is black, so inverting the overlay onto it copies it.
        image.SetCopyMode(SRCINVERT);
        image.Draw(0, 0, overlay);
        image.SetCopyMode(SRCCOPY);
    }
    if (m_showText)
        PaintText(image, r);
    StretchBlt(dc, 0, 0, width, height, image.Canvas(), 0, 0, width, height, SRCCOPY);
}

void TGauge::PaintPicture(HDC dc, const RECT& r)
{
    const int percent = PercentComplete();
    switch (m_kind) {
    case gkText:
        FillWith(dc, r, m_backColor);
        break;
    case gkHorizontalBar:
    case gkVerticalBar: {
        const int w = r.right - r.left + 1;
        const int h = r.bottom - r.top + 1;
        FillWith(dc, r, m_backColor);
        DrawingTools tools(dc, m_foreColor, m_foreColor);
        // NOTE: the filled part's extents are used as right and bottom
        // coordinates, which is what leaves the frame's far edges black.
        if (m_kind == gkHorizontalBar) {
            int filled = GaugeShare(percent, w);
            if (filled > w)
                filled = w;
            if (filled > 0) {
                const RECT bar{r.left, r.top, filled, h};
                FillRect(dc, &bar, tools.Brush());
            }
        } else {
            int filled = GaugeShare(percent, h);
            if (filled >= h)
                filled = h - 1;
            const RECT bar{r.left, h - filled, w, h};
            FillRect(dc, &bar, tools.Brush());
        }
        break;
    }
    case gkPie: {
        const SIZE area = RoundArea(r);
        const int w = area.cx;
        const int h = area.cy;
        FillWith(dc, r, Color());
        {
            DrawingTools tools(dc, m_foreColor, m_backColor);
            Ellipse(dc, r.left, r.top, w, h);
        }
        if (percent > 0) {
            DrawingTools tools(dc, m_foreColor, m_foreColor);
            const int mx = w / 2;
            const int my = h / 2;
            const long double angle = Pi * (percent * 0.02L + 0.5L);
            Pie(dc, r.left, r.top, w, h, RoundExtended(mx * (1 - std::cos(angle))),
                RoundExtended(my * (1 - std::sin(angle))), mx, 0);
        }
        break;
    }
    case gkNeedle: {
        const int x = r.left;
        const int y = r.top;
        const SIZE area = RoundArea(r);
        const int w = area.cx;
        const int h = area.cy;
        FillWith(dc, r, Color());
        DrawingTools tools(dc, m_foreColor, m_backColor);
        // The upper half of an ellipse twice the area's height: a dial
        // standing on the bottom edge, with its base line.
        Pie(dc, x, y, w, 2 * h - 1, x + w, r.bottom - 1, x, r.bottom - 1);
        MoveToEx(dc, x, r.bottom, nullptr);
        LineTo(dc, x + w, r.bottom);
        if (percent > 0) {
            // NOTE: the needle turns about the middle of the whole control,
            // not of the inner area.
            const int mx = Width() / 2;
            MoveToEx(dc, mx, r.bottom - 1, nullptr);
            const long double angle = Pi * percent * 0.01L;
            LineTo(dc, RoundExtended(mx * (1 - std::cos(angle))),
                   RoundExtended((r.bottom - 1) * (1 - std::sin(angle))));
        }
        break;
    }
    }
}

SIZE TGauge::RoundArea(const RECT& r) const
{
    // NOTE: with a border the pie and the dial reach one pixel further, onto
    // the right and bottom frame lines, where their outlines then lie.
    SIZE area{r.right - r.left, r.bottom - r.top};
    if (m_borderStyle == TBorderStyle::bsSingle) {
        ++area.cx;
        ++area.cy;
    }
    return area;
}

void TGauge::PaintText(TBltBitmap& image, const RECT& r)
{
    TBltBitmap textImage;
    textImage.MakeLike(image);
    textImage.Blacken(Width(), Height());
    const std::string text = std::to_string(PercentComplete()) + "%";
    HDC dc = textImage.Canvas();
    SetBkMode(dc, TRANSPARENT);
    ScopedSelect font(dc, Font()->Handle());
    SetTextColor(dc, ColorToRGB(clWhite));
    SIZE size{};
    if (!GetTextExtentPointA(dc, text.c_str(), static_cast<int>(text.size()), &size))
        size = SIZE{0, 0};
    const int x = (r.right - r.left + 1 - size.cx) / 2;
    const int y = (r.bottom - r.top + 1 - size.cy) / 2;
    ExtTextOutA(dc, x, y, ETO_CLIPPED, &r, text.c_str(), static_cast<UINT>(text.size()), nullptr);
    // White text pixels invert what lies beneath; the black rest leaves it.
    image.SetCopyMode(SRCINVERT);
    image.Draw(0, 0, textImage);
    image.SetCopyMode(SRCCOPY);
}

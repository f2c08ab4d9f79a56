#include "controls/Gauges.h"

#include <limits>

static_assert(std::numeric_limits<long double>::digits == 64,
              "the gauge's percentages are computed in 80-bit extended precision");

template <>
const TEnumTypeInfo& EnumTypeOf<TGaugeKind>()
{
    static const TEnumTypeInfo info{"TGaugeKind", {"gkText", "gkHorizontalBar", "gkVerticalBar", "gkPie", "gkNeedle"}};
    return info;
}

const TClassInfo& TGauge::StaticClassInfo()
{
    // The stored designs name the properties in this order; Progress has no
    // default, so a design always stores it, 0 included.
    static const TClassInfo info = ClassInfoBuilder<TGauge, TGraphicControl>("TGauge")
        .Property<&TGauge::Align, &TGauge::SetAlign>("Align", alNone)
        .Property<&TGauge::Color, &TGauge::SetColor>("Color", clWindow)
        .Property<&TGauge::Enabled, &TGauge::SetEnabled>("Enabled", true)
        .Property<&TGauge::Kind, &TGauge::SetKind>("Kind", gkHorizontalBar)
        .Property<&TGauge::ShowText, &TGauge::SetShowText>("ShowText", true)
        .Property<&TGauge::Font, &TGauge::SetFont>("Font")
        .Property<&TGauge::BorderStyle, &TGauge::SetBorderStyle>("BorderStyle", TBorderStyle::bsSingle)
        .Property<&TGauge::ForeColor, &TGauge::SetForeColor>("ForeColor", clBlack)
        .Property<&TGauge::BackColor, &TGauge::SetBackColor>("BackColor", clWhite)
        .Property<&TGauge::MinValue, &TGauge::SetMinValue>("MinValue", 0)
        .Property<&TGauge::MaxValue, &TGauge::SetMaxValue>("MaxValue", 100)
        .Property<&TGauge::ParentColor, &TGauge::SetParentColor>("ParentColor", true)
        .Property<&TGauge::ParentFont, &TGauge::SetParentFont>("ParentFont", true)
        .Property<&TGauge::ParentShowHint, &TGauge::SetParentShowHint>("ParentShowHint", true)
        .Property<&TGauge::PopupMenu, &TGauge::SetPopupMenu>("PopupMenu")
        .Property<&TGauge::Progress, &TGauge::SetProgress>("Progress")
        .Property<&TGauge::ShowHint, &TGauge::SetShowHint>("ShowHint", false)
        .Property<&TGauge::Visible, &TGauge::SetVisible>("Visible", true)
        .Build();
    return info;
}

TGauge::TGauge(TComponent* owner) : TGraphicControl(owner)
{
    // The range, progress, picture and colours start at their member
    // defaults; only the size differs from the base's.
    SetBounds(Left(), Top(), 100, 100);
}

void TGauge::RepaintNow()
{
    Changed();
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

void TGauge::SetKind(TGaugeKind value)
{
    if (value == m_kind)
        return;
    m_kind = value;
    RepaintNow();
}

void TGauge::SetShowText(bool value)
{
    if (value == m_showText)
        return;
    m_showText = value;
    RepaintNow();
}

void TGauge::SetBorderStyle(TBorderStyle value)
{
    if (value == m_borderStyle)
        return;
    m_borderStyle = value;
    RepaintNow();
}

void TGauge::SetForeColor(TColor value)
{
    if (value == m_foreColor)
        return;
    m_foreColor = value;
    RepaintNow();
}

void TGauge::SetBackColor(TColor value)
{
    if (value == m_backColor)
        return;
    m_backColor = value;
    RepaintNow();
}

int32_t GaugeShare(int32_t percent, int32_t length)
{
    // The factor is rounded to extended precision before the multiplication
    // by the length; volatile keeps the compiler from folding the two steps.
    static const long double hundredth = 0.01L;
    volatile long double factor = static_cast<long double>(percent) * hundredth;
    return static_cast<int32_t>(static_cast<long double>(length) * factor);
}

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <climits>
#include <memory>
#include <string>
#include <vector>

#include "controls/Gauges.h"
#include "framework/Application.h"
#include "tests/controls/ControlsTestSupport.h"
#include "tests/support/FrameworkTest.h"
#include "tests/controls/ControlsTestSupport.h"

namespace {

std::string RangeError(const std::function<void()>& write)
{
    return ErrorOf<EInvalidOperation>(write);
}

} // namespace

TEST(Gauge, ConstructorSetsTheDefaults)
{
    TGauge gauge(nullptr);
    EXPECT_EQ(gauge.MinValue(), 0);
    EXPECT_EQ(gauge.MaxValue(), 100);
    EXPECT_EQ(gauge.Progress(), 0);
    EXPECT_EQ(gauge.Kind(), gkHorizontalBar);
    EXPECT_TRUE(gauge.ShowText());
    EXPECT_EQ(gauge.BorderStyle(), TBorderStyle::bsSingle);
    EXPECT_EQ(gauge.ForeColor(), clBlack);
    EXPECT_EQ(gauge.BackColor(), clWhite);
    EXPECT_EQ(gauge.Width(), 100);
    EXPECT_EQ(gauge.Height(), 100);
    EXPECT_EQ(gauge.PercentComplete(), 0);
}

TEST(Gauge, PublishesItsPropertiesInTypeInformationOrder)
{
    const std::vector<std::string> expected = {
        "Name", "Tag", "Left", "Top", "Width", "Height", "Cursor", "Hint",
        "Align", "Color", "Enabled", "Kind", "ShowText", "Font", "BorderStyle", "ForeColor", "BackColor",
        "MinValue", "MaxValue", "ParentColor", "ParentFont", "ParentShowHint", "PopupMenu", "Progress",
        "ShowHint", "Visible"};
    EXPECT_EQ(PublishedNames(TGauge::StaticClassInfo()), expected);
}

TEST(Gauge, TypeInformationDefaultsMatchTheConstructedGauge)
{
    TGauge gauge(nullptr);
    const TClassInfo& info = gauge.ClassInfo();
    ExpectOrdDefaults(gauge, {
        {"MinValue", 0}, {"MaxValue", 100}, {"Kind", gkHorizontalBar}, {"ShowText", 1},
        {"BorderStyle", static_cast<int64_t>(TBorderStyle::bsSingle)}, {"ForeColor", clBlack},
        {"BackColor", clWhite}, {"Color", clWindow}, {"Enabled", 1}, {"ParentColor", 1}, {"ParentFont", 1},
        {"ParentShowHint", 1}, {"Visible", 1},
    });
    const TPropInfo* progress = info.FindProperty("progress");
    ASSERT_NE(progress, nullptr);
    EXPECT_FALSE(progress->HasDefault);
    EXPECT_EQ(progress->Kind, TTypeKind::Integer);
    const TPropInfo* kind = info.FindProperty("Kind");
    ASSERT_NE(kind, nullptr);
    EXPECT_EQ(kind->EnumType->NameOf(gkNeedle), "gkNeedle");
    EXPECT_EQ(kind->EnumType->ValueOf("gkpie"), gkPie);
}

TEST(Gauge, MinValueAboveMaxValueIsRefused)
{
    TGauge gauge(nullptr);
    gauge.SetProgress(20);
    EXPECT_EQ(RangeError([&] { gauge.SetMinValue(150); }), "Value must be between -2147483647 and 99");
    EXPECT_EQ(gauge.MinValue(), 0);
    EXPECT_EQ(gauge.MaxValue(), 100);
    EXPECT_EQ(gauge.Progress(), 20);
    // Equal to the maximum is allowed.
    gauge.SetMinValue(100);
    EXPECT_EQ(gauge.MinValue(), 100);
    EXPECT_EQ(gauge.Progress(), 100);
}

TEST(Gauge, MaxValueBelowMinValueIsRefused)
{
    TGauge gauge(nullptr);
    EXPECT_EQ(RangeError([&] { gauge.SetMaxValue(-5); }), "Value must be between 1 and 2147483647");
    EXPECT_EQ(gauge.MaxValue(), 100);
    gauge.SetMaxValue(0);
    EXPECT_EQ(gauge.MaxValue(), 0);
    EXPECT_EQ(gauge.Progress(), 0);
}

TEST(Gauge, BoundsCarryProgressAlong)
{
    CountingGauge gauge(nullptr);
    gauge.SetProgress(20);
    gauge.Repaints = 0;
    gauge.SetMinValue(50);
    EXPECT_EQ(gauge.Progress(), 50);
    EXPECT_EQ(gauge.Repaints, 1);

    CountingGauge other(nullptr);
    other.SetProgress(20);
    other.SetMaxValue(10);
    EXPECT_EQ(other.Progress(), 10);
}

TEST(Gauge, ProgressIsClampedIntoTheRange)
{
    TGauge gauge(nullptr);
    gauge.SetProgress(-5);
    EXPECT_EQ(gauge.Progress(), 0);
    gauge.SetProgress(1000);
    EXPECT_EQ(gauge.Progress(), 100);
    EXPECT_EQ(gauge.PercentComplete(), 100);
}

TEST(Gauge, PercentCompleteOfAnEmptyRangeIsZero)
{
    TGauge gauge(nullptr);
    gauge.SetMaxValue(0);
    EXPECT_EQ(gauge.MinValue(), 0);
    EXPECT_EQ(gauge.MaxValue(), 0);
    EXPECT_EQ(gauge.PercentComplete(), 0);
    gauge.SetProgress(5);
    EXPECT_EQ(gauge.Progress(), 0);
    EXPECT_EQ(gauge.PercentComplete(), 0);
}

TEST(Gauge, PercentCompleteTruncates)
{
    TGauge gauge(nullptr);
    gauge.SetMaxValue(3);
    gauge.SetProgress(1);
    EXPECT_EQ(gauge.PercentComplete(), 33);
    gauge.SetProgress(2);
    EXPECT_EQ(gauge.PercentComplete(), 66);

    gauge.SetMaxValue(300);
    gauge.SetProgress(2);
    EXPECT_EQ(gauge.PercentComplete(), 0);
    gauge.SetProgress(3);
    EXPECT_EQ(gauge.PercentComplete(), 1);
    gauge.SetProgress(299);
    EXPECT_EQ(gauge.PercentComplete(), 99);
}

TEST(Gauge, PercentCompleteOverANegativeAndAWholeRange)
{
    TGauge gauge(nullptr);
    gauge.SetMinValue(-100);
    gauge.SetProgress(0);
    EXPECT_EQ(gauge.Progress(), 0);
    EXPECT_EQ(gauge.PercentComplete(), 50);

    // The difference and the range exceed 32 bits in the middle of the
    // computation and must not wrap.
    gauge.SetMinValue(INT_MIN);
    gauge.SetMaxValue(INT_MAX);
    gauge.SetProgress(INT_MAX);
    EXPECT_EQ(gauge.PercentComplete(), 100);
    gauge.SetProgress(0);
    EXPECT_EQ(gauge.PercentComplete(), 50);
}

TEST(Gauge, ProgressRepaintsOnlyWhenThePercentageMoves)
{
    CountingGauge gauge(nullptr);
    gauge.SetMaxValue(300);
    gauge.Repaints = 0;
    gauge.SetProgress(1);
    gauge.SetProgress(2);
    EXPECT_EQ(gauge.Repaints, 0);
    gauge.SetProgress(3);
    EXPECT_EQ(gauge.Repaints, 1);
    gauge.SetProgress(3);
    EXPECT_EQ(gauge.Repaints, 1);
    // Clamped to the value it already has: nothing happens.
    gauge.SetProgress(300);
    EXPECT_EQ(gauge.Repaints, 2);
    gauge.SetProgress(5000);
    EXPECT_EQ(gauge.Repaints, 2);
}

TEST(Gauge, LookWritesRepaintOnlyOnAChange)
{
    CountingGauge gauge(nullptr);
    gauge.Repaints = 0;
    gauge.SetKind(gkHorizontalBar);
    gauge.SetShowText(true);
    gauge.SetBorderStyle(TBorderStyle::bsSingle);
    gauge.SetForeColor(clBlack);
    gauge.SetBackColor(clWhite);
    gauge.SetMinValue(0);
    gauge.SetMaxValue(100);
    EXPECT_EQ(gauge.Repaints, 0);
    gauge.SetKind(gkPie);
    gauge.SetShowText(false);
    gauge.SetBorderStyle(TBorderStyle::bsNone);
    gauge.SetForeColor(clRed);
    gauge.SetBackColor(clBlue);
    EXPECT_EQ(gauge.Repaints, 5);
    EXPECT_EQ(gauge.Kind(), gkPie);
    EXPECT_FALSE(gauge.ShowText());
    EXPECT_EQ(gauge.BorderStyle(), TBorderStyle::bsNone);
    EXPECT_EQ(gauge.ForeColor(), clRed);
    EXPECT_EQ(gauge.BackColor(), clBlue);
}

TEST(Gauge, ShareUsesExtendedHundredth)
{
    // The extended 0.01 lies below one hundredth, so whole results may come
    // out one lower.
    EXPECT_EQ(GaugeShare(20, 240), 47);
    EXPECT_EQ(GaugeShare(50, 240), 120);
    EXPECT_EQ(GaugeShare(5, 100), 4);
    EXPECT_EQ(GaugeShare(100, 240), 240);
    EXPECT_EQ(GaugeShare(0, 240), 0);
}

TEST(Gauge, WritesProgressAlwaysAndDefaultsNever)
{
    TGauge gauge(nullptr);
    gauge.SetName("Gauge1");
    gauge.SetBounds(9, 41, 241, 23);
    const Bytes stream = WriteRoot(&gauge);
    // Progress 0 is stored as an 8-bit integer 0.
    EXPECT_EQ(After(stream, "\x08Progress", 2), (Bytes{2, 0}));
    EXPECT_FALSE(Contains(stream, "MinValue"));
    EXPECT_FALSE(Contains(stream, "MaxValue"));
    EXPECT_FALSE(Contains(stream, "Kind"));
    EXPECT_FALSE(Contains(stream, "ShowText"));
    EXPECT_FALSE(Contains(stream, "ForeColor"));
    EXPECT_FALSE(Contains(stream, "BackColor"));
}

TEST(Gauge, ColourFontAndShowHintAreStoredOnlyWhenTheGaugesOwn)
{
    TGauge gauge(nullptr);
    gauge.SetName("G");
    {
        SCOPED_TRACE("taken from the parent: not stored");
        const Bytes stream = WriteRoot(&gauge);
        EXPECT_FALSE(Contains(stream, "\x05" "Color"));
        EXPECT_FALSE(Contains(stream, "Font."));
        EXPECT_FALSE(Contains(stream, "\x08" "ShowHint"));
    }
    gauge.SetColor(clRed);
    gauge.Font()->SetName("Arial");
    gauge.SetShowHint(true);
    {
        SCOPED_TRACE("the gauge's own: stored");
        const Bytes stream = WriteRoot(&gauge);
        EXPECT_TRUE(Contains(stream, "\x05" "Color"));
        EXPECT_TRUE(Contains(stream, "Font.Name"));
        EXPECT_TRUE(Contains(stream, "\x08" "ShowHint"));
    }
    // Back to the parent's: a colour that differs from the default is still
    // left out.
    gauge.SetParentColor(true);
    gauge.SetParentFont(true);
    gauge.SetParentShowHint(true);
    {
        SCOPED_TRACE("taken from the parent again");
        const Bytes stream = WriteRoot(&gauge);
        EXPECT_FALSE(Contains(stream, "\x05" "Color"));
        EXPECT_FALSE(Contains(stream, "Font."));
        EXPECT_FALSE(Contains(stream, "\x08" "ShowHint"));
    }
}

TEST(Gauge, ReadsTheProgressFormsGauge)
{
    const Bytes stream = RootStream("TGauge", "Gauge1", [](TWriter& w) {
        w.WritePropName("Left");
        w.WriteInteger(9);
        w.WritePropName("Top");
        w.WriteInteger(41);
        w.WritePropName("Width");
        w.WriteInteger(241);
        w.WritePropName("Height");
        w.WriteInteger(23);
        w.WritePropName("Progress");
        w.WriteInteger(0);
    });
    TGauge gauge(nullptr);
    ReadRoot(stream, &gauge);
    EXPECT_EQ(gauge.Name(), "Gauge1");
    EXPECT_EQ(gauge.Left(), 9);
    EXPECT_EQ(gauge.Top(), 41);
    EXPECT_EQ(gauge.Width(), 241);
    EXPECT_EQ(gauge.Height(), 23);
    EXPECT_EQ(gauge.Progress(), 0);
    EXPECT_EQ(gauge.MaxValue(), 100);
    EXPECT_EQ(gauge.Kind(), gkHorizontalBar);
}

TEST(Gauge, ReadingAppliesTheRulesInStreamOrder)
{
    // Progress first, then a smaller maximum: the maximum takes it along.
    const Bytes stream = RootStream("TGauge", "G", [](TWriter& w) {
        w.WritePropName("Kind");
        w.WriteIdent("gkNeedle");
        w.WritePropName("Progress");
        w.WriteInteger(50);
        w.WritePropName("MaxValue");
        w.WriteInteger(10);
    });
    TGauge gauge(nullptr);
    ReadRoot(stream, &gauge);
    EXPECT_EQ(gauge.Kind(), gkNeedle);
    EXPECT_EQ(gauge.MaxValue(), 10);
    EXPECT_EQ(gauge.Progress(), 10);

    const Bytes bad = RootStream("TGauge", "G2", [](TWriter& w) {
        w.WritePropName("MinValue");
        w.WriteInteger(150);
    });
    TGauge other(nullptr);
    EXPECT_EQ(ErrorOf<EReadError>([&] { ReadRoot(bad, &other); }),
              "Error reading G2.MinValue: Value must be between -2147483647 and 99");
    EXPECT_EQ(other.MinValue(), 0);
}

// ---------------------------------------------------------------------------
// The composed picture

namespace {

// The gauge's whole picture as Paint leaves it on a 32-bit canvas of the
// gauge's size, one COLORREF per pixel.
class Picture {
public:
    explicit Picture(TGauge& gauge) : m_width(gauge.Width()), m_height(gauge.Height())
    {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = m_width;
        info.bmiHeader.biHeight = -m_height;  // top-down rows
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        HDC dc = CreateCompatibleDC(nullptr);
        HGDIOBJ old = SelectObject(dc, bitmap);
        // Grey first, so that a pixel the gauge leaves alone shows.
        RECT all{0, 0, m_width, m_height};
        HBRUSH grey = CreateSolidBrush(RGB(0x80, 0x80, 0x80));
        FillRect(dc, &all, grey);
        DeleteObject(grey);
        gauge.Paint(dc);
        GdiFlush();
        const auto* pixels = static_cast<const uint32_t*>(bits);
        m_pixels.reserve(static_cast<size_t>(m_width) * m_height);
        for (int i = 0; i < m_width * m_height; ++i) {
            const uint32_t p = pixels[i];
            m_pixels.push_back(RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF));
        }
        SelectObject(dc, old);
        DeleteDC(dc);
        DeleteObject(bitmap);
    }

    COLORREF At(int x, int y) const { return m_pixels.at(static_cast<size_t>(y) * m_width + x); }
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    // The columns of row y that have colour c, as a string of '#' and '.'.
    std::string Row(int y, COLORREF c) const
    {
        std::string row;
        for (int x = 0; x < m_width; ++x)
            row += At(x, y) == c ? '#' : '.';
        return row;
    }

private:
    int m_width;
    int m_height;
    std::vector<COLORREF> m_pixels;
};

const COLORREF Black = RGB(0, 0, 0);
const COLORREF White = RGB(255, 255, 255);
const COLORREF Red = RGB(255, 0, 0);

// The progress form's gauge: 241 x 23, single border, horizontal bar.
std::unique_ptr<TGauge> SetupGauge()
{
    auto gauge = std::make_unique<TGauge>(nullptr);
    gauge->SetBounds(9, 41, 241, 23);
    return gauge;
}

// A row of the bar: the frame column, filled columns 1 to filled - 1, empty
// ones up to column 239, the frame column 240.
std::string BarRow(int filled)
{
    std::string row = "#";
    for (int x = 1; x < 240; ++x)
        row += x < filled ? '#' : '.';
    return row + "#";
}

} // namespace

TEST(GaugePicture, ConstructorMakesTheGaugeOpaqueAndFramed)
{
    TGauge gauge(nullptr);
    EXPECT_TRUE(gauge.ControlStyle().Contains(csOpaque));
    EXPECT_TRUE(gauge.ControlStyle().Contains(csFramed));
}

TEST(GaugePicture, SetupGaugeFillsTheColumnsOfItsShare)
{
    auto gauge = SetupGauge();
    gauge->SetShowText(false);
    // Filled up to (not including) share(p, 240) as a right coordinate.
    const std::pair<int, int> cases[] = {{0, 1}, {20, 47}, {50, 120}, {100, 240}};
    for (const auto& [percent, right] : cases) {
        SCOPED_TRACE(percent);
        gauge->SetProgress(percent);
        const Picture picture(*gauge);
        // The frame: rows 0 and 22 and columns 0 and 240 stay black.
        EXPECT_EQ(picture.Row(0, Black), std::string(241, '#'));
        EXPECT_EQ(picture.Row(22, Black), std::string(241, '#'));
        for (int y = 1; y < 22; ++y) {
            ASSERT_EQ(picture.Row(y, Black), BarRow(right)) << "row " << y;
            // What is not filled is the background colour, nothing else.
            for (int x = right; x < 240; ++x)
                ASSERT_EQ(picture.At(std::max(x, 1), y), White) << x << ", " << y;
        }
    }
}

TEST(GaugePicture, WithoutABorderTheBarReachesTheEdgesButTheLastColumnAndRow)
{
    auto gauge = SetupGauge();
    gauge->SetShowText(false);
    gauge->SetBorderStyle(TBorderStyle::bsNone);
    gauge->SetForeColor(clRed);
    gauge->SetProgress(50);
    const Picture picture(*gauge);
    // R = (0, 0, 241, 23): W = 242, share(50, 242) = 121; fills exclude the
    // right and bottom edges of their rectangles.
    std::string expected(121, '#');
    expected += std::string(241 - 121, '.');
    for (int y = 0; y < 23; ++y)
        ASSERT_EQ(picture.Row(y, Red), expected) << "row " << y;
}

TEST(GaugePicture, VerticalBarFillsFromTheBottomAndAllOfItAtAHundred)
{
    auto gauge = SetupGauge();
    gauge->SetShowText(false);
    gauge->SetKind(gkVerticalBar);
    gauge->SetProgress(100);
    {
        SCOPED_TRACE("100 %: F = H - 1 fills the whole inner area");
        const Picture picture(*gauge);
        for (int y = 0; y < 23; ++y)
            ASSERT_EQ(picture.Row(y, Black), std::string(241, '#')) << "row " << y;
    }
    gauge->SetProgress(50);
    {
        SCOPED_TRACE("50 %: share(50, 22) = 11 rows from row 11 down");
        const Picture picture(*gauge);
        for (int y = 1; y < 22; ++y)
            ASSERT_EQ(picture.Row(y, Black), y >= 11 ? std::string(241, '#') : BarRow(1)) << "row " << y;
    }
    gauge->SetProgress(0);
    {
        SCOPED_TRACE("0 %: nothing filled");
        const Picture picture(*gauge);
        for (int y = 1; y < 22; ++y)
            ASSERT_EQ(picture.Row(y, Black), BarRow(1)) << "row " << y;
    }
}

TEST(GaugePicture, PieGrowsClockwiseFromTwelveOClock)
{
    TGauge gauge(nullptr);
    gauge.SetBounds(0, 0, 101, 101);
    gauge.SetShowText(false);
    gauge.SetKind(gkPie);
    gauge.SetColor(clRed);
    // Black pixels well inside the outline (radius about 49).
    auto blackInside = [](const Picture& p) {
        int count = 0;
        for (int y = 0; y < 101; ++y)
            for (int x = 0; x < 101; ++x)
                if ((x - 50) * (x - 50) + (y - 50) * (y - 50) < 45 * 45)
                    count += p.At(x, y) == Black;
        return count;
    };
    {
        SCOPED_TRACE("0 %: the empty ellipse only, the corners in Color");
        const Picture picture(gauge);
        EXPECT_EQ(picture.At(50, 50), White);
        EXPECT_EQ(picture.At(3, 3), Red);
        EXPECT_EQ(picture.At(50, 1), Black);  // the outline at the top
        EXPECT_EQ(blackInside(picture), 0);
    }
    {
        SCOPED_TRACE("25 %: the upper right quarter");
        gauge.SetProgress(25);
        const Picture picture(gauge);
        EXPECT_EQ(picture.At(70, 30), Black);
        EXPECT_EQ(picture.At(30, 30), White);
        EXPECT_EQ(picture.At(70, 70), White);
        EXPECT_EQ(picture.At(30, 70), White);
    }
    {
        SCOPED_TRACE("75 %: all but the upper left quarter");
        gauge.SetProgress(75);
        const Picture picture(gauge);
        EXPECT_EQ(picture.At(70, 30), Black);
        EXPECT_EQ(picture.At(70, 70), Black);
        EXPECT_EQ(picture.At(30, 70), Black);
        EXPECT_EQ(picture.At(30, 30), White);
    }
    {
        SCOPED_TRACE("100 %: both radial points at the top: the whole ellipse");
        gauge.SetProgress(100);
        const Picture picture(gauge);
        for (const POINT p : {POINT{50, 50}, POINT{30, 30}, POINT{70, 30}, POINT{30, 70}, POINT{70, 70},
                              POINT{50, 5}, POINT{5, 50}})
            EXPECT_EQ(picture.At(p.x, p.y), Black) << p.x << ", " << p.y;
        EXPECT_EQ(picture.At(3, 3), Red);
    }
}

TEST(GaugePicture, NeedleStandsOnTheBaseAndPointsAtThePercentage)
{
    TGauge gauge(nullptr);
    gauge.SetBounds(0, 0, 101, 51);
    gauge.SetShowText(false);
    gauge.SetKind(gkNeedle);
    gauge.SetColor(clRed);
    gauge.SetForeColor(clRed);
    // R = (1, 1, 100, 50); the needle turns about column 50, row 49.
    {
        SCOPED_TRACE("0 %: the empty dial, its base line on the frame's bottom row");
        const Picture picture(gauge);
        for (int y = 10; y < 49; ++y)
            ASSERT_EQ(picture.At(50, y), White) << y;
        EXPECT_EQ(picture.At(20, 50), Red);
        EXPECT_EQ(picture.At(80, 50), Red);
        EXPECT_EQ(picture.At(20, 0), Black);  // the top frame row stays black
    }
    {
        SCOPED_TRACE("50 %: straight up");
        gauge.SetProgress(50);
        const Picture picture(gauge);
        for (int y = 10; y < 49; ++y)
            ASSERT_EQ(picture.At(50, y), Red) << y;
        EXPECT_EQ(picture.At(30, 40), White);
        EXPECT_EQ(picture.At(70, 40), White);
    }
    {
        SCOPED_TRACE("100 %: along the base to its right end");
        gauge.SetProgress(100);
        const Picture picture(gauge);
        for (int x = 51; x < 99; ++x)
            ASSERT_EQ(picture.At(x, 49), Red) << x;
        EXPECT_EQ(picture.At(50, 30), White);
    }
}

TEST(GaugePicture, PercentageTextInvertsWhatLiesBeneath)
{
    auto gauge = SetupGauge();
    gauge->SetProgress(50);
    gauge->SetShowText(false);
    const Picture bare(*gauge);
    gauge->SetShowText(true);
    const Picture text(*gauge);
    // Where the text is, filled pixels turn white and empty ones black;
    // everything else stays as it was, the frame included.
    SIZE size{};
    {
        HDC dc = CreateCompatibleDC(nullptr);
        HGDIOBJ old = SelectObject(dc, gauge->Font()->Handle());
        GetTextExtentPointA(dc, "50%", 3, &size);
        SelectObject(dc, old);
        DeleteDC(dc);
    }
    const int x0 = (240 - 1 + 1 - size.cx) / 2;
    const int y0 = (22 - 1 + 1 - size.cy) / 2;
    int onFilled = 0;
    int onEmpty = 0;
    for (int y = 0; y < 23; ++y) {
        for (int x = 0; x < 241; ++x) {
            if (text.At(x, y) == bare.At(x, y))
                continue;
            ASSERT_GE(x, std::max(x0, 1)) << x << ", " << y;
            ASSERT_LT(x, std::min(x0 + static_cast<int>(size.cx), 240)) << x << ", " << y;
            ASSERT_GE(y, std::max(y0, 1)) << x << ", " << y;
            ASSERT_LT(y, std::min(y0 + static_cast<int>(size.cy), 22)) << x << ", " << y;
            if (x < 120) {
                ASSERT_EQ(text.At(x, y), White) << x << ", " << y;
                ++onFilled;
            } else {
                ASSERT_EQ(text.At(x, y), Black) << x << ", " << y;
                ++onEmpty;
            }
        }
    }
    EXPECT_GT(onFilled, 0);
    EXPECT_GT(onEmpty, 0);
}

TEST(GaugePicture, TextKindIsABackgroundAreaWithTheText)
{
    auto gauge = SetupGauge();
    gauge->SetKind(gkText);
    gauge->SetBackColor(clRed);
    gauge->SetProgress(100);
    gauge->SetShowText(false);
    {
        SCOPED_TRACE("no text: a plain area in the background colour inside the frame");
        const Picture picture(*gauge);
        EXPECT_EQ(picture.Row(0, Black), std::string(241, '#'));
        for (int y = 1; y < 22; ++y)
            ASSERT_EQ(picture.Row(y, Red), "." + std::string(239, '#') + ".") << y;
    }
    gauge->SetShowText(true);
    {
        SCOPED_TRACE("with text: the text in the inverse of red");
        const Picture picture(*gauge);
        int cyan = 0;
        for (int y = 1; y < 22; ++y)
            for (int x = 1; x < 240; ++x) {
                const COLORREF c = picture.At(x, y);
                ASSERT_TRUE(c == Red || c == RGB(0, 255, 255)) << x << ", " << y;
                cyan += c == RGB(0, 255, 255);
            }
        EXPECT_GT(cyan, 0);
    }
}

TEST(GaugePicture, EmptyRangeShowsAnEmptyBarAndZeroPercent)
{
    auto gauge = SetupGauge();
    gauge->SetMaxValue(0);
    gauge->SetShowText(false);
    const Picture picture(*gauge);
    for (int y = 1; y < 22; ++y)
        ASSERT_EQ(picture.Row(y, Black), BarRow(1)) << y;
}

TEST(Gauge, ThreeHundredStepsRepaintExactlyAHundredTimes)
{
    CountingGauge gauge(nullptr);
    gauge.SetMaxValue(300);
    gauge.Repaints = 0;
    for (int i = 1; i <= 300; ++i)
        gauge.SetProgress(gauge.Progress() + 1);
    EXPECT_EQ(gauge.Progress(), 300);
    EXPECT_EQ(gauge.Repaints, 100);
}

// ---------------------------------------------------------------------------
// The immediate repaint on a real form

using GaugeOnForm = FrameworkTest;

TEST_F(GaugeOnForm, WriteShowsTheNewPictureBeforeAnyMessageIsHandled)
{
    {
        auto* form = new TForm(Application);
        form->SetBounds(40, 40, 300, 120);
        auto* gauge = new TGauge(form);
        gauge->SetParent(form);
        gauge->SetBounds(9, 41, 241, 23);
        gauge->SetShowText(false);
        form->Show();
        const DWORD start = GetTickCount();
        while (GetTickCount() - start < 300) {
            Application->PumpMessages();
            Sleep(10);
        }
        auto pixel = [&](int x, int y) {
            HDC dc = GetDC(form->Handle());
            const COLORREF c = GetPixel(dc, gauge->Left() + x, gauge->Top() + y);
            ReleaseDC(form->Handle(), dc);
            return c;
        };
        EXPECT_EQ(pixel(60, 10), White);
        gauge->SetProgress(50);
        // No message has been handled since the write.
        EXPECT_EQ(pixel(60, 10), Black);
        EXPECT_EQ(pixel(200, 10), White);
        // A hidden gauge is not painted.
        gauge->SetVisible(false);
        Application->PumpMessages();
        const COLORREF behind = pixel(30, 10);
        gauge->SetProgress(10);
        EXPECT_EQ(pixel(30, 10), behind);
    }
}

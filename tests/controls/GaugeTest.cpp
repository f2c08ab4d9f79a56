#include <gtest/gtest.h>

#include <climits>
#include <memory>

#include "controls/Gauges.h"
#include "tests/controls/ControlsTestSupport.h"

namespace {

// A gauge that counts its immediate repaints.
class CountingGauge : public TGauge {
public:
    using TGauge::TGauge;
    int Repaints = 0;

protected:
    void RepaintNow() override
    {
        ++Repaints;
        TGauge::RepaintNow();
    }
};

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
    struct Expected {
        const char* name;
        int64_t value;
    };
    const Expected defaults[] = {
        {"MinValue", 0}, {"MaxValue", 100}, {"Kind", gkHorizontalBar}, {"ShowText", 1},
        {"BorderStyle", static_cast<int64_t>(TBorderStyle::bsSingle)}, {"ForeColor", clBlack},
        {"BackColor", clWhite}, {"Color", clWindow}, {"Enabled", 1}, {"ParentColor", 1}, {"ParentFont", 1},
        {"ParentShowHint", 1}, {"Visible", 1},
    };
    for (const Expected& e : defaults) {
        const TPropInfo* prop = info.FindProperty(e.name);
        ASSERT_NE(prop, nullptr) << e.name;
        EXPECT_TRUE(prop->HasDefault) << e.name;
        EXPECT_EQ(prop->Default, e.value) << e.name;
        EXPECT_EQ(prop->GetOrd(&gauge), e.value) << e.name;
    }
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

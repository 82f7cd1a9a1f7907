// Fit Y's choice among the Y axis dialog's values, and the two-cursor read-out's texts.
#include <gtest/gtest.h>

#include <cstdlib>

#include "analysis/CursorPair.h"
#include "analysis/FitY.h"

namespace {

using namespace qf;

TEST(FitY, SmallestRangeThatHoldsEveryValueBestCentred) {
    const struct {
        double lo, hi;
        int gain, offset;  // the labels' bottom is offset x gain, the top (offset + 10) x gain
    } cases[] = {
        {300.0, 500.0, 50, 2},      // CFM of several hundred: 100..600 rather than 0..500
        {20.0, 25.0, 2, 5},         // 10..30
        {0.5, 1.5, 1, 0},           // 0..10, not -5..5: positive values stay above zero
        {-7.0, 3.0, 2, -5},         // -10..10
        {-400.0, -350.0, 100, -5},  // only a negative offset reaches below zero
        {12.0, 12.0, 1, 5},         // one value: 5..15
    };
    for (const auto& c : cases) {
        const auto choice = FitYAxis(c.lo, c.hi);
        ASSERT_TRUE(choice) << c.lo << ".." << c.hi;
        EXPECT_EQ(Y_GAIN_CHOICES[choice->gainPos], c.gain) << c.lo << ".." << c.hi;
        EXPECT_EQ(Y_OFFSET_CHOICES[choice->offsetPos], c.offset) << c.lo << ".." << c.hi;
    }
    EXPECT_FALSE(FitYAxis(-1e9, 1e9)) << "beyond every choice";
    EXPECT_FALSE(FitYAxis(5.0, 1.0)) << "no values";
}

TEST(CursorPair, TimesDeltasAndMissingReadings) {
    setenv("TZ", "UTC0", 1);
    tzset();
    StoredRecord r;
    r.count = 3;
    r.samples = {{20.0f, 30.0f, 2.0f, 10.0f, 0.5f},
                 {22.5f, NO_VALUE, 3.0f, 12.0f, 0.75f},
                 {25.0f, 31.0f, 4.0f, 14.0f, 1.0f}};
    r.start = 3600;
    r.intervalSec = 45;
    r.speedFactor = 1.0f;
    r.tempUnitText = "C";
    r.speedUnitText = "m/s";
    TraceFlags traces;
    traces.m_bShowAirV = false;
    const CursorPairTexts t = ReadCursorPair(r, 2, 0, traces);
    EXPECT_EQ(t.timeA, "01:01:30");
    EXPECT_EQ(t.timeB, "01:00:00");
    EXPECT_EQ(t.deltaT, "-1:30 (90 s)");
    ASSERT_EQ(t.rows.size(), 4u) << "AirV not shown";
    EXPECT_EQ(t.rows[0].name, "AirT");
    EXPECT_EQ(t.rows[0].a, "25.0C");
    EXPECT_EQ(t.rows[0].delta, "-5.0C");
    EXPECT_EQ(t.rows[2].delta, "-4.000 CFM");
    const CursorPairTexts m = ReadCursorPair(r, 0, 1, traces);
    EXPECT_EQ(m.rows[1].b, "----");
    EXPECT_EQ(m.rows[1].delta, "") << "no difference with a missing reading";
    EXPECT_EQ(m.rows[0].delta, "+2.5C");
    EXPECT_EQ(DurationText(7322), "2:02:02 (7322 s)");
}

}  // namespace

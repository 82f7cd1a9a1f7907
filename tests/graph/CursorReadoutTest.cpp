#include <gtest/gtest.h>

#include "GraphTestSupport.h"
#include "graph/CursorReadout.h"

namespace {

using namespace qf;
using qftest::VIEW_1600;

struct NearestCase {
    float x0;
    int dx, pixel, scroll, sample;
};

// Columns every 10 px from x0; pixel counts from the plot's left edge.
TEST(CursorReadout, NearestSampleWithZoomAndScroll) {
    const NearestCase cases[] = {
        {0, 10, 0, 0, 0},   {0, 10, 4, 0, 0},    {0, 10, 5, 0, 0},    {0, 10, 6, 0, 1},
        {0, 10, 38, 0, 4},  {0, 10, 100, 0, 10}, {0, 10, 5, 3, -2},   {0, 10, 26, -2, 5},
        {-55, 10, 0, 0, 5}, {-55, 10, 3, 0, 6},  {-55, 10, 0, 9, -3},
    };
    for (const auto& c : cases) {
        float x[5];
        for (int i = 0; i < 5; ++i) {
            x[i] = c.x0 + float(i * c.dx);
        }
        int sample = 999;
        ASSERT_TRUE(NearestSample({x, 5}, 309 + c.pixel, 309, c.scroll, sample));
        EXPECT_EQ(sample, c.sample) << c.x0 << " " << c.pixel << " " << c.scroll;
    }
    const float flat[2] = {3, 3};
    int sample = 0;
    EXPECT_FALSE(NearestSample({flat, 2}, 400, 309, 0, sample));
    EXPECT_FALSE(NearestSample({flat, 1}, 400, 309, 0, sample));
}

struct TextCase {
    float airT, irt, airV, cfm, cmm;
    int tempUnit;
    float factor;
    const char* unit;
    const char* text;
};

TEST(CursorReadout, ValuesTextInDisplayUnits) {
    const TextCase cases[] = {
        {23.46f, 23.46f, 2.3f, 9.9996f, 0.2832f, 0, 1.0f, "m/s",
         "AirT:23.5 C    IRT:23.4 C    AirV:2.30m/s    CFM:10.000    CMM:0.283"},
        {20.0f, 20.0f, 2.345f, 12.345f, 123.45f, 1, 3.6f, "km/h",
         "AirT:68.0 F    IRT:68.0 F    AirV:8.4km/h    CFM:12.35    CMM:123.4"},
        {NO_VALUE, -150.0f, NO_VALUE, NO_VALUE, -0.5f, 1, 3.6f, "km/h",
         "AirT:----    IRT:----    AirV:----    CFM:----    CMM:----"},
        {-0.04f, 0.04f, 0.04f, 1234.7f, 999.96f, 0, 3.6f, "km/h",
         "AirT:-0.0 C    IRT:0.0 C    AirV:0.1km/h    CFM:1235    CMM:1000.0"},
    };
    qftest::Recording rec;
    for (const auto& c : cases) {
        const float values[NUM_CHANNELS] = {c.airT, c.irt, c.airV, c.cfm, c.cmm};
        for (int ch = 0; ch < NUM_CHANNELS; ++ch) {
            rec.samples[ch][7] = values[ch];
        }
        DisplayUnits u;
        u.m_nTempUnit = c.tempUnit;
        u.m_fSpeedFactor = c.factor;
        u.m_strSpeedUnit = c.unit;
        EXPECT_EQ(ReadoutValuesText(rec.samples.get(), 7, u), c.text);
    }
}

TEST(CursorReadout, TimeTextAndWhenItIsWritten) {
    qftest::Recording rec;
    EXPECT_EQ(ReadoutTimeText(qftest::START, 2000, 5), "time:22:13:30");
    EXPECT_EQ(ReadoutTimeText(qftest::START, 3600000, 1000), "time:14:13:20");

    CGraphModel model;
    RecordingState live;
    live.m_tmStart = qftest::START;
    live.m_nIntervalMs = 2000;
    EXPECT_FALSE(
        ReadCursor(model, VIEW_1600, 500, rec.samples.get(), live, DisplayUnits{}).m_bHasSample);

    live.m_nSampleIndex = 10;
    model.Compute(rec.Inputs(10));
    const CursorReadout left =
        ReadCursor(model, VIEW_1600, 0, rec.samples.get(), live, DisplayUnits{});
    ASSERT_TRUE(left.m_bHasTexts);
    EXPECT_EQ(left.m_nCursorSample, 0);
    EXPECT_EQ(left.m_strTime, "time:22:13:20");
    EXPECT_FALSE(
        ReadCursor(model, VIEW_1600, 1500, rec.samples.get(), live, DisplayUnits{}).m_bHasTexts);

    // Scrolled so that the cursor column lies before sample 0.
    model.OnScroll(ScrollCode::ThumbTrack, -2);
    EXPECT_FALSE(
        ReadCursor(model, VIEW_1600, 0, rec.samples.get(), live, DisplayUnits{}).m_bHasTexts);
}

}  // namespace

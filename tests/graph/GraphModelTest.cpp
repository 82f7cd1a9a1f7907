#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <vector>

#include "GraphTestSupport.h"
#include "graph/GraphModel.h"

namespace {

using namespace qf;
using qftest::Recording;
using qftest::VIEW_1600;

struct CoordinateCase {
    const char* what;
    int offset, gain, tempUnit;
    float factor;
    int channel;
    float stored;
    float y;
};

// A plot 100 px high: y = 100 - value on the default scale.
TEST(GraphModel, LevelZeroPlacesValuesOnTheLabelScale) {
    const CoordinateCase cases[] = {
        {"AirT in F", 0, 10, 1, 1.0f, CH_AIRT, 20.04f, 31.9f},
        {"IRT in F", 0, 10, 1, 1.0f, CH_IRT, 20.0f, 32.1f},
        {"missing AirT far below", 0, 10, 1, 1.0f, CH_AIRT, NO_VALUE, 9100.0f},
        {"CFM below the floor", 0, 10, 0, 1.0f, CH_CFM, -20000.0f, 20100.0f},
        {"offset -5 gain 2", -5, 2, 0, 1.0f, CH_AIRT, 3.0f, 35.0f},
        {"gain 0 as the default", 0, 0, 0, 1.0f, CH_AIRT, 23.46f, 76.5f},
    };
    const PlotGeometry geo = PlotGeometry::FromClient(0, 0, 1600, 369);
    ASSERT_EQ(geo.H, 100);
    for (const auto& c : cases) {
        Recording rec;
        rec.samples[c.channel][1] = c.stored;
        GraphInputs in = rec.Inputs(2, geo);
        in.yOffset = c.offset;
        in.yGain = c.gain;
        in.tempUnit = c.tempUnit;
        in.speedFactor = c.factor;
        CGraphModel model;
        const GraphFrame& f = model.Compute(in);
        EXPECT_EQ(f.traces.y[c.channel][1], c.y) << c.what;
        EXPECT_EQ(f.traces.x[1], 1241.0f / 99.0f) << c.what;
    }
}

TEST(GraphModel, ScaleCompressesWhenTheSamplesOutrunThePlot) {
    Recording rec;
    CGraphModel ticking;
    std::vector<int> grownAt, capacity;
    for (int n = 1; n <= 150; ++n) {
        if (ticking.Compute(rec.Inputs(n)).repaintRequested) {
            grownAt.push_back(n);
            capacity.push_back(ticking.ScreenPoints());
            EXPECT_FALSE(ticking.Compute(rec.Inputs(n)).repaintRequested) << n;
        }
    }
    EXPECT_EQ(grownAt, (std::vector<int>{101, 111, 121, 132, 144}));
    EXPECT_EQ(capacity, (std::vector<int>{110, 120, 131, 143, 156}));
    EXPECT_EQ(ticking.Frame().traces.x[1], 1241.0f / 155.0f);

    // One repaint that sees all 150 at once compresses repeatedly inside its loop.
    CGraphModel late;
    late.Compute(rec.Inputs(1));
    EXPECT_TRUE(late.Compute(rec.Inputs(150)).repaintRequested);
    EXPECT_EQ(late.ScreenPoints(), 156);
}

struct LabelCase {
    int offset, gain;
    const char *bottom, *second, *top;
};

TEST(GraphModel, YLabelsShowOffsetAndGainRightAligned) {
    const LabelCase cases[] = {
        {0, 10, "0.00", "10.00", "100.00"},
        {-5, 2, "-10.00", "-8.00", "10.00"},
        {5, 100000, "500000.00", "600000.00", "1500000.00"},
        {0, 0, "0.00", "10.00", "100.00"},
        {INT_MAX, 2, "4294967296.00", "4294967296.00", "4294967296.00"},  // no wrap
    };
    Recording rec;
    for (const auto& c : cases) {
        GraphInputs in = rec.Inputs(0);
        in.yOffset = c.offset;
        in.yGain = c.gain;
        CGraphModel model;
        const GraphFrame& f = model.Compute(in);
        EXPECT_EQ(f.yLabels[0].text, c.bottom);
        EXPECT_EQ(f.yLabels[1].text, c.second);
        EXPECT_EQ(f.yLabels[10].text, c.top);
    }
    const std::pair<float, int> indents[] = {
        {0.0f, 4},   {9.99f, 4},  {10.0f, 3},   {999.0f, 2},  {1000.0f, 1},  {-0.01f, 3},
        {-10.0f, 2}, {-99.0f, 2}, {-100.0f, 1}, {-999.0f, 1}, {-1000.0f, 0}, {NAN, 0},
    };
    for (const auto& [value, indent] : indents) {
        EXPECT_EQ(YLabelIndent(value), indent) << value;
    }
    CGraphModel model;
    const GraphFrame& f = model.Compute(rec.Inputs(0));
    EXPECT_EQ(f.yLabels[0].textX, 32);  // "0.00": 4 x 7.5 + 2
    EXPECT_EQ(f.yLabels[10].textX, 17);
    EXPECT_EQ(f.yLabels[5].textY, 631 + 16 - 314);
    // Ticks in view coordinates: label 0 on the plot's bottom row, label 10 on its top row.
    const int stripTop = VIEW_1600.pT - Y_STRIP_ABOVE_PLOT;
    EXPECT_EQ(stripTop + f.yLabels[0].tickY, VIEW_1600.pB - 1);
    EXPECT_EQ(stripTop + f.yLabels[10].tickY, VIEW_1600.pT);
}

TEST(GraphModel, GridAndLiveTimeAxis) {
    Recording rec;
    CGraphModel model;
    const GraphFrame& empty = model.Compute(rec.Inputs(0));
    ASSERT_EQ(empty.gridXCount, 13);
    EXPECT_EQ(empty.gridX[1], 103);
    EXPECT_EQ(empty.gridX[12], 1241);
    EXPECT_EQ(empty.gridY[4], 315);
    EXPECT_EQ(empty.gridY[9], 631);
    EXPECT_EQ(empty.timeLabelCount, 0);
    EXPECT_TRUE(empty.statusHeaders);

    // 8 samples per division of 12.54 px; a label at every third line, 2 s per sample.
    const GraphFrame& f = model.Compute(rec.Inputs(10));
    EXPECT_FALSE(f.statusHeaders);
    ASSERT_EQ(f.gridXCount, 14);
    EXPECT_EQ(f.gridX[1], 100);
    EXPECT_EQ(f.gridX[13], 1303);
    const char* texts[] = {"22:13:20", "22:14:08", "22:14:56", "22:15:44", "22:16:32"};
    const int xs[] = {311, 609, 910, 1211, 1512};
    ASSERT_EQ(f.timeLabelCount, 5);
    for (int j = 0; j < 5; ++j) {
        EXPECT_EQ(f.timeLabels[j].text, texts[j]);
        EXPECT_EQ(f.timeLabels[j].x, xs[j]);
        EXPECT_EQ(f.timeLabels[j].y, VIEW_1600.pB + 40);
    }
}

// Windows smaller than the margins, a gain of 0 and fewer than two samples: nothing
// non-finite reaches a pixel, and the scale catches up once the plot is back.
TEST(GraphModel, DegenerateInputsStaySound) {
    const PlotGeometry geos[] = {
        PlotGeometry::FromClient(0, 0, 0, 0), PlotGeometry::FromClient(0, 0, 1600, 269),
        PlotGeometry::FromClient(0, 0, 359, 900), PlotGeometry::FromClient(0, 0, 360, 270)};
    Recording rec;
    for (const auto& geo : geos) {
        for (int gain : {0, 10}) {
            CGraphModel model;
            for (int n : {-3, 0, 1, 2, 150}) {
                GraphInputs in = rec.Inputs(n, geo);
                in.yGain = gain;
                const GraphFrame& f = model.Compute(in);
                EXPECT_EQ(f.hasPlot, geo.W > 0 && geo.H > 0);
                EXPECT_EQ(f.statusHeaders, n <= 0);
                if (!f.hasPlot) {
                    EXPECT_EQ(f.traces.count + f.gridXCount + f.timeLabelCount, 0);
                }
                for (int i = 0; i < f.traces.count; ++i) {
                    for (int ch = 0; ch < NUM_CHANNELS; ++ch) {
                        ASSERT_TRUE(std::isfinite(f.traces.y[ch][i]));
                    }
                }
                EXPECT_EQ(f.yLabels[10].text, "100.00");
                EXPECT_EQ(model.Columns().Valid(), f.hasPlot);
            }
            // Without a plot nothing compressed, so the full plot catches up in one repaint;
            // the 1-px plot compressed on its own scale, one sample at a time.
            model.Compute(rec.Inputs(150));
            EXPECT_EQ(model.ScreenPoints(), geo.HasArea() ? 150 : 156);
        }
    }
}

TEST(Pixels, ConversionsNeverOverflow) {
    EXPECT_EQ(TruncToInt(NAN), 0);
    EXPECT_EQ(TruncToInt(INFINITY), INT_MAX);
    EXPECT_EQ(TruncToInt(-INFINITY), INT_MIN);
    EXPECT_EQ(PixelCoord(3e9), PIXEL_LIMIT);

    PixelSegment s{};
    ASSERT_TRUE(ToPixelSegment(10.9, 20.9, 30.2, -5.5, s));
    EXPECT_EQ(s, (PixelSegment{10, 20, 30, -5}));
    // A trace dropping to a far-away missing reading keeps its slope inside the box.
    ASSERT_TRUE(ToPixelSegment(0, 100, 1000, 100 + 4e9, s));
    EXPECT_EQ(s, (PixelSegment{0, 100, 1, PIXEL_LIMIT}));
    ASSERT_TRUE(ToPixelSegment(5, 10, 5, -INFINITY, s));
    EXPECT_EQ(s, (PixelSegment{5, 10, 5, -PIXEL_LIMIT}));
    EXPECT_FALSE(ToPixelSegment(0, NAN, 1, 1, s));
    EXPECT_FALSE(ToPixelSegment(0, 1e9, 10, 2e9, s));
}

}  // namespace

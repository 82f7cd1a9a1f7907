// The graph core under both window policies: what the real-time and the logger graph share
// is checked once, over both; what they do differently, side by side.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "graph/GraphCore.h"

namespace {

using namespace qf;

struct PlotValueCase {
    const char* what;
    int channel;
    float stored;
    int tempUnit;
    float factor;
    float plotted;
};

TEST(GraphCore, PlotValuesFollowTheirUnitAndRoundingRules) {
    const PlotValueCase cases[] = {
        {"AirT to nearest tenth", CH_AIRT, 23.46f, 0, 1.0f, 23.5f},
        {"AirT negative", CH_AIRT, -23.46f, 0, 1.0f, -23.5f},
        {"AirT 20.04 C in F", CH_AIRT, 20.04f, 1, 1.0f, 68.1f},
        {"AirT 20.0 C in F", CH_AIRT, 20.0f, 1, 1.0f, 68.0f},
        {"another unit reads as Celsius", CH_AIRT, 20.04f, 7, 1.0f, 20.0f},
        {"IRT cut", CH_IRT, 23.46f, 0, 1.0f, 23.4f},
        {"IRT float just below a tenth", CH_IRT, 23.4f, 0, 1.0f, 23.3f},
        {"IRT 20.04 C in F", CH_IRT, 20.04f, 1, 1.0f, 68.0f},
        {"IRT 20.0 C is 67.99.. F", CH_IRT, 20.0f, 1, 1.0f, 67.9f},
        {"AirV m/s as delivered", CH_AIRV, 2.345f, 0, 1.0f, 2.345f},
        {"AirV km/h cut", CH_AIRV, 2.345f, 0, 3.6f, 8.4f},
        {"AirT missing in F floored", CH_AIRT, NO_VALUE, 1, 1.0f, -9000.0f},
        {"IRT missing in F floored", CH_IRT, NO_VALUE, 1, 1.0f, -9000.0f},
        {"AirT below the floor", CH_AIRT, -9001.0f, 0, 1.0f, -9000.0f},
        {"AirV missing converted", CH_AIRV, NO_VALUE, 0, 3.6f, -9000.0f},
        {"CFM unchanged", CH_CFM, 12.345f, 1, 3.6f, 12.345f},
        {"CMM not floored", CH_CMM, -20000.0f, 0, 1.0f, -20000.0f},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(float(PlotValue(c.channel, c.stored, c.tempUnit, c.factor)), c.plotted) << c.what;
    }
}

// A record drawn by the core alone, as either window sets it up: 500 samples of a ramp on a
// plot of 1241 x 631 px.
struct Rig {
    explicit Rig(const GraphPolicy& policy) : core(policy), samples(500 * NUM_CHANNELS) {
        for (std::size_t i = 0; i < samples.size(); ++i) {
            samples[i] = float(i % 400) * 0.25f;
        }
    }

    void Repaint() {
        core.Begin(plot);
        core.SetLevelZeroLabels(0, 10);
        GraphRecord r;
        r.samples = SampleView::SampleMajor(samples.data(), 500);
        r.count = 500;
        const float origin = core.Policy().plotRelative ? 0.0f : plot.left;
        const float step = plot.Width() / 499.0f;
        core.LevelZero(r, 500, [&](int i) { return origin + float(i) * step; });
        if (!core.FullView()) {
            core.ZoomMode(500, 1700000000, 2);
        }
    }
    bool Drag(ViewPoint from, ViewPoint to) {
        core.SetPress(from);
        core.SetRelease(to);
        const bool pushed = core.AcceptZoom();
        Repaint();
        return pushed;
    }
    ViewPoint At(float fx, float fy) const {
        return {int(plot.left + plot.Width() * fx), int(plot.top + plot.Height() * fy)};
    }

    PlotBox plot{309.0f, 118.0f, 1550.0f, 749.0f};
    CGraphCore core;
    std::vector<float> samples;
};

struct PolicyCase {
    const char* name;
    const GraphPolicy* policy;
    bool upwardDragZooms;
};

const PolicyCase POLICIES[] = {
    {"real-time", &REAL_TIME_GRAPH, true},
    {"logger", &LOGGER_GRAPH, false},
};

TEST(GraphCore, LevelZeroPlacesValuesOnTheLabelScaleInEitherFrame) {
    for (const auto& p : POLICIES) {
        Rig rig(*p.policy);
        rig.samples[1 * NUM_CHANNELS + CH_AIRT] = 25.0f;  // a quarter of the 0..100 scale
        rig.Repaint();
        const float bottom = p.policy->plotRelative ? rig.plot.Height() : rig.plot.bottom;
        EXPECT_FLOAT_EQ(rig.core.Y(CH_AIRT)[1], bottom - 0.25f * rig.plot.Height()) << p.name;
        EXPECT_EQ(rig.core.Labels(0)[Y_LABELS - 1], 100.0f) << p.name;
    }
}

TEST(GraphCore, NinetyNineLevelsAtMostThenBackToTheFullView) {
    for (const auto& p : POLICIES) {
        SCOPED_TRACE(p.name);
        Rig rig(*p.policy);
        rig.Repaint();
        for (int level = 1; level <= MAX_ZOOM_LEVEL; ++level) {
            ASSERT_TRUE(rig.Drag(rig.At(0.01f, 0.01f), rig.At(0.99f, 0.99f))) << level;
        }
        EXPECT_FALSE(rig.Drag(rig.At(0.01f, 0.01f), rig.At(0.99f, 0.99f)));
        EXPECT_EQ(rig.core.ZoomLevel(), MAX_ZOOM_LEVEL);
        for (int i = 0; i < rig.core.TraceCount(); ++i) {
            ASSERT_TRUE(std::isfinite(rig.core.TraceX()[i]));
            ASSERT_TRUE(std::isfinite(rig.core.Y(CH_CMM)[i]));
        }
        rig.core.OnScroll(ScrollCode::ThumbTrack, 3);
        rig.core.ResetZoom();
        EXPECT_TRUE(rig.core.FullView());
        EXPECT_EQ(rig.core.ZoomLevel(), 0);
        EXPECT_EQ(rig.core.ScrollOffset(), 0);
    }
}

// The rule of acceptance is one; only the logger reads a drag upward as a negative step.
TEST(GraphCore, ZoomAcceptanceAndTheDirectionOfTheDrag) {
    for (const auto& p : POLICIES) {
        SCOPED_TRACE(p.name);
        Rig rig(*p.policy);
        rig.Repaint();
        EXPECT_FALSE(rig.Drag(rig.At(0.5f, 0.2f), rig.At(0.5f, 0.8f))) << "no width";
        EXPECT_FALSE(rig.core.FullView()) << "refused, yet in zoom mode";
        EXPECT_FALSE(rig.Drag(rig.At(0.2f, 0.5f), {rig.At(0.8f, 0.5f).x, rig.At(0.2f, 0.5f).y + 1}))
            << "ten divisions of 0.1 or less";
        EXPECT_EQ(rig.Drag(rig.At(0.6f, 0.8f), rig.At(0.2f, 0.2f)), p.upwardDragZooms);
        rig.core.ResetZoom();
        rig.Repaint();
        EXPECT_TRUE(rig.Drag(rig.At(0.2f, 0.2f), rig.At(0.6f, 0.8f)));
        EXPECT_NEAR(rig.core.CurrentLabels()[0], 20.0, 0.5);
        EXPECT_NEAR(rig.core.CurrentLabels()[Y_LABELS - 1], 80.0, 0.5);
        // The thumb stands at the first visible sample, about a fifth into the record; the
        // statistics' span is what lies on the plot, and it slides with a scroll.
        EXPECT_NEAR(rig.core.FirstVisible(), 100, 2);
        const auto [first, last] = rig.core.VisibleRange(500);
        EXPECT_NEAR(first, 100, 2);
        EXPECT_NEAR(last, 299, 2);
        rig.core.OnScroll(ScrollCode::LineLeft, 0);
        rig.Repaint();
        EXPECT_EQ(rig.core.VisibleRange(500).first, first - 1);
        rig.core.ResetZoom();
        rig.Repaint();
        EXPECT_EQ(rig.core.VisibleRange(500), (std::pair{0, 499}));
    }
}

}  // namespace

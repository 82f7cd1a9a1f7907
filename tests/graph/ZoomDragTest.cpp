#include <gtest/gtest.h>

#include <climits>
#include <cmath>

#include "GraphTestSupport.h"
#include "graph/CursorReadout.h"
#include "graph/ZoomDrag.h"

namespace {

using namespace qf;
using qftest::VIEW_1600;

const PlotGeometry& G = VIEW_1600;

class Zoom : public ::testing::Test {
protected:
    // 200 samples: after the compression the live scale is 1241 / 208 px per sample.
    const GraphFrame& Paint(int count = 200) {
        GraphInputs in = rec.Inputs(count);
        in.yGain = gain;
        model.Compute(in);
        return model.Compute(in);
    }
    DragRelease Drag(ViewPoint from, ViewPoint to, int count = 200) {
        drag.ButtonDown(model.Core(), DragAreaOf(G), count >= 1, from);
        drag.Move(DragAreaOf(G), count >= 1, to);
        const DragRelease d = drag.ButtonUp(model.Core(), DragAreaOf(G), count >= 1, to);
        Paint(count);
        return d;
    }

    qftest::Recording rec;
    CGraphModel model;
    CZoomDrag drag;
    int gain = 10;
};

// Left of the plot every point clamps to the same corner: the mouse moved, the band did not.
TEST_F(Zoom, ClickWithoutMovingChangesNothing) {
    Paint();
    EXPECT_TRUE(drag.ButtonDown(model.Core(), DragAreaOf(G), 200 >= 1, {G.pL - 30, 300}));
    EXPECT_FALSE(drag.Move(DragAreaOf(G), 200 >= 1, {G.pL - 40, 300}).moved);
    EXPECT_TRUE(drag.Active());
    const DragRelease d = drag.ButtonUp(model.Core(), DragAreaOf(G), 200 >= 1, {G.pL - 40, 300});
    EXPECT_FALSE(d.repaintNow);
    EXPECT_FALSE(d.levelPushed);
    EXPECT_FALSE(drag.Active());  // the sampling tick repaints again
    EXPECT_TRUE(model.Core().FullView());
    EXPECT_FALSE(model.UndoZoomEnabled());
}

TEST_F(Zoom, DragInEitherDirectionZoomsTheSameRectangle) {
    const ViewPoint a{G.pL + 100, G.pT + 100}, b{G.pL + 400, G.pT + 400};
    for (const auto& [from, to] : {std::pair{a, b}, std::pair{b, a}}) {
        model = CGraphModel();
        Paint();
        EXPECT_TRUE(Drag(from, to).levelPushed);
        const GraphFrame& f = model.Frame();
        EXPECT_EQ(model.Core().ZoomLevel(), 1);
        EXPECT_EQ(f.yLabels[0].text, "36.61");
        EXPECT_EQ(f.yLabels[1].text, "41.36");
        EXPECT_EQ(f.yLabels[10].text, "84.15");
        EXPECT_EQ(model.Core().FirstVisible(), 16);
        EXPECT_EQ(f.scroll.rangeMax, 200);
        // 12 samples per label; the first one lies left of the plot and is not drawn.
        ASSERT_EQ(f.timeLabelCount, 4);
        EXPECT_EQ(f.timeLabels[0].x, 603);
        EXPECT_EQ(f.timeLabels[0].text, "22:14:16");
        EXPECT_EQ(f.timeLabels[3].x, 1513);
    }
}

struct RefusedCase {
    const char* what;
    ViewPoint from, to;
};

TEST_F(Zoom, RefusedDragsStillLeaveTheFullView) {
    const RefusedCase cases[] = {
        {"ten divisions of 0.1 or less", {G.pL + 100, G.pT + 100}, {G.pL + 400, G.pT + 101}},
        {"no width", {G.pL + 100, G.pT + 100}, {G.pL + 100, G.pT + 400}},
    };
    for (const auto& c : cases) {
        model = CGraphModel();
        Paint();
        const DragRelease d = Drag(c.from, c.to);
        EXPECT_TRUE(d.repaintNow) << c.what;
        EXPECT_FALSE(d.levelPushed) << c.what;
        EXPECT_EQ(model.Core().ZoomLevel(), 0) << c.what;
        EXPECT_TRUE(model.UndoZoomEnabled()) << c.what;
        EXPECT_EQ(model.Frame().yLabels[10].text, "100.00") << c.what;
    }
}

// With fewer than two sample steps across the plot no deeper level is accepted, and the
// labels stand at successive samples, drawn only inside the plot.
TEST_F(Zoom, TooFewSamplesAcross) {
    Paint(3);
    ASSERT_TRUE(Drag({G.pL + 100, G.pT}, {G.pL + 110, G.pB}, 3).levelPushed);
    EXPECT_EQ(model.Core().FirstVisible(), 7);
    ASSERT_EQ(model.Frame().timeLabelCount, 1);
    EXPECT_EQ(model.Frame().timeLabels[0].text, "22:13:36");
    EXPECT_FALSE(Drag({G.pL + 100, G.pT}, {G.pL + 400, G.pB}, 3).levelPushed);
}

TEST_F(Zoom, DragWatchCancelsOutsideThePlotsNeighbourhood) {
    const std::pair<ViewPoint, bool> cases[] = {
        {{G.pL - 50, 300}, true}, {{G.pL - 49, 300}, false}, {{G.r - 20, 300}, true},
        {{G.r - 21, 300}, false}, {{700, G.pT - 3}, true},   {{700, G.pT - 2}, false},
        {{700, G.b - 131}, true}, {{700, G.b - 132}, false},
    };
    Paint();
    EXPECT_FALSE(drag.Watch(DragAreaOf(G), {0, 0}));  // no drag
    for (const auto& [cursor, cancels] : cases) {
        drag.ButtonDown(model.Core(), DragAreaOf(G), 200 >= 1, {700, 300});
        drag.Move(DragAreaOf(G), 200 >= 1, {900, 500});
        EXPECT_EQ(drag.Watch(DragAreaOf(G), cursor), cancels) << cursor.x << "," << cursor.y;
        const DragRelease d = drag.ButtonUp(model.Core(), DragAreaOf(G), 200 >= 1, {900, 500});
        EXPECT_EQ(d.levelPushed, !cancels);
        model.UndoZoom();
    }
}

TEST_F(Zoom, ScrollThumbShiftsTracesWithoutReadingOutside) {
    Paint();
    Drag({G.pL + 100, G.pT + 100}, {G.pL + 400, G.pT + 400});
    const float x0 = model.Frame().traces.x[0];
    const float dx = model.Frame().traces.x[1] - x0;
    EXPECT_EQ(model.OnScroll(ScrollCode::ThumbTrack, 17), 17);
    EXPECT_EQ(model.Core().ScrollOffset(), 0);
    EXPECT_EQ(model.OnScroll(ScrollCode::ThumbTrack, 14), 14);
    EXPECT_EQ(model.Core().ScrollOffset(), 3);
    EXPECT_EQ(model.OnScroll(ScrollCode::Other, 99), 14);
    const GraphFrame& f = Paint();
    EXPECT_FALSE(f.scroll.setPosition);
    EXPECT_EQ(f.traces.x[0], x0 + 3 * dx);

    RecordingState live;
    live.m_nSampleIndex = 200;
    for (int p : {INT_MIN, INT_MAX}) {
        model.OnScroll(ScrollCode::ThumbTrack, p);
        Paint();
        for (int x : {0, G.pL + 3, 900, G.r}) {
            const CursorReadout r =
                ReadCursor(model, G, x, rec.samples.get(), live, DisplayUnits{});
            EXPECT_TRUE(r.m_bHasSample);
            EXPECT_EQ(r.m_bHasTexts, r.m_nCursorSample >= 0 && r.m_nCursorSample < 200);
        }
    }
}

}  // namespace

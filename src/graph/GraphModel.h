// What the real-time graph shows, computed without a window: the graph core with the
// real-time policy, the live recording's compressing full view and the view's pixels.
// Compute() turns one repaint's inputs into a GraphFrame that the paint only draws.
//
// Paint outline:
//   const GraphFrame& f = model.Compute(inputs);
//   plot surface (W x H, black): f.gridX / f.gridY dotted; then for i in 1..traces.count-1,
//     for ch in AirT..CMM with traces.shown[ch]: traces.Segment(ch, i, seg) -> line;
//   Y strip ((pL - 226) x (H + 54) at (226, pT - 24)): ticks and f.yLabels;
//   time axis: fill when f.timeAxisFill, then f.timeLabels;
//   status panes when f.statusHeaders; scroll bar from f.scroll; update() when
//   f.repaintRequested.
#pragma once

#include <array>
#include <cstddef>
#include <ctime>
#include <string>

#include "graph/GraphCore.h"
#include "graph/Pixels.h"
#include "graph/PlotGeometry.h"
#include "graph/ZoomDrag.h"
#include "live/GraphDisplayState.h"
#include "store/QFConstants.h"
#include "store/Settings.h"

namespace qf {

inline constexpr int LIVE_TIME_LABELS = 5;
inline constexpr int INITIAL_SCREEN_POINTS = 100;

// The Y-axis strip is copied to x = Y_STRIP_LEFT in the view.
inline constexpr int Y_STRIP_LEFT = 226;
inline constexpr int Y_STRIP_ABOVE_PLOT = 24;
inline constexpr int TIME_LABEL_BELOW_PLOT = 40;
inline constexpr int RIGHT_STRIP_WIDTH = 60;
inline constexpr int RIGHT_STRIP_MIN_X = 224;

// Status panes 1 and 2 before the first committed sample.
inline constexpr char STATUS_TIME_HEADER[] = "time:";
inline constexpr char STATUS_VALUES_HEADER[] =
    "AirT:         IRT:         AirV:         CFM:         CMM:";

struct GraphInputs {
    const float (*samples)[MAX_SAMPLES] = nullptr;  // CQFDoc::m_liveSamples
    int count = 0;                                  // m_nSampleIndex
    std::time_t start = 0;
    int intervalMs = 1000;
    int tempUnit = 0;
    float speedFactor = 1.0f;
    int yOffset = 0;
    int yGain = DEFAULT_Y_GAIN;
    TraceFlags traces;
    PlotGeometry geo;
};

struct TimeLabel {
    int x = 0;
    int y = 0;
    std::string text;
};

// One Y-axis label; coordinates in the Y-axis strip.
struct YLabel {
    std::string text;
    int indent = 0;  // characters of 7.5 px that right-align the integer parts
    int textX = 0;
    int textY = 0;
    int tickY = 0;
};

struct GraphFrame {
    PlotGeometry geo;
    // W > 0 and H > 0. Without it nothing is drawn inside the plot and no time labels show.
    bool hasPlot = false;

    // Dotted grid on the plot surface: vertical lines from y = H to 0, horizontal ones from
    // x = 0 to W.
    int gridXCount = 0;
    std::array<int, 24> gridX{};
    int gridYCount = 0;
    std::array<int, 10> gridY{};

    TraceView traces;

    bool timeAxisFill = false;  // (pL, pB + 31, W + 108, 29)
    int timeLabelCount = 0;
    std::array<TimeLabel, TIME_LABELS> timeLabels;

    int stripWidth = 0;
    int stripHeight = 0;
    int tickX0 = 0;  // ticks run from tickX0 to tickX1 at each label's tickY
    int tickX1 = 0;
    std::array<YLabel, Y_LABELS> yLabels;

    // The strip right of the plot, copied to (rightStripX, pT - 24).
    int rightStripX = 0;
    int rightStripWidth = 0;
    int rightStripHeight = 0;

    // Before the first committed sample the status panes show STATUS_TIME_HEADER and
    // STATUS_VALUES_HEADER.
    bool statusHeaders = false;

    // The scale compressed: draw this frame, then repaint the whole view.
    bool repaintRequested = false;

    ScrollUpdate scroll;
};

// Where a drag on the real-time graph may go: corners on the plot, the moving corner one
// row lower, and given up near the view's edges.
DragArea DragAreaOf(const PlotGeometry& g);

class CGraphModel {
public:
    CGraphModel() : m_core(REAL_TIME_GRAPH) {}
    // The frame points into the model's buffers: moving keeps them, copying would not.
    CGraphModel(const CGraphModel&) = delete;
    CGraphModel& operator=(const CGraphModel&) = delete;
    CGraphModel(CGraphModel&&) = default;
    CGraphModel& operator=(CGraphModel&&) = default;

    // One repaint; the frame stays valid until the next call.
    const GraphFrame& Compute(const GraphInputs& in);
    const GraphFrame& Frame() const { return m_frame; }

    // The zoom, scroll and columns of the last Compute.
    const CGraphCore& Core() const { return m_core; }
    CGraphCore& Core() { return m_core; }
    SampleColumns Columns() const { return m_core.Columns(); }

    // Scroll bar notification. Returns the position the scroll bar is to show.
    int OnScroll(ScrollCode code, int p) { return m_core.OnScroll(code, p); }
    // Whole samples across the plot at the current level, at least 1.
    int VisibleSpan() const { return m_core.VisibleSpan(); }

    // Back to the live full view in one step; the caller disables the scroll bar and
    // repaints at once.
    void UndoZoom();
    bool UndoZoomEnabled() const { return !m_core.FullView(); }

    int ScreenPoints() const { return m_nScreenPoints; }
    float XStep() const { return m_fXStep; }
    const std::string& YLabelText(int i) const { return m_strYLabel[i]; }
    const std::string& TimeLabelText(int j) const { return m_strTimeLabel[j]; }

    // Bytes held by the model, its buffers and texts.
    std::size_t MemoryBytes() const;

private:
    void VerticalGrid(int count);
    void LevelZero(const GraphInputs& in, int count);
    void Freeze(int W);
    void LiveTimeLabels(const GraphInputs& in);
    void ZoomMode(const GraphInputs& in, int count);
    void Texts(int count);

    CGraphCore m_core;
    GraphFrame m_frame;
    int m_nScreenPoints = INITIAL_SCREEN_POINTS;
    float m_fXStep = 0.0f;
    float m_fXStepFrozen = 0.0f;
    int m_nScreenPointsFrozen = INITIAL_SCREEN_POINTS;
    std::time_t m_tmLabel[TIME_LABELS] = {};  // full view: the live time axis
    std::string m_strYLabel[Y_LABELS];
    std::string m_strTimeLabel[TIME_LABELS];
    int m_nLiveLabelStep = 0;  // samples per grid division of the full view's time axis
};

}  // namespace qf

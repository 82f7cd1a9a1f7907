// What the real-time graph shows, computed without a window. CGraphModel keeps the view's
// graph state between repaints; Compute() turns one repaint's inputs into a GraphFrame that
// the paint only draws.
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
#include <vector>

#include "bars/GraphDisplayState.h"
#include "bars/ScrollCode.h"
#include "store/QFConstants.h"
#include "store/Settings.h"
#include "view/Pixels.h"
#include "view/PlotGeometry.h"

namespace qf {

inline constexpr int MAX_ZOOM_LEVEL = 99;
inline constexpr int ZOOM_LEVELS = MAX_ZOOM_LEVEL + 1;
inline constexpr int TIME_LABELS = 10;
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

// The rectangle chosen at one zoom level: corner A at button down, B at button up, as view
// pixels and as fractions of the plot width and height. Repaints use the fractions, so a
// zoom survives a resize.
struct ZoomRect {
    float xA = 0.0f, yA = 0.0f, xB = 0.0f, yB = 0.0f;
    double fxA = 0.0, fyA = 0.0, fxB = 0.0, fyB = 0.0;
};

struct GraphInputs {
    const float (*m_pSamples)[MAX_SAMPLES] = nullptr;  // CQFDoc::m_liveSamples
    int m_nSampleIndex = 0;
    std::time_t m_tmStart = 0;
    int m_nIntervalMs = 1000;
    int m_nTempUnit = 0;
    float m_fSpeedFactor = 1.0f;
    int m_nYOffset = 0;
    int m_nYGain = DEFAULT_Y_GAIN;
    bool m_bShowAirT = true;
    bool m_bShowIrt = true;
    bool m_bShowAirV = true;
    bool m_bShowFlow = true;
    PlotGeometry m_geo;
};

// Plot x of every sample column at the current level. Columns beyond the stored ones lie on
// the straight line through the first two, so no offset ever reads outside the samples.
struct SampleColumns {
    const float* x = nullptr;
    int count = 0;

    // A usable scale: at least two columns, finite and increasing.
    bool Valid() const;
    float At(long long k) const;
    float X0() const { return x[0]; }
    float Dx() const { return x[1] - x[0]; }
};

// The traces of one frame, plot-relative. Draw sample-major (per sample AirT, IRT, AirV,
// CFM, CMM) so that crossings overlap as they always have.
struct TraceView {
    int count = 0;
    const float* x = nullptr;
    const float* y[NUM_CHANNELS] = {};
    bool shown[NUM_CHANNELS] = {};

    // The segment from sample i - 1 to sample i of channel ch, in pixels.
    bool Segment(int ch, int i, PixelSegment& out) const {
        return ToPixelSegment(x[i - 1], y[ch][i - 1], x[i], y[ch][i], out);
    }
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

struct ScrollUpdate {
    bool enabled = false;  // the scroll bar works in zoom mode
    bool setRange = false;
    int rangeMax = 0;  // the range starts at 0
    bool setPosition = false;
    int position = 0;
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

// Offset of the traces (samples they are shifted right) and thumb position after a scroll.
struct ScrollMove {
    int offset = 0;
    int position = 0;
};

// The scroll rule of a zoomed graph. The thumb stands at firstVisible - offset + 1, and a
// thumb dragged to p shifts the traces by offset = firstVisible - p + 1. An arrow moves that
// position by one sample and a click in the track by `span` samples, within 0..maxPosition,
// and the offset follows by the same rule; any other action leaves both as they are.
ScrollMove ScrollGraph(ScrollCode code, int p, int firstVisible, int offset, int span,
                       int maxPosition);

// A sample's value on the plot: display unit, the plot's rounding (AirT to the nearest
// tenth, IRT and converted AirV cut to the tenth) and the floor at NO_VALUE for the three
// measured channels.
double PlotValue(int channel, float stored, int tempUnit, float speedFactor);

// Characters of indent that right-align a Y label by its integer part.
int YLabelIndent(float value);

// One zoom level's coordinates from the level below, in place: each v becomes
// origin + (v - from) x span / extent, in float as both graphs have always computed it.
void RescaleCoords(float* v, std::size_t count, float origin, float from, float span, float extent);

class CGraphModel {
public:
    CGraphModel();
    // The frame points into the model's buffers: moving keeps them, copying would not.
    CGraphModel(const CGraphModel&) = delete;
    CGraphModel& operator=(const CGraphModel&) = delete;
    CGraphModel(CGraphModel&&) = default;
    CGraphModel& operator=(CGraphModel&&) = default;

    // One repaint; the frame stays valid until the next call.
    const GraphFrame& Compute(const GraphInputs& in);
    const GraphFrame& Frame() const { return m_frame; }

    // Columns of the current level as the last Compute left them; not Valid() when that
    // frame had no plot or the level changed since.
    SampleColumns Columns() const;

    // Scroll bar notification, by ScrollGraph with the span and range of the last frame.
    // Returns the position the scroll bar is to show.
    int OnScroll(ScrollCode code, int p);
    // Whole samples across the plot at the current level, at least 1.
    int VisibleSpan() const;

    // Back to the live full view in one step; the caller disables the scroll bar and
    // repaints at once.
    void UndoZoom();
    bool UndoZoomEnabled() const { return !m_bFullView; }

    // Bytes held by the model, its buffers and texts.
    std::size_t MemoryBytes() const;

    int m_nScreenPoints = INITIAL_SCREEN_POINTS;
    float m_fXStep = 0.0f;
    float m_fXStepFrozen = 0.0f;
    int m_nScreenPointsFrozen = INITIAL_SCREEN_POINTS;
    bool m_bFullView = true;
    bool m_bScrollSynced = true;
    int m_nZoomLevel = 0;
    ZoomRect m_zoomRect[ZOOM_LEVELS];
    float m_fYLabel[ZOOM_LEVELS][Y_LABELS] = {};
    int m_nScrollOffset = 0;
    int m_nFirstVisible = 0;
    int m_nLabelIndex[TIME_LABELS] = {};
    std::time_t m_tmLabel[TIME_LABELS] = {};
    std::string m_strYLabel[Y_LABELS];
    std::string m_strTimeLabel[TIME_LABELS];

private:
    void VerticalGrid(int count);
    void LevelZero(const GraphInputs& in, int count);
    void Freeze(int W);
    void LiveTimeLabels(const GraphInputs& in);
    void ZoomMode(const GraphInputs& in, int count);
    void DeriveLevel(int level, int count);
    void Texts(int count);

    GraphFrame m_frame;
    // The current level's coordinates, derived in place level by level from level 0. x is
    // one buffer for all channels: every channel's x goes through the same operations.
    std::vector<float> m_x;
    std::vector<float> m_y[NUM_CHANNELS];
    std::vector<float> m_traceX;  // zoom mode: x where the traces are drawn
    int m_nColumnsLevel = -1;     // level m_x holds; -1 when it holds none
    int m_nLiveLabelStep = 0;     // samples per grid division of the full view's time axis
};

}  // namespace qf

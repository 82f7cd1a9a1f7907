// The one graph core behind the real-time graph, the logger graph and the report: level 0
// of a recording's coordinates and labels, the zoom stack and its acceptance rule, levels
// derived from level 0, scrolling, the visible span, time labels of zoom mode and the
// sample under a cursor. What the two windows do differently is named in GraphPolicy.
#pragma once

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <ctime>
#include <utility>
#include <vector>

#include "graph/Pixels.h"
#include "graph/ScrollCode.h"
#include "graph/ViewPoint.h"
#include "live/GraphDisplayState.h"
#include "store/QFConstants.h"
#include "store/SampleView.h"

namespace qf {

inline constexpr int MAX_ZOOM_LEVEL = 99;
inline constexpr int ZOOM_LEVELS = MAX_ZOOM_LEVEL + 1;
inline constexpr int TIME_LABELS = 10;
// A zoom level needs ten divisions of more than this many units.
inline constexpr double MIN_LABEL_STEP = 0.1;

// What the real-time graph and the logger graph really do differently.
struct GraphPolicy {
    // Coordinates start at the plot's corner (real-time) or the window's (logger).
    bool plotRelative;
    // The real-time graph keeps a zoom rectangle as fractions of the plot, so that it
    // survives a resize; the logger window has a fixed size and keeps pixels.
    bool rectAsFractions;
    // The real-time graph accepts a drag in any direction; the logger takes press and
    // release as they came, so a drag upward gives a negative step and is refused.
    bool orderDragCorners;
    // Zoom-mode time labels a quarter (third, half) of the plot apart: whole pixels of the
    // width (real-time) or the exact fraction (logger).
    bool wholePixelLabelSpacing;
    // Zoom-mode traces: on the line through the first two columns, every sample
    // (real-time); or on the stored columns, the samples scrolled past the end left out
    // (logger).
    bool tracesOnColumnLine;
    // Samples the coordinate buffers are sized for.
    int capacity;
};

inline constexpr GraphPolicy REAL_TIME_GRAPH{true, true, true, true, true, RECORD_LIMIT};
inline constexpr GraphPolicy LOGGER_GRAPH{false, false, false, false, false, MAX_SAMPLES};

// The plot in view pixels, and its size.
struct PlotBox {
    float left = 0.0f, top = 0.0f, right = 0.0f, bottom = 0.0f;

    float Width() const { return right - left; }
    float Height() const { return bottom - top; }
    bool HasArea() const { return Width() > 0.0f && Height() > 0.0f; }
};

// The rectangle chosen at one zoom level: press (x1, y1) and release (x2, y2) in view
// pixels, and as fractions of the plot.
struct ZoomRect {
    float x1 = 0.0f, y1 = 0.0f, x2 = 0.0f, y2 = 0.0f;
    double fx1 = 0.0, fy1 = 0.0, fx2 = 0.0, fy2 = 0.0;
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

// The traces of one frame. Draw sample-major (per sample AirT, IRT, AirV,
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

// What a frame tells the scroll bar.
struct ScrollUpdate {
    bool enabled = false;  // the scroll bar works in zoom mode
    bool setRange = false;
    int rangeMax = 0;  // the range starts at 0
    bool setPosition = false;
    int position = 0;
};

// The samples of one recording as the graph reads them.
struct GraphRecord {
    SampleView samples;
    int count = 0;
    int tempUnit = 0;
    float speedFactor = 1.0f;
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
// Inline: level 0 calls it for every value of a repaint.
inline double PlotValue(int channel, float stored, int tempUnit, float speedFactor) {
    double v = stored;
    switch (channel) {
        case CH_AIRT:
        case CH_IRT:
            if (tempUnit == 1) {
                v = ToFahrenheit(stored);
            }
            if (channel == CH_IRT) {
                v = std::trunc(v * 10) * 0.1;
            } else if (v >= 0) {
                v = std::trunc((v + 0.05) * 10) * 0.1;
            } else {
                v = std::trunc((v - 0.05) * 10) * 0.1;
            }
            break;
        case CH_AIRV:
            v = double(stored) * double(speedFactor);
            if (speedFactor != 1.0f) {
                v = std::trunc(v * 10) * 0.1;
            }
            break;
        default:
            return v;  // flows are plotted as delivered, never floored
    }
    return v < NO_VALUE ? double(NO_VALUE) : v;
}

// Characters of indent that right-align a Y label by its integer part.
int YLabelIndent(float value);

// One zoom level's coordinates from the level below, in place: each v becomes
// origin + (v - from) x span / extent, in float as both graphs have always computed it.
void RescaleCoords(float* v, std::size_t count, float origin, float from, float span, float extent);

// The value labels at level 0: L_i = (offset + i) x EffectiveYGain(gain), formed without
// integer overflow.
std::array<float, Y_LABELS> LevelZeroLabels(int yOffset, int yGain);

// Index of the sample nearest to view column x at the current level, with the traces
// shifted by scrollOffset samples; `originX` is the view x of the columns' origin. It may
// lie before sample 0 or beyond the last one. False when the columns have no scale.
bool NearestSample(const SampleColumns& columns, int x, int originX, int scrollOffset, int& sample);

class CGraphCore {
public:
    explicit CGraphCore(const GraphPolicy& policy);
    // The frames of both graphs point into the buffers: moving keeps them, copying would not.
    CGraphCore(const CGraphCore&) = delete;
    CGraphCore& operator=(const CGraphCore&) = delete;
    CGraphCore(CGraphCore&&) = default;
    CGraphCore& operator=(CGraphCore&&) = default;

    const GraphPolicy& Policy() const { return *m_policy; }

    // Starts a repaint on `plot`: the zoom level kept in range, no columns yet.
    void Begin(const PlotBox& plot);
    const PlotBox& Plot() const { return m_plot; }

    // Level 0 of labels and coordinates. `columns` columns are kept (at least `count`);
    // column i < count lies at xAt(i), called in order, and sample i's channels at their
    // plot values on the label scale. The caller may place columns >= count itself.
    void SetLevelZeroLabels(int yOffset, int yGain);
    template <class XAt>
    void LevelZero(const GraphRecord& r, int columns, XAt&& xAt);
    float* X() { return m_x.data(); }
    const float* Y(int channel) const { return m_y[channel].data(); }

    // Zoom mode of a repaint: derives the current level from level 0, places the time
    // labels from the first visible sample and the traces. False when the columns have
    // no scale (fewer than two, or a level without extent): nothing is placed.
    bool ZoomMode(int count, std::time_t start, long long intervalSec);

    // Columns of the current level; not Valid() before the level was computed.
    SampleColumns Columns() const;
    // x where zoom mode draws the traces, TraceCount() of them.
    const float* TraceX() const { return m_traceX.data(); }
    int TraceCount() const { return static_cast<int>(m_traceX.size()); }

    // The drag's press and release at the current level, in view pixels.
    void SetPress(ViewPoint p) {
        SetCorner(p, &ZoomRect::x1, &ZoomRect::y1, &ZoomRect::fx1, &ZoomRect::fy1);
    }
    void SetRelease(ViewPoint p) {
        SetCorner(p, &ZoomRect::x2, &ZoomRect::y2, &ZoomRect::fx2, &ZoomRect::fy2);
    }
    // The rectangle at the current level becomes a new level when usable: ten divisions of
    // more than MIN_LABEL_STEP, fewer samples than pixels across the plot and some width.
    // Refused or not, the graph stays in zoom mode from now on. True when pushed.
    bool AcceptZoom();
    // Back to the full view at level 0.
    void ResetZoom();

    // Scroll bar notification; returns the position the scroll bar is to show.
    int OnScroll(ScrollCode code, int p);
    // Whole samples across the plot at the current level, at least 1.
    int VisibleSpan() const;
    // The sample under view column x (see NearestSample).
    bool SampleAt(int x, int& sample) const;
    // The first and last of `count` samples drawn inside the plot at the current level and
    // scroll; all of them in the full view. first > last when none is.
    std::pair<int, int> VisibleRange(int count) const;
    // View x where sample `sample` is drawn at the current level and scroll; false without
    // a scale.
    bool SampleX(int sample, float& x) const;

    bool FullView() const { return m_bFullView; }
    int ZoomLevel() const { return m_nZoomLevel; }
    int ScrollOffset() const { return m_nScrollOffset; }
    int FirstVisible() const { return m_nFirstVisible; }
    // The thumb was placed after the last zoom: the next zoom mode leaves it.
    bool ScrollSynced() const { return m_bScrollSynced; }
    const float* Labels(int level) const { return m_fYLabel[level]; }
    const float* CurrentLabels() const { return m_fYLabel[m_nZoomLevel]; }
    const ZoomRect& Rect(int level) const { return m_zoomRect[level]; }
    int LabelIndex(int j) const { return m_nLabelIndex[j]; }
    std::time_t LabelTime(int j) const { return m_tmLabel[j]; }

    // Bytes held by the core and its buffers.
    std::size_t MemoryBytes() const;

private:
    void SetCorner(ViewPoint p, float ZoomRect::*x, float ZoomRect::*y, double ZoomRect::*fx,
                   double ZoomRect::*fy);
    void DeriveLevel(int level, int count);
    float OriginX() const { return m_policy->plotRelative ? 0.0f : m_plot.left; }
    float OriginY() const { return m_policy->plotRelative ? 0.0f : m_plot.top; }

    const GraphPolicy* m_policy;
    PlotBox m_plot;
    bool m_bFullView = true;
    int m_nZoomLevel = 0;
    ZoomRect m_zoomRect[ZOOM_LEVELS];
    // [level][i]: the value of horizontal grid line i (0 the bottom one) at each level.
    float m_fYLabel[ZOOM_LEVELS][Y_LABELS] = {};
    int m_nScrollOffset = 0;
    bool m_bScrollSynced = false;
    int m_nScrollMax = 0;
    int m_nFirstVisible = 0;
    int m_nLabelIndex[TIME_LABELS] = {};
    std::time_t m_tmLabel[TIME_LABELS] = {};
    // The current level's coordinates, derived in place level by level from level 0. x is
    // one buffer for all channels: every channel's x goes through the same operations.
    std::vector<float> m_x;
    std::vector<float> m_y[NUM_CHANNELS];
    std::vector<float> m_traceX;  // zoom mode: x where the traces are drawn
    int m_nColumnsLevel = -1;     // level m_x holds; -1 when it holds none
};

template <class XAt>
void CGraphCore::LevelZero(const GraphRecord& r, int columns, XAt&& xAt) {
    const int count = r.samples.base ? r.count : 0;
    columns = std::max(columns, count);
    m_x.resize(std::size_t(columns));
    float* y[NUM_CHANNELS];
    for (int ch = 0; ch < NUM_CHANNELS; ++ch) {
        m_y[ch].resize(std::size_t(columns));
        y[ch] = m_y[ch].data();
    }
    // Locals, so that the stores below need not reload them.
    float* x = m_x.data();
    const double L0 = m_fYLabel[0][0];
    const double range = double(m_fYLabel[0][Y_LABELS - 1]) - L0;
    const double H = double(m_plot.bottom) - double(m_plot.top);
    const double bottom = m_policy->plotRelative ? H : double(m_plot.bottom);
    const SampleView s = r.samples;
    const int tempUnit = r.tempUnit;
    const float speedFactor = r.speedFactor;
    for (int i = 0; i < count; ++i) {
        x[i] = xAt(i);
        for (int ch = 0; ch < NUM_CHANNELS; ++ch) {
            const double v = PlotValue(ch, s.At(i, ch), tempUnit, speedFactor);
            y[ch][i] = NarrowToFloat(bottom - (v - L0) * H / range);
        }
    }
    m_nColumnsLevel = 0;
}

}  // namespace qf

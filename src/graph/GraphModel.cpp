#include "graph/GraphModel.h"

#include <algorithm>
#include <cmath>

#include "graph/ClockText.h"
#include "store/ValueText.h"

namespace qf {

namespace {

constexpr int GRID_DIVISIONS = 12;
constexpr int EMPTY_GRID_LINES = 13;
constexpr int LIVE_GRID_LINES = 14;
constexpr int Y_DIVISIONS = 10;

PlotBox PlotOf(const PlotGeometry& g) {
    return {float(g.pL), float(g.pT), float(g.pR), float(g.pB)};
}

}  // namespace

DragArea DragAreaOf(const PlotGeometry& g) {
    DragArea a;
    a.corners = {g.pL, g.pT, g.pR, g.pB};
    a.moves = {g.pL, g.pT, g.r - PLOT_RIGHT_MARGIN, g.b - CURSOR_BOTTOM_MARGIN};
    a.watch = {g.pL - 50, g.pT - 3, g.r - 20, g.b - 131};
    return a;
}

void CGraphModel::UndoZoom() {
    m_core.ResetZoom();
    m_fXStepFrozen = m_fXStep;
}

std::size_t CGraphModel::MemoryBytes() const {
    std::size_t bytes = sizeof(*this) - sizeof(m_core) + m_core.MemoryBytes();
    const auto text = [](const std::string& s) {
        return s.capacity() > 15 ? s.capacity() + 1 : 0;  // beyond the small-string buffer
    };
    for (const auto& s : m_strYLabel) {
        bytes += text(s);
    }
    for (const auto& s : m_strTimeLabel) {
        bytes += text(s);
    }
    for (const auto& l : m_frame.yLabels) {
        bytes += text(l.text);
    }
    for (const auto& l : m_frame.timeLabels) {
        bytes += text(l.text);
    }
    return bytes;
}

const GraphFrame& CGraphModel::Compute(const GraphInputs& in) {
    GraphFrame& f = m_frame;
    const PlotGeometry& g = in.geo;
    const int count = in.samples ? std::clamp(in.count, 0, MAX_SAMPLES) : 0;
    f.geo = g;
    f.hasPlot = g.HasArea();
    f.gridXCount = 0;
    f.gridYCount = 0;
    f.traces = {};
    f.timeLabelCount = 0;
    f.repaintRequested = false;
    f.scroll = {};
    f.statusHeaders = count == 0;
    m_core.Begin(PlotOf(g));

    // A new recording starts on the live scale.
    if (count == 1) {
        m_nScreenPoints = INITIAL_SCREEN_POINTS;
        m_core.ResetZoom();
        m_fXStepFrozen = m_fXStep;
    }

    if (f.hasPlot) {
        m_fXStep = float(g.W) / float(std::max(m_nScreenPoints - 1, 1));
        VerticalGrid(count);
        for (int j = 1; j <= Y_DIVISIONS; ++j) {
            f.gridY[f.gridYCount++] = PixelCoord(static_cast<long long>(j) * g.H * 0.1);
        }
    }
    m_core.SetLevelZeroLabels(in.yOffset, in.yGain);
    if (f.hasPlot) {
        LevelZero(in, count);
    }
    if (m_core.FullView()) {
        if (f.hasPlot) {
            LiveTimeLabels(in);
        }
    } else {
        ZoomMode(in, count);
    }
    Texts(count);
    return f;
}

void CGraphModel::VerticalGrid(int count) {
    GraphFrame& f = m_frame;
    const int W = f.geo.W;
    if (count == 0) {
        for (int i = 0; i < EMPTY_GRID_LINES; ++i) {
            f.gridX[f.gridXCount++] = ClampToInt(static_cast<long long>(i) * W / GRID_DIVISIONS);
        }
    } else if (m_core.FullView()) {
        // The grid follows whole samples.
        const int k = TruncToInt(float(W / GRID_DIVISIONS) / m_fXStep);
        for (int i = 0; i < LIVE_GRID_LINES; ++i) {
            f.gridX[f.gridXCount++] = PixelCoord(float(static_cast<long long>(i) * k) * m_fXStep);
        }
    }
}

void CGraphModel::Freeze(int W) {
    if (m_core.FullView()) {
        m_fXStepFrozen = m_fXStep;
        m_nScreenPointsFrozen = m_nScreenPoints;
    } else {
        m_fXStepFrozen = float(W) / float(std::max(m_nScreenPointsFrozen - 1, 1));
    }
}

void CGraphModel::LevelZero(const GraphInputs& in, int count) {
    GraphFrame& f = m_frame;
    const int W = f.geo.W;
    // Also before the first two samples, so that the columns of the read-out and the zoom
    // test always have a scale.
    Freeze(W);
    const float firstStep = m_fXStepFrozen;
    GraphRecord r;
    r.samples = SampleView::ChannelMajor(&in.samples[0][0], MAX_SAMPLES);
    r.count = count;
    r.tempUnit = in.tempUnit;
    r.speedFactor = in.speedFactor;
    m_core.LevelZero(r, 2, [&](int i) {
        if (i == 0) {
            return 0.0f;
        }
        if (m_core.FullView()) {
            Freeze(W);  // follows a compression at the sample before
        }
        const float x = float(i) * m_fXStepFrozen;
        // The samples outran the screen: about 12/11 of the capacity plus one. Repeats for
        // the following samples with the new capacity; the requested repaint then draws
        // everything on the final scale.
        if (count >= static_cast<long long>(m_nScreenPoints) + 1) {
            m_fXStep = NarrowToFloat(double(W - W / GRID_DIVISIONS) / m_nScreenPoints);
            const int grown = TruncToInt(double(float(W) / m_fXStep) + 1.0);
            // Never less than one more, so that a requested repaint always ends the chain.
            m_nScreenPoints = std::max(grown, m_nScreenPoints + 1);
            f.repaintRequested = true;
        }
        return x;
    });
    float* x = m_core.X();
    if (count < 1) {
        x[0] = 0.0f;
    }
    if (count < 2) {
        x[1] = firstStep;
    }

    f.traces.count = m_core.FullView() ? count : 0;  // zoom mode places them later
    f.traces.x = x;
    for (int ch = 0; ch < NUM_CHANNELS; ++ch) {
        f.traces.y[ch] = m_core.Y(ch);
        f.traces.shown[ch] = in.traces.Shown(ch);
    }
}

void CGraphModel::LiveTimeLabels(const GraphInputs& in) {
    const int W = m_frame.geo.W;
    const long long s = in.intervalMs / 1000;
    m_nLiveLabelStep = TruncToInt(float(W / GRID_DIVISIONS) / m_fXStep);
    m_tmLabel[0] = in.start;
    for (int j = 1; j < LIVE_TIME_LABELS; ++j) {
        // Every third grid line.
        m_tmLabel[j] = in.start + static_cast<long long>(m_nLiveLabelStep) * 3 * j * s;
    }
}

void CGraphModel::ZoomMode(const GraphInputs& in, int count) {
    GraphFrame& f = m_frame;
    f.scroll.enabled = true;
    f.scroll.setRange = true;
    f.scroll.rangeMax = count;
    const bool placeThumb = !m_core.ScrollSynced();
    if (!m_core.ZoomMode(count, in.start, in.intervalMs / 1000)) {
        return;
    }
    if (placeThumb) {
        f.scroll.setPosition = true;
        f.scroll.position = m_core.FirstVisible();
    }
    const SampleColumns cols = m_core.Columns();
    for (int j = 0; j < TIME_LABELS; ++j) {
        f.gridX[f.gridXCount++] = PixelCoord(float(m_core.LabelIndex(j)) * cols.Dx() + cols.X0());
        m_tmLabel[j] = m_core.LabelTime(j);
    }
    f.traces.count = m_core.TraceCount();
    f.traces.x = m_core.TraceX();
}

void CGraphModel::Texts(int count) {
    GraphFrame& f = m_frame;
    const PlotGeometry& g = f.geo;
    for (int j = 0; j < TIME_LABELS; ++j) {
        m_strTimeLabel[j] = FormatClock(m_tmLabel[j]);
    }
    const float* values = m_core.CurrentLabels();
    for (int i = 0; i < Y_LABELS; ++i) {
        m_strYLabel[i] = FormatFixed(values[i], 2);
    }

    // Y-axis strip, label 0 at the plot's bottom row and label 10 at its top row.
    const long long H = g.H;
    f.stripWidth = g.pL - Y_STRIP_LEFT;
    f.stripHeight = ClampToInt(H + 54);  // 24 above the plot, 30 below
    f.tickX0 = f.stripWidth - 5;
    f.tickX1 = f.stripWidth;
    for (int i = 0; i < Y_LABELS; ++i) {
        YLabel& l = f.yLabels[i];
        l.text = m_strYLabel[i];
        l.indent = YLabelIndent(values[i]);
        l.textX = TruncToInt(l.indent * 7.5 + 2.0);
        l.textY = ClampToInt(H + 16 - i * (H - 2) / Y_DIVISIONS);
        l.tickY = ClampToInt(H + 23 - i * (H - 1) / Y_DIVISIONS);
    }

    // A plot right edge left of the Y strip leaves no room for the right strip.
    f.rightStripX = std::max(g.pR, RIGHT_STRIP_MIN_X);
    f.rightStripWidth = g.pR < RIGHT_STRIP_MIN_X ? 0 : RIGHT_STRIP_WIDTH;
    f.rightStripHeight = ClampToInt(H + Y_STRIP_ABOVE_PLOT);

    f.timeAxisFill = g.pB > g.pT;
    if (count < 1 || !f.hasPlot) {
        return;
    }
    const int y = ClampToInt(static_cast<long long>(g.pB) + TIME_LABEL_BELOW_PLOT);
    const auto put = [&](int x, int j) {
        TimeLabel& t = f.timeLabels[f.timeLabelCount++];
        t.x = x;
        t.y = y;
        t.text = m_strTimeLabel[j];
    };
    if (m_core.FullView()) {
        put(g.pL + 2, 0);
        for (int j = 1; j < LIVE_TIME_LABELS; ++j) {
            put(PixelCoord(float(m_nLiveLabelStep) * m_fXStep * 3.0f * float(j) + float(g.pL)), j);
        }
        return;
    }
    const SampleColumns cols = m_core.Columns();
    if (!cols.Valid()) {
        return;
    }
    for (int j = 0; j < TIME_LABELS; ++j) {
        const int x = PixelCoord(float(m_core.LabelIndex(j)) * cols.Dx() + float(g.pL) + cols.X0());
        if (x >= g.pL && x <= g.pR) {
            put(x, j);
        }
    }
}

}  // namespace qf

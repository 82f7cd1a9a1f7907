#include "view/GraphModel.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "store/ValueText.h"
#include "view/ClockText.h"

namespace qf {

namespace {

constexpr int GRID_DIVISIONS = 12;
constexpr int EMPTY_GRID_LINES = 13;
constexpr int LIVE_GRID_LINES = 14;
constexpr int Y_DIVISIONS = 10;

// y of a plot value at level 0, downward from the plot's top.
float PlotY(double value, int H, float L0, float L10) {
    const float range = L10 - L0;
    return NarrowToFloat(H - (value - L0) * H / range);
}

}  // namespace

double PlotValue(int channel, float stored, int tempUnit, float speedFactor) {
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

int YLabelIndent(float v) {
    if (v >= 0.0f) {
        return v < 10.0f ? 4 : v < 100.0f ? 3 : v < 1000.0f ? 2 : 1;
    }
    if (v < 0.0f) {
        return v > -10.0f ? 3 : v > -100.0f ? 2 : v > -1000.0f ? 1 : 0;
    }
    return 0;
}

void RescaleCoords(float* v, std::size_t count, float origin, float from, float span,
                   float extent) {
    for (std::size_t i = 0; i < count; ++i) {
        v[i] = origin + (v[i] - from) * span / extent;
    }
}

bool SampleColumns::Valid() const {
    if (x == nullptr || count < 2) {
        return false;
    }
    const float dx = Dx();
    return std::isfinite(x[0]) && std::isfinite(dx) && dx > 0.0f;
}

float SampleColumns::At(long long k) const {
    if (k >= 0 && k < count) {
        return x[k];
    }
    return X0() + static_cast<float>(k) * Dx();
}

CGraphModel::CGraphModel() {
    for (auto* buf : {&m_x, &m_traceX}) {
        buf->reserve(RECORD_LIMIT);
    }
    for (auto& buf : m_y) {
        buf.reserve(RECORD_LIMIT);
    }
}

SampleColumns CGraphModel::Columns() const {
    if (m_nColumnsLevel != m_nZoomLevel) {
        return {};
    }
    return {m_x.data(), static_cast<int>(m_x.size())};
}

ScrollMove ScrollGraph(ScrollCode code, int p, int firstVisible, int offset, int span,
                       int maxPosition) {
    const long long at = static_cast<long long>(firstVisible) - offset + 1;
    long long to = at;
    switch (code) {
        case ScrollCode::ThumbTrack:
            to = p;
            break;
        case ScrollCode::LineLeft:
            to = std::max<long long>(std::min<long long>(at, maxPosition) - 1, 0);
            break;
        case ScrollCode::LineRight:
            to = std::min<long long>(std::max<long long>(at, 0) + 1, maxPosition);
            break;
        case ScrollCode::PageLeft:
            to = std::max<long long>(std::min<long long>(at, maxPosition) - span, 0);
            break;
        case ScrollCode::PageRight:
            to = std::min<long long>(std::max<long long>(at, 0) + span, maxPosition);
            break;
        case ScrollCode::Other:
            break;
    }
    ScrollMove move;
    move.offset = code == ScrollCode::Other
                      ? offset
                      : ClampToInt(static_cast<long long>(firstVisible) - to + 1);
    move.position = ClampToInt(static_cast<long long>(firstVisible) - move.offset + 1);
    return move;
}

int CGraphModel::OnScroll(ScrollCode code, int p) {
    if (code == ScrollCode::ThumbTrack) {
        m_bScrollSynced = true;
    }
    const int maxPosition = m_frame.scroll.enabled ? m_frame.scroll.rangeMax : 0;
    const ScrollMove move =
        ScrollGraph(code, p, m_nFirstVisible, m_nScrollOffset, VisibleSpan(), maxPosition);
    m_nScrollOffset = move.offset;
    return move.position;
}

int CGraphModel::VisibleSpan() const {
    const SampleColumns cols = Columns();
    if (!cols.Valid() || !m_frame.hasPlot) {
        return 1;
    }
    return std::max(1, TruncToInt(float(m_frame.geo.W) / cols.Dx()));
}

void CGraphModel::UndoZoom() {
    m_nZoomLevel = 0;
    m_bFullView = true;
    m_fXStepFrozen = m_fXStep;
    m_nScrollOffset = 0;
}

std::size_t CGraphModel::MemoryBytes() const {
    std::size_t bytes = sizeof(*this);
    bytes += (m_x.capacity() + m_traceX.capacity()) * sizeof(float);
    for (const auto& buf : m_y) {
        bytes += buf.capacity() * sizeof(float);
    }
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
    const PlotGeometry& g = in.m_geo;
    const int count = in.m_pSamples ? std::clamp(in.m_nSampleIndex, 0, MAX_SAMPLES) : 0;
    f.geo = g;
    f.hasPlot = g.HasArea();
    f.gridXCount = 0;
    f.gridYCount = 0;
    f.traces = {};
    f.timeLabelCount = 0;
    f.repaintRequested = false;
    f.scroll = {};
    f.statusHeaders = count == 0;
    m_nZoomLevel = std::clamp(m_nZoomLevel, 0, MAX_ZOOM_LEVEL);
    m_nColumnsLevel = -1;

    // A new recording starts on the live scale.
    if (count == 1) {
        m_nScreenPoints = INITIAL_SCREEN_POINTS;
        m_fXStepFrozen = m_fXStep;
        m_nZoomLevel = 0;
        m_bFullView = true;
        m_nScrollOffset = 0;
    }

    if (f.hasPlot) {
        m_fXStep = float(g.W) / float(std::max(m_nScreenPoints - 1, 1));
        VerticalGrid(count);
        for (int j = 1; j <= Y_DIVISIONS; ++j) {
            f.gridY[f.gridYCount++] = PixelCoord(static_cast<long long>(j) * g.H * 0.1);
        }
    }

    // A gain of 0 (only a configuration file can hold one) has no scale; it shows as the
    // default gain. Products in 64 bits: any offset and gain fit.
    const long long gain = in.m_nYGain != 0 ? in.m_nYGain : DEFAULT_Y_GAIN;
    for (int i = 0; i < Y_LABELS; ++i) {
        m_fYLabel[0][i] = static_cast<float>((static_cast<long long>(in.m_nYOffset) + i) * gain);
    }

    if (f.hasPlot) {
        LevelZero(in, count);
    }
    if (m_bFullView) {
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
    } else if (m_bFullView) {
        // The grid follows whole samples.
        const int k = TruncToInt(float(W / GRID_DIVISIONS) / m_fXStep);
        for (int i = 0; i < LIVE_GRID_LINES; ++i) {
            f.gridX[f.gridXCount++] = PixelCoord(float(static_cast<long long>(i) * k) * m_fXStep);
        }
    }
}

void CGraphModel::Freeze(int W) {
    if (m_bFullView) {
        m_fXStepFrozen = m_fXStep;
        m_nScreenPointsFrozen = m_nScreenPoints;
    } else {
        m_fXStepFrozen = float(W) / float(std::max(m_nScreenPointsFrozen - 1, 1));
    }
}

void CGraphModel::LevelZero(const GraphInputs& in, int count) {
    GraphFrame& f = m_frame;
    const int W = f.geo.W;
    const int H = f.geo.H;
    // Also before the first two samples, so that the columns of the read-out and the zoom
    // test always have a scale.
    Freeze(W);
    const int columns = std::max(count, 2);
    m_x.resize(columns);
    m_traceX.resize(columns);
    for (auto& y : m_y) {
        y.resize(columns);
    }
    m_x[0] = 0.0f;
    m_x[1] = m_fXStepFrozen;

    const float L0 = m_fYLabel[0][0];
    const float L10 = m_fYLabel[0][Y_LABELS - 1];
    const auto convert = [&](int i) {
        for (int ch = 0; ch < NUM_CHANNELS; ++ch) {
            const double v = PlotValue(ch, in.m_pSamples[ch][i], in.m_nTempUnit, in.m_fSpeedFactor);
            m_y[ch][i] = PlotY(v, H, L0, L10);
        }
    };
    if (count >= 1) {
        convert(0);
    }
    for (int i = 1; i < count; ++i) {
        if (m_bFullView) {
            Freeze(W);  // follows a compression earlier in this loop
        }
        m_x[i] = float(i) * m_fXStepFrozen;
        convert(i);
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
    }
    m_nColumnsLevel = 0;

    f.traces.count = count;
    f.traces.x = m_x.data();
    for (int ch = 0; ch < NUM_CHANNELS; ++ch) {
        f.traces.y[ch] = m_y[ch].data();
    }
    f.traces.shown[CH_AIRT] = in.m_bShowAirT;
    f.traces.shown[CH_IRT] = in.m_bShowIrt;
    f.traces.shown[CH_AIRV] = in.m_bShowAirV;
    f.traces.shown[CH_CFM] = in.m_bShowFlow;
    f.traces.shown[CH_CMM] = in.m_bShowFlow;
    if (!m_bFullView) {
        f.traces.count = 0;  // zoom mode places them after deriving the levels
    }
}

void CGraphModel::LiveTimeLabels(const GraphInputs& in) {
    const int W = m_frame.geo.W;
    const long long s = in.m_nIntervalMs / 1000;
    m_nLiveLabelStep = TruncToInt(float(W / GRID_DIVISIONS) / m_fXStep);
    m_tmLabel[0] = in.m_tmStart;
    for (int j = 1; j < LIVE_TIME_LABELS; ++j) {
        // Every third grid line.
        m_tmLabel[j] = in.m_tmStart + static_cast<long long>(m_nLiveLabelStep) * 3 * j * s;
    }
}

void CGraphModel::DeriveLevel(int level, int count) {
    const PlotGeometry& g = m_frame.geo;
    const ZoomRect& r = m_zoomRect[level];
    float xA = NarrowToFloat(g.W * r.fxA + g.pL);
    float xB = NarrowToFloat(g.W * r.fxB + g.pL);
    float yA = NarrowToFloat(g.H * r.fyA + g.pT);
    float yB = NarrowToFloat(g.H * r.fyB + g.pT);
    if (xA > xB) {
        std::swap(xA, xB);
    }
    if (yA > yB) {
        std::swap(yA, yB);
    }
    const float w = xB - xA;
    const float h = yB - yA;
    float* next = m_fYLabel[level + 1];
    const float* labels = m_fYLabel[level];
    if (!(w > 0.0f) || !(h > 0.0f)) {
        // A rectangle that lost its extent in float (an extreme resize) has no scale: the
        // level shows what the one below shows.
        std::copy(labels, labels + Y_LABELS, next);
        return;
    }
    // Plot-relative coordinates: the plot's corner is the origin.
    const float cx = xA - g.pL;
    const float cy = yA - g.pT;
    RescaleCoords(m_x.data(), m_x.size(), 0.0f, cx, float(g.W), w);
    for (auto& buf : m_y) {
        RescaleCoords(buf.data(), std::size_t(count), 0.0f, cy, float(g.H), h);
    }
    const float L0 = labels[0];
    const float range = labels[Y_LABELS - 1] - L0;
    for (int i = 0; i < Y_LABELS; ++i) {
        next[i] = NarrowToFloat(L0 + (i * h * 0.1 + (g.pB - yB)) * range / g.H);
    }
}

void CGraphModel::ZoomMode(const GraphInputs& in, int count) {
    GraphFrame& f = m_frame;
    const PlotGeometry& g = f.geo;
    f.scroll.enabled = true;
    f.scroll.setRange = true;
    f.scroll.rangeMax = count;
    if (!f.hasPlot) {
        return;
    }
    for (int level = 0; level < m_nZoomLevel; ++level) {
        DeriveLevel(level, count);
    }
    m_nColumnsLevel = m_nZoomLevel;
    const SampleColumns cols = Columns();
    if (!cols.Valid()) {
        m_nColumnsLevel = -1;
        return;
    }
    const float x0 = cols.X0();
    const float dx = cols.Dx();
    const int s = m_nScrollOffset;
    if (!m_bScrollSynced) {
        m_nFirstVisible = TruncToInt(float(s) - (x0 + dx * float(s)) / dx);
        f.scroll.setPosition = true;
        f.scroll.position = m_nFirstVisible;
        m_bScrollSynced = true;
    }

    const long long sec = in.m_nIntervalMs / 1000;
    m_tmLabel[0] = in.m_tmStart + (static_cast<long long>(m_nFirstVisible) - s) * sec;
    const int W = g.W;
    const int across = TruncToInt(float(W) / dx);
    int k = 1;
    if (across > 1) {
        const int q = across >= 4 ? W / 4 : across == 3 ? W / 3 : W / 2;
        k = TruncToInt(float(q) / dx);
    }
    for (int j = 0; j < TIME_LABELS; ++j) {
        m_nLabelIndex[j] = ClampToInt(m_nFirstVisible + static_cast<long long>(k) * j);
        f.gridX[f.gridXCount++] = PixelCoord(float(m_nLabelIndex[j]) * dx + x0);
        m_tmLabel[j] =
            m_tmLabel[0] + (static_cast<long long>(m_nLabelIndex[j]) - m_nFirstVisible) * sec;
    }

    for (int i = 0; i < count; ++i) {
        m_traceX[i] = x0 + float(static_cast<long long>(i) + s) * dx;
    }
    f.traces.count = count;
    f.traces.x = m_traceX.data();
}

void CGraphModel::Texts(int count) {
    GraphFrame& f = m_frame;
    const PlotGeometry& g = f.geo;
    for (int j = 0; j < TIME_LABELS; ++j) {
        m_strTimeLabel[j] = FormatClock(m_tmLabel[j]);
    }
    const float* values = m_fYLabel[m_nZoomLevel];
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
    if (m_bFullView) {
        put(g.pL + 2, 0);
        for (int j = 1; j < LIVE_TIME_LABELS; ++j) {
            put(PixelCoord(float(m_nLiveLabelStep) * m_fXStep * 3.0f * float(j) + float(g.pL)), j);
        }
        return;
    }
    const SampleColumns cols = Columns();
    if (!cols.Valid()) {
        return;
    }
    for (int j = 0; j < TIME_LABELS; ++j) {
        const int x = PixelCoord(float(m_nLabelIndex[j]) * cols.Dx() + float(g.pL) + cols.X0());
        if (x >= g.pL && x <= g.pR) {
            put(x, j);
        }
    }
}

}  // namespace qf

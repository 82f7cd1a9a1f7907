#include "logger/LoggerGraph.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "store/ValueText.h"
#include "view/ClockText.h"
#include "view/Pixels.h"

namespace qf {

namespace {

constexpr int Y_DIVISIONS = 10;
constexpr int FULL_VIEW_END_LABEL_LEFT = 55;  // the end time's x, left of the plot's right edge
constexpr int FULL_VIEW_LABEL_BELOW = 8;
constexpr int ZOOM_LABEL_BELOW = 1;
constexpr float BAND_BELOW_LEFT = 11.2f;
constexpr int BAND_BELOW_HEIGHT = 100;
constexpr float VALUE_LABEL_LEFT = 85.0f;
constexpr float VALUE_LABEL_INDENT = 7.5f;

long long Seconds(long long samples, int intervalSec) {
    return samples * intervalSec;
}

}  // namespace

int LoggerValueLabelX(float left, float value) {
    return TruncToInt(left - VALUE_LABEL_LEFT + VALUE_LABEL_INDENT * YLabelIndent(value));
}

CLoggerGraph::CLoggerGraph() {
    for (auto* buf : {&m_x, &m_traceX}) {
        buf->reserve(MAX_SAMPLES);
    }
    for (auto& buf : m_y) {
        buf.reserve(MAX_SAMPLES);
    }
}

SampleColumns CLoggerGraph::Columns() const {
    if (m_nColumnsLevel != m_nZoomLevel) {
        return {};
    }
    return {m_x.data(), static_cast<int>(m_x.size())};
}

void CLoggerGraph::ResetToFullView() {
    m_bFullView = true;
    m_nZoomLevel = 0;
    m_nScrollOffset = 0;
}

int CLoggerGraph::OnScroll(ScrollCode code, int p) {
    const int maxPosition = m_frame.scroll.enabled ? m_frame.scroll.rangeMax : 0;
    const ScrollMove move =
        ScrollGraph(code, p, m_nFirstVisible, m_nScrollOffset, VisibleSpan(), maxPosition);
    m_nScrollOffset = move.offset;
    return move.position;
}

int CLoggerGraph::VisibleSpan() const {
    const SampleColumns cols = Columns();
    if (!cols.Valid()) {
        return 1;
    }
    return std::max(1, TruncToInt((m_frame.right - m_frame.left) / cols.Dx()));
}

std::size_t CLoggerGraph::MemoryBytes() const {
    std::size_t bytes = sizeof(*this);
    bytes += (m_x.capacity() + m_traceX.capacity()) * sizeof(float);
    for (const auto& buf : m_y) {
        bytes += buf.capacity() * sizeof(float);
    }
    return bytes;
}

const LoggerFrame& CLoggerGraph::Compute(const LoggerInputs& in) {
    LoggerFrame& f = m_frame;
    f = LoggerFrame{};
    f.width = std::max(in.width, 0);
    f.height = std::max(in.height, 0);
    f.left = float(LOGGER_PLOT_LEFT);
    f.top = float(LOGGER_PLOT_TOP);
    f.right = float(f.width - LOGGER_PLOT_RIGHT);
    f.bottom = float(f.height - LOGGER_PLOT_BOTTOM);
    f.plot = {LOGGER_PLOT_LEFT, LOGGER_PLOT_TOP, f.width - LOGGER_PLOT_RIGHT - LOGGER_PLOT_LEFT,
              f.height - LOGGER_PLOT_BOTTOM - LOGGER_PLOT_TOP};
    f.hasPlot = f.plot.w > 0 && f.plot.h > 0;
    m_nZoomLevel = std::clamp(m_nZoomLevel, 0, MAX_ZOOM_LEVEL);
    m_nColumnsLevel = -1;

    Grid();
    f.bandBelow = {TruncToInt(f.left - BAND_BELOW_LEFT), TruncToInt(f.bottom + 1.0f),
                   TruncToInt(f.right), BAND_BELOW_HEIGHT};
    if (!in.hasRecord || !f.hasPlot) {
        return f;
    }
    f.drawRecord = true;
    const int count = in.record.samples ? std::clamp(in.record.count, 0, MAX_SAMPLES) : 0;
    LevelZero(in, count);
    if (m_bFullView) {
        FullView(in, count);
    } else {
        ZoomMode(in, count);
    }
    Margins();
    ValueLabels();
    return f;
}

void CLoggerGraph::Grid() {
    LoggerFrame& f = m_frame;
    const float H = f.bottom - f.top;
    const float W = f.right - f.left;
    for (int i = 0; i < Y_LABELS; ++i) {
        f.gridY[i] = PixelCoord(f.top + H * i * 0.1);
    }
    if (m_bFullView) {
        for (int i = 1; i <= LOGGER_FULL_GRID_COLUMNS; ++i) {
            f.gridX[f.gridXCount++] = PixelCoord(f.left + W * float(i) / 15.0f);
        }
    }
}

void CLoggerGraph::LevelZero(const LoggerInputs& in, int count) {
    const LoggerFrame& f = m_frame;
    m_fXStep = count > 1 ? (f.right - f.left) / float(count - 1) : 0.0f;
    // A gain of 0 (only a file can hold one) has no scale; it shows as the default gain.
    // Products in 64 bits: any offset and gain fit.
    const long long gain = in.yGain != 0 ? in.yGain : DEFAULT_Y_GAIN;
    for (int i = 0; i < Y_LABELS; ++i) {
        m_fYLabel[0][i] = static_cast<float>((static_cast<long long>(in.yOffset) + i) * gain);
    }
    const double L0 = m_fYLabel[0][0];
    const double range = double(m_fYLabel[0][Y_LABELS - 1]) - L0;
    const double H = double(f.bottom) - double(f.top);

    m_x.resize(count);
    for (auto& y : m_y) {
        y.resize(count);
    }
    const LoggerRecordView& r = in.record;
    for (int s = 0; s < count; ++s) {
        m_x[s] = f.left + float(s) * m_fXStep;
        for (int ch = 0; ch < NUM_CHANNELS; ++ch) {
            const double v = PlotValue(ch, r.samples[s][ch], r.tempUnit, r.speedFactor);
            m_y[ch][s] = NarrowToFloat(f.bottom - (v - L0) * H / range);
        }
    }
    m_nColumnsLevel = 0;
}

void CLoggerGraph::DeriveLevel(int level, int count) {
    const LoggerFrame& f = m_frame;
    LoggerZoomRect r = m_zoomRect[level];
    if (r.x2 < r.x1) {
        std::swap(r.x1, r.x2);
    }
    if (r.y2 < r.y1) {
        std::swap(r.y1, r.y2);
    }
    const float W = f.right - f.left;
    const float H = f.bottom - f.top;
    const float dx = r.x2 - r.x1;
    const float dy = r.y2 - r.y1;
    const float* labels = m_fYLabel[level];
    float* next = m_fYLabel[level + 1];
    if (!(dx > 0.0f) || !(dy > 0.0f)) {
        // A rectangle without extent has no scale: the level shows what the one below shows.
        std::copy(labels, labels + Y_LABELS, next);
        return;
    }
    RescaleCoords(m_x.data(), std::size_t(count), f.left, r.x1, W, dx);
    for (auto& y : m_y) {
        RescaleCoords(y.data(), std::size_t(count), f.top, r.y1, H, dy);
    }
    const float L0 = labels[0];
    const float range = labels[Y_LABELS - 1] - L0;
    for (int i = 0; i < Y_LABELS; ++i) {
        next[i] = L0 + ((f.bottom - r.y2) + float(i) * dy / 10.0f) * range / H;
    }
}

void CLoggerGraph::FullView(const LoggerInputs& in, int count) {
    LoggerFrame& f = m_frame;
    f.traces.count = count;
    f.traces.x = m_x.data();
    for (int ch = 0; ch < NUM_CHANNELS; ++ch) {
        f.traces.y[ch] = m_y[ch].data();
        f.traces.shown[ch] = in.show[ch];
    }
    const int y = TruncToInt(f.bottom + float(FULL_VIEW_LABEL_BELOW));
    // A record of no samples ends where it starts.
    const long long last = std::max(count - 1, 0);
    f.timeLabels[0] = {TruncToInt(f.left), y, FormatClock(in.record.start)};
    f.timeLabels[1] = {TruncToInt(f.right - float(FULL_VIEW_END_LABEL_LEFT)), y,
                       FormatClock(in.record.start + Seconds(last, in.record.intervalSec))};
    f.timeLabelCount = 2;
}

void CLoggerGraph::ZoomMode(const LoggerInputs& in, int count) {
    LoggerFrame& f = m_frame;
    f.scroll.enabled = true;
    f.scroll.setRange = true;
    f.scroll.rangeMax = count;
    for (int level = 0; level < m_nZoomLevel; ++level) {
        DeriveLevel(level, count);
    }
    m_nColumnsLevel = m_nZoomLevel;
    const SampleColumns cols = Columns();
    if (!cols.Valid()) {
        return;  // fewer than two samples, or a scale without extent: nothing to place
    }
    const float d = cols.Dx();
    if (!m_bScrollSynced) {
        m_nFirstVisible = TruncToInt((f.left - cols.X0()) / d);
        f.scroll.setPosition = true;
        f.scroll.position = m_nFirstVisible;
        m_bScrollSynced = true;
    }
    const int first = m_nFirstVisible;
    const int interval = in.record.intervalSec;
    m_tmLabel[0] =
        in.record.start + Seconds(static_cast<long long>(first) - m_nScrollOffset, interval);

    const float W = f.right - f.left;
    const int across = TruncToInt(W / d);
    if (across <= 1) {
        for (int i = 0; i < LOGGER_TIME_LABELS; ++i) {
            const long long j = static_cast<long long>(first) + i;
            if (j < count) {
                f.sampleLineX[f.sampleLineCount++] = PixelCoord(cols.At(j));
            }
            m_nLabelIndex[i] = ClampToInt(j);
        }
    } else {
        const float part = across >= 4 ? 0.25f : across == 3 ? 1.0f / 3.0f : 0.5f;
        const int step = TruncToInt(W * part / d);
        const float x0 = cols.At(first);
        for (int i = 0; i < LOGGER_TIME_LABELS; ++i) {
            f.sampleLineX[f.sampleLineCount++] = PixelCoord(x0 + float(step * i) * d);
            m_nLabelIndex[i] = ClampToInt(first + static_cast<long long>(step) * i);
        }
    }
    for (int i = 0; i < LOGGER_TIME_LABELS; ++i) {
        m_tmLabel[i] =
            m_tmLabel[0] + Seconds(static_cast<long long>(m_nLabelIndex[i]) - first, interval);
    }

    // The offset slides the data under the fixed grid; a position beyond the stored
    // samples is extrapolated, never read.
    const long long offset = m_nScrollOffset;
    const long long points = std::min<long long>(count, count - offset);
    m_traceX.resize(std::size_t(std::max<long long>(points, 0)));
    for (std::size_t s = 0; s < m_traceX.size(); ++s) {
        m_traceX[s] = cols.At(static_cast<long long>(s) + offset);
    }
    f.traces.count = static_cast<int>(m_traceX.size());
    f.traces.x = m_traceX.data();
    for (int ch = 0; ch < NUM_CHANNELS; ++ch) {
        f.traces.y[ch] = m_y[ch].data();
        f.traces.shown[ch] = in.show[ch];
    }

    const int y = TruncToInt(f.bottom + float(ZOOM_LABEL_BELOW));
    for (int i = 0; i < LOGGER_TIME_LABELS; ++i) {
        if (m_nLabelIndex[i] >= count) {
            continue;
        }
        const float x = cols.At(m_nLabelIndex[i]);
        if (x >= f.left && x <= f.right) {
            f.timeLabels[f.timeLabelCount++] = {TruncToInt(x), y, FormatClock(m_tmLabel[i])};
        }
    }
}

void CLoggerGraph::Margins() {
    LoggerFrame& f = m_frame;
    const int top = TruncToInt(f.top);
    const int bottom = TruncToInt(f.bottom);
    const int left = TruncToInt(f.left);
    const int right = TruncToInt(f.right);
    const int band = LOGGER_TOOLBAR_BOTTOM;
    f.margins[0] = {0, band, f.width, top - band};
    f.margins[1] = {0, bottom + 1, f.width, f.height - bottom};
    f.margins[2] = {0, band, left, f.height - band};
    f.margins[3] = {right, band, f.width - right, f.height - band};
}

void CLoggerGraph::ValueLabels() {
    LoggerFrame& f = m_frame;
    const int level = m_bFullView ? 0 : m_nZoomLevel;
    const float H = f.bottom - f.top;
    for (int i = 0; i < Y_LABELS; ++i) {
        const float v = m_fYLabel[level][i];
        f.valueLabels[i] = {LoggerValueLabelX(f.left, v), PixelCoord(f.bottom - H * i * 0.1),
                            FormatFixed(v, 2)};
    }
}

}  // namespace qf

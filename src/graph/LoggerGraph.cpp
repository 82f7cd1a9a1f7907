#include "graph/LoggerGraph.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "graph/ClockText.h"
#include "store/ValueText.h"

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

DragArea DragAreaOf(const LoggerFrame& f) {
    const int left = TruncToInt(f.left);
    const int top = TruncToInt(f.top);
    DragArea a;
    a.corners = {left, top, std::max(TruncToInt(f.right), left),
                 std::max(TruncToInt(f.bottom), top)};
    a.moves = a.corners;
    // How far the mouse may leave the plot before a drag is given up.
    a.watch = {TruncToInt(std::floor(f.left)) - 50, TruncToInt(std::floor(f.top)) - 20,
               TruncToInt(std::ceil(f.right)) + 50, TruncToInt(std::ceil(f.bottom)) + 40};
    return a;
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
    m_core.Begin({f.left, f.top, f.right, f.bottom});

    Grid();
    f.bandBelow = {TruncToInt(f.left - BAND_BELOW_LEFT), TruncToInt(f.bottom + 1.0f),
                   TruncToInt(f.right), BAND_BELOW_HEIGHT};
    if (!in.hasRecord || !f.hasPlot) {
        return f;
    }
    f.drawRecord = true;
    const int count = in.record.samples ? std::clamp(in.record.count, 0, MAX_SAMPLES) : 0;
    m_core.SetLevelZeroLabels(in.yOffset, in.yGain);
    const float step = count > 1 ? (f.right - f.left) / float(count - 1) : 0.0f;
    GraphRecord r;
    if (in.record.samples) {
        r.samples = SampleView::SampleMajor(&in.record.samples[0][0], MAX_SAMPLES);
    }
    r.count = count;
    r.tempUnit = in.record.tempUnit;
    r.speedFactor = in.record.speedFactor;
    m_core.LevelZero(r, count, [&](int s) { return f.left + float(s) * step; });
    if (m_core.FullView()) {
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
    if (m_core.FullView()) {
        for (int i = 1; i <= LOGGER_FULL_GRID_COLUMNS; ++i) {
            f.gridX[f.gridXCount++] = PixelCoord(f.left + W * float(i) / 15.0f);
        }
    }
}

void CLoggerGraph::FullView(const LoggerInputs& in, int count) {
    LoggerFrame& f = m_frame;
    f.traces.count = count;
    f.traces.x = m_core.X();
    for (int ch = 0; ch < NUM_CHANNELS; ++ch) {
        f.traces.y[ch] = m_core.Y(ch);
        f.traces.shown[ch] = in.traces.Shown(ch);
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
    const bool placeThumb = !m_core.ScrollSynced();
    if (!m_core.ZoomMode(count, in.record.start, in.record.intervalSec)) {
        return;  // fewer than two samples, or a scale without extent: nothing to place
    }
    if (placeThumb) {
        f.scroll.setPosition = true;
        f.scroll.position = m_core.FirstVisible();
    }
    const SampleColumns cols = m_core.Columns();
    const float d = cols.Dx();
    const int first = m_core.FirstVisible();
    const int across = TruncToInt((f.right - f.left) / d);
    if (across <= 1) {
        for (int i = 0; i < LOGGER_TIME_LABELS; ++i) {
            const long long j = static_cast<long long>(first) + i;
            if (j < count) {
                f.sampleLineX[f.sampleLineCount++] = PixelCoord(cols.At(j));
            }
        }
    } else {
        const int step = m_core.LabelIndex(1) - first;
        const float x0 = cols.At(first);
        for (int i = 0; i < LOGGER_TIME_LABELS; ++i) {
            f.sampleLineX[f.sampleLineCount++] = PixelCoord(x0 + float(step * i) * d);
        }
    }

    f.traces.count = m_core.TraceCount();
    f.traces.x = m_core.TraceX();
    for (int ch = 0; ch < NUM_CHANNELS; ++ch) {
        f.traces.y[ch] = m_core.Y(ch);
        f.traces.shown[ch] = in.traces.Shown(ch);
    }

    const int y = TruncToInt(f.bottom + float(ZOOM_LABEL_BELOW));
    for (int i = 0; i < LOGGER_TIME_LABELS; ++i) {
        const int index = m_core.LabelIndex(i);
        if (index >= count) {
            continue;
        }
        const float x = cols.At(index);
        if (x >= f.left && x <= f.right) {
            f.timeLabels[f.timeLabelCount++] = {TruncToInt(x), y, FormatClock(m_core.LabelTime(i))};
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
    f.margins[4] = {0, 0, f.width, band};
}

void CLoggerGraph::ValueLabels() {
    LoggerFrame& f = m_frame;
    const float* labels = m_core.Labels(m_core.FullView() ? 0 : m_core.ZoomLevel());
    const float H = f.bottom - f.top;
    for (int i = 0; i < Y_LABELS; ++i) {
        const float v = labels[i];
        f.valueLabels[i] = {LoggerValueLabelX(f.left, v), PixelCoord(f.bottom - H * i * 0.1),
                            FormatFixed(v, 2)};
    }
}

}  // namespace qf

#include "graph/GraphCore.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "graph/Pixels.h"
#include "store/ValueText.h"
#include "store/YScale.h"

namespace qf {

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

std::array<float, Y_LABELS> LevelZeroLabels(int yOffset, int yGain) {
    const long long gain = EffectiveYGain(yGain);
    std::array<float, Y_LABELS> labels{};
    for (int i = 0; i < Y_LABELS; ++i) {
        labels[i] = static_cast<float>((static_cast<long long>(yOffset) + i) * gain);
    }
    return labels;
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

bool NearestSample(const SampleColumns& columns, int x, int originX, int scrollOffset,
                   int& sample) {
    if (!columns.Valid()) {
        return false;
    }
    const float x0 = columns.X0();
    const float dx = columns.Dx();
    const long long s = scrollOffset;
    long long n = TruncToInt((float(x) - x0 - float(originX)) / dx - float(scrollOffset));
    // Nearer the next column?
    const float left = float(x - originX) - columns.At(s + n);
    const float right = float(originX) + columns.At(s + n + 1) - float(x);
    if (left > right) {
        ++n;
    }
    sample = ClampToInt(n);
    return true;
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

CGraphCore::CGraphCore(const GraphPolicy& policy) : m_policy(&policy) {
    const auto capacity = std::size_t(std::max(policy.capacity, 2));
    for (auto* buf : {&m_x, &m_traceX}) {
        buf->reserve(capacity);
    }
    for (auto& buf : m_y) {
        buf.reserve(capacity);
    }
}

void CGraphCore::Begin(const PlotBox& plot) {
    m_plot = plot;
    m_nZoomLevel = std::clamp(m_nZoomLevel, 0, MAX_ZOOM_LEVEL);
    m_nColumnsLevel = -1;
    m_nScrollMax = 0;
}

void CGraphCore::SetLevelZeroLabels(int yOffset, int yGain) {
    const std::array<float, Y_LABELS> labels = LevelZeroLabels(yOffset, yGain);
    std::copy(labels.begin(), labels.end(), m_fYLabel[0]);
}

SampleColumns CGraphCore::Columns() const {
    if (m_nColumnsLevel != m_nZoomLevel) {
        return {};
    }
    return {m_x.data(), static_cast<int>(m_x.size())};
}

void CGraphCore::DeriveLevel(int level, int count) {
    const PlotBox& p = m_plot;
    const ZoomRect& r = m_zoomRect[level];
    float xA = r.x1, yA = r.y1, xB = r.x2, yB = r.y2;
    if (m_policy->rectAsFractions) {
        xA = NarrowToFloat(p.Width() * r.fx1 + p.left);
        xB = NarrowToFloat(p.Width() * r.fx2 + p.left);
        yA = NarrowToFloat(p.Height() * r.fy1 + p.top);
        yB = NarrowToFloat(p.Height() * r.fy2 + p.top);
    }
    if (xA > xB) {
        std::swap(xA, xB);
    }
    if (yA > yB) {
        std::swap(yA, yB);
    }
    const float w = xB - xA;
    const float h = yB - yA;
    const float* labels = m_fYLabel[level];
    float* next = m_fYLabel[level + 1];
    if (!(w > 0.0f) || !(h > 0.0f)) {
        // A rectangle that lost its extent (an extreme resize) has no scale: the level
        // shows what the one below shows.
        std::copy(labels, labels + Y_LABELS, next);
        return;
    }
    const float fromX = xA - p.left + OriginX();
    const float fromY = yA - p.top + OriginY();
    RescaleCoords(m_x.data(), m_x.size(), OriginX(), fromX, p.Width(), w);
    for (auto& buf : m_y) {
        RescaleCoords(buf.data(), std::size_t(count), OriginY(), fromY, p.Height(), h);
    }
    const float L0 = labels[0];
    const float range = labels[Y_LABELS - 1] - L0;
    for (int i = 0; i < Y_LABELS; ++i) {
        next[i] = NarrowToFloat(L0 + (float(i) * h * 0.1 + (p.bottom - yB)) * range / p.Height());
    }
}

bool CGraphCore::ZoomMode(int count, std::time_t start, long long intervalSec) {
    m_nScrollMax = count;
    if (!m_plot.HasArea()) {
        return false;
    }
    for (int level = 0; level < m_nZoomLevel; ++level) {
        DeriveLevel(level, count);
    }
    m_nColumnsLevel = m_nZoomLevel;
    const SampleColumns cols = Columns();
    if (!cols.Valid()) {
        m_nColumnsLevel = -1;
        return false;
    }
    const float x0 = cols.X0();
    const float dx = cols.Dx();
    if (!m_bScrollSynced) {
        m_nFirstVisible = TruncToInt((OriginX() - x0) / dx);
        m_bScrollSynced = true;
    }
    const int first = m_nFirstVisible;
    const long long s = m_nScrollOffset;
    m_tmLabel[0] = start + (static_cast<long long>(first) - s) * intervalSec;

    const float W = m_plot.Width();
    const int across = TruncToInt(W / dx);
    int step = 1;
    if (across > 1) {
        if (m_policy->wholePixelLabelSpacing) {
            const int w = TruncToInt(W);
            const int q = across >= 4 ? w / 4 : across == 3 ? w / 3 : w / 2;
            step = TruncToInt(float(q) / dx);
        } else {
            const float part = across >= 4 ? 0.25f : across == 3 ? 1.0f / 3.0f : 0.5f;
            step = TruncToInt(W * part / dx);
        }
    }
    for (int j = 0; j < TIME_LABELS; ++j) {
        m_nLabelIndex[j] = ClampToInt(first + static_cast<long long>(step) * j);
        m_tmLabel[j] =
            m_tmLabel[0] + (static_cast<long long>(m_nLabelIndex[j]) - first) * intervalSec;
    }

    if (m_policy->tracesOnColumnLine) {
        m_traceX.resize(std::size_t(count));
        for (int i = 0; i < count; ++i) {
            m_traceX[std::size_t(i)] = x0 + float(static_cast<long long>(i) + s) * dx;
        }
    } else {
        // The offset slides the data under the fixed grid; a position beyond the stored
        // samples is extrapolated, never read.
        const long long points = std::min<long long>(count, count - s);
        m_traceX.resize(std::size_t(std::max<long long>(points, 0)));
        for (std::size_t i = 0; i < m_traceX.size(); ++i) {
            m_traceX[i] = cols.At(static_cast<long long>(i) + s);
        }
    }
    return true;
}

void CGraphCore::SetCorner(ViewPoint p, float ZoomRect::*x, float ZoomRect::*y,
                           double ZoomRect::*fx, double ZoomRect::*fy) {
    ZoomRect& r = m_zoomRect[std::clamp(m_nZoomLevel, 0, MAX_ZOOM_LEVEL)];
    r.*x = float(p.x);
    r.*y = float(p.y);
    if (m_plot.HasArea()) {
        r.*fx = (double(p.x) - m_plot.left) / m_plot.Width();
        r.*fy = (double(p.y) - m_plot.top) / m_plot.Height();
    }
}

bool CGraphCore::AcceptZoom() {
    const int level = std::clamp(m_nZoomLevel, 0, MAX_ZOOM_LEVEL);
    const ZoomRect& r = m_zoomRect[level];
    float xA = r.x1, yA = r.y1, xB = r.x2, yB = r.y2;
    if (m_policy->orderDragCorners) {
        xA = std::min(r.x1, r.x2);
        xB = std::max(r.x1, r.x2);
        yA = std::min(r.y1, r.y2);
        yB = std::max(r.y1, r.y2);
    }
    const PlotBox& p = m_plot;
    const float L0 = m_fYLabel[level][0];
    const float range = m_fYLabel[level][Y_LABELS - 1] - L0;
    const float lo = L0 + (p.bottom - yB) * range / p.Height();
    const float next = NarrowToFloat(L0 + ((yB - yA) * 0.1 + (p.bottom - yB)) * range / p.Height());
    if (level < MAX_ZOOM_LEVEL) {
        m_fYLabel[level + 1][0] = lo;
        m_fYLabel[level + 1][1] = next;
    }
    // Fewer samples than pixels across, and a rectangle with width (one without would
    // divide by zero at every repaint).
    const SampleColumns cols = Columns();
    const bool usable = level < MAX_ZOOM_LEVEL && next - lo > MIN_LABEL_STEP && cols.Valid() &&
                        cols.Dx() < p.Width() && xB != xA;
    if (usable) {
        m_nZoomLevel = level + 1;
    }
    // Refused or not, the graph now stays on its current scale until the zoom is undone.
    m_bFullView = false;
    m_bScrollSynced = false;
    return usable;
}

void CGraphCore::ResetZoom() {
    m_bFullView = true;
    m_nZoomLevel = 0;
    m_nScrollOffset = 0;
}

int CGraphCore::OnScroll(ScrollCode code, int p) {
    if (code == ScrollCode::ThumbTrack) {
        m_bScrollSynced = true;
    }
    const ScrollMove move =
        ScrollGraph(code, p, m_nFirstVisible, m_nScrollOffset, VisibleSpan(), m_nScrollMax);
    m_nScrollOffset = move.offset;
    return move.position;
}

int CGraphCore::VisibleSpan() const {
    const SampleColumns cols = Columns();
    if (!cols.Valid() || !m_plot.HasArea()) {
        return 1;
    }
    return std::max(1, TruncToInt(m_plot.Width() / cols.Dx()));
}

bool CGraphCore::SampleAt(int x, int& sample) const {
    const int originX = m_policy->plotRelative ? TruncToInt(m_plot.left) : 0;
    return NearestSample(Columns(), x, originX, m_nScrollOffset, sample);
}

std::pair<int, int> CGraphCore::VisibleRange(int count) const {
    if (count < 1) {
        return {0, -1};
    }
    const SampleColumns cols = Columns();
    if (m_bFullView || !cols.Valid()) {
        return {0, count - 1};
    }
    const double left = m_policy->plotRelative ? 0.0 : m_plot.left;
    const double right = left + m_plot.Width();
    const double x0 = cols.X0();
    const double dx = cols.Dx();
    const double s = m_nScrollOffset;
    const double first = std::ceil((left - x0) / dx - s);
    const double last = std::floor((right - x0) / dx - s);
    const int lo = int(std::clamp(first, 0.0, double(count - 1)));
    const int hi = int(std::clamp(last, -1.0, double(count - 1)));
    return last < 0.0 || first > count - 1 ? std::pair{0, -1} : std::pair{lo, hi};
}

bool CGraphCore::SampleX(int sample, float& x) const {
    const SampleColumns cols = Columns();
    if (!cols.Valid()) {
        return false;
    }
    const float originX = m_policy->plotRelative ? m_plot.left : 0.0f;
    const long long k = static_cast<long long>(sample) + (m_bFullView ? 0 : m_nScrollOffset);
    if (!m_bFullView && m_policy->tracesOnColumnLine) {
        x = originX + cols.X0() + float(k) * cols.Dx();
    } else {
        x = originX + cols.At(k);
    }
    return std::isfinite(x);
}

std::size_t CGraphCore::MemoryBytes() const {
    std::size_t bytes = sizeof(*this);
    bytes += (m_x.capacity() + m_traceX.capacity()) * sizeof(float);
    for (const auto& buf : m_y) {
        bytes += buf.capacity() * sizeof(float);
    }
    return bytes;
}

}  // namespace qf

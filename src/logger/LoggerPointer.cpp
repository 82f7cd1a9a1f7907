#include "logger/LoggerPointer.h"

#include <algorithm>

#include "logger/LoggerReadout.h"
#include "view/CursorReadout.h"
#include "view/Pixels.h"

namespace qf {

namespace {

// How far the mouse may leave the plot before a drag is given up.
constexpr int WATCH_LEFT = 50;
constexpr int WATCH_RIGHT = 50;
constexpr int WATCH_ABOVE = 20;
constexpr int WATCH_BELOW = 40;
constexpr float MIN_LABEL_STEP = 0.1f;

}  // namespace

ViewPoint ClampToLoggerPlot(const LoggerFrame& f, ViewPoint p) {
    const int left = TruncToInt(f.left);
    const int top = TruncToInt(f.top);
    const int right = std::max(TruncToInt(f.right), left);
    const int bottom = std::max(TruncToInt(f.bottom), top);
    return {std::clamp(p.x, left, right), std::clamp(p.y, top, bottom)};
}

void CLoggerPointer::ButtonDown(CLoggerGraph& graph, ViewPoint p) {
    p = ClampToLoggerPlot(graph.Frame(), p);
    m_ptDragStart = p;
    m_ptDragLast = p;
    LoggerZoomRect& r = graph.m_zoomRect[std::clamp(graph.m_nZoomLevel, 0, MAX_ZOOM_LEVEL)];
    r.x1 = float(p.x);
    r.y1 = float(p.y);
    m_bDragging = true;
    m_bDragNoMove = true;
}

void CLoggerPointer::Move(const CLoggerGraph& graph, const LoggerRecordView& record,
                          bool hasRecord, ViewPoint p, LoggerSession& session) {
    if (!hasRecord) {
        return;
    }
    const LoggerFrame& f = graph.Frame();
    if (float(p.x) >= f.left && float(p.x) <= f.right + 1.0f) {
        // Absolute columns: the plot's left edge is already in them.
        int sample = -1;
        if (NearestSample(graph.Columns(), p.x, 0, graph.m_nScrollOffset, sample)) {
            m_nCursorSample = sample;
        } else {
            m_nCursorSample = -1;
        }
        m_nCursorX = p.x;
        m_bCursorFresh = false;
    }
    if (m_bDragging) {
        const ViewPoint c = ClampToLoggerPlot(f, p);
        if (c != m_ptDragStart) {
            m_bDragNoMove = false;
        }
        m_ptDragLast = c;
    }
    ReadOut(record, m_nCursorSample, session);
}

LoggerRelease CLoggerPointer::ButtonUp(CLoggerGraph& graph, bool hasRecord, ViewPoint p) {
    LoggerRelease out;
    const LoggerFrame& f = graph.Frame();
    p = ClampToLoggerPlot(f, p);
    const int z = std::clamp(graph.m_nZoomLevel, 0, MAX_ZOOM_LEVEL);
    LoggerZoomRect& r = graph.m_zoomRect[z];
    r.x2 = float(p.x);
    r.y2 = float(p.y);
    const bool moved = m_bDragging && !m_bDragNoMove;
    m_bDragging = false;
    if (!moved || !hasRecord) {
        return out;
    }
    const float W = f.right - f.left;
    const float H = f.bottom - f.top;
    const SampleColumns cols = graph.Columns();
    const bool narrow = cols.Valid() && cols.Dx() < W;
    bool steps = false;
    if (narrow && z < MAX_ZOOM_LEVEL) {
        // Press and release as they were, not reordered: a drag upward gives a negative
        // step and is refused.
        const float L0 = graph.m_fYLabel[z][0];
        const float range = graph.m_fYLabel[z][Y_LABELS - 1] - L0;
        float* next = graph.m_fYLabel[z + 1];
        next[0] = L0 + (f.bottom - r.y2) * range / H;
        next[1] = L0 + ((f.bottom - r.y2) + (r.y2 - r.y1) * 0.1f) * range / H;
        steps = next[1] - next[0] > MIN_LABEL_STEP;
    }
    // A rectangle without width would divide by zero at every repaint.
    if (steps && narrow && r.x1 != r.x2) {
        graph.m_nZoomLevel = z + 1;
        out.levelPushed = true;
    }
    graph.m_bFullView = false;
    graph.m_bScrollSynced = false;
    out.repaintNow = true;
    return out;
}

bool CLoggerPointer::Watch(const CLoggerGraph& graph, ViewPoint p) {
    if (!m_bDragging) {
        return false;
    }
    const LoggerFrame& f = graph.Frame();
    const bool away = float(p.x) <= f.left - WATCH_LEFT || float(p.x) >= f.right + WATCH_RIGHT ||
                      float(p.y) <= f.top - WATCH_ABOVE || float(p.y) >= f.bottom + WATCH_BELOW;
    if (!away) {
        return false;
    }
    m_bDragging = false;
    m_bDragNoMove = true;
    return true;
}

void CLoggerPointer::Reset() {
    m_bCursorFresh = true;
    m_bDragNoMove = true;
    m_bDragging = false;
}

}  // namespace qf

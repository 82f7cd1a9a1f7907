#include "view/ZoomState.h"

#include <algorithm>

namespace qf {

namespace {

// Corner pixels and plot fractions of a clamped point.
void SetCorner(const PlotGeometry& g, ViewPoint p, float& x, float& y, double& fx, double& fy) {
    x = float(p.x);
    y = float(p.y);
    fx = double(p.x - g.pL) / g.W;
    fy = double(p.y - g.pT) / g.H;
}

}  // namespace

BandRect SpannedBy(ViewPoint a, ViewPoint b) {
    return {std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y)};
}

bool CZoomDrag::ButtonDown(CGraphModel& model, const PlotGeometry& geo, int sampleIndex,
                           ViewPoint p) {
    // Without a plot area there is nothing to select, and no fraction to divide out.
    if (sampleIndex < 1 || !geo.HasArea()) {
        return false;
    }
    p = geo.ClampToPlot(p);
    ZoomRect& r = model.m_zoomRect[std::clamp(model.m_nZoomLevel, 0, MAX_ZOOM_LEVEL)];
    SetCorner(geo, p, r.xA, r.yA, r.fxA, r.fyA);
    m_ptDragStart = p;
    m_ptDragLast = p;
    m_bDragging = true;
    m_bDragNoMove = true;
    return true;
}

DragMove CZoomDrag::Move(const PlotGeometry& geo, int sampleIndex, ViewPoint p) {
    DragMove m;
    if (sampleIndex < 1 || !m_bDragging) {
        return m;
    }
    p = geo.ClampToCursor(p);
    m_bZoomDragActive = true;
    if (p != m_ptDragStart) {
        m.moved = true;
        m.from = SpannedBy(m_ptDragStart, m_ptDragLast);
        m.to = SpannedBy(m_ptDragStart, p);
        m_bDragNoMove = false;
    }
    m_ptDragLast = p;
    return m;
}

DragRelease CZoomDrag::ButtonUp(CGraphModel& model, const PlotGeometry& geo, int sampleIndex,
                                ViewPoint p) {
    DragRelease d;
    if (sampleIndex < 1 || !geo.HasArea()) {
        return d;
    }
    p = geo.ClampToPlot(p);
    const int level = std::clamp(model.m_nZoomLevel, 0, MAX_ZOOM_LEVEL);
    ZoomRect& r = model.m_zoomRect[level];
    SetCorner(geo, p, r.xB, r.yB, r.fxB, r.fyB);
    if (m_bDragging) {
        d.removeBand = true;
        d.band = SpannedBy(m_ptDragStart, m_ptDragLast);
        m_bDragging = false;
    }
    // The drag is over: the watch has nothing left to do, and the sampling tick repaints
    // again even after a press that moved only along a clamped edge.
    d.stopWatch = true;
    m_bZoomDragActive = false;
    if (m_bDragNoMove) {
        return d;  // a click without movement
    }

    const float xA = std::min(r.xA, r.xB);
    const float xB = std::max(r.xA, r.xB);
    const float yA = std::min(r.yA, r.yB);
    const float yB = std::max(r.yA, r.yB);
    const float L0 = model.m_fYLabel[level][0];
    const float range = model.m_fYLabel[level][Y_LABELS - 1] - L0;
    const float lo = L0 + (geo.pB - yB) * range / geo.H;
    const float next = NarrowToFloat(L0 + ((yB - yA) * 0.1 + (geo.pB - yB)) * range / geo.H);
    if (level < MAX_ZOOM_LEVEL) {
        model.m_fYLabel[level + 1][0] = lo;
        model.m_fYLabel[level + 1][1] = next;
    }
    // Ten divisions of more than 0.1 units each, at least two samples across the plot, and
    // a rectangle with width (a vertical drag would divide by zero on every repaint).
    const SampleColumns cols = model.Columns();
    const bool usable = level < MAX_ZOOM_LEVEL && next - lo > 0.1 && cols.Valid() &&
                        cols.Dx() < float(geo.W) && xB > xA;
    if (usable) {
        model.m_nZoomLevel = level + 1;
        d.levelPushed = true;
    }
    // Refused or not, the graph now stays on its current scale until UndoZoom.
    model.m_bFullView = false;
    model.m_bScrollSynced = false;
    m_bDragNoMove = true;
    d.repaintNow = true;
    return d;
}

bool CZoomDrag::Watch(const PlotGeometry& geo, ViewPoint c) {
    if (!m_bDragging) {
        return false;
    }
    const bool away =
        c.y <= geo.pT - 3 || c.x <= geo.pL - 50 || c.x >= geo.r - 20 || c.y >= geo.b - 131;
    if (!away) {
        return false;
    }
    m_bDragging = false;
    m_bZoomDragActive = false;
    m_bDragNoMove = true;  // the coming button-up does not zoom
    return true;
}

}  // namespace qf

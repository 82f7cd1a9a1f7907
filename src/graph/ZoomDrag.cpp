#include "graph/ZoomDrag.h"

#include <algorithm>

namespace qf {

BandRect SpannedBy(ViewPoint a, ViewPoint b) {
    return {std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y)};
}

ViewPoint ClampInto(const BandRect& r, ViewPoint p) {
    if (p.x < r.left) {
        p.x = r.left;
    }
    if (p.x > r.right) {
        p.x = r.right;
    }
    if (p.y < r.top) {
        p.y = r.top;
    }
    if (p.y > r.bottom) {
        p.y = r.bottom;
    }
    return p;
}

bool CZoomDrag::ButtonDown(CGraphCore& core, const DragArea& area, bool canZoom, ViewPoint p) {
    if (!canZoom) {
        return false;
    }
    p = ClampInto(area.corners, p);
    core.SetPress(p);
    m_ptDragStart = p;
    m_ptDragLast = p;
    m_bDragging = true;
    m_bDragNoMove = true;
    return true;
}

DragMove CZoomDrag::Move(const DragArea& area, bool canZoom, ViewPoint p) {
    DragMove m;
    if (!canZoom || !m_bDragging) {
        return m;
    }
    p = ClampInto(area.moves, p);
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

DragRelease CZoomDrag::ButtonUp(CGraphCore& core, const DragArea& area, bool canZoom, ViewPoint p) {
    DragRelease d;
    // The drag is over: the watch has nothing left to do, and the sampling tick repaints
    // again even after a press that moved only along a clamped edge.
    d.stopWatch = true;
    m_bZoomDragActive = false;
    if (!canZoom) {
        m_bDragging = false;
        m_bDragNoMove = true;
        return d;
    }
    core.SetRelease(ClampInto(area.corners, p));
    if (m_bDragging) {
        d.removeBand = true;
        d.band = SpannedBy(m_ptDragStart, m_ptDragLast);
        m_bDragging = false;
    }
    if (m_bDragNoMove) {
        return d;  // a click without movement
    }
    d.levelPushed = core.AcceptZoom();
    m_bDragNoMove = true;
    d.repaintNow = true;
    return d;
}

bool CZoomDrag::Watch(const DragArea& area, ViewPoint p) {
    if (!m_bDragging) {
        return false;
    }
    const BandRect& w = area.watch;
    const bool away = p.x <= w.left || p.x >= w.right || p.y <= w.top || p.y >= w.bottom;
    if (!away) {
        return false;
    }
    m_bDragging = false;
    m_bZoomDragActive = false;
    m_bDragNoMove = true;  // the coming button-up does not zoom
    return true;
}

void CZoomDrag::Reset() {
    m_bDragging = false;
    m_bDragNoMove = true;
    m_bZoomDragActive = false;
}

}  // namespace qf

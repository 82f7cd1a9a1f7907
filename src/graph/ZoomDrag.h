// A zoom selection by rubber band, the same for both graphs: the drag, its acceptance as a
// new zoom level by the graph core and its cancellation when the mouse wanders off. Where
// the band may go is the window's DragArea.
#pragma once

#include "graph/GraphCore.h"
#include "graph/ViewPoint.h"

namespace qf {

inline constexpr int DRAG_WATCH_MS = 10;

// A rectangle with left <= right and top <= bottom, edges included, in view coordinates.
struct BandRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    bool operator==(const BandRect&) const = default;
};

BandRect SpannedBy(ViewPoint a, ViewPoint b);

// Where a window lets a drag go.
struct DragArea {
    BandRect corners;  // press and release are clamped into it
    BandRect moves;    // and the band's moving corner into this
    BandRect watch;    // the mouse on or beyond an edge of it gives the drag up
};

// p within r, the lower bounds first: a window smaller than its margins yields the upper
// bound rather than an inverted clamp.
ViewPoint ClampInto(const BandRect& r, ViewPoint p);

struct DragMove {
    bool moved = false;  // erase the band `from`, draw the band `to`
    BandRect from;
    BandRect to;
};

struct DragRelease {
    bool removeBand = false;  // invert `band` once more
    BandRect band;
    bool stopWatch = false;    // the drag is over: stop the drag watch
    bool repaintNow = false;   // a completed drag: invalidate and update at once
    bool levelPushed = false;  // the rectangle became a new zoom level
};

class CZoomDrag {
public:
    // Left button down; `canZoom` when the graph has data and a plot. True when a drag
    // begins: start the drag watch every DRAG_WATCH_MS.
    bool ButtonDown(CGraphCore& core, const DragArea& area, bool canZoom, ViewPoint p);

    // Mouse move while a drag may be on screen.
    DragMove Move(const DragArea& area, bool canZoom, ViewPoint p);

    // Left button up: a moved drag leaves the full view and, when the core accepts the
    // rectangle, pushes a zoom level.
    DragRelease ButtonUp(CGraphCore& core, const DragArea& area, bool canZoom, ViewPoint p);

    // Drag watch tick with the mouse at `p`. True when the drag was given up: repaint at
    // once (which removes the band) and stop the watch.
    bool Watch(const DragArea& area, ViewPoint p);

    // Every return to the full view.
    void Reset();

    bool Dragging() const { return m_bDragging; }
    // The band on screen, if any.
    bool BandShown() const { return m_bDragging && !m_bDragNoMove; }
    BandRect Band() const { return SpannedBy(m_ptDragStart, m_ptDragLast); }
    // A drag moved since its press: the sampling tick does not repaint meanwhile.
    bool Active() const { return m_bZoomDragActive; }

private:
    bool m_bDragging = false;
    bool m_bDragNoMove = true;
    bool m_bZoomDragActive = false;
    ViewPoint m_ptDragStart;
    ViewPoint m_ptDragLast;
};

}  // namespace qf

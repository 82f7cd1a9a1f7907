// Zoom selection on the real-time graph: the rubber-band drag, its acceptance as a new zoom
// level and its cancellation when the mouse leaves the plot's neighbourhood.
#pragma once

#include "view/GraphModel.h"
#include "view/PlotGeometry.h"

namespace qf {

inline constexpr int DRAG_WATCH_MS = 10;

// A drag rectangle with left <= right and top <= bottom, in view coordinates.
struct BandRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    bool operator==(const BandRect&) const = default;
};

BandRect SpannedBy(ViewPoint a, ViewPoint b);

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
    // Left button down. True when a drag begins: start the drag watch every DRAG_WATCH_MS.
    bool ButtonDown(CGraphModel& model, const PlotGeometry& geo, int sampleIndex, ViewPoint p);

    // Mouse move while a drag may be on screen.
    DragMove Move(const PlotGeometry& geo, int sampleIndex, ViewPoint p);

    // Left button up: a moved drag leaves the full view and, when the rectangle is usable,
    // pushes a zoom level.
    DragRelease ButtonUp(CGraphModel& model, const PlotGeometry& geo, int sampleIndex, ViewPoint p);

    // Drag watch tick with the cursor in view coordinates. True when the drag was cancelled:
    // repaint at once (which removes the band) and stop the watch.
    bool Watch(const PlotGeometry& geo, ViewPoint cursor);

    bool m_bDragging = false;
    bool m_bDragNoMove = true;
    bool m_bZoomDragActive = false;  // the sampling tick does not repaint meanwhile
    ViewPoint m_ptDragStart;
    ViewPoint m_ptDragLast;
};

}  // namespace qf

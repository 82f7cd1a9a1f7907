// The mouse over the logger graph: the measuring cursor with its read-out, and the zoom
// drag shared with the real-time graph. Pure state: the window draws the cursor line and
// the band from it.
#pragma once

#include "graph/LoggerGraph.h"
#include "graph/ZoomDrag.h"

namespace qf {

struct LoggerSession;

inline constexpr int LOGGER_DRAG_WATCH_MS = DRAG_WATCH_MS;

class CLoggerPointer {
public:
    // Left button down: a drag starts (start the drag watch).
    void ButtonDown(CLoggerGraph& graph, bool hasRecord, ViewPoint p);

    // Mouse move; nothing without a record. Moves the cursor over the plot's columns,
    // the band while dragging, and reads out the sample under the cursor.
    void Move(const CLoggerGraph& graph, const LoggerRecordView& record, bool hasRecord,
              ViewPoint p, LoggerSession& session);

    // Left button up: a real drag leaves the full view and, when the rectangle is usable,
    // pushes a zoom level.
    DragRelease ButtonUp(CLoggerGraph& graph, bool hasRecord, ViewPoint p);

    // Drag watch tick with the mouse at `p`. True when the band was cancelled: repaint,
    // and stop the watch.
    bool Watch(const CLoggerGraph& graph, ViewPoint p);

    // After a repaint that moved the columns (zoom, scroll): the read-out is that of the
    // sample now under the line, or none where no sample is. With cursor B set, the line
    // stays on its sample instead, as B's does.
    void Follow(const CLoggerGraph& graph, const LoggerRecordView& record, LoggerSession& session);

    // Every return to the full view.
    void Reset();

    bool BandShown() const { return m_drag.BandShown(); }
    BandRect Band() const { return m_drag.Band(); }

    // Cursor B at the sample under x, one of the record's `count`; false when it did not move.
    bool PlaceB(const CLoggerGraph& graph, int x, int count);
    void ClearB() { m_nCursorB = -1; }
    int CursorB() const { return m_nCursorB; }

    bool CursorShown() const { return !m_bCursorFresh; }
    int CursorX() const { return m_nCursorX; }
    int CursorSample() const { return m_nCursorSample; }

private:
    CZoomDrag m_drag;
    bool m_bCursorFresh = true;  // no cursor line on screen
    int m_nCursorX = 0;
    int m_nCursorSample = -1;
    int m_nCursorB = -1;
};

}  // namespace qf

// The mouse over the logger graph: the measuring cursor with its read-out, the rubber
// band and its acceptance as a zoom level, and the band's cancellation when the mouse
// wanders off. Pure state: the window draws the cursor line and the band from it.
#pragma once

#include "logger/LoggerGraph.h"
#include "view/PlotGeometry.h"
#include "view/ZoomState.h"

namespace qf {

struct LoggerSession;

inline constexpr int LOGGER_DRAG_WATCH_MS = 10;

struct LoggerRelease {
    bool repaintNow = false;   // a real drag ended: repaint at once
    bool levelPushed = false;  // ... and it became a new zoom level
};

class CLoggerPointer {
public:
    // Left button down: a drag starts (start the drag watch).
    void ButtonDown(CLoggerGraph& graph, ViewPoint p);

    // Mouse move; nothing without a record. Moves the cursor over the plot's columns,
    // the band while dragging, and reads out the sample under the cursor.
    void Move(const CLoggerGraph& graph, const LoggerRecordView& record, bool hasRecord,
              ViewPoint p, LoggerSession& session);

    // Left button up: a real drag leaves the full view and, when the rectangle is usable,
    // pushes a zoom level.
    LoggerRelease ButtonUp(CLoggerGraph& graph, bool hasRecord, ViewPoint p);

    // Drag watch tick with the mouse at `p`. True when the band was cancelled: repaint,
    // and stop the watch.
    bool Watch(const CLoggerGraph& graph, ViewPoint p);

    // Every return to the full view.
    void Reset();

    // The band on screen, if any.
    bool BandShown() const { return m_bDragging && !m_bDragNoMove; }
    BandRect Band() const { return SpannedBy(m_ptDragStart, m_ptDragLast); }

    bool m_bDragging = false;
    bool m_bDragNoMove = true;
    ViewPoint m_ptDragStart;
    ViewPoint m_ptDragLast;
    bool m_bCursorFresh = true;  // no cursor line on screen
    int m_nCursorX = 0;
    int m_nCursorSample = -1;
};

// A point clamped to the plot's whole pixels.
ViewPoint ClampToLoggerPlot(const LoggerFrame& f, ViewPoint p);

}  // namespace qf

#include "graph/LoggerPointer.h"

#include "graph/LoggerReadout.h"
#include "graph/Pixels.h"

namespace qf {

void CLoggerPointer::ButtonDown(CLoggerGraph& graph, bool hasRecord, ViewPoint p) {
    m_drag.ButtonDown(graph.Core(), DragAreaOf(graph.Frame()), hasRecord, p);
}

void CLoggerPointer::Move(const CLoggerGraph& graph, const LoggerRecordView& record, bool hasRecord,
                          ViewPoint p, LoggerSession& session) {
    if (!hasRecord) {
        return;
    }
    const LoggerFrame& f = graph.Frame();
    if (float(p.x) >= f.left && float(p.x) <= f.right + 1.0f) {
        int sample = -1;
        m_nCursorSample = graph.Core().SampleAt(p.x, sample) ? sample : -1;
        m_nCursorX = p.x;
        m_bCursorFresh = false;
    }
    m_drag.Move(DragAreaOf(f), hasRecord, p);
    ReadOut(record, m_nCursorSample, session);
}

DragRelease CLoggerPointer::ButtonUp(CLoggerGraph& graph, bool hasRecord, ViewPoint p) {
    return m_drag.ButtonUp(graph.Core(), DragAreaOf(graph.Frame()), hasRecord, p);
}

bool CLoggerPointer::Watch(const CLoggerGraph& graph, ViewPoint p) {
    return m_drag.Watch(DragAreaOf(graph.Frame()), p);
}

void CLoggerPointer::Follow(const CLoggerGraph& graph, const LoggerRecordView& record,
                            LoggerSession& session) {
    if (m_bCursorFresh) {
        return;
    }
    const LoggerFrame& f = graph.Frame();
    float x = 0.0f;
    if (m_nCursorB >= 0 && m_nCursorSample >= 0 && graph.Core().SampleX(m_nCursorSample, x) &&
        x >= f.left && x <= f.right + 1.0f) {
        m_nCursorX = TruncToInt(x);
        return;
    }
    int sample = -1;
    if (graph.Core().SampleAt(m_nCursorX, sample) && sample >= 0 && sample < record.count) {
        m_nCursorSample = sample;
        ReadOut(record, sample, session);
    } else {
        m_nCursorSample = -1;
        ClearReadout(session);
    }
}

bool CLoggerPointer::PlaceB(const CLoggerGraph& graph, int x, int count) {
    int sample = -1;
    if (!graph.Core().SampleAt(x, sample) || sample < 0 || sample >= count ||
        sample == m_nCursorB) {
        return false;
    }
    m_nCursorB = sample;
    return true;
}

void CLoggerPointer::Reset() {
    m_nCursorB = -1;
    m_bCursorFresh = true;
    m_drag.Reset();
}

}  // namespace qf

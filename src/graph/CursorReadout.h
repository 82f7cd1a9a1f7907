// The status-bar read-out of the sample under the mouse on the real-time graph.
#pragma once

#include <string>

#include "graph/GraphModel.h"
#include "store/DisplayUnits.h"
#include "store/QFConstants.h"
#include "store/Recording.h"

namespace qf {

// Pane 1: "time:" and the sample's local time.
std::string ReadoutTimeText(std::time_t start, int intervalMs, int sample);

// Pane 2: the five readings of one sample in the display units.
std::string ReadoutValuesText(const float (*samples)[MAX_SAMPLES], int sample,
                              const DisplayUnits& units);

struct CursorReadout {
    bool m_bHasSample = false;  // m_nCursorSample was computed
    int m_nCursorSample = 0;
    bool m_bHasTexts = false;  // the sample is a committed one: write both panes
    std::string m_strTime;
    std::string m_strValues;
};

// A mouse move over the graph at view x: nothing before the first committed sample.
CursorReadout ReadCursor(const CGraphModel& model, const PlotGeometry& geo, int x,
                         const float (*samples)[MAX_SAMPLES], const RecordingState& live,
                         const DisplayUnits& units);

}  // namespace qf

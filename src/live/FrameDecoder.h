// One receive chunk of the meter, taken along the live path: a valid frame becomes a
// reading, which starts a pending recording, sets the display units, the meter panel's
// texts, the current sample slot of the document and the readings' extremes and alarms.
// Each step is a pure function or its state's own operation; this only calls them in order.
#pragma once

#include <cstddef>
#include <cstdint>
#include <ctime>

#include "link/LiveReading.h"

namespace qf {

class CQFDoc;
class CReadingsLogic;
class CRecording;
struct DisplayUnits;
struct PanelState;

// The state one chunk updates, each part with its own writer.
struct LiveTargets {
    CQFDoc& doc;
    CRecording& recording;
    DisplayUnits& units;
    PanelState& panel;
    CReadingsLogic& readings;
};

// What changed with a chunk.
struct DecodeOutcome {
    bool valid = false;             // units, panel texts, sample slot and extremes
    bool recordingStarted = false;  // a pending recording began
    bool alarmsChanged = false;     // an alarm flag changed
    bool recordingEnded = false;    // the sample index stands at the record limit
};

class CFrameDecoder {
public:
    DecodeOutcome OnReceive(LiveTargets& t, const std::uint8_t* data, std::size_t size,
                            std::time_t now);

    std::uint8_t m_nIrtSettle = IRT_SETTLED;
};

}  // namespace qf

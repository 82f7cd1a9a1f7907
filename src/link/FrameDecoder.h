// Decodes one receive chunk of the meter into the document, the display units, the
// meter panel's text slots and the readings bar. The only consumer of meter data.
#pragma once

#include <cstddef>
#include <cstdint>
#include <ctime>
#include <string>

#include "link/LiveState.h"

namespace qf {

class CQFDoc;
class CReadingsLogic;
struct PanelState;

// The state the decoder writes, each part owned by its window.
struct DecoderTargets {
    CQFDoc& doc;
    ViewLiveState& view;
    MainLinkState& frame;
    PanelState& panel;
    std::string& battery;  // the real-time bar's battery text
    CReadingsLogic& readings;
};

// What the caller has to do after a chunk.
struct DecodeOutcome {
    bool valid = false;             // refresh the bars, repaint the LCD
    bool recordingStarted = false;  // a pending recording began: redraw all views
    bool alarmsChanged = false;     // an alarm flag changed: repaint the readings bar
    bool recordingEnded = false;    // the sample index reached the record limit
};

inline constexpr const char* BATTERY_LOW = "Low";
inline constexpr const char* BATTERY_NORMAL = "Normal";

class CFrameDecoder {
public:
    // One receive event: the chunk of bytes read, and the time it was taken.
    DecodeOutcome OnReceive(DecoderTargets& t, const std::uint8_t* data, std::size_t size,
                            std::time_t now);

    // Blanks the first two valid IRT readings after an under-range spell. Starts at 2,
    // so the very first reading is kept.
    std::uint8_t m_nIrtSettle = 2;

private:
    void DecodeValid(DecoderTargets& t, const std::uint8_t* f, std::time_t now, DecodeOutcome& out);
};

}  // namespace qf

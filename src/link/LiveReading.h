// One valid live frame as values: the five readings as the document stores them, the
// numbers the meter's display shows and the flag bytes. Decoding is pure but for the
// IRT settle counter the caller keeps between frames.
#pragma once

#include <cstdint>

#include "store/DisplayUnits.h"

namespace qf {

struct LiveReading {
    std::uint8_t a = 0, b = 0, c = 0, d = 0, e = 0;  // flag bytes
    // Stored values: Celsius and m/s, NO_VALUE where the frame has no reading.
    float airT = 0.0f;
    float irt = 0.0f;
    float airV = 0.0f;
    float cfm = 0.0f;
    float cmm = 0.0f;
    // What the display shows, as sent.
    float upper = 0.0f;
    float upper2 = 0.0f;
    float main = 0.0f;
    std::uint8_t areaCode = 0;

    bool Infrared() const;
    bool Area() const;
    bool Flow() const;  // the main display shows CFM or CMM
};

// Blanks the first two valid IRT readings after an under-range spell. Starts at 2, so
// the very first reading is kept.
inline constexpr std::uint8_t IRT_SETTLED = 2;

// `frame` holds a whole valid frame (IsValidFrame).
LiveReading DecodeReading(const std::uint8_t* frame, std::uint8_t& irtSettle);

// The display units a frame announces; later flags win, and a main-display unit sets
// m/s while the speed unit is still unknown.
void ApplyFrameUnits(const LiveReading& r, DisplayUnits& units);

}  // namespace qf

// Fit Y: the gain and offset, from the Y axis dialog's own lists, with the smallest range that
// shows every value given.
#pragma once

#include <optional>

#include "analysis/SpanStatistics.h"
#include "live/GraphDisplayState.h"

namespace qf {

// Positions in Y_GAIN_CHOICES and Y_OFFSET_CHOICES, as the Y axis dialog gives them.
struct YAxisChoice {
    int gainPos = -1;
    int offsetPos = -1;
};

// The choice whose labels (offset + i) x gain, i = 0..10, hold lo..hi with the smallest
// range; among equals, one that does not cross zero for values of one sign, then the values
// centred best. Nothing when no choice holds them.
std::optional<YAxisChoice> FitYAxis(double lo, double hi);

// The same for every value of the shown traces in the statistics; nothing without one.
std::optional<YAxisChoice> FitYAxis(const SpanStatistics& stats, const TraceFlags& traces);

}  // namespace qf

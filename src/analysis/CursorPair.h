// The read-out of two cursors: their times, the time between them, and for each shown
// channel the value at A, at B and B - A, in the record's display units.
#pragma once

#include <string>
#include <vector>

#include "live/GraphDisplayState.h"
#include "store/StoredRecord.h"

namespace qf {

struct CursorPairRow {
    std::string name;  // "AirT", ...
    std::string a;     // value with its unit, "----" without a reading
    std::string b;
    std::string delta;  // signed, with its unit; empty when either reading is missing
};

struct CursorPairTexts {
    std::string timeA;  // clock times
    std::string timeB;
    std::string deltaT;  // "5 s", "1:05 (65 s)", signed when B is before A
    std::vector<CursorPairRow> rows;
};

// Samples a and b of `record` (either may lie outside it: its values read "----").
CursorPairTexts ReadCursorPair(const StoredRecord& record, int a, int b, const TraceFlags& traces);

// Seconds as "5 s" below a minute, else "M:SS (N s)" or "H:MM:SS (N s)"; a minus sign first
// when negative.
std::string DurationText(long long seconds);

}  // namespace qf

// One recording as a data file holds it. The document's file area, each row of the logger's
// record table and the tool all hold this one type, so a record is copied by one assignment.
#pragma once

#include <array>
#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

#include "store/QFConstants.h"
#include "store/Settings.h"

namespace qf {

// The start as the file gives it, local time, any values: a file may hold month 13.
struct StartFields {
    int year = 0;
    int month = 0;
    int day = 0;
    int hour = 0;
    int minute = 0;
    int second = 0;
};

using StoredSample = std::array<float, NUM_CHANNELS>;

struct StoredRecord {
    int count = 0;                      // as the file says, within 0..MAX_SAMPLES
    std::vector<StoredSample> samples;  // sample-major, bit for bit as in the file
    std::uint8_t tempUnit = 0;          // 0 Celsius, 1 Fahrenheit; samples are in Celsius
    std::uint8_t speedUnit = 0;
    StartFields startFields;
    std::time_t start = 0;  // startFields as local time, taken when the file is read
    int intervalSec = 0;
    float speedFactor = 0.0f;  // m/s to the speed unit
    std::string tempUnitText;
    std::string speedUnitText;
    int yGain = DEFAULT_Y_GAIN;  // the logger graph's Y scale
    int yOffset = DEFAULT_Y_OFFSET;
};

// The start fields as local time; the system decides on daylight saving.
std::time_t StartTime(const StartFields& fields);

}  // namespace qf

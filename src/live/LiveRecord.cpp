#include "live/LiveRecord.h"

#include <algorithm>
#include <ctime>

namespace qf {

void LiveStoredRecord(const CQFDoc& doc, const RecordingState& live, const DisplayUnits& units,
                      StoredRecord& into) {
    const int count = std::clamp(live.m_nSampleIndex, 0, MAX_SAMPLES);
    into.count = count;
    into.samples.resize(std::size_t(count));
    for (int i = 0; i < count; ++i) {
        for (int c = 0; c < NUM_CHANNELS; ++c) {
            into.samples[std::size_t(i)][c] = doc.m_liveSamples[c][i];
        }
    }
    into.tempUnit = static_cast<std::uint8_t>(units.m_nTempUnit);
    into.speedUnit = static_cast<std::uint8_t>(units.m_nSpeedUnit);
    into.start = live.m_tmStart;
    std::tm local{};
    if (localtime_r(&into.start, &local) != nullptr) {
        into.startFields = {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
                            local.tm_hour,        local.tm_min,     local.tm_sec};
    }
    into.intervalSec = live.m_nIntervalMs / 1000;
    into.speedFactor = units.m_fSpeedFactor;
    into.tempUnitText = units.m_strTempUnit;
    into.speedUnitText = units.m_strSpeedUnit;
}

}  // namespace qf

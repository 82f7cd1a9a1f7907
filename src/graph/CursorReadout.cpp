#include "graph/CursorReadout.h"

#include <algorithm>

#include "graph/ClockText.h"
#include "graph/Pixels.h"
#include "store/TextExport.h"

namespace qf {

namespace {

constexpr char GROUP_GAP[] = "    ";
constexpr char MISSING[] = "----";

std::string TemperatureReadout(float celsius, int tempUnit, bool irt) {
    if (IsMissingTemperature(celsius)) {
        return MISSING;
    }
    return TemperatureText(celsius, tempUnit, irt) + (tempUnit == 1 ? " F" : " C");
}

}  // namespace

std::string ReadoutTimeText(std::time_t start, int intervalMs, int sample) {
    // 64-bit product: a long interval times a late sample overflows 32 bits.
    const long long offset = static_cast<long long>(intervalMs) * sample / 1000;
    return STATUS_TIME_HEADER + FormatClock(start + offset);
}

std::string ReadoutValuesText(const float (*samples)[MAX_SAMPLES], int n,
                              const DisplayUnits& units) {
    const float airV = samples[CH_AIRV][n];
    // The unit follows the number as plain text, never as part of a format.
    const std::string speed = IsMissingSpeed(airV)
                                  ? MISSING
                                  : SpeedText(airV, units.m_fSpeedFactor) + units.m_strSpeedUnit;
    std::string out;
    out.reserve(96);
    out.append("AirT:").append(TemperatureReadout(samples[CH_AIRT][n], units.m_nTempUnit, false));
    out.append(GROUP_GAP).append("IRT:");
    out.append(TemperatureReadout(samples[CH_IRT][n], units.m_nTempUnit, true));
    out.append(GROUP_GAP).append("AirV:").append(speed);
    out.append(GROUP_GAP).append("CFM:").append(FlowText(samples[CH_CFM][n]));
    out.append(GROUP_GAP).append("CMM:").append(FlowText(samples[CH_CMM][n]));
    return out;
}

CursorReadout ReadCursor(const CGraphModel& model, const PlotGeometry& geo, int x,
                         const float (*samples)[MAX_SAMPLES], const RecordingState& live,
                         const DisplayUnits& units) {
    CursorReadout r;
    if (live.m_nSampleIndex < 1 || samples == nullptr) {
        return r;
    }
    const int cx = geo.ClampToCursor({x, geo.pT}).x;
    r.m_bHasSample =
        NearestSample(model.Columns(), cx, geo.pL, model.Core().ScrollOffset(), r.m_nCursorSample);
    const int count = std::min(live.m_nSampleIndex, MAX_SAMPLES);
    if (!r.m_bHasSample || r.m_nCursorSample < 0 || r.m_nCursorSample >= count) {
        return r;
    }
    r.m_bHasTexts = true;
    r.m_strTime = ReadoutTimeText(live.m_tmStart, live.m_nIntervalMs, r.m_nCursorSample);
    r.m_strValues = ReadoutValuesText(samples, r.m_nCursorSample, units);
    return r;
}

}  // namespace qf

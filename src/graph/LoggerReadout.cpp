#include "graph/LoggerReadout.h"

#include "graph/ClockText.h"
#include "store/TextExport.h"

namespace qf {

namespace {

constexpr char FORMATTED_MISSING[] = "----";

}  // namespace

void ReadOut(const LoggerRecordView& record, int sample, LoggerSession& session) {
    if (record.samples == nullptr || sample < 0 || sample >= record.count) {
        return;
    }
    const float* v = record.samples[sample].data();
    auto& out = session.m_strReadout;
    out[CH_AIRT] = TemperatureText(v[CH_AIRT], record.tempUnit, false);
    out[CH_IRT] = TemperatureText(v[CH_IRT], record.tempUnit, true);
    out[CH_AIRV] = SpeedText(v[CH_AIRV], record.speedFactor);
    out[CH_CFM] = FlowText(v[CH_CFM]);
    out[CH_CMM] = FlowText(v[CH_CMM]);
    session.m_strReadoutTime =
        FormatClock(record.start + static_cast<long long>(sample) * record.intervalSec);
}

void ClearReadout(LoggerSession& session) {
    for (auto& text : session.m_strReadout) {
        text.clear();
    }
    session.m_strReadoutTime.clear();
}

std::string ReadoutShown(const std::string& value, const std::string& unit) {
    if (value == FORMATTED_MISSING) {
        return READOUT_MISSING;
    }
    return value + unit;
}

}  // namespace qf

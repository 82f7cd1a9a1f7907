#include "live/LiveModel.h"

#include "store/CQFDoc.h"
#include "store/QFConstants.h"

namespace qf {

DecodeOutcome CLiveModel::OnReceive(const std::uint8_t* data, std::size_t size, std::time_t now) {
    LiveTargets targets{m_doc, m_recording, m_units, m_panel, m_readings};
    const DecodeOutcome out = m_decoder.OnReceive(targets, data, size, now);
    Notify(LIVE_CHUNK | (out.valid ? LIVE_FRAME : 0u) |
           (out.recordingStarted ? LIVE_RECORDING_STARTED : 0u) |
           (out.alarmsChanged ? LIVE_ALARMS : 0u) |
           (out.recordingEnded ? LIVE_RECORDING_ENDED : 0u));
    return out;
}

void CLiveModel::Run(const int* acceptedSeconds) {
    m_recording.Run(acceptedSeconds);
    Notify(LIVE_RUN | (acceptedSeconds != nullptr ? LIVE_INTERVAL : 0u));
}

void CLiveModel::Stop() {
    m_recording.Stop();
    Notify(LIVE_STOP);
}

bool CLiveModel::OnSamplingTick() {
    const bool committed = m_recording.OnSamplingTick();
    if (committed) {
        Notify(LIVE_SAMPLE);
    }
    return committed;
}

bool CLiveModel::OnSamplingTickWithoutLink() {
    const int slot = m_recording.State().m_nSampleIndex;
    if (!m_recording.CommitMissingSample()) {
        return false;
    }
    m_doc.StoreLiveSample(slot, {NO_VALUE, NO_VALUE, NO_VALUE, NO_VALUE, NO_VALUE});
    Notify(LIVE_SAMPLE);
    return true;
}

void CLiveModel::OnLinkLost() {
    m_recording.OnLinkLost();
    const bool alarms = m_readings.ClearAlarms();
    Notify(LIVE_LINK_LOST | (alarms ? LIVE_ALARMS : 0u));
}

}  // namespace qf

// The live recording's bookkeeping, with one writer: every flag, the start time, the
// interval and the sample index change only through the named operations below, in the
// order the meter link, the commands and the sampling tick call them.
#pragma once

#include <ctime>

namespace qf {

// The longest interval whose milliseconds still fit the interval field.
inline constexpr int MAX_INTERVAL_SEC = 2147483;

struct RecordingState {
    bool m_bStartPending = false;  // Run was accepted; the next valid frame starts
    bool m_bRecording = false;
    bool m_bStopped = true;
    bool m_bHasGraphData = false;  // Run asks to save what the graph holds
    int m_nSampleIndex = 0;        // samples committed; the slot the next frame writes
    std::time_t m_tmStart = 0;
    int m_nIntervalMs = 1000;
    bool m_bNewFrame = false;       // a valid frame since the last committed sample
    bool m_bLiveIdle = false;       // frames arrive and nothing records: Run is enabled
    bool m_bLiveRecording = false;  // Stop is enabled
    bool m_bLinkLost = false;       // the watchdog found the meter silent
    bool m_bRecordTick = false;     // a sample was committed and the graph not yet redrawn
};

class CRecording {
public:
    const RecordingState& State() const { return m_state; }

    // Run: `acceptedSeconds` when the sample rate dialog ended with OK (clamped to
    // 1..MAX_INTERVAL_SEC), nothing when it was cancelled.
    void Run(const int* acceptedSeconds);
    void Stop();

    // A valid frame arrived at `now`; true when it started a pending recording.
    bool OnValidFrame(std::time_t now);
    // After every receive chunk: the recording ends at the record limit. True when it
    // ended (again) here.
    bool CheckRecordLimit();
    // The sampling tick: commits the slot the last frame wrote. True when it did.
    bool OnSamplingTick();
    // The sampling tick of a recording that goes on while the link is lost (the tool's
    // record, which ends only when told): commits the slot as a sample without a value, so
    // that the samples after the gap keep their times. True when it did.
    bool CommitMissingSample();
    // The watchdog found no frame since its last tick.
    void OnLinkLost();
    // The graph drew the committed sample.
    void ClearRecordTick() { m_state.m_bRecordTick = false; }

    // For tests and benchmarks only: any state, e.g. a recording of 5000 samples or an
    // interval of milliseconds.
    void Preset(const RecordingState& state) { m_state = state; }

private:
    RecordingState m_state;
};

}  // namespace qf

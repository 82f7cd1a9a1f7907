// Everything the meter's frames and the recording commands change, with one way in for
// each change and one notification out: the windows are told what changed and read the
// parts they show. The program holds one; the tool, tests and benchmarks make their own.
#pragma once

#include <cstddef>
#include <cstdint>
#include <ctime>
#include <functional>

#include "live/FrameDecoder.h"
#include "live/PanelState.h"
#include "live/ReadingsLogic.h"
#include "store/DisplayUnits.h"
#include "store/Recording.h"

namespace qf {

class CQFDoc;

// What a notification is about; several may come together.
enum LiveChange : unsigned {
    LIVE_FRAME = 1u << 0,              // a valid frame: units, panel, slot, extremes
    LIVE_RECORDING_STARTED = 1u << 1,  // a pending recording began with this frame
    LIVE_ALARMS = 1u << 2,             // an alarm flag changed
    LIVE_RECORDING_ENDED = 1u << 3,    // the record limit stopped the recording
    LIVE_SAMPLE = 1u << 4,             // the sampling tick committed a sample
    LIVE_RUN = 1u << 5,                // Run was chosen, accepted or not
    LIVE_INTERVAL = 1u << 9,           // Run's dialog was accepted: a new interval
    LIVE_STOP = 1u << 6,               // Stop took effect
    LIVE_LINK_LOST = 1u << 7,          // the meter fell silent
    LIVE_CHUNK = 1u << 8,              // a receive chunk was taken, valid or not
};

class CLiveModel {
public:
    using Observer = std::function<void(unsigned changes)>;

    explicit CLiveModel(CQFDoc& doc) : m_doc(doc) {}
    CLiveModel(const CLiveModel&) = delete;
    CLiveModel& operator=(const CLiveModel&) = delete;

    // One observer, told after every change.
    void SetObserver(Observer observer) { m_observer = std::move(observer); }

    // One receive chunk of the link, taken at `now`.
    DecodeOutcome OnReceive(const std::uint8_t* data, std::size_t size, std::time_t now);
    // The recording commands and the sampling tick; see CRecording.
    void Run(const int* acceptedSeconds);
    void Stop();
    bool OnSamplingTick();
    // The sampling tick while the link is lost and the recording goes on (the tool's
    // record): a sample with no value in every channel; see CRecording.
    bool OnSamplingTickWithoutLink();
    void OnLinkLost();
    void ClearRecordTick() { m_recording.ClearRecordTick(); }

    CQFDoc& Doc() { return m_doc; }
    const CQFDoc& Doc() const { return m_doc; }
    const RecordingState& Recording() const { return m_recording.State(); }
    const DisplayUnits& Units() const { return m_units; }
    const PanelState& Panel() const { return m_panel; }
    // The limits are edited through the logic's own operations.
    CReadingsLogic& Readings() { return m_readings; }
    const CReadingsLogic& Readings() const { return m_readings; }
    CFrameDecoder& Decoder() { return m_decoder; }

    // For tests and benchmarks; see CRecording::Preset.
    CRecording& RecordingForTest() { return m_recording; }

private:
    void Notify(unsigned changes) const {
        if (m_observer && changes != 0) {
            m_observer(changes);
        }
    }

    CQFDoc& m_doc;
    CRecording m_recording;
    DisplayUnits m_units;
    PanelState m_panel;
    CReadingsLogic m_readings;
    CFrameDecoder m_decoder;
    Observer m_observer;
};

}  // namespace qf

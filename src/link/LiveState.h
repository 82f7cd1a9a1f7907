// Plain state that the live frame decoder, the link and the windows share. Each struct
// is owned by the window named in it; the decoder receives references to all of them.
#pragma once

#include <array>
#include <ctime>
#include <string>

namespace qf {

inline constexpr int SPEED_UNIT_UNKNOWN = 10;

// Display units, set only by the frame decoder.
struct DisplayUnits {
    int m_nTempUnit = 0;  // 0 Celsius, 1 Fahrenheit
    std::string m_strTempUnit;
    int m_nSpeedUnit = SPEED_UNIT_UNKNOWN;  // 0 m/s, 1 ft/min, 2 km/h, 3 MPH, 4 knots
    std::string m_strSpeedUnit;
    float m_fSpeedFactor = 1.0f;  // m/s to the speed unit
};

// Recording bookkeeping held by the view.
struct ViewLiveState {
    DisplayUnits units;
    int m_nSampleIndex = 0;
    std::time_t m_tmStart = 0;
    int m_nIntervalMs = 1000;
    bool m_bNewFrame = false;
    bool m_bLiveIdle = false;
    bool m_bLiveRecording = false;
    bool m_bLinkLost = false;
    bool m_bRecordTick = false;
};

inline constexpr int AWAIT_FRAME_SLOTS = 20;

// Link, recording and alarm state held by the main window.
struct MainLinkState {
    int m_nPort = 1;
    bool m_bStartPending = false;
    bool m_bRecording = false;
    bool m_bStopped = true;
    bool m_bHasGraphData = false;
    bool m_bFrameSeen = false;
    std::array<bool, AWAIT_FRAME_SLOTS> m_bAwaitFrame{};
    std::array<bool, 4> m_bComRadio{};
    std::array<bool, 4> m_bComEnabled{true, true, true, true};
    bool m_bOtherComEnabled = true;
    std::array<bool, 3> m_bAlarmHi{};
    std::array<bool, 3> m_bAlarmLow{};

    // The awaiting-frame entry of a port. A port number outside the table (only the
    // configuration file can hold one) shares entry 0, which no real port uses.
    bool& AwaitFrame(int port) {
        return m_bAwaitFrame[port > 0 && port < AWAIT_FRAME_SLOTS ? port : 0];
    }
};

}  // namespace qf

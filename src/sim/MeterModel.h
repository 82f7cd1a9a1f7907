// A model of the meter for the simulator, the demo and the tests: its display state,
// readings that follow a pattern, the effect of every key, and the live frame it sends.
// It consumes what the program writes (start command, acknowledgements, key packets)
// in any pieces and counts each.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "link/LiveFrame.h"
#include "link/MeterCommand.h"

namespace qf {

enum class ReadingPattern {
    Steady,  // the base readings
    Wave,    // slow swings around the base readings
    Ramp,    // sawtooth sweeps through and beyond every measuring range
};

struct MeterReadings {
    float airT = 22.5f;  // degrees Celsius
    float airV = 3.2f;   // metres per second
    float irt = 25.0f;   // degrees Celsius
};

struct MeterModelOptions {
    ReadingPattern pattern = ReadingPattern::Wave;
    MeterReadings base;
    double cycleSec = 60.0;  // one swing or sweep
    float areaFt2 = 1.0f;    // duct area
    bool batteryLow = false;
    // A start command switches a powered-off meter on again. Off for the simulator, so
    // that POWEROFF behaves as on the real meter; the demo sets it.
    bool wakeOnStart = false;
};

struct MeterCounters {
    int starts = 0;           // start commands
    int acks = 0;             // acknowledgement bytes
    int keys = 0;             // key packets (presses and double clicks)
    int unknownCommands = 0;  // well-formed packets that are no known command
    int badBytes = 0;         // bytes that belong to no packet
    CommandPacket lastCommand{};
};

// The measuring ranges; readings beyond them show as over or under range.
inline constexpr float AIRV_MAX = 30.0f;
inline constexpr float AIRT_MIN = -10.0f;
inline constexpr float AIRT_MAX = 60.0f;
inline constexpr float IRT_MIN = -50.0f;
inline constexpr float IRT_MAX = 500.0f;
inline constexpr float FT2_TO_M2 = 0.09290304f;

enum MaxMinState : int { MAXMIN_OFF, MAXMIN_REC, MAXMIN_MAX, MAXMIN_MIN };
enum FlowUnit : int { FLOW_NONE, FLOW_CFM, FLOW_CMM };

// What the meter shows and how its keys left it.
struct MeterState {
    bool poweredOn = true;
    bool linked = false;  // in PC-link mode: sends frames
    int speedUnit = 0;    // 0 m/s, 1 ft/min, 2 km/h, 3 MPH, 4 knots
    int flowUnit = FLOW_NONE;
    bool fahrenheit = false;
    bool infrared = false;
    bool holdTop = false;
    bool holdBottom = false;
    int maxMinTop = MAXMIN_OFF;
    int maxMinBottom = MAXMIN_OFF;
    bool average = false;
    bool backlight = false;
    bool batteryLow = false;
    float areaFt2 = 1.0f;
    float areaM2 = FT2_TO_M2;

    // AREA mode: the duct area is entered digit by digit.
    bool area = false;
    bool areaMetric = false;          // square metres instead of square feet
    std::array<int, 4> areaDigits{};  // left to right
    int areaPoint = 1;                // digits before the decimal point, 1..3
    int areaDigit = 0;                // the blinking digit, 0..3
};

class CMeterModel {
public:
    explicit CMeterModel(const MeterModelOptions& options = {});

    // Bytes written by the program, in any pieces.
    void Receive(const std::uint8_t* data, std::size_t size);

    // Powered on and in PC-link mode.
    bool IsSending() const { return m_state.poweredOn && m_state.linked; }

    // The live frame at t seconds since the meter started. Advances hold, average and
    // max/min bookkeeping, so call it once per frame sent.
    LiveFrameBytes NextFrame(double t);
    // The readings the pattern gives at t.
    MeterReadings ReadingsAt(double t) const;

    // A key pressed on the meter itself. Switched off, only the power key does anything:
    // it switches the meter on, which then waits for a start command.
    void PressKey(MeterKey key);
    void DoubleClickKey(MeterKey key);
    // On again after POWEROFF, as the power key does; a meter that is on stays as it is.
    void PowerOn();

    const MeterState& State() const { return m_state; }
    MeterState& State() { return m_state; }
    const MeterCounters& Counters() const { return m_counters; }

    // The main-display number that shows the given AREA digits: the thousands carry how
    // many leading zeros are shown, a negative number an all-zero area with its point.
    static float EncodeAreaDisplay(const std::array<int, 4>& digits, int point);
    static void AreaToDigits(float value, std::array<int, 4>& digits, int& point);
    static float DigitsToArea(const std::array<int, 4>& digits, int point);

    // "start", "UNITS press", "AREA double click", or the bytes of an unknown packet.
    static std::string DescribeCommand(const CommandPacket& packet);

private:
    struct Extremes {
        bool valid = false;
        float max = 0.0f;
        float min = 0.0f;
        void Reset() { valid = false; }
        void Add(float v);
    };
    // The main reading before range scaling.
    struct MainReading {
        float value = 0.0f;
        bool over = false;
        bool under = false;
    };

    void Consume(std::uint8_t byte);
    void Resync();
    void Execute(const CommandPacket& packet);
    MainReading LiveMain(const MeterReadings& r) const;
    void ResetBottom();
    void CycleUnits();
    void EnterArea();
    void LeaveArea();

    MeterModelOptions m_options;
    MeterState m_state;
    MeterCounters m_counters;
    std::vector<std::uint8_t> m_packet;

    Extremes m_topExtremes;     // AirT, Celsius
    Extremes m_bottomExtremes;  // main reading
    double m_avgSum = 0.0;
    int m_avgCount = 0;
    float m_shownTop = 0.0f;  // Celsius, or UPPER_NO_READING
    MainReading m_shownBottom;
};

}  // namespace qf

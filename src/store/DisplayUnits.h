// The units readings are shown in. Samples are stored in Celsius and m/s; these say how
// texts and graphs convert them. Set from the meter's frames only.
#pragma once

#include <string>

namespace qf {

inline constexpr int SPEED_UNIT_UNKNOWN = 10;
inline constexpr int SPEED_UNIT_COUNT = 5;

// Feet per minute in one metre per second; also turns ft2 x m/s into cubic feet a minute.
inline constexpr double FT_MIN_PER_M_S = 196.87;
// Seconds a minute: m2 x m/s into cubic metres a minute.
inline constexpr double CMM_PER_M2_M_S = 60.0;

struct SpeedUnitInfo {
    int index;
    const char* text;
    float factor;  // m/s to this unit
};

// By index: 0 m/s, 1 ft/min, 2 km/h, 3 MPH, 4 knots.
inline constexpr SpeedUnitInfo SPEED_UNITS[SPEED_UNIT_COUNT] = {
    {0, "m/s", 1.0f},     {1, "ft/min", float(FT_MIN_PER_M_S)},
    {2, "km/h", 3.6f},    {3, "MPH", 2.24f},
    {4, "knots", 1.944f},
};

struct DisplayUnits {
    int m_nTempUnit = 0;  // 0 Celsius, 1 Fahrenheit
    std::string m_strTempUnit;
    int m_nSpeedUnit = SPEED_UNIT_UNKNOWN;
    std::string m_strSpeedUnit;
    float m_fSpeedFactor = 1.0f;  // m/s to the speed unit

    void SetSpeedUnit(const SpeedUnitInfo& info) {
        m_nSpeedUnit = info.index;
        m_strSpeedUnit = info.text;
        m_fSpeedFactor = info.factor;
    }
};

}  // namespace qf

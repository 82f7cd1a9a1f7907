// Channels and limits shared by the whole program.
#pragma once

#include <cstdint>

namespace qf {

enum Channel : int { CH_AIRT = 0, CH_IRT = 1, CH_AIRV = 2, CH_CFM = 3, CH_CMM = 4 };

inline constexpr int NUM_CHANNELS = 5;
inline constexpr const char* CHANNEL_NAMES[NUM_CHANNELS] = {"AirT", "IRT", "AirV", "CFM", "CMM"};
inline constexpr int MAX_SAMPLES = 6000;
inline constexpr int RECORD_LIMIT = 5000;

// Marks a missing reading in every channel. Readers also treat a temperature below
// -100 and a speed or flow below 0 as missing.
inline constexpr float NO_VALUE = -9000.0f;

// IRT out of the meter's range, as stored.
inline constexpr float IRT_STORED_OVER = 510.0f;
inline constexpr float IRT_STORED_UNDER = -55.0f;

inline constexpr float LOWEST_TEMPERATURE = -100.0f;
inline constexpr float LOWEST_SPEED = 0.0f;  // also of a flow
inline bool IsMissingTemperature(float v) {
    return v < LOWEST_TEMPERATURE;
}
inline bool IsMissingSpeed(float v) {
    return v < LOWEST_SPEED;
}

// Fahrenheit is Celsius x 1.8 + 32 with 1.8 held as a float and the product in double,
// so 20.0 C is 67.99999... F.
inline constexpr float FAHRENHEIT_FACTOR = 1.8f;
inline double ToFahrenheit(double celsius) {
    return celsius * FAHRENHEIT_FACTOR + 32.0;
}

}  // namespace qf

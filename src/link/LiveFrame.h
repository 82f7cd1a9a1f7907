// The meter's 49-byte live frame: layout, flag bits, and a builder used by the meter
// model and the tests.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace qf {

inline constexpr std::size_t FRAME_SIZE = 49;
inline constexpr std::uint8_t FRAME_START = 0xAA;
inline constexpr std::uint8_t FRAME_SIGNATURE[4] = {0x61, 0x64, 0x6A, 0x67};  // "adjg"
inline constexpr std::uint8_t FRAME_END = 0x67;                               // 'g'

// Byte offsets.
enum FrameOffset : std::size_t {
    OFS_FLAG_A = 5,
    OFS_FLAG_B = 6,
    OFS_FLAG_C = 7,
    OFS_FLAG_D = 8,
    OFS_FLAG_E = 9,
    OFS_AIRT = 11,
    OFS_AIRV = 15,
    OFS_IRT = 19,
    OFS_UPPER = 23,
    OFS_UPPER2 = 27,
    OFS_MAIN = 31,
    OFS_AREA_FT2 = 35,
    OFS_AREA_M2 = 39,
    OFS_AREA_CODE = 43,
    OFS_END = 48,
};

// Flag bits, named <byte>_<meaning>.
namespace flag {
inline constexpr std::uint8_t A_REC_TOP = 0x01;
inline constexpr std::uint8_t A_MAX_TOP = 0x02;
inline constexpr std::uint8_t A_CELSIUS = 0x04;
inline constexpr std::uint8_t A_FAHRENHEIT = 0x08;
inline constexpr std::uint8_t A_BACKLIGHT = 0x10;

inline constexpr std::uint8_t B_REC_BOTTOM = 0x01;
inline constexpr std::uint8_t B_MAX_BOTTOM = 0x02;
inline constexpr std::uint8_t B_MIN_BOTTOM = 0x04;
inline constexpr std::uint8_t B_HOLD_BOTTOM = 0x08;
inline constexpr std::uint8_t B_IRTEMP = 0x10;
inline constexpr std::uint8_t B_VEL = 0x40;
inline constexpr std::uint8_t B_FLOW = 0x80;

inline constexpr std::uint8_t C_AVG = 0x01;
inline constexpr std::uint8_t C_X10 = 0x02;
inline constexpr std::uint8_t C_X100 = 0x04;
inline constexpr std::uint8_t C_KNOTS = 0x08;
inline constexpr std::uint8_t C_PCLINK = 0x10;
inline constexpr std::uint8_t C_AREA = 0x40;
inline constexpr std::uint8_t C_IR_CELSIUS = 0x80;

inline constexpr std::uint8_t D_UNIT_M = 0x01;
inline constexpr std::uint8_t D_IR_FAHRENHEIT = 0x02;
inline constexpr std::uint8_t D_UNIT_FT = 0x04;
inline constexpr std::uint8_t D_UNIT_CFM = 0x08;
inline constexpr std::uint8_t D_UNIT_CMM = 0x10;
inline constexpr std::uint8_t D_MS = 0x20;
inline constexpr std::uint8_t D_FTMIN = 0x40;
inline constexpr std::uint8_t D_KMH = 0x80;
inline constexpr std::uint8_t D_MAIN_UNITS = D_UNIT_M | D_UNIT_FT | D_UNIT_CFM | D_UNIT_CMM;

inline constexpr std::uint8_t E_MIN_TOP = 0x02;
inline constexpr std::uint8_t E_HOLD_TOP = 0x04;
inline constexpr std::uint8_t E_BATTERY_LOW = 0x08;
inline constexpr std::uint8_t E_MPH = 0x10;
inline constexpr std::uint8_t E_OVER = 0x20;
inline constexpr std::uint8_t E_UNDER = 0x40;
}  // namespace flag

// The meter reports these IRT values when out of range.
inline constexpr float IRT_OVER_RANGE = 99999.0f;
inline constexpr float IRT_UNDER_RANGE = -99999.0f;
// Upper display value meaning "no reading".
inline constexpr float UPPER_NO_READING = -1000.0f;

// Everything a live frame carries, as plain values.
struct LiveFrameFields {
    std::uint8_t a = 0, b = 0, c = 0, d = 0, e = 0;
    float airT = 0.0f;
    float airV = 0.0f;
    float irt = 0.0f;
    float upper = 0.0f;
    float upper2 = -1.0f;
    float main = 0.0f;
    float areaFt2 = 0.0f;
    float areaM2 = 0.0f;
    std::uint8_t areaCode = 0;
};

using LiveFrameBytes = std::array<std::uint8_t, FRAME_SIZE>;

LiveFrameBytes BuildLiveFrame(const LiveFrameFields& fields);

// Whether bytes [0, 49) hold a frame with both markers and the signature.
bool IsValidFrame(const std::uint8_t* data, std::size_t size);

}  // namespace qf

// Little-endian numbers at unaligned places, as the meter's frames and the data files
// hold them.
#pragma once

#include <bit>
#include <cstdint>

namespace qf {

inline std::uint32_t ReadU32LE(const std::uint8_t* p) {
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
           std::uint32_t(p[3]) << 24;
}

inline float ReadFloatLE(const std::uint8_t* p) {
    return std::bit_cast<float>(ReadU32LE(p));
}

inline void WriteU32LE(std::uint8_t* p, std::uint32_t v) {
    p[0] = std::uint8_t(v);
    p[1] = std::uint8_t(v >> 8);
    p[2] = std::uint8_t(v >> 16);
    p[3] = std::uint8_t(v >> 24);
}

inline void WriteFloatLE(std::uint8_t* p, float v) {
    WriteU32LE(p, std::bit_cast<std::uint32_t>(v));
}

}  // namespace qf

// What the program sends to the meter: 11-byte command packets and the one-byte
// acknowledgement.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

namespace qf {

inline constexpr std::size_t COMMAND_SIZE = 11;
using CommandPacket = std::array<std::uint8_t, COMMAND_SIZE>;

// FF AA 55, code, arg1, arg2, 00 00, checksum low, checksum high, FF. The checksum is
// the 16-bit sum of bytes 3 to 7.
constexpr CommandPacket BuildCommand(std::uint8_t code, std::uint8_t arg1, std::uint8_t arg2) {
    CommandPacket p{0xFF, 0xAA, 0x55, code, arg1, arg2, 0x00, 0x00, 0x00, 0x00, 0xFF};
    std::uint16_t sum = 0;
    for (std::size_t i = 3; i <= 7; ++i) {
        sum = static_cast<std::uint16_t>(sum + p[i]);
    }
    p[8] = static_cast<std::uint8_t>(sum & 0xFF);
    p[9] = static_cast<std::uint8_t>(sum >> 8);
    return p;
}

// Puts the meter into PC-link mode; sent after every opening of the port.
inline constexpr std::uint8_t CMD_START_CODE = 0x63;
inline constexpr CommandPacket CMD_START = BuildCommand(CMD_START_CODE, CMD_START_CODE, 0x00);

// Sent once a second while frames arrive.
inline constexpr std::uint8_t ACK_BYTE = 0x11;

inline constexpr std::uint8_t CMD_KEY = 0x6B;
inline constexpr std::uint8_t CMD_IR_KEY = 0x69;

// The keys of the drawn meter, in table order.
enum class MeterKey : int {
    MAXMIN_UP,
    AVG,
    HOLD_UP,
    UNITS,
    HOLD_DOWN,
    MAXMIN_DOWN,
    AREA,
    POWER_OFF,
    IRT,
};
inline constexpr int METER_KEY_COUNT = 9;

struct MeterKeyInfo {
    int controlId;         // the panel button
    const char* name;      // the panel button's label
    std::uint8_t command;  // byte 3
    std::uint8_t code;     // byte 4 of a press
    std::uint8_t param;    // byte 5 of a press
    int doubleClickCode;   // byte 4 of a double click (byte 5 is 0); -1: none
};

const MeterKeyInfo& KeyInfo(MeterKey key);
std::optional<MeterKey> KeyFromControlId(int controlId);

CommandPacket KeyPressPacket(MeterKey key);
std::optional<CommandPacket> KeyDoubleClickPacket(MeterKey key);

}  // namespace qf

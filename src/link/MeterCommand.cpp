#include "link/MeterCommand.h"

namespace qf {

namespace {

constexpr std::array<MeterKeyInfo, METER_KEY_COUNT> KEYS = {{
    {1046, "MAX/MINUP", CMD_KEY, 0x0A, 0x00, 0x0B},
    {1052, "AVG", CMD_KEY, 0x14, 0x00, 0x16},
    {1044, "HOLDUP", CMD_KEY, 0x1E, 0x00, 0x21},
    {1055, "UNITS", CMD_KEY, 0x28, 0x00, 0x2C},
    {1049, "HOLDD", CMD_KEY, 0x32, 0x00, -1},
    {1048, "MAXMIND", CMD_KEY, 0x3C, 0x00, 0x42},
    {1056, "AREA", CMD_KEY, 0x46, 0x46, 0x4D},
    {1045, "POWEROFF", CMD_KEY, 0x50, 0x00, -1},
    {1047, "IRT", CMD_IR_KEY, 0x0A, 0x00, -1},
}};

}  // namespace

const MeterKeyInfo& KeyInfo(MeterKey key) {
    return KEYS.at(static_cast<std::size_t>(key));
}

std::optional<MeterKey> KeyFromControlId(int controlId) {
    for (std::size_t i = 0; i < KEYS.size(); ++i) {
        if (KEYS[i].controlId == controlId) {
            return static_cast<MeterKey>(i);
        }
    }
    return std::nullopt;
}

CommandPacket KeyPressPacket(MeterKey key) {
    const auto& k = KeyInfo(key);
    return BuildCommand(k.command, k.code, k.param);
}

std::optional<CommandPacket> KeyDoubleClickPacket(MeterKey key) {
    const auto& k = KeyInfo(key);
    if (k.doubleClickCode < 0) {
        return std::nullopt;
    }
    return BuildCommand(k.command, static_cast<std::uint8_t>(k.doubleClickCode), 0x00);
}

}  // namespace qf

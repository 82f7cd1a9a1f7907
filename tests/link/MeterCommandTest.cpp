#include "link/MeterCommand.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace qf {
namespace {

std::string Hex(const CommandPacket& p) {
    std::string out;
    for (const auto b : p) {
        char buf[4];
        std::snprintf(buf, sizeof buf, "%s%02X", out.empty() ? "" : " ", b);
        out += buf;
    }
    return out;
}

TEST(MeterCommand, StartAndChecksumCarry) {
    EXPECT_EQ(Hex(CMD_START), "FF AA 55 63 63 00 00 00 C6 00 FF");
    EXPECT_EQ(Hex(BuildCommand(0xFF, 0xFF, 0xFF)), "FF AA 55 FF FF FF 00 00 FD 02 FF");
    EXPECT_EQ(ACK_BYTE, 0x11);
}

TEST(MeterCommand, KeyTable) {
    const struct {
        MeterKey key;
        int id;
        const char* name;
        const char* press;
        const char* doubleClick;  // nullptr: none
    } table[] = {
        {MeterKey::MAXMIN_UP, 1046, "MAX/MINUP", "FF AA 55 6B 0A 00 00 00 75 00 FF",
         "FF AA 55 6B 0B 00 00 00 76 00 FF"},
        {MeterKey::AVG, 1052, "AVG", "FF AA 55 6B 14 00 00 00 7F 00 FF",
         "FF AA 55 6B 16 00 00 00 81 00 FF"},
        {MeterKey::HOLD_UP, 1044, "HOLDUP", "FF AA 55 6B 1E 00 00 00 89 00 FF",
         "FF AA 55 6B 21 00 00 00 8C 00 FF"},
        {MeterKey::UNITS, 1055, "UNITS", "FF AA 55 6B 28 00 00 00 93 00 FF",
         "FF AA 55 6B 2C 00 00 00 97 00 FF"},
        {MeterKey::HOLD_DOWN, 1049, "HOLDD", "FF AA 55 6B 32 00 00 00 9D 00 FF", nullptr},
        {MeterKey::MAXMIN_DOWN, 1048, "MAXMIND", "FF AA 55 6B 3C 00 00 00 A7 00 FF",
         "FF AA 55 6B 42 00 00 00 AD 00 FF"},
        {MeterKey::AREA, 1056, "AREA", "FF AA 55 6B 46 46 00 00 F7 00 FF",
         "FF AA 55 6B 4D 00 00 00 B8 00 FF"},
        {MeterKey::POWER_OFF, 1045, "POWEROFF", "FF AA 55 6B 50 00 00 00 BB 00 FF", nullptr},
        {MeterKey::IRT, 1047, "IRT", "FF AA 55 69 0A 00 00 00 73 00 FF", nullptr},
    };
    static_assert(std::size(table) == METER_KEY_COUNT);
    for (const auto& row : table) {
        EXPECT_EQ(KeyInfo(row.key).controlId, row.id) << row.name;
        EXPECT_STREQ(KeyInfo(row.key).name, row.name);
        EXPECT_EQ(KeyFromControlId(row.id), row.key) << row.name;
        EXPECT_EQ(Hex(KeyPressPacket(row.key)), row.press) << row.name;
        const auto dbl = KeyDoubleClickPacket(row.key);
        EXPECT_EQ(dbl ? Hex(*dbl) : "none", row.doubleClick ? row.doubleClick : "none") << row.name;
    }
    EXPECT_EQ(KeyFromControlId(1050), std::nullopt);
}

}  // namespace
}  // namespace qf

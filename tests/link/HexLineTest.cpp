#include "link/HexLine.h"

#include <gtest/gtest.h>

namespace {

TEST(HexLine, PairsWithBlanksBetweenThem) {
    const struct {
        const char* line;
        bool ok;
        std::vector<std::uint8_t> bytes;
    } cases[] = {
        {"", true, {}},
        {"AA6164", true, {0xAA, 0x61, 0x64}},
        {"aa 61\t64\r", true, {0xAA, 0x61, 0x64}},
        {"  0f  ", true, {0x0F}},
        {"A", false, {}},
        {"A A", false, {}},
        {"GG", false, {}},
        {"AA6", false, {}},
        {"# AA", false, {}},
    };
    for (const auto& c : cases) {
        std::vector<std::uint8_t> out;
        EXPECT_EQ(qf::ParseHexLine(c.line, out), c.ok) << c.line;
        if (c.ok) {
            EXPECT_EQ(out, c.bytes) << c.line;
        }
    }
    EXPECT_TRUE(qf::IsHexComment("  # a frame"));
    EXPECT_FALSE(qf::IsHexComment("AA # not at the start"));
}

}  // namespace

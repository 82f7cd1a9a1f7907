#include <gtest/gtest.h>

#include "store/ValueText.h"

namespace {

struct CutCase {
    double value;
    int decimals;
    const char* text;
};

// Values cut at their last shown digit: floats standing for a shown decimal keep it,
// everything else is cut toward zero, never rounded up.
TEST(ValueText, CutKeepsShownDigitsAndCutsTheRest) {
    const CutCase cases[] = {
        {23.4f, 1, "23.4"},
        {1.5f * 3.6f, 1, "5.4"},
        {1.5, 1, "1.5"},
        {10.0f, 2, "10.00"},
        {25.0f, 1, "25.0"},
        {9.9996f, 3, "9.999"},
        {12.345f, 2, "12.34"},
        {20.06f, 1, "20.0"},
        {-20.06f, 1, "-20.0"},
        {4.4496f, 1, "4.4"},
        {23.46f, 1, "23.4"},
        {295.305, 1, "295.3"},
        {-23.4f, 1, "-23.4"},
        {0.0, 3, "0.000"},
        {99.99f, 2, "99.99"},
        {2.3f, 3, "2.300"},
        {1e30, 1, "1000000000000000019884624838656.0"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(qf::FormatCut(c.value, c.decimals), c.text) << c.value;
    }
}

TEST(ValueText, CutIntegerKeepsWholeFloats) {
    EXPECT_EQ(qf::FormatCutInt(1234.5f), "1234");
    EXPECT_EQ(qf::FormatCutInt(12345.0f), "12345");
    EXPECT_EQ(qf::FormatCutInt(-7.9), "-7");
    EXPECT_EQ(qf::FormatCutInt(3e9), "3000000000");
}

TEST(ValueText, FixedFormatsLikePrintf) {
    EXPECT_EQ(qf::FormatFixed(2.345, 2), qf::Format("%.2f", 2.345));
    EXPECT_EQ(qf::FormatFixed(-0.04, 1), "-0.0");
    EXPECT_EQ(qf::FormatFixed(0.05f, 1), "0.1");
    EXPECT_EQ(qf::Format("%5s|%d", "ab", 7), "   ab|7");
    EXPECT_EQ(qf::Format("%s", std::string(400, 'x').c_str()).size(), 400u);
}

}  // namespace

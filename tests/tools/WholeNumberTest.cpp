// The one rule for whole numbers in the tool's and the simulator's options.
#include <gtest/gtest.h>

#include <climits>
#include <optional>
#include <string_view>

#include "common/WholeNumber.h"

namespace {

TEST(WholeNumber, onlyDigitsWithAnOptionalMinusWithinTheRange) {
    const struct {
        std::string_view text;
        long long min, max;
        std::optional<long long> value;
    } cases[] = {
        {"5", 1, 5000, 5},
        {"5000", 1, 5000, 5000},
        {"5001", 1, 5000, std::nullopt},
        {"0", 1, 5000, std::nullopt},
        {"-1", -1, 86400000, -1},
        {"-3", 0, 100, std::nullopt},
        {"007", 0, 100, 7},
        {"9223372036854775807", 0, LLONG_MAX, LLONG_MAX},
        {"9223372036854775808", 0, LLONG_MAX, std::nullopt},
        {"", 0, 100, std::nullopt},
        {"-", -100, 100, std::nullopt},
        {"+5", 0, 100, std::nullopt},
        {" 5", 0, 100, std::nullopt},
        {"5 ", 0, 100, std::nullopt},
        {"1.5", 0, 100, std::nullopt},
        {"0x10", 0, 100, std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(qftool::ParseWholeNumber(c.text, c.min, c.max), c.value) << "'" << c.text << "'";
    }
}

}  // namespace

// Whole numbers in command-line values, one rule for the tool and the simulator: an
// optional minus sign and decimal digits, nothing else (no blanks, no plus sign), within
// [min, max]. Anything else is no number.
#pragma once

#include <charconv>
#include <optional>
#include <string_view>
#include <system_error>

namespace qftool {

inline std::optional<long long> ParseWholeNumber(std::string_view text, long long min,
                                                 long long max) {
    long long v = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, v);
    if (text.empty() || ec != std::errc() || ptr != end || v < min || v > max) {
        return std::nullopt;
    }
    return v;
}

}  // namespace qftool

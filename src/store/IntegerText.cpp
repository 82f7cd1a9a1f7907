#include "store/IntegerText.h"

#include <limits>

namespace qf {

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

// Sign and magnitude of a text of the form [blanks][sign]digits[blanks]; the magnitude
// saturates just above the uint32 range so that callers can refuse an overflow.
struct Scanned {
    bool negative = false;
    std::uint64_t magnitude = 0;
};

std::optional<Scanned> Scan(std::string_view text, bool allowMinus) {
    text = text.substr(0, NUMBER_FIELD_CHARS);
    std::size_t i = 0;
    while (i < text.size() && IsBlank(text[i])) {
        ++i;
    }
    const char first = i < text.size() ? text[i] : '\0';
    Scanned out;
    if (first == '-' || first == '+') {
        if (first == '-' && !allowMinus) {
            return std::nullopt;
        }
        out.negative = first == '-';
        ++i;
    }
    const std::size_t digitsStart = i;
    constexpr std::uint64_t SATURATE = std::uint64_t{std::numeric_limits<std::uint32_t>::max()} + 1;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
        out.magnitude = out.magnitude * 10 + static_cast<std::uint64_t>(text[i] - '0');
        if (out.magnitude > SATURATE) {
            out.magnitude = SATURATE;
        }
        ++i;
    }
    if (i == digitsStart) {
        return std::nullopt;
    }
    // A zero is accepted only when written as such, not as "-0" or "+0".
    if (out.magnitude == 0 && first != '0') {
        return std::nullopt;
    }
    while (i < text.size() && IsBlank(text[i])) {
        ++i;
    }
    if (i != text.size()) {
        return std::nullopt;
    }
    return out;
}

}  // namespace

std::optional<std::int32_t> ParseSignedField(std::string_view text) {
    const auto s = Scan(text, true);
    if (!s) {
        return std::nullopt;
    }
    const std::uint64_t limit = s->negative
                                    ? std::uint64_t{1} << 31
                                    : std::uint64_t{std::numeric_limits<std::int32_t>::max()};
    if (s->magnitude > limit) {
        return std::nullopt;
    }
    const std::int64_t value = s->negative ? -static_cast<std::int64_t>(s->magnitude)
                                           : static_cast<std::int64_t>(s->magnitude);
    return static_cast<std::int32_t>(value);
}

std::optional<std::uint32_t> ParseUnsignedField(std::string_view text) {
    const auto s = Scan(text, false);
    if (!s || s->magnitude > std::numeric_limits<std::uint32_t>::max()) {
        return std::nullopt;
    }
    return static_cast<std::uint32_t>(s->magnitude);
}

}  // namespace qf

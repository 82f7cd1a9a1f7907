// The number fields of the small dialogs: what text counts as a number. Only the form is
// checked here; what range a number must have is the caller's business.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace qf {

// Only this many leading characters of a field are read.
inline constexpr std::size_t NUMBER_FIELD_CHARS = 31;

// A signed decimal integer with optional blanks and tabs around it. A text whose value
// is zero must start with the digit 0 after the blanks, so "-0" and "+0" are refused,
// and so is a number beyond the int32 range.
std::optional<std::int32_t> ParseSignedField(std::string_view text);

// The same without a minus sign and within the uint32 range.
std::optional<std::uint32_t> ParseUnsignedField(std::string_view text);

}  // namespace qf

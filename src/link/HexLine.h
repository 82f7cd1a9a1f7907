// Receive chunks written as text: hex byte pairs, blanks allowed between pairs. The decode
// tool reads them, the simulator plays them.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace qf {

// False, with `out` unspecified, when the line holds anything but blank-separated hex
// byte pairs. A trailing CR is a blank.
bool ParseHexLine(std::string_view line, std::vector<std::uint8_t>& out);

// A line with only blanks before a '#', which both readers skip.
bool IsHexComment(std::string_view line);

}  // namespace qf

// The channels' names as the program shows them and the tool prints them, by channel index.
#pragma once

#include <array>

#include "store/QFConstants.h"

namespace qf {

inline constexpr std::array<const char*, NUM_CHANNELS> CHANNEL_NAMES = {"AirT", "IRT", "AirV",
                                                                        "CFM", "CMM"};

}  // namespace qf

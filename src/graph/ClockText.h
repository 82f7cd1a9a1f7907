// Clock texts of the graph's time axis and read-out.
#pragma once

#include <ctime>
#include <string>

namespace qf {

// t in local time as "%H:%M:%S"; empty when t cannot be broken down.
std::string FormatClock(std::time_t t);

}  // namespace qf

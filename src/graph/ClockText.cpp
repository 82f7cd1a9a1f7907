#include "graph/ClockText.h"

namespace qf {

std::string FormatClock(std::time_t t) {
    std::tm local{};
    if (!localtime_r(&t, &local)) {
        return std::string();
    }
    char buf[32];
    const std::size_t n = std::strftime(buf, sizeof buf, "%H:%M:%S", &local);
    return std::string(buf, n);
}

}  // namespace qf

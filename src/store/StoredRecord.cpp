#include "store/StoredRecord.h"

#include <algorithm>
#include <climits>

namespace qf {

std::time_t StartTime(const StartFields& f) {
    // A file may hold any year or month; keep the shift to the calendar's origin in range.
    const auto shiftDown = [](int v, int by) {
        return static_cast<int>(std::max<long long>(static_cast<long long>(v) - by, INT_MIN));
    };
    std::tm t{};
    t.tm_year = shiftDown(f.year, 1900);
    t.tm_mon = shiftDown(f.month, 1);
    t.tm_mday = f.day;
    t.tm_hour = f.hour;
    t.tm_min = f.minute;
    t.tm_sec = f.second;
    t.tm_isdst = -1;
    return std::mktime(&t);
}

}  // namespace qf

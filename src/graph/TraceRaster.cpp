#include "graph/TraceRaster.h"

#include <algorithm>
#include <cstdlib>

namespace qf {

namespace {

// Minor-axis step of pixel k along a line of `major` steps that moves `minor` across:
// round(k * minor / major), halves up.
long long MinorStep(long long k, long long minor, long long major) {
    return (2 * k * minor + major) / (2 * major);
}

// First k in [lo, hi] with MinorStep(k) >= target; hi + 1 when there is none.
long long FirstReaching(long long lo, long long hi, long long target, long long minor,
                        long long major) {
    while (lo <= hi) {
        const long long mid = lo + (hi - lo) / 2;
        if (MinorStep(mid, minor, major) >= target) {
            hi = mid - 1;
        } else {
            lo = mid + 1;
        }
    }
    return lo;
}

}  // namespace

void RasterSegment(const PixelBuffer& buf, const PixelSegment& s, std::uint32_t colour) {
    if (buf.bits == nullptr || buf.width <= 0 || buf.height <= 0) {
        return;
    }
    // Wholly beside the buffer: nothing to clip or step through.
    if ((s.x1 < 0 && s.x2 < 0) || (s.x1 >= buf.width && s.x2 >= buf.width) ||
        (s.y1 < 0 && s.y2 < 0) || (s.y1 >= buf.height && s.y2 >= buf.height)) {
        return;
    }
    const long long dx = static_cast<long long>(s.x2) - s.x1;
    const long long dy = static_cast<long long>(s.y2) - s.y1;
    const bool xMajor = std::llabs(dx) >= std::llabs(dy);
    const long long major = xMajor ? std::llabs(dx) : std::llabs(dy);
    const long long minor = xMajor ? std::llabs(dy) : std::llabs(dx);
    if (major == 0) {
        return;
    }
    const long long a1 = xMajor ? s.x1 : s.y1;  // major-axis start
    const long long b1 = xMajor ? s.y1 : s.x1;  // minor-axis start
    const int sa = (xMajor ? dx : dy) < 0 ? -1 : 1;
    const int sb = (xMajor ? dy : dx) < 0 ? -1 : 1;
    const long long aSize = xMajor ? buf.width : buf.height;
    const long long bSize = xMajor ? buf.height : buf.width;

    // Pixels k = 0 .. major - 1; keep those whose major coordinate lies inside.
    long long kLo = 0;
    long long kHi = major - 1;
    if (sa > 0) {
        kLo = std::max(kLo, -a1);
        kHi = std::min(kHi, aSize - 1 - a1);
    } else {
        kLo = std::max(kLo, a1 - (aSize - 1));
        kHi = std::min(kHi, a1);
    }
    // The minor step grows with k: the inside range of the minor coordinate is one run.
    const long long stepLo = sb > 0 ? -b1 : b1 - (bSize - 1);
    const long long stepHi = sb > 0 ? bSize - 1 - b1 : b1;
    if (kLo <= kHi) {
        kLo = FirstReaching(kLo, kHi, stepLo, minor, major);
        kHi = FirstReaching(kLo, kHi, stepHi + 1, minor, major) - 1;
    }
    for (long long k = kLo; k <= kHi; ++k) {
        const long long a = a1 + sa * k;
        const long long b = b1 + sb * MinorStep(k, minor, major);
        const long long x = xMajor ? a : b;
        const long long y = xMajor ? b : a;
        buf.bits[y * buf.stride + x] = colour;
    }
}

}  // namespace qf

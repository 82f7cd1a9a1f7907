#include "graph/Pixels.h"

#include <algorithm>
#include <cfloat>
#include <climits>
#include <cmath>

namespace qf {

namespace {

// Infinities take part in the clipping as very large finite values of their sign.
constexpr double FAR_AWAY = 1e300;

double Finite(double v) {
    return std::isinf(v) ? std::copysign(FAR_AWAY, v) : v;
}

bool InsideBox(double v) {
    return v >= -PIXEL_LIMIT && v <= PIXEL_LIMIT;
}

}  // namespace

int TruncToInt(double v) {
    if (std::isnan(v)) {
        return 0;
    }
    if (v >= 2147483648.0) {
        return INT_MAX;
    }
    if (v <= -2147483649.0) {
        return INT_MIN;
    }
    return static_cast<int>(v);
}

int ClampToInt(long long v) {
    return static_cast<int>(std::clamp<long long>(v, INT_MIN, INT_MAX));
}

int PixelCoord(double v) {
    return std::clamp(TruncToInt(v), -PIXEL_LIMIT, PIXEL_LIMIT);
}

float NarrowToFloat(double v) {
    if (v > FLT_MAX || v < -FLT_MAX) {
        return std::copysign(HUGE_VALF, static_cast<float>(std::copysign(1.0, v)));
    }
    return static_cast<float>(v);
}

bool ToPixelSegment(double x1, double y1, double x2, double y2, PixelSegment& out) {
    if (std::isnan(x1) || std::isnan(y1) || std::isnan(x2) || std::isnan(y2)) {
        return false;
    }
    if (InsideBox(x1) && InsideBox(y1) && InsideBox(x2) && InsideBox(y2)) {
        out = {static_cast<int>(x1), static_cast<int>(y1), static_cast<int>(x2),
               static_cast<int>(y2)};
        return true;
    }
    // Liang-Barsky against the box.
    x1 = Finite(x1);
    y1 = Finite(y1);
    x2 = Finite(x2);
    y2 = Finite(y2);
    const double dx = x2 - x1;
    const double dy = y2 - y1;
    const double lim = PIXEL_LIMIT;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {x1 + lim, lim - x1, y1 + lim, lim - y1};
    double t0 = 0.0;
    double t1 = 1.0;
    for (int k = 0; k < 4; ++k) {
        if (p[k] == 0.0) {
            if (q[k] < 0.0) {
                return false;
            }
            continue;
        }
        const double t = q[k] / p[k];
        if (p[k] < 0.0) {
            if (t > t1) {
                return false;
            }
            t0 = std::max(t0, t);
        } else {
            if (t < t0) {
                return false;
            }
            t1 = std::min(t1, t);
        }
    }
    // A moved end lies far off screen; the nearest pixel keeps it exactly on the box.
    const auto at = [&](double t, double base, double d) {
        return static_cast<int>(std::nearbyint(std::clamp(base + t * d, -lim, lim)));
    };
    out.x1 = t0 > 0.0 ? at(t0, x1, dx) : static_cast<int>(x1);
    out.y1 = t0 > 0.0 ? at(t0, y1, dy) : static_cast<int>(y1);
    out.x2 = t1 < 1.0 ? at(t1, x1, dx) : static_cast<int>(x2);
    out.y2 = t1 < 1.0 ? at(t1, y1, dy) : static_cast<int>(y2);
    return true;
}

}  // namespace qf

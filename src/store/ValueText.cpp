#include "store/ValueText.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <limits>

namespace qf {

namespace {

// A float carries 24 bits; a value computed from floats and shown as a decimal may sit
// a few ulps below that decimal. Four float ulps, relative, keep such a digit.
constexpr double CUT_TOLERANCE = 4.0 * std::numeric_limits<float>::epsilon() / 2.0;

constexpr double POW10[] = {1.0, 10.0, 100.0, 1000.0, 10000.0, 100000.0, 1000000.0};

}  // namespace

std::string Format(const char* fmt, ...) {
    char buf[256];
    va_list args;
    va_start(args, fmt);
    va_list copy;
    va_copy(copy, args);
    const int n = std::vsnprintf(buf, sizeof buf, fmt, args);
    va_end(args);
    std::string out;
    if (n < 0) {
        va_end(copy);
        return out;
    }
    if (static_cast<size_t>(n) < sizeof buf) {
        out.assign(buf, static_cast<size_t>(n));
    } else {
        out.resize(static_cast<size_t>(n) + 1);
        std::vsnprintf(out.data(), out.size(), fmt, copy);
        out.resize(static_cast<size_t>(n));
    }
    va_end(copy);
    return out;
}

std::string FormatFixed(double v, int decimals) {
    if (!std::isfinite(v)) {
        return Format("%.*f", decimals, v);
    }
    char buf[400];
    const auto res = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, decimals);
    if (res.ec != std::errc()) {
        return Format("%.*f", decimals, v);
    }
    return std::string(buf, res.ptr);
}

double CutToDigits(double v, int decimals) {
    if (!std::isfinite(v) || decimals < 0 || decimals > 6) {
        return v;
    }
    const double scale = POW10[decimals];
    const double scaled = v * scale;
    const double nearest = std::nearbyint(scaled);
    double whole;
    if (std::fabs(scaled - nearest) <= CUT_TOLERANCE * std::max(std::fabs(scaled), 1.0)) {
        whole = nearest;
    } else {
        whole = std::trunc(scaled);
    }
    // Keep the sign of a value cut to zero ("-0.0"), as the subtraction form would have.
    return std::copysign(whole / scale, v);
}

std::string FormatCut(double v, int decimals) {
    return FormatFixed(CutToDigits(v, decimals), decimals);
}

std::string FormatCutInt(double v) {
    const double whole = CutToDigits(v, 0);
    if (!std::isfinite(whole) || whole >= 2147483648.0 || whole < -2147483648.0) {
        // printf's "%d" of an out-of-range conversion is undefined; show the plain digits.
        return FormatFixed(whole, 0);
    }
    return std::to_string(static_cast<int>(whole));
}

}  // namespace qf

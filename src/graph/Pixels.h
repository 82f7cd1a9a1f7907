// Float-to-pixel conversions. Converting a NaN, an infinity or an out-of-range value to
// int is undefined behaviour, so every pixel and index the graph derives goes through here.
#pragma once

namespace qf {

// Largest pixel coordinate handed to the painter: far beyond any screen, well inside the
// fixed-point range of raster engines.
inline constexpr int PIXEL_LIMIT = 1 << 22;

// v truncated toward zero and saturated at the int range; NaN gives 0.
int TruncToInt(double v);

// v saturated at the int range.
int ClampToInt(long long v);

// A pixel coordinate: v truncated toward zero, kept within +-PIXEL_LIMIT. For lines parallel
// to an axis, where moving a far end changes nothing visible.
int PixelCoord(double v);

// A double narrowed to float; beyond the float range it becomes an infinity of its sign.
float NarrowToFloat(double v);

struct PixelSegment {
    int x1, y1, x2, y2;
    bool operator==(const PixelSegment&) const = default;
};

// The line between two points, ends truncated toward zero. An end beyond +-PIXEL_LIMIT (a
// missing reading under a small gain, or an infinity) is moved along the line onto that
// box, so the visible part keeps its slope. False when nothing is left to draw.
bool ToPixelSegment(double x1, double y1, double x2, double y2, PixelSegment& out);

}  // namespace qf

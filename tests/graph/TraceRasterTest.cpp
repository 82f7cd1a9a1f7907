// The traces' line drawing: which pixels a segment sets, and that clipping never changes
// them nor writes outside the buffer.
#include <gtest/gtest.h>

#include <cstdint>
#include <set>
#include <utility>
#include <vector>

#include "graph/TraceRaster.h"

using namespace qf;

namespace {

using Pixels = std::set<std::pair<int, int>>;

struct Canvas {
    int width, height;
    std::vector<std::uint32_t> bits;
    Canvas(int w, int h) : width(w), height(h), bits(std::size_t(w) * h, 0) {}
    PixelBuffer Buffer() { return {bits.data(), width, width, height}; }
    Pixels Set(int dx = 0, int dy = 0) const {
        Pixels p;
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                if (bits[std::size_t(y) * width + x] != 0) {
                    p.insert({x + dx, y + dy});
                }
            }
        }
        return p;
    }
};

}  // namespace

TEST(TraceRaster, setsTheFirstEndButNotTheSecond) {
    const struct {
        PixelSegment s;
        Pixels expected;
    } cases[] = {
        {{1, 1, 5, 1}, {{1, 1}, {2, 1}, {3, 1}, {4, 1}}},
        {{5, 1, 1, 1}, {{5, 1}, {4, 1}, {3, 1}, {2, 1}}},
        {{2, 4, 2, 1}, {{2, 4}, {2, 3}, {2, 2}}},
        {{0, 0, 3, 3}, {{0, 0}, {1, 1}, {2, 2}}},
        // Halfway steps round up.
        {{0, 0, 4, 2}, {{0, 0}, {1, 1}, {2, 1}, {3, 2}}},
        {{0, 0, 2, 4}, {{0, 0}, {1, 1}, {1, 2}, {2, 3}}},
        {{3, 3, 3, 3}, {}},
    };
    for (const auto& c : cases) {
        Canvas canvas(8, 8);
        RasterSegment(canvas.Buffer(), c.s, 0xffff0000u);
        EXPECT_EQ(canvas.Set(), c.expected)
            << c.s.x1 << "," << c.s.y1 << " " << c.s.x2 << "," << c.s.y2;
    }
}

TEST(TraceRaster, clippingKeepsExactlyThePixelsInsideTheBuffer) {
    // A 20 x 12 buffer seen as a window at (40, 30) of a 100 x 80 one.
    const PixelSegment segments[] = {
        {0, 0, 99, 79},   {99, 0, 0, 79},   {10, 35, 90, 37}, {45, 0, 47, 79},
        {0, 79, 99, 30},  {41, 31, 58, 40}, {30, 5, 70, 75},  {59, 41, 2, 36},
        {39, 29, 60, 42}, {61, 30, 61, 41}, {5, 41, 95, 41},
    };
    for (const PixelSegment& s : segments) {
        Canvas big(100, 80);
        RasterSegment(big.Buffer(), s, 1);
        Pixels expected;
        for (const auto& p : big.Set()) {
            if (p.first >= 40 && p.first < 60 && p.second >= 30 && p.second < 42) {
                expected.insert(p);
            }
        }
        Canvas small(20, 12);
        RasterSegment(small.Buffer(), {s.x1 - 40, s.y1 - 30, s.x2 - 40, s.y2 - 30}, 1);
        EXPECT_EQ(small.Set(40, 30), expected) << s.x1 << "," << s.y1 << " " << s.x2 << "," << s.y2;
    }
}

TEST(TraceRaster, farEndsAreClippedWithoutWalkingToThem) {
    // A missing reading under a small gain puts an end at the pixel limit.
    Canvas canvas(50, 40);
    RasterSegment(canvas.Buffer(), {10, 20, 11, PIXEL_LIMIT}, 1);
    RasterSegment(canvas.Buffer(), {-PIXEL_LIMIT, -PIXEL_LIMIT, PIXEL_LIMIT, PIXEL_LIMIT}, 1);
    RasterSegment(canvas.Buffer(), {-PIXEL_LIMIT, 5, -PIXEL_LIMIT + 3, 6}, 1);
    const Pixels set = canvas.Set();
    EXPECT_TRUE(set.count({10, 20}));
    EXPECT_TRUE(set.count({10, 39}));
    EXPECT_TRUE(set.count({0, 0}));
    EXPECT_TRUE(set.count({39, 39}));
    EXPECT_FALSE(set.count({40, 39}));
}

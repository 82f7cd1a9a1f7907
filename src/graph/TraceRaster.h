// The traces' own line drawing into a 32-bit pixel buffer. Five channels of thousands of
// samples are drawn sample by sample, switching colour at every segment; a painter does
// that an order of magnitude slower than writing the pixels here.
#pragma once

#include <cstdint>

#include "graph/Pixels.h"

namespace qf {

struct PixelBuffer {
    std::uint32_t* bits = nullptr;
    int stride = 0;  // pixels from one row to the next
    int width = 0;
    int height = 0;
};

// A solid 1-px line from the segment's first end up to, not including, its second, so that
// joined segments set their shared pixel once. Clipped to the buffer; a zero-length
// segment sets nothing.
void RasterSegment(const PixelBuffer& buf, const PixelSegment& s, std::uint32_t colour);

}  // namespace qf

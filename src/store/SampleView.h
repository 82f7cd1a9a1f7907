// The samples of a recording where they lie, without copying: the live recording is held
// channel-major ([c][i]), a loaded file sample-major ([i][c]).
#pragma once

#include <cstddef>

#include "store/QFConstants.h"

namespace qf {

// Sample i of channel c is base[i * sampleStride + c * channelStride]. `capacity` is the
// number of samples the array holds; nothing beyond it is ever read, whatever a sample
// count says.
struct SampleView {
    const float* base = nullptr;
    std::ptrdiff_t sampleStride = 0;
    std::ptrdiff_t channelStride = 0;
    int capacity = 0;

    float At(int i, int c) const { return base[i * sampleStride + c * channelStride]; }

    // [c][i] arrays such as CQFDoc::m_liveSamples, `capacity` samples per channel.
    static SampleView ChannelMajor(const float* base, int capacity) {
        return {base, 1, capacity, capacity};
    }
    // [i][c] arrays of five channels, `capacity` samples.
    static SampleView SampleMajor(const float* base, int capacity) {
        return {base, NUM_CHANNELS, 1, capacity};
    }
};

}  // namespace qf

#include "store/CQFDoc.h"

#include <algorithm>

namespace qf {

CQFDoc::CQFDoc() {
    std::fill(&m_liveSamples[0][0], &m_liveSamples[0][0] + NUM_CHANNELS * MAX_SAMPLES, NO_VALUE);
}

void CQFDoc::StoreLiveSample(int index, const std::array<float, NUM_CHANNELS>& values) {
    if (index < 0 || index >= MAX_SAMPLES) {
        return;
    }
    for (int c = 0; c < NUM_CHANNELS; ++c) {
        m_liveSamples[c][index] = values[c];
    }
}

}  // namespace qf

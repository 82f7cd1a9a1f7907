#include "store/CQFDoc.h"

#include <algorithm>

namespace qf {

CQFDoc::CQFDoc() {
    std::fill(&m_liveSamples[0][0], &m_liveSamples[0][0] + NUM_CHANNELS * MAX_SAMPLES, NO_VALUE);
    std::fill(&m_fileSamples[0][0], &m_fileSamples[0][0] + NUM_CHANNELS * MAX_SAMPLES, NO_VALUE);
}

}  // namespace qf

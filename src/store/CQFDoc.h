// The single document: the live recording and the current record (the last data file opened).
// The two areas never mix.
#pragma once

#include <array>
#include <ctime>
#include <string>

#include "store/QFConstants.h"
#include "store/StoredRecord.h"

namespace qf {

class CQFDoc {
public:
    CQFDoc();

    // Writes slot `index` of the five live channels; an index outside the arrays writes
    // nothing.
    void StoreLiveSample(int index, const std::array<float, NUM_CHANNELS>& values);

    // Live recording, channel-major: [c][i] is sample i of channel c.
    float m_liveSamples[NUM_CHANNELS][MAX_SAMPLES];

    // The current record: the last data file opened, or the record the logger made current.
    StoredRecord m_file;
    std::string m_strSignature;
    std::string m_strReadSignature;
};

}  // namespace qf

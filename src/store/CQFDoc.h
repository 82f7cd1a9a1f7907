// The single document: the live recording and the data of the last data file opened.
// The two areas never mix.
#pragma once

#include <array>
#include <ctime>
#include <string>

#include "store/QFConstants.h"

namespace qf {

class CQFDoc {
public:
    CQFDoc();

    // Writes slot `index` of the five live channels; an index outside the arrays writes
    // nothing.
    void StoreLiveSample(int index, const std::array<float, NUM_CHANNELS>& values);

    // Everything a data file sets, taken from a document that read one. The samples beyond
    // its count stay as they are.
    void TakeFileArea(const CQFDoc& from);

    // The file's start as local time from its six date and time fields; the system decides
    // on daylight saving.
    std::time_t FileStartFields() const;

    // Live recording, channel-major: [c][i] is sample i of channel c.
    float m_liveSamples[NUM_CHANNELS][MAX_SAMPLES];

    // The last data file opened, sample-major: [i][c].
    int m_nFileCount = 0;
    float m_fileSamples[MAX_SAMPLES][NUM_CHANNELS];
    std::time_t m_tmFileStart = 0;  // the current record's start, set by the logger
    int m_nFileIntervalSec = 0;
    std::uint8_t m_nFileTempUnit = 0;
    std::uint8_t m_nFileSpeedUnit = 0;
    int m_nFileHour = 0;
    int m_nFileMinute = 0;
    int m_nFileSecond = 0;
    int m_nFileYear = 0;
    int m_nFileMonth = 0;
    int m_nFileDay = 0;
    float m_fFileSpeedFactor = 0.0f;
    std::string m_strFileTempUnit;
    std::string m_strFileSpeedUnit;
    std::string m_strSignature;
    std::string m_strReadSignature;
};

}  // namespace qf

#include "store/CQFDoc.h"

#include <algorithm>
#include <climits>

namespace qf {

CQFDoc::CQFDoc() {
    std::fill(&m_liveSamples[0][0], &m_liveSamples[0][0] + NUM_CHANNELS * MAX_SAMPLES, NO_VALUE);
    std::fill(&m_fileSamples[0][0], &m_fileSamples[0][0] + NUM_CHANNELS * MAX_SAMPLES, NO_VALUE);
}

void CQFDoc::StoreLiveSample(int index, const std::array<float, NUM_CHANNELS>& values) {
    if (index < 0 || index >= MAX_SAMPLES) {
        return;
    }
    for (int c = 0; c < NUM_CHANNELS; ++c) {
        m_liveSamples[c][index] = values[c];
    }
}

void CQFDoc::TakeFileArea(const CQFDoc& from) {
    m_nFileCount = from.m_nFileCount;
    const int count = std::clamp(from.m_nFileCount, 0, MAX_SAMPLES);
    std::copy(&from.m_fileSamples[0][0], &from.m_fileSamples[0][0] + count * NUM_CHANNELS,
              &m_fileSamples[0][0]);
    m_nFileIntervalSec = from.m_nFileIntervalSec;
    m_nFileTempUnit = from.m_nFileTempUnit;
    m_nFileSpeedUnit = from.m_nFileSpeedUnit;
    m_nFileHour = from.m_nFileHour;
    m_nFileMinute = from.m_nFileMinute;
    m_nFileSecond = from.m_nFileSecond;
    m_nFileYear = from.m_nFileYear;
    m_nFileMonth = from.m_nFileMonth;
    m_nFileDay = from.m_nFileDay;
    m_fFileSpeedFactor = from.m_fFileSpeedFactor;
    m_strFileTempUnit = from.m_strFileTempUnit;
    m_strFileSpeedUnit = from.m_strFileSpeedUnit;
    m_strReadSignature = from.m_strReadSignature;
}

std::time_t CQFDoc::FileStartFields() const {
    // A file may hold any year or month; keep the shift to the calendar's origin in range.
    const auto shiftDown = [](int v, int by) {
        return static_cast<int>(std::max<long long>(static_cast<long long>(v) - by, INT_MIN));
    };
    std::tm t{};
    t.tm_year = shiftDown(m_nFileYear, 1900);
    t.tm_mon = shiftDown(m_nFileMonth, 1);
    t.tm_mday = m_nFileDay;
    t.tm_hour = m_nFileHour;
    t.tm_min = m_nFileMinute;
    t.tm_sec = m_nFileSecond;
    t.tm_isdst = -1;
    return std::mktime(&t);
}

}  // namespace qf

#include "report/ReportSource.h"

#include "store/CQFDoc.h"
#include "store/YScale.h"

namespace qf {

ReportSamples ChannelMajorSamples(const float* base, int capacity) {
    return {base, 1, capacity, capacity};
}

ReportSamples SampleMajorSamples(const float* base, int capacity) {
    return {base, NUM_CHANNELS, 1, capacity};
}

std::array<float, REPORT_LABELS> ReportLabels(int yOffset, int yGain) {
    std::array<float, REPORT_LABELS> labels{};
    const int gain = EffectiveYGain(yGain);
    for (int i = 0; i < REPORT_LABELS; ++i) {
        labels[i] = static_cast<float>((static_cast<long long>(yOffset) + i) * gain);
    }
    return labels;
}

ReportSource LiveReportSource(const CQFDoc& doc, int sampleIndex) {
    ReportSource s;
    s.m_nCount = sampleIndex;
    s.samples = ChannelMajorSamples(doc.m_liveSamples);
    s.intervalUnit = ReportInterval::Milliseconds;
    s.m_nInterval = 1000;
    return s;
}

ReportSource FileReportSource(const CQFDoc& doc, const std::array<float, REPORT_LABELS>& labels) {
    ReportSource s;
    s.m_nCount = doc.m_nFileCount;
    s.samples = SampleMajorSamples(doc.m_fileSamples);
    s.m_nTempUnit = doc.m_nFileTempUnit;
    s.m_fSpeedFactor = doc.m_fFileSpeedFactor;
    s.m_fLabel = labels;
    s.m_tmStart = doc.m_tmFileStart;
    s.m_nInterval = doc.m_nFileIntervalSec;
    s.intervalUnit = ReportInterval::Seconds;
    return s;
}

}  // namespace qf

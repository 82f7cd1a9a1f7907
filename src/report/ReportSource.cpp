#include "report/ReportSource.h"

#include "store/CQFDoc.h"
#include "graph/GraphCore.h"

namespace qf {

std::array<float, REPORT_LABELS> ReportLabels(int yOffset, int yGain) {
    return LevelZeroLabels(yOffset, yGain);
}

ReportSource LiveReportSource(const CQFDoc& doc, int sampleIndex) {
    ReportSource s;
    s.count = sampleIndex;
    s.samples = ChannelMajorSamples(doc.m_liveSamples);
    s.intervalUnit = ReportInterval::Milliseconds;
    s.interval = 1000;
    return s;
}

ReportSource FileReportSource(const StoredRecord& r,
                              const std::array<float, REPORT_LABELS>& labels) {
    ReportSource s;
    s.count = r.count;
    s.samples = SampleMajorSamples(r.samples.empty() ? nullptr : r.samples.front().data(),
                                   static_cast<int>(r.samples.size()));
    s.tempUnit = r.tempUnit;
    s.speedFactor = r.speedFactor;
    s.labels = labels;
    s.start = r.start;
    s.interval = r.intervalSec;
    s.intervalUnit = ReportInterval::Seconds;
    return s;
}

}  // namespace qf

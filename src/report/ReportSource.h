// What the test report prints, gathered by its caller: the main view (live recording,
// channel-major samples, interval in milliseconds) or the logger window (current record,
// sample-major samples, interval in seconds).
#pragma once

#include <array>
#include <cstddef>
#include <ctime>

#include "live/GraphDisplayState.h"
#include "store/QFConstants.h"
#include "store/SampleView.h"
#include "store/StoredRecord.h"

namespace qf {

class CQFDoc;

inline constexpr int REPORT_LABELS = Y_LABELS;

// The samples where they lie, channel-major (live) or sample-major (a file).
using ReportSamples = SampleView;

inline ReportSamples ChannelMajorSamples(const float* base, int capacity) {
    return SampleView::ChannelMajor(base, capacity);
}
inline ReportSamples ChannelMajorSamples(const float (&live)[NUM_CHANNELS][MAX_SAMPLES]) {
    return ChannelMajorSamples(&live[0][0], MAX_SAMPLES);
}

// [i][c] arrays such as StoredRecord::samples, `capacity` samples of five channels.
inline ReportSamples SampleMajorSamples(const float* base, int capacity) {
    return SampleView::SampleMajor(base, capacity);
}

enum class ReportInterval {
    Milliseconds,  // main view: m_nIntervalMs
    Seconds,       // logger window: the record's intervalSec
};

struct ReportSource {
    int count = 0;  // samples to print; the layout keeps it within 0..capacity
    ReportSamples samples;
    int tempUnit = 0;  // 0 Celsius, 1 Fahrenheit; samples are stored in Celsius
    float speedFactor = 1.0f;
    std::array<float, REPORT_LABELS> labels{};  // L0 (bottom) .. L10 (top)
    std::time_t start = 0;
    int interval = 1;
    ReportInterval intervalUnit = ReportInterval::Seconds;
    TraceFlags traces;
};

// The value labels of both graphs at zoom level 0, by the graph core's LevelZeroLabels.
std::array<float, REPORT_LABELS> ReportLabels(int yOffset, int yGain);

// The main view's source: the live recording's m_nSampleIndex samples. The caller adds
// its units, labels, m_tmStart, m_nIntervalMs and show flags.
ReportSource LiveReportSource(const CQFDoc& doc, int sampleIndex);

// The logger window's source: the current record (its samples, units, start and interval)
// with the logger graph's labels. The caller adds the window's show flags.
ReportSource FileReportSource(const StoredRecord& record,
                              const std::array<float, REPORT_LABELS>& labels);

}  // namespace qf

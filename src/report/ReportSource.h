// What the test report prints, gathered by its caller: the main view (live recording,
// channel-major samples, interval in milliseconds) or the logger window (current record,
// sample-major samples, interval in seconds).
#pragma once

#include <array>
#include <cstddef>
#include <ctime>

#include "store/QFConstants.h"

namespace qf {

class CQFDoc;

inline constexpr int REPORT_LABELS = 11;

// Where sample i of channel c lies, without copying: base[i * sampleStride + c *
// channelStride]. `capacity` is the number of samples the array holds; nothing beyond it
// is ever read, whatever the sample count says.
struct ReportSamples {
    const float* base = nullptr;
    std::ptrdiff_t sampleStride = 0;
    std::ptrdiff_t channelStride = 0;
    int capacity = 0;

    float At(int i, int c) const { return base[i * sampleStride + c * channelStride]; }
};

// [c][i] arrays such as CQFDoc::m_liveSamples, `capacity` samples per channel.
ReportSamples ChannelMajorSamples(const float* base, int capacity);
inline ReportSamples ChannelMajorSamples(const float (&live)[NUM_CHANNELS][MAX_SAMPLES]) {
    return ChannelMajorSamples(&live[0][0], MAX_SAMPLES);
}

// [i][c] arrays such as CQFDoc::m_fileSamples, `capacity` samples of five channels.
ReportSamples SampleMajorSamples(const float* base, int capacity);
inline ReportSamples SampleMajorSamples(const float (&file)[MAX_SAMPLES][NUM_CHANNELS]) {
    return SampleMajorSamples(&file[0][0], MAX_SAMPLES);
}

enum class ReportInterval {
    Milliseconds,  // main view: m_nIntervalMs
    Seconds,       // logger window: m_nFileIntervalSec
};

struct ReportSource {
    int m_nCount = 0;  // samples to print; the layout keeps it within 0..capacity
    ReportSamples samples;
    int m_nTempUnit = 0;  // 0 Celsius, 1 Fahrenheit; samples are stored in Celsius
    float m_fSpeedFactor = 1.0f;
    std::array<float, REPORT_LABELS> m_fLabel{};  // L0 (bottom) .. L10 (top)
    std::time_t m_tmStart = 0;
    int m_nInterval = 1;
    ReportInterval intervalUnit = ReportInterval::Seconds;
    bool m_bShowAirT = true;
    bool m_bShowIrt = true;
    bool m_bShowAirV = true;
    bool m_bShowFlow = true;  // CFM and CMM
};

// The value labels of both graphs at zoom level 0: L_i = (offset + i) x gain, formed
// without integer overflow, on the gain the graphs draw with (EffectiveYGain).
std::array<float, REPORT_LABELS> ReportLabels(int yOffset, int yGain);

// The main view's source: the live recording's m_nSampleIndex samples. The caller adds
// its units, labels, m_tmStart, m_nIntervalMs and show flags.
ReportSource LiveReportSource(const CQFDoc& doc, int sampleIndex);

// The logger window's source: the document's current record (m_nFileCount samples, its
// units, m_tmFileStart and m_nFileIntervalSec) with the logger graph's labels. The caller
// adds the window's show flags.
ReportSource FileReportSource(const CQFDoc& doc, const std::array<float, REPORT_LABELS>& labels);

}  // namespace qf

// The ".txt" table written beside every saved data file: one CRLF line per sample in the
// display units, with a local time stamp. Nothing reads it back.
#pragma once

#include <cstddef>
#include <ctime>
#include <string>
#include <string_view>

#include "store/CQFDoc.h"
#include "store/DisplayUnits.h"
#include "store/Recording.h"
#include "store/StoredRecord.h"

namespace qf {

inline constexpr std::string_view TEXT_EXPORT_HEADER =
    "      NO             AirT                IRT               AirV                  CFM      "
    "           CMM             TIME";

// One recording as the export sees it, from either area of the document.
struct ExportSource {
    const float* m_pSamples = nullptr;
    std::ptrdiff_t m_nSampleStride = 0;  // floats from sample i to sample i + 1
    std::ptrdiff_t m_nChannelStride = 0;
    int m_nCount = 0;  // within 0..MAX_SAMPLES
    int m_nTempUnit = 0;
    std::string m_strTempUnit;
    float m_fSpeedFactor = 1.0f;
    std::string m_strSpeedUnit;
    std::time_t m_tmStart = 0;
    int m_nIntervalSec = 0;

    float Sample(int i, int channel) const {
        return m_pSamples[i * m_nSampleStride + channel * m_nChannelStride];
    }
};

// The live recording as Save sees it: m_nSampleIndex samples, interval m_nIntervalMs / 1000.
ExportSource LiveExportSource(const CQFDoc& doc, const RecordingState& live,
                              const DisplayUnits& units);

// A record as read, started at the file's local date and time; yields the same text as Save
// wrote for the recording the file came from.
ExportSource FileExportSource(const StoredRecord& record);

// Field texts without their unit. Temperatures come in Celsius; IRT is cut at its last
// digit, AirT rounded.
std::string TemperatureText(float celsius, int tempUnit, bool irt);
std::string SpeedText(float airV, float speedFactor);
std::string FlowText(float v);
// The same digits for a value already in display units (a mean, say), never missing.
std::string TemperatureDisplayText(double v, bool irt);
std::string SpeedDisplayText(double v, float speedFactor);
// "%m-%d-%y/%H:%M:%S" in local time.
std::string TimeStampText(std::time_t t);

std::string BuildTextExport(const ExportSource& source);

// The export's path: a data file's ".AsmDat" or ".CH4" ending (any case) replaced by ".txt";
// any other name gets ".txt" appended, so that "26-12-08 09.11.25" does not lose ".25".
std::string TextExportPath(const std::string& dataPath);
// The same rule for any other file written beside a data file (".csv").
std::string DataFileSibling(const std::string& dataPath, std::string_view extension);

// Control characters written as \xHH, so that a text from a file cannot drive a terminal.
std::string EscapeControls(std::string_view text);

// Whether `path` ends with `ending`, ASCII letters compared without case.
bool EndsWithNoCase(std::string_view path, std::string_view ending);

}  // namespace qf

#include "store/TextExport.h"

#include <algorithm>
#include <climits>
#include <cstdio>

#include "store/QFConstants.h"
#include "store/ValueText.h"

namespace qf {

namespace {

constexpr std::string_view MISSING = "----";

constexpr std::string_view EOL = "\r\n";

// Right-aligned to at least `width`, never cut.
void PutField(std::string& out, std::string_view text, std::size_t width) {
    if (text.size() < width) {
        out.append(width - text.size(), ' ');
    }
    out.append(text);
}

void PutField(std::string& out, std::string_view text, std::string_view unit, std::size_t width) {
    const std::size_t size = text.size() + unit.size();
    if (size < width) {
        out.append(width - size, ' ');
    }
    out.append(text);
    out.append(unit);
}

}  // namespace

ExportSource LiveExportSource(const CQFDoc& doc, const RecordingState& live,
                              const DisplayUnits& units) {
    ExportSource s;
    s.m_pSamples = &doc.m_liveSamples[0][0];
    s.m_nSampleStride = 1;
    s.m_nChannelStride = MAX_SAMPLES;
    s.m_nCount = std::clamp(live.m_nSampleIndex, 0, MAX_SAMPLES);
    s.m_nTempUnit = units.m_nTempUnit;
    s.m_strTempUnit = units.m_strTempUnit;
    s.m_fSpeedFactor = units.m_fSpeedFactor;
    s.m_strSpeedUnit = units.m_strSpeedUnit;
    s.m_tmStart = live.m_tmStart;
    s.m_nIntervalSec = live.m_nIntervalMs / 1000;
    return s;
}

ExportSource FileExportSource(const StoredRecord& r) {
    ExportSource s;
    s.m_pSamples = r.samples.empty() ? nullptr : r.samples.front().data();
    s.m_nSampleStride = NUM_CHANNELS;
    s.m_nChannelStride = 1;
    s.m_nCount = std::clamp(r.count, 0, static_cast<int>(r.samples.size()));
    s.m_nTempUnit = r.tempUnit;
    s.m_strTempUnit = r.tempUnitText;
    s.m_fSpeedFactor = r.speedFactor;
    s.m_strSpeedUnit = r.speedUnitText;
    s.m_tmStart = StartTime(r.startFields);
    s.m_nIntervalSec = r.intervalSec;
    return s;
}

std::string TemperatureText(float celsius, int tempUnit, bool irt) {
    if (IsMissingTemperature(celsius)) {
        return std::string(MISSING);
    }
    return TemperatureDisplayText(tempUnit == 1 ? ToFahrenheit(celsius) : double(celsius), irt);
}

std::string TemperatureDisplayText(double v, bool irt) {
    if (irt && (v > 0.05 || v < -0.05)) {
        return FormatCut(v, 1);
    }
    return FormatFixed(v, 1);
}

std::string SpeedText(float airV, float speedFactor) {
    if (IsMissingSpeed(airV)) {
        return std::string(MISSING);
    }
    return SpeedDisplayText(double(airV) * double(speedFactor), speedFactor);
}

std::string SpeedDisplayText(double v, float speedFactor) {
    if (speedFactor == 1.0f) {
        return FormatFixed(v, 2);
    }
    return v > 0.05 ? FormatCut(v, 1) : FormatFixed(v, 1);
}

std::string FlowText(float v) {
    if (v < 0.0f) {
        return std::string(MISSING);
    }
    if (v < 10.0f) {
        return FormatFixed(v, 3);
    }
    if (v < 100.0f) {
        return FormatFixed(v, 2);
    }
    if (v < 1000.0f) {
        return FormatFixed(v, 1);
    }
    return FormatFixed(v, 0);
}

std::string TimeStampText(std::time_t t) {
    std::tm local{};
    char buf[64];
    if (!localtime_r(&t, &local)) {
        return std::string();
    }
    const std::size_t n = std::strftime(buf, sizeof buf, "%m-%d-%y/%H:%M:%S", &local);
    return std::string(buf, n);
}

std::string EscapeControls(std::string_view text) {
    std::string out;
    for (const unsigned char c : text) {
        if (c < 0x20 || c == 0x7F) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", c);
            out += hex;
        } else {
            out += char(c);
        }
    }
    return out;
}

std::string BuildTextExport(const ExportSource& s) {
    // A unit text from a file may hold anything: no escape sequence reaches a terminal
    // or an editor through the table.
    const std::string tempUnit = EscapeControls(s.m_strTempUnit);
    const std::string speedUnit = EscapeControls(s.m_strSpeedUnit);
    const int count = std::clamp(s.m_nCount, 0, MAX_SAMPLES);
    std::string out;
    out.reserve(TEXT_EXPORT_HEADER.size() + 2 + static_cast<std::size_t>(count) * 140);
    out.append(TEXT_EXPORT_HEADER);
    out.append(EOL);
    for (int i = 0; i < count; ++i) {
        const std::time_t stamp =
            s.m_tmStart + static_cast<std::time_t>(i) * static_cast<std::time_t>(s.m_nIntervalSec);
        out.append("  ");
        PutField(out, std::to_string(i + 1), 5);
        out.append(10, ' ');
        PutField(out, TemperatureText(s.Sample(i, CH_AIRT), s.m_nTempUnit, false), tempUnit, 9);
        out.append(11, ' ');
        PutField(out, TemperatureText(s.Sample(i, CH_IRT), s.m_nTempUnit, true), tempUnit, 9);
        out.append(11, ' ');
        PutField(out, SpeedText(s.Sample(i, CH_AIRV), s.m_fSpeedFactor), speedUnit, 9);
        out.append(11, ' ');
        PutField(out, FlowText(s.Sample(i, CH_CFM)), 9);
        out.append(11, ' ');
        PutField(out, FlowText(s.Sample(i, CH_CMM)), 9);
        out.append(11, ' ');
        PutField(out, TimeStampText(stamp), 8);
        out.append("  ");
        out.append(EOL);
    }
    return out;
}

bool EndsWithNoCase(std::string_view path, std::string_view ending) {
    if (path.size() < ending.size()) {
        return false;
    }
    const std::string_view tail = path.substr(path.size() - ending.size());
    return std::equal(tail.begin(), tail.end(), ending.begin(), [](char a, char b) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
        return lower(a) == lower(b);
    });
}

std::string TextExportPath(const std::string& dataPath) {
    return DataFileSibling(dataPath, ".txt");
}

std::string DataFileSibling(const std::string& dataPath, std::string_view extension) {
    // Only the data files' own endings are replaced: any other dot may be part of the name
    // (a time of day), and a ".txt" data file must not be overwritten by its own export.
    for (const std::string_view ending : {std::string_view(".AsmDat"), std::string_view(".CH4")}) {
        const std::size_t stem = dataPath.size() - ending.size();
        if (EndsWithNoCase(dataPath, ending) && stem > 0 && dataPath[stem - 1] != '/') {
            return dataPath.substr(0, stem) + std::string(extension);
        }
    }
    return dataPath + std::string(extension);
}

}  // namespace qf

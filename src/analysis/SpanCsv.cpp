#include "analysis/SpanCsv.h"

#include <algorithm>
#include <charconv>
#include <cstdio>

#include "analysis/SpanTime.h"
#include "store/TextExport.h"

namespace qf {

namespace {

constexpr std::string_view CRLF = "\r\n";

bool IsControl(unsigned char c) {
    return c < 0x20 || c == 0x7F;
}

std::string HeaderCell(const char* name, const std::string& unit) {
    return CsvCell(unit.empty() ? std::string(name) : std::string(name) + " (" + unit + ")");
}

// The .txt table's digits; empty where the statistics see no reading.
void PutValue(std::string& out, int channel, float stored, const StoredRecord& r) {
    if (!DisplayValue(channel, stored, r)) {
        return;
    }
    switch (channel) {
        case CH_AIRT:
        case CH_IRT:
            out += TemperatureText(stored, r.tempUnit, channel == CH_IRT);
            break;
        case CH_AIRV:
            out += SpeedText(stored, r.speedFactor);
            break;
        default:
            out += FlowText(stored);
            break;
    }
}

}  // namespace

std::string CsvCell(std::string_view text) {
    bool quote = false;
    std::string body;
    body.reserve(text.size());
    for (const char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if (c == '"') {
            body += "\"\"";
            quote = true;
        } else if (c == ',' || c == '\r' || c == '\n') {
            body += ch;
            quote = true;
        } else if (IsControl(c)) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", c);
            body += escaped;
            quote = true;
        } else if (c >= 0x80) {
            body += static_cast<char>(0xC0 | (c >> 6));
            body += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            body += ch;
        }
    }
    return quote ? "\"" + body + "\"" : body;
}

std::string BuildSpanCsv(const StoredRecord& record, SampleSpan span) {
    const SampleSpan s{std::max(span.first, 0), std::min(span.last, WholeRecord(record).last)};
    std::string out = "time,elapsed_s," + HeaderCell("AirT", record.tempUnitText) + "," +
                      HeaderCell("IRT", record.tempUnitText) + "," +
                      HeaderCell("AirV", record.speedUnitText) + ",CFM,CMM";
    out += CRLF;
    out.reserve(out.size() + std::size_t(s.Size()) * 80);
    for (int i = s.first; i <= s.last; ++i) {
        out += IsoLocalTime(SampleTime(record, i));
        out += ',';
        char number[24];
        const auto res = std::to_chars(number, number + sizeof number, ElapsedSeconds(record, i));
        out.append(number, res.ptr);
        const StoredSample& sample = record.samples[std::size_t(i)];
        for (int c = 0; c < NUM_CHANNELS; ++c) {
            out += ',';
            PutValue(out, c, sample[std::size_t(c)], record);
        }
        out += CRLF;
    }
    return out;
}

}  // namespace qf

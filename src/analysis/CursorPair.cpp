#include "analysis/CursorPair.h"

#include <cmath>
#include <cstdio>
#include <optional>

#include "analysis/SpanStatistics.h"
#include "analysis/SpanTime.h"
#include "graph/ClockText.h"

namespace qf {

namespace {

constexpr char MISSING[] = "----";

std::optional<double> ValueAt(const StoredRecord& r, int channel, int sample) {
    if (sample < 0 || sample >= r.count || std::size_t(sample) >= r.samples.size()) {
        return std::nullopt;
    }
    return DisplayValue(channel, r.samples[std::size_t(sample)][channel], r);
}

}  // namespace

std::string DurationText(long long seconds) {
    const bool negative = seconds < 0;
    const unsigned long long s = negative ? 0ULL - static_cast<unsigned long long>(seconds)
                                          : static_cast<unsigned long long>(seconds);
    char text[64];
    if (s < 60) {
        std::snprintf(text, sizeof text, "%s%llu s", negative ? "-" : "", s);
    } else if (s < 3600) {
        std::snprintf(text, sizeof text, "%s%llu:%02llu (%llu s)", negative ? "-" : "", s / 60,
                      s % 60, s);
    } else {
        std::snprintf(text, sizeof text, "%s%llu:%02llu:%02llu (%llu s)", negative ? "-" : "",
                      s / 3600, s / 60 % 60, s % 60, s);
    }
    return text;
}

CursorPairTexts ReadCursorPair(const StoredRecord& r, int a, int b, const TraceFlags& traces) {
    CursorPairTexts t;
    t.timeA = FormatClock(SampleTime(r, a));
    t.timeB = FormatClock(SampleTime(r, b));
    t.deltaT = DurationText((static_cast<long long>(b) - a) * r.intervalSec);
    for (int c = 0; c < NUM_CHANNELS; ++c) {
        if (!traces.Shown(c)) {
            continue;
        }
        const std::string unit = ChannelUnitText(c, r);
        const std::string gap = c >= CH_CFM ? " " : "";
        const std::optional<double> va = ValueAt(r, c, a);
        const std::optional<double> vb = ValueAt(r, c, b);
        CursorPairRow row;
        row.name = CHANNEL_NAMES[c];
        row.a = va ? DisplayValueText(c, *va, r) + gap + unit : MISSING;
        row.b = vb ? DisplayValueText(c, *vb, r) + gap + unit : MISSING;
        if (va && vb) {
            // The size at the channel's resolution, the sign in front: flows below zero
            // would read as missing.
            const double d = *vb - *va;
            const std::string size = DisplayValueText(c, std::abs(d), r);
            const bool zero = size.find_first_not_of("0.") == std::string::npos;
            row.delta = (zero ? "" : d > 0 ? "+" : "-") + size + gap + unit;
        }
        t.rows.push_back(std::move(row));
    }
    return t;
}

}  // namespace qf

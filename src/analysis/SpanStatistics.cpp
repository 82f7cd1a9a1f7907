#include "analysis/SpanStatistics.h"

#include <algorithm>
#include <cmath>

#include "analysis/SpanTime.h"
#include "store/TextExport.h"

namespace qf {

namespace {

// The samples a record really holds; a count beyond them is never believed.
int UsableCount(const StoredRecord& r) {
    return std::clamp(r.count, 0, static_cast<int>(r.samples.size()));
}

bool IsTemperature(int channel) {
    return channel == CH_AIRT || channel == CH_IRT;
}

std::string WithUnit(int channel, const std::string& value, const std::string& unit) {
    // The flows' unit is a word; a bare number beside it would read as one.
    return channel >= CH_CFM ? value + " " + unit : value + unit;
}

// A tab or line break in a unit text would split the spreadsheet's cells.
std::string TabCell(std::string text) {
    std::replace_if(
        text.begin(), text.end(), [](char c) { return c == '\t' || c == '\n' || c == '\r'; }, ' ');
    return text;
}

}  // namespace

SampleSpan WholeRecord(const StoredRecord& record) {
    return {0, UsableCount(record) - 1};
}

std::optional<double> DisplayValue(int channel, float stored, const StoredRecord& record) {
    if (!std::isfinite(stored)) {
        return std::nullopt;
    }
    double v = stored;
    if (IsTemperature(channel)) {
        if (IsMissingTemperature(stored)) {
            return std::nullopt;
        }
        if (record.tempUnit == 1) {
            v = ToFahrenheit(stored);
        }
    } else {
        if (IsMissingSpeed(stored)) {
            return std::nullopt;
        }
        if (channel == CH_AIRV) {
            v = double(stored) * double(record.speedFactor);
        }
    }
    // A file may hold any speed factor.
    return std::isfinite(v) ? std::optional<double>(v) : std::nullopt;
}

SpanStatistics ComputeSpanStatistics(const StoredRecord& record, SampleSpan span) {
    SpanStatistics stats;
    stats.span = {std::max(span.first, 0), std::min(span.last, UsableCount(record) - 1)};
    std::array<double, NUM_CHANNELS> sums{};
    for (int i = stats.span.first; i <= stats.span.last; ++i) {
        const StoredSample& sample = record.samples[std::size_t(i)];
        for (int c = 0; c < NUM_CHANNELS; ++c) {
            const std::optional<double> v = DisplayValue(c, sample[std::size_t(c)], record);
            if (!v) {
                continue;
            }
            ChannelStatistics& s = stats.channels[std::size_t(c)];
            if (s.valid == 0 || *v < s.min) {
                s.min = *v;
                s.minIndex = i;
            }
            if (s.valid == 0 || *v > s.max) {
                s.max = *v;
                s.maxIndex = i;
            }
            sums[std::size_t(c)] += *v;
            ++s.valid;
        }
    }
    for (int c = 0; c < NUM_CHANNELS; ++c) {
        ChannelStatistics& s = stats.channels[std::size_t(c)];
        if (s.valid > 0) {
            s.mean = sums[std::size_t(c)] / s.valid;
        }
    }
    return stats;
}

std::string ChannelUnitText(int channel, const StoredRecord& record) {
    if (IsTemperature(channel)) {
        return record.tempUnitText;
    }
    return channel == CH_AIRV ? record.speedUnitText : std::string(CHANNEL_NAMES[channel]);
}

std::string DisplayValueText(int channel, double value, const StoredRecord& record) {
    if (IsTemperature(channel)) {
        return TemperatureDisplayText(value, channel == CH_IRT);
    }
    if (channel == CH_AIRV) {
        return SpeedDisplayText(value, record.speedFactor);
    }
    return FlowText(static_cast<float>(value));
}

std::array<ChannelStatisticsTexts, NUM_CHANNELS> StatisticsTexts(const SpanStatistics& stats,
                                                                 const StoredRecord& record) {
    std::array<ChannelStatisticsTexts, NUM_CHANNELS> rows;
    for (int c = 0; c < NUM_CHANNELS; ++c) {
        const ChannelStatistics& s = stats.channels[std::size_t(c)];
        ChannelStatisticsTexts& t = rows[std::size_t(c)];
        t.name = CHANNEL_NAMES[c];
        t.unit = ChannelUnitText(c, record);
        t.valid = std::to_string(s.valid);
        if (s.valid == 0) {
            continue;
        }
        t.min = WithUnit(c, DisplayValueText(c, s.min, record), t.unit);
        t.max = WithUnit(c, DisplayValueText(c, s.max, record), t.unit);
        t.mean = WithUnit(c, DisplayValueText(c, s.mean, record), t.unit);
        t.minTime = IsoLocalTime(SampleTime(record, s.minIndex));
        t.maxTime = IsoLocalTime(SampleTime(record, s.maxIndex));
    }
    return rows;
}

std::string StatisticsTabText(const SpanStatistics& stats, const StoredRecord& record) {
    std::string out = "Channel\tUnit\tValid\tMin\tMin time\tMax\tMax time\tMean\n";
    const auto rows = StatisticsTexts(stats, record);
    for (int c = 0; c < NUM_CHANNELS; ++c) {
        const ChannelStatistics& s = stats.channels[std::size_t(c)];
        const ChannelStatisticsTexts& t = rows[std::size_t(c)];
        const bool numbers = s.valid > 0;
        const auto value = [&](double v) {
            return numbers ? DisplayValueText(c, v, record) : std::string();
        };
        for (const std::string& cell : {t.name, TabCell(t.unit), t.valid, value(s.min), t.minTime,
                                        value(s.max), t.maxTime, value(s.mean)}) {
            out += cell;
            out += '\t';
        }
        out.back() = '\n';
    }
    return out;
}

}  // namespace qf

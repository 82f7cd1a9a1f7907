#include "analysis/SpanStatistics.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

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

// Four channels of one sample side by side, as the record holds them.
using Floats = float __attribute__((vector_size(16)));
using Ints = std::int32_t __attribute__((vector_size(16)));
using Doubles = double __attribute__((vector_size(16)));

constexpr float INF = std::numeric_limits<float>::infinity();

// Running numbers of four channels in stored units, one channel a lane, with no branch on
// a value. Strict comparisons keep the first sample of a minimum or maximum.
struct Lanes {
    Floats lowest;  // per lane: below it a reading is missing
    Floats low = {INF, INF, INF, INF};
    Floats high = {-INF, -INF, -INF, -INF};
    Ints minIndex = {-1, -1, -1, -1};
    Ints maxIndex = {-1, -1, -1, -1};
    Ints valid = {0, 0, 0, 0};
    Doubles sumLow = {0.0, 0.0};  // lanes 0 and 1 in double
    Doubles sumHigh = {0.0, 0.0};

    void Take(Floats v, Ints at) {
        constexpr float FINITE = std::numeric_limits<float>::max();
        // Not a number fails both comparisons, an infinity one of them.
        const Ints ok = (v >= lowest) & (v <= FINITE);
        const Ints lower = ok & (v < low);
        const Ints higher = ok & (v > high);
        low = lower ? v : low;
        minIndex = lower ? at : minIndex;
        high = higher ? v : high;
        maxIndex = higher ? at : maxIndex;
        valid -= ok;
        const Floats counted = ok ? v : Floats{};
        sumLow += __builtin_convertvector(__builtin_shufflevector(counted, counted, 0, 1), Doubles);
        sumHigh +=
            __builtin_convertvector(__builtin_shufflevector(counted, counted, 2, 3), Doubles);
    }

    // Folds all four lanes, the numbers of one channel, into lane 0; equal values keep
    // the earlier sample.
    void Fold() {
        for (int l = 1; l < 4; ++l) {
            if (low[l] < low[0] || (low[l] == low[0] && minIndex[l] < minIndex[0])) {
                low[0] = low[l];
                minIndex[0] = minIndex[l];
            }
            if (high[l] > high[0] || (high[l] == high[0] && maxIndex[l] < maxIndex[0])) {
                high[0] = high[l];
                maxIndex[0] = maxIndex[l];
            }
            valid[0] += valid[l];
        }
        sumLow[0] += sumLow[1] + (sumHigh[0] + sumHigh[1]);
    }

    ChannelStatistics Lane(int lane, const Conversion& k) const {
        ChannelStatistics s;
        s.valid = valid[lane];
        if (s.valid == 0) {
            return s;
        }
        // The conversion keeps the order, unless a file gives a negative speed factor.
        const bool turned = k.factor < 0.0;
        s.min = k.Convert(turned ? high[lane] : low[lane]);
        s.max = k.Convert(turned ? low[lane] : high[lane]);
        s.minIndex = turned ? maxIndex[lane] : minIndex[lane];
        s.maxIndex = turned ? minIndex[lane] : maxIndex[lane];
        const double sum = lane < 2 ? sumLow[lane] : sumHigh[lane - 2];
        s.mean = k.Convert(sum / s.valid);
        return s;
    }
};

}  // namespace

Conversion ConversionOf(int channel, const StoredRecord& record) {
    Conversion k;
    k.temperature = IsTemperature(channel);
    k.fahrenheit = k.temperature && record.tempUnit == 1;
    k.factor = channel == CH_AIRV ? double(record.speedFactor) : 1.0;
    return k;
}

SampleSpan WholeRecord(const StoredRecord& record) {
    return {0, UsableCount(record) - 1};
}

std::optional<double> DisplayValue(int channel, float stored, const StoredRecord& record) {
    return ConversionOf(channel, record).Apply(stored);
}

SpanStatistics ComputeSpanStatistics(const StoredRecord& record, SampleSpan span) {
    SpanStatistics stats;
    stats.span = {std::max(span.first, 0), std::min(span.last, UsableCount(record) - 1)};
    // In stored units, converted at the end: the conversions are linear. Channels 0..3
    // of a sample are four lanes as they lie; the last channel of four samples another.
    constexpr float T = LOWEST_TEMPERATURE;
    constexpr float S = LOWEST_SPEED;
    Lanes four{.lowest = {T, T, S, S}};
    Lanes last{.lowest = {S, S, S, S}};
    for (int i = stats.span.first; i <= stats.span.last; i += 4) {
        Floats cmm = {NAN, NAN, NAN, NAN};  // beyond the span: counts nothing
        const Ints at = {i, i + 1, i + 2, i + 3};
        for (int k = 0; k < 4 && i + k <= stats.span.last; ++k) {
            const StoredSample& sample = record.samples[std::size_t(i + k)];
            Floats v;
            std::memcpy(&v, sample.data(), sizeof v);
            four.Take(v, Ints{} + (i + k));
            cmm[k] = sample[CH_CMM];
        }
        last.Take(cmm, at);
    }
    last.Fold();
    for (int c = 0; c < NUM_CHANNELS; ++c) {
        const Conversion k = ConversionOf(c, record);
        // No velocity survives a speed factor that is not a number.
        if (std::isfinite(k.factor)) {
            stats.channels[std::size_t(c)] = c < CH_CMM ? four.Lane(c, k) : last.Lane(0, k);
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

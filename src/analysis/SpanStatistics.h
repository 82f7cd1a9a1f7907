// Numbers over a span of a recording: per channel the valid count, minimum and maximum with
// their sample, and the mean, in the record's display units. The statistics window, the
// report and the tool call these with a span and a record.
#pragma once

#include <array>
#include <cmath>
#include <optional>
#include <string>

#include "store/QFConstants.h"
#include "store/StoredRecord.h"

namespace qf {

// Sample indices first..last, both included. Empty when last < first.
struct SampleSpan {
    int first = 0;
    int last = -1;

    int Size() const { return last >= first ? last - first + 1 : 0; }
};

// The whole record.
SampleSpan WholeRecord(const StoredRecord& record);

struct ChannelStatistics {
    int valid = 0;  // samples with a reading; min, max and mean mean nothing while 0
    double min = 0.0;
    double max = 0.0;
    double mean = 0.0;
    int minIndex = -1;  // the first sample holding min (or max): its time is the caller's
    int maxIndex = -1;
};

struct SpanStatistics {
    SampleSpan span;  // as computed: within the record
    std::array<ChannelStatistics, NUM_CHANNELS> channels;
};

// How one channel's stored samples become display values: Fahrenheit when the record says
// so, velocity times the speed factor, flows as stored; a missing reading (the usual rule,
// or not a finite number) gives nothing.
struct Conversion {
    bool temperature = false;
    bool fahrenheit = false;
    double factor = 1.0;

    bool Valid(float stored) const {
        return std::isfinite(stored) &
               !(temperature ? IsMissingTemperature(stored) : IsMissingSpeed(stored));
    }
    double Convert(double stored) const {
        return fahrenheit ? ToFahrenheit(stored) : stored * factor;
    }
    std::optional<double> Apply(float stored) const {
        if (!Valid(stored)) {
            return std::nullopt;
        }
        // A file may hold any speed factor.
        const double v = Convert(stored);
        return std::isfinite(v) ? std::optional<double>(v) : std::nullopt;
    }
};

Conversion ConversionOf(int channel, const StoredRecord& record);

// A stored sample in display units: Fahrenheit when the record says so, velocity times
// the speed factor, flows as stored. Nothing for a missing reading.
std::optional<double> DisplayValue(int channel, float stored, const StoredRecord& record);

// The span is kept within the record's samples.
SpanStatistics ComputeSpanStatistics(const StoredRecord& record, SampleSpan span);

// The unit a channel is shown in: the record's unit texts, "CFM" and "CMM" for the flows.
std::string ChannelUnitText(int channel, const StoredRecord& record);

// A display value at the meter's resolution, as the read-outs and the .txt table show it,
// without its unit.
std::string DisplayValueText(int channel, double value, const StoredRecord& record);

// One channel's statistics as a window or a printed report shows them: values with their
// unit ("23.5C", "1.25m/s", "12.50 CFM"), times as ISO 8601 local time. Every number
// text is empty when the channel has no valid sample.
struct ChannelStatisticsTexts {
    std::string name;
    std::string unit;
    std::string valid;
    std::string min;
    std::string minTime;
    std::string max;
    std::string maxTime;
    std::string mean;
};

std::array<ChannelStatisticsTexts, NUM_CHANNELS> StatisticsTexts(const SpanStatistics& stats,
                                                                 const StoredRecord& record);

// The statistics as tab-separated lines for a spreadsheet: a header row, then one row per
// channel; values without their unit (the unit has its own column); LF line ends.
std::string StatisticsTabText(const SpanStatistics& stats, const StoredRecord& record);

}  // namespace qf

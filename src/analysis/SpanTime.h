// Times of a span: parsing a time from the recording's start, the samples a span of
// seconds holds, and the local ISO 8601 time of a sample.
#pragma once

#include <ctime>
#include <optional>
#include <string>
#include <string_view>

#include "analysis/SpanStatistics.h"
#include "store/StoredRecord.h"

namespace qf {

// "90", "1:30" or "1:02:03": whole seconds from the recording's start. Minutes and seconds
// after a colon are two digits below 60. Nothing for any other text.
std::optional<long long> ParseSpanTime(std::string_view text);

struct SpanChoice {
    SampleSpan span;
    std::string error;  // one line, empty when the span holds samples
};

// The samples whose elapsed time (index x interval) lies in [from, to]; `to` beyond the
// end stops at the last sample. from > to, from beyond the last sample, or a span that
// holds no sample is an error.
SpanChoice SpanOfSeconds(const StoredRecord& record, long long from, std::optional<long long> to);

// Seconds from the record's start to sample i.
long long ElapsedSeconds(const StoredRecord& record, int i);
std::time_t SampleTime(const StoredRecord& record, int i);

// "2014-03-05T09:15:00+01:00": local time with its UTC offset; empty when t cannot be
// broken down.
std::string IsoLocalTime(std::time_t t);

}  // namespace qf

// A span of a recording as CSV (RFC 4180): comma separated, CRLF line ends, UTF-8, a dot
// for decimals whatever the locale. Columns: time (local ISO 8601 with offset), elapsed_s,
// then the five channels with the .txt table's digits; an empty cell for a missing reading.
#pragma once

#include <string>
#include <string_view>

#include "analysis/SpanStatistics.h"
#include "store/StoredRecord.h"

namespace qf {

// One cell: quoted when it holds a comma, a quote, a line break or another control
// character, quotes doubled; other control characters written as \xNN; 8-bit text read
// as Latin-1 and written as UTF-8, as the unit texts of a data file are 8-bit text.
std::string CsvCell(std::string_view text);

// The header row and one row per sample of the span (kept within the record).
std::string BuildSpanCsv(const StoredRecord& record, SampleSpan span);

}  // namespace qf

// "Export CSV...": the span the statistics describe, written as CSV where the user chooses,
// atomically and never over anything but a regular file.
#pragma once

#include <QString>
#include <optional>

#include "analysis/SpanStatistics.h"

class QWidget;

namespace qf {

class IUserPrompts;

inline constexpr char CSV_FILE_FILTER[] = "CSV files (*.csv)";

// Asks where to (proposing `proposedName`), writes, and returns the path written; nothing
// on Cancel. A failed write is said in a message naming the file and the reason.
std::optional<QString> ExportSpanCsv(QWidget* parent, IUserPrompts& prompts,
                                     const StoredRecord& record, SampleSpan span,
                                     const QString& proposedName);

}  // namespace qf

// The Print command of both windows: the print dialog, then the report, then any message,
// all through the owner's prompts so that tests drive it without a printer.
#pragma once

#include "report/ReportSource.h"

class QWidget;

namespace qf {

class IUserPrompts;

// Nothing happens for a source without samples. Returns true when a page was printed.
bool PrintReport(const ReportSource& source, QWidget* owner, IUserPrompts& prompts);

}  // namespace qf

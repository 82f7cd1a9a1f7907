// The summary page as a one-page PDF document in memory, for qf7720-tool report.
#pragma once

#include <QByteArray>

#include "report/SummaryLayout.h"

namespace qf {

// The paper of `input` without margins of the writer's own: the layout keeps its 15 mm.
// Empty when the page could not be drawn.
QByteArray SummaryPdf(const SummaryInput& input);

}  // namespace qf

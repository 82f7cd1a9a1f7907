// The test report as a one-page PDF document in memory, for qf7720-tool report.
#pragma once

#include <QByteArray>
#include <ctime>

#include "report/ReportSource.h"

class QPageSize;

namespace qf {

// A printer cannot print to the paper's edge; the PDF keeps a border of this width, so the
// report sits where a printer would put it.
inline constexpr double REPORT_PDF_MARGIN_MM = 10.0;

// Empty when the page could not be drawn.
QByteArray ReportPdf(const ReportSource& source, const QPageSize& pageSize, std::time_t now);

// Replaces the creation date, the one thing that differs between two PDFs of the same
// page, by `t` in UTC, keeping the length so that the cross-reference offsets stay right.
// False, with `pdf` unchanged, when that is not possible.
bool SetPdfCreationDate(QByteArray& pdf, std::time_t t);

}  // namespace qf

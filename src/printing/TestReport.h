// Printing the test report for the main view's Print command and the logger window's
// Print button. The caller builds the dialog, shows it and any message through its own
// prompts; these functions know no window.
//
//   QPrinter printer(QPrinter::HighResolution);
//   PrepareReportPrinter(printer, QDateTime::currentDateTime());
//   QPrintDialog dialog(&printer, owner);
//   PrepareReportPrintDialog(dialog);
//   if (!prompts.RunDialog(dialog)) return;                     // cancelled: nothing printed
//   const ReportPrintStatus status = TestReport(printer, source, std::time(nullptr));
//   if (const char* text = ReportPrintStatusText(status)) prompts.ShowMessage(owner, text);
#pragma once

#include <QString>
#include <ctime>
#include <functional>

#include "report/ReportSource.h"

class QDateTime;
class QPainter;
class QPrintDialog;
class QPrinter;

namespace qf {

// The print job's document name, also the title of a PDF.
inline constexpr char REPORT_DOC_NAME[] = "client   print";

enum class ReportPrintStatus {
    Ok,
    NoSamples,      // nothing to print; no job started, no message
    PrinterBusy,    // no usable printer: nothing printed
    InitError,      // the job could not start: nothing printed
    CantStartPage,  // the page could not start: the job is aborted
};

inline constexpr char PRINTER_BUSY_TEXT[] = "Printer is busy!";
inline constexpr char INIT_ERROR_TEXT[] = "Initial error!";
inline constexpr char CANT_START_PAGE_TEXT[] = "Can't start printing!";

// The message the owner window shows for a status, with the application title as caption;
// nullptr where none is shown.
const char* ReportPrintStatusText(ReportPrintStatus status);

// Prints the one-page report on a printer already chosen by the print dialog. `now` is
// the printing date shown on the page.
ReportPrintStatus TestReport(QPrinter& printer, const ReportSource& source, std::time_t now);

// One page on `printer`: starts the job, `paint` draws, ends it; the job's failures as statuses.
ReportPrintStatus PrintPage(QPrinter& printer, const std::function<void(QPainter&)>& paint);

// Whole document only: page numbers, selection and current page disabled. Printing to a
// PDF file stays offered, as on many machines it is the only printer.
void PrepareReportPrintDialog(QPrintDialog& dialog);

// "QF7720 report 2026-12-08 14-03.pdf" in the user's documents folder (the home folder
// when there is none).
QString DefaultReportPdfPath(const QDateTime& now);

// Before the dialog: names the job and, where the printer writes a PDF file because the
// machine has no printer, proposes DefaultReportPdfPath. A chosen printer is kept.
void PrepareReportPrinter(QPrinter& printer, const QDateTime& now);

}  // namespace qf

// "Print Summary…" of both windows: the summary dialog, the print dialog (the PDF file name
// proposed as for Print), then the page, with any message through the owner's prompts.
//
//   SummaryRequest request;
//   request.record = doc.m_file;        // or LiveStoredRecord(...) in the main window
//   request.viewSpan = span the statistics use (cursors A..B, else the visible span);
//   request.traces = the window's show flags;
//   request.fileName = "duct.AsmDat";   // empty for the live recording
//   PrintSummary(request, this, prompts);
#pragma once

#include <ctime>
#include <string>

#include "ui/CSummaryDlg.h"
#include "printing/TestReport.h"
#include "report/SummaryLayout.h"
#include "store/StoredRecord.h"

class QPrinter;
class QWidget;

namespace qf {

class IUserPrompts;

struct SummaryRequest {
    StoredRecord record;
    SampleSpan viewSpan;  // for "Print summary of the visible span"
    TraceFlags traces;
    std::string fileName;  // shown as it is; empty for the live recording
    SummaryChoice preset;  // the dialog's fields at start
};

// What the page shows for a request and the dialog's choice, on A4 until a printer says.
SummaryInput SummaryInputOf(const SummaryRequest& request, const SummaryChoice& choice,
                            std::time_t now);

// Prints the page on a printer chosen by the print dialog, on its paper, the layout's
// margins measured from the paper's edge.
ReportPrintStatus PrintSummaryPage(QPrinter& printer, SummaryInput input);

// Nothing happens for a record without samples or when a dialog is cancelled. True when a
// page was printed.
bool PrintSummary(const SummaryRequest& request, QWidget* parent, IUserPrompts& prompts);

}  // namespace qf

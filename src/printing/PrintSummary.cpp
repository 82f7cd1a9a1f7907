#include "printing/PrintSummary.h"

#include <QDateTime>
#include <QPageLayout>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>

#include "printing/SummaryPainter.h"
#include "store/Version.h"
#include "ui/IUserPrompts.h"

namespace qf {

SummaryInput SummaryInputOf(const SummaryRequest& request, const SummaryChoice& choice,
                            std::time_t now) {
    SummaryInput in;
    in.record = &request.record;
    in.span = choice.visibleSpan ? request.viewSpan : WholeRecord(request.record);
    in.traces = request.traces;
    in.title = choice.title;
    in.notes = choice.notes;
    in.fileName = request.fileName;
    in.program = std::string("qf7720 ") + QF_VERSION;
    in.printed = now;
    return in;
}

ReportPrintStatus PrintSummaryPage(QPrinter& printer, SummaryInput input) {
    if (!input.record || WholeRecord(*input.record).Size() < 1) {
        return ReportPrintStatus::NoSamples;
    }
    if (!printer.isValid() || printer.printerState() == QPrinter::Active) {
        return ReportPrintStatus::PrinterBusy;
    }
    printer.setDocName(QString::fromStdString(input.title));
    printer.setFullPage(true);
    const QSizeF paper = printer.pageLayout().fullRect(QPageLayout::Millimeter).size();
    input.paper = {paper.width(), paper.height()};
    return PrintPage(printer, [&](QPainter& painter) { PaintSummary(painter, input); });
}

bool PrintSummary(const SummaryRequest& request, QWidget* parent, IUserPrompts& prompts) {
    if (WholeRecord(request.record).Size() < 1) {
        return false;
    }
    CSummaryDlg summary(request.preset, parent);
    if (!prompts.RunDialog(summary)) {
        return false;
    }
    const SummaryChoice choice = summary.Choice();
    QPrinter printer(QPrinter::HighResolution);
    PrepareReportPrinter(printer, QDateTime::currentDateTime());
    printer.setPageOrientation(QPageLayout::Portrait);
    QPrintDialog dialog(&printer, parent);
    PrepareReportPrintDialog(dialog);
    if (!prompts.RunDialog(dialog)) {
        return false;
    }
    const ReportPrintStatus status =
        PrintSummaryPage(printer, SummaryInputOf(request, choice, std::time(nullptr)));
    if (const char* text = ReportPrintStatusText(status)) {
        prompts.ShowMessage(parent, QString::fromLatin1(text));
    }
    return status == ReportPrintStatus::Ok;
}

}  // namespace qf

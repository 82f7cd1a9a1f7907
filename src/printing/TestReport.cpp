#include "printing/TestReport.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QStandardPaths>
#include <algorithm>

#include "printing/ReportPainter.h"

namespace qf {

const char* ReportPrintStatusText(ReportPrintStatus status) {
    switch (status) {
        case ReportPrintStatus::PrinterBusy:
            return PRINTER_BUSY_TEXT;
        case ReportPrintStatus::InitError:
            return INIT_ERROR_TEXT;
        case ReportPrintStatus::CantStartPage:
            return CANT_START_PAGE_TEXT;
        case ReportPrintStatus::Ok:
        case ReportPrintStatus::NoSamples:
            break;
    }
    return nullptr;
}

ReportPrintStatus TestReport(QPrinter& printer, const ReportSource& source, std::time_t now) {
    if (!source.samples.base || std::min(source.count, source.samples.capacity) < 1) {
        return ReportPrintStatus::NoSamples;
    }
    if (!printer.isValid() || printer.printerState() == QPrinter::Active) {
        return ReportPrintStatus::PrinterBusy;
    }
    printer.setDocName(QString::fromLatin1(REPORT_DOC_NAME));
    return PrintPage(printer, [&](QPainter& painter) { PaintTestReport(painter, source, now); });
}

ReportPrintStatus PrintPage(QPrinter& printer, const std::function<void(QPainter&)>& paint) {
    QPainter painter;
    // Beginning the painter starts the job and its first page together.
    if (!painter.begin(&printer)) {
        return ReportPrintStatus::InitError;
    }
    if (printer.printerState() == QPrinter::Error || printer.printerState() == QPrinter::Aborted) {
        printer.abort();
        painter.end();
        return ReportPrintStatus::CantStartPage;
    }
    paint(painter);
    painter.end();
    return ReportPrintStatus::Ok;
}

void PrepareReportPrintDialog(QPrintDialog& dialog) {
    dialog.setOptions(QAbstractPrintDialog::PrintToFile | QAbstractPrintDialog::PrintShowPageSize |
                      QAbstractPrintDialog::PrintCollateCopies);
    dialog.setPrintRange(QAbstractPrintDialog::AllPages);
}

QString DefaultReportPdfPath(const QDateTime& now) {
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty() || !QFileInfo(folder).isDir()) {
        folder = QDir::homePath();
    }
    return QDir(folder).filePath(QStringLiteral("QF7720 report ") +
                                 now.toString(QStringLiteral("yyyy-MM-dd HH-mm")) +
                                 QStringLiteral(".pdf"));
}

void PrepareReportPrinter(QPrinter& printer, const QDateTime& now) {
    printer.setDocName(QString::fromLatin1(REPORT_DOC_NAME));
    if (printer.outputFormat() == QPrinter::PdfFormat && printer.outputFileName().isEmpty()) {
        printer.setOutputFileName(DefaultReportPdfPath(now));
    }
}

}  // namespace qf

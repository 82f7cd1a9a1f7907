#include "printing/PrintSummary.h"

#include <QDateTime>
#include <QPageLayout>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <algorithm>

#include "printing/SummaryPainter.h"
#include "store/CQFDoc.h"
#include "store/DisplayUnits.h"
#include "store/Recording.h"
#include "store/Version.h"
#include "ui/IUserPrompts.h"

namespace qf {

StoredRecord LiveSummaryRecord(const CQFDoc& doc, const RecordingState& live,
                               const DisplayUnits& units) {
    StoredRecord r;
    r.count = std::clamp(live.m_nSampleIndex, 0, MAX_SAMPLES);
    r.samples.resize(std::size_t(r.count));
    for (int i = 0; i < r.count; ++i) {
        for (int c = 0; c < NUM_CHANNELS; ++c) {
            r.samples[std::size_t(i)][std::size_t(c)] = doc.m_liveSamples[c][i];
        }
    }
    r.tempUnit = std::uint8_t(units.m_nTempUnit);
    r.speedUnit = std::uint8_t(units.m_nSpeedUnit);
    r.tempUnitText = units.m_strTempUnit;
    r.speedUnitText = units.m_strSpeedUnit;
    r.speedFactor = units.m_fSpeedFactor;
    r.start = live.m_tmStart;
    std::tm local{};
    if (localtime_r(&r.start, &local)) {
        r.startFields = {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
                         local.tm_hour,        local.tm_min,     local.tm_sec};
    }
    r.intervalSec = live.m_nIntervalMs / 1000;
    return r;
}

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
    QPainter painter;
    if (!painter.begin(&printer)) {
        return ReportPrintStatus::InitError;
    }
    if (printer.printerState() == QPrinter::Error || printer.printerState() == QPrinter::Aborted) {
        printer.abort();
        painter.end();
        return ReportPrintStatus::CantStartPage;
    }
    PaintSummary(painter, input);
    painter.end();
    return ReportPrintStatus::Ok;
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

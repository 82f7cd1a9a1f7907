#include "printing/PrintReport.h"

#include <QDateTime>
#include <QPrintDialog>
#include <QPrinter>
#include <ctime>

#include "printing/TestReport.h"
#include "ui/IUserPrompts.h"

namespace qf {

bool PrintReport(const ReportSource& source, QWidget* owner, IUserPrompts& prompts) {
    if (source.count < 1) {
        return false;
    }
    QPrinter printer(QPrinter::HighResolution);
    PrepareReportPrinter(printer, QDateTime::currentDateTime());
    QPrintDialog dialog(&printer, owner);
    PrepareReportPrintDialog(dialog);
    if (!prompts.RunDialog(dialog)) {
        return false;
    }
    const ReportPrintStatus status = TestReport(printer, source, std::time(nullptr));
    if (const char* text = ReportPrintStatusText(status)) {
        prompts.ShowMessage(owner, QString::fromLatin1(text));
    }
    return status == ReportPrintStatus::Ok;
}

}  // namespace qf

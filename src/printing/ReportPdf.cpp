#include "printing/ReportPdf.h"

#include <QBuffer>
#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <ctime>

#include "printing/ReportPainter.h"
#include "printing/TestReport.h"

namespace qf {

QByteArray ReportPdf(const ReportSource& source, const QPageSize& pageSize, std::time_t now) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    if (!buffer.open(QIODevice::WriteOnly)) {
        return QByteArray();
    }
    {
        QPdfWriter writer(&buffer);
        writer.setTitle(QString::fromLatin1(REPORT_DOC_NAME));
        writer.setCreator(QStringLiteral("qf7720-tool"));
        const double m = REPORT_PDF_MARGIN_MM;
        writer.setPageLayout(QPageLayout(pageSize, QPageLayout::Portrait, QMarginsF(m, m, m, m),
                                         QPageLayout::Millimeter));
        QPainter painter;
        if (!painter.begin(&writer)) {
            return QByteArray();
        }
        PaintTestReport(painter, source, now);
        if (!painter.end()) {
            return QByteArray();
        }
    }
    buffer.close();
    return bytes;
}

bool SetPdfCreationDate(QByteArray& pdf, std::time_t t) {
    static const QByteArray KEY = QByteArrayLiteral("/CreationDate (D:");
    const qsizetype from = pdf.indexOf(KEY);
    if (from < 0) {
        return false;
    }
    const qsizetype start = from + KEY.size();
    const qsizetype end = pdf.indexOf(')', start);
    std::tm utc{};
    char digits[32];
    if (end < 0 || !gmtime_r(&t, &utc) || utc.tm_year < 0 || utc.tm_year > 9999 - 1900) {
        return false;
    }
    QByteArray stamp(
        digits, static_cast<qsizetype>(std::strftime(digits, sizeof digits, "%Y%m%d%H%M%S", &utc)));
    // The writer ends the date with "Z" in UTC and with an offset such as "+01'00'" elsewhere.
    stamp +=
        end - start == stamp.size() + 1 ? QByteArrayLiteral("Z") : QByteArrayLiteral("+00'00'");
    if (stamp.size() != end - start) {
        return false;
    }
    pdf.replace(start, stamp.size(), stamp);
    return true;
}

}  // namespace qf

#include "printing/SummaryPdf.h"

#include <QBuffer>
#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

#include "printing/SummaryPainter.h"

namespace qf {

namespace {

// The named sizes, so that a viewer says "A4" or "Letter".
QPageSize PageSizeOf(const SummaryPaper& paper) {
    for (const QPageSize::PageSizeId id : {QPageSize::A4, QPageSize::Letter}) {
        const QSizeF mm = QPageSize::size(id, QPageSize::Millimeter);
        if (std::abs(mm.width() - paper.width) < 0.5 &&
            std::abs(mm.height() - paper.height) < 0.5) {
            return QPageSize(id);
        }
    }
    return QPageSize(QSizeF(paper.width, paper.height), QPageSize::Millimeter);
}

}  // namespace

QByteArray SummaryPdf(const SummaryInput& input) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    if (!buffer.open(QIODevice::WriteOnly)) {
        return QByteArray();
    }
    {
        QPdfWriter writer(&buffer);
        writer.setTitle(QString::fromStdString(input.title));
        writer.setCreator(QStringLiteral("qf7720-tool"));
        writer.setPageLayout(QPageLayout(PageSizeOf(input.paper), QPageLayout::Portrait,
                                         QMarginsF(), QPageLayout::Millimeter));
        QPainter painter;
        if (!painter.begin(&writer)) {
            return QByteArray();
        }
        PaintSummary(painter, input);
        if (!painter.end()) {
            return QByteArray();
        }
    }
    buffer.close();
    return bytes;
}

}  // namespace qf

#include "printing/SummaryPainter.h"

#include <QFontMetricsF>
#include <QPaintDevice>
#include <QPainter>
#include <QPen>
#include <QPolygonF>
#include <QString>
#include <memory>
#include <vector>

namespace qf {

namespace {

constexpr double MM_PER_INCH = 25.4;
constexpr double MM_PER_POINT = MM_PER_INCH / 72.0;
constexpr int FONT_COUNT = 4;

QPen MakePen(SummaryPen which, double pxPerMm) {
    const SummaryPenStyle style = SummaryPenStyleOf(which);
    QPen pen(QColor(style.r, style.g, style.b));
    pen.setWidthF(style.width * pxPerMm);
    pen.setJoinStyle(Qt::RoundJoin);
    pen.setCapStyle(Qt::RoundCap);
    if (!style.pattern.empty()) {
        // Qt counts dashes in pen widths.
        QList<qreal> dashes;
        for (const double mm : style.pattern) {
            dashes.append(mm / style.width);
        }
        pen.setDashPattern(dashes);
        pen.setCapStyle(Qt::FlatCap);
    }
    return pen;
}

}  // namespace

QFont SummaryQFont(SummaryFont font) {
    const SummaryFontStyle style = FontStyleOf(font);
    QFont f(QString::fromLatin1(SUMMARY_FONT_FAMILY));
    f.setStyleHint(QFont::SansSerif);
    f.setBold(style.bold);
    // Points follow the device's resolution, so the size holds on any printer.
    f.setPointSizeF(style.size / MM_PER_POINT);
    return f;
}

SummaryMeasure SummaryMeasureOn(const QPaintDevice& device) {
    auto metrics = std::make_shared<std::vector<QFontMetricsF>>();
    for (int k = 0; k < FONT_COUNT; ++k) {
        metrics->emplace_back(SummaryQFont(static_cast<SummaryFont>(k)),
                              const_cast<QPaintDevice*>(&device));
    }
    const double mmPerPx = MM_PER_INCH / device.logicalDpiX();
    return [metrics, mmPerPx](SummaryFont font, std::string_view text) {
        const QString s = QString::fromUtf8(text.data(), qsizetype(text.size()));
        return (*metrics)[std::size_t(font)].horizontalAdvance(s) * mmPerPx;
    };
}

void DrawSummary(QPainter& painter, const SummaryLayout& page) {
    QPaintDevice* device = painter.device();
    const double sx = device->logicalDpiX() / MM_PER_INCH;
    const double sy = device->logicalDpiY() / MM_PER_INCH;
    const auto at = [sx, sy](double x, double y) { return QPointF(x * sx, y * sy); };
    painter.save();
    painter.resetTransform();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setBackgroundMode(Qt::TransparentMode);
    painter.setBrush(Qt::NoBrush);

    int current = -1;
    for (const SummaryLine& line : page.lines) {
        if (current != int(line.pen)) {
            painter.setPen(MakePen(line.pen, sx));
            current = int(line.pen);
        }
        painter.drawLine(at(line.x1, line.y1), at(line.x2, line.y2));
    }

    painter.save();
    const SummaryRect& p = page.plot;
    painter.setClipRect(QRectF(at(p.left, p.top), at(p.right, p.bottom)));
    for (const SummaryPolyline& run : page.traces) {
        QPolygonF points;
        points.reserve(qsizetype(run.points.size()));
        for (const SummaryPoint& pt : run.points) {
            points.append(at(pt.x, pt.y));
        }
        painter.setPen(MakePen(run.pen, sx));
        painter.drawPolyline(points);
    }
    painter.restore();

    std::vector<QFont> fonts;
    std::vector<QFontMetricsF> metrics;
    for (int k = 0; k < FONT_COUNT; ++k) {
        fonts.push_back(SummaryQFont(static_cast<SummaryFont>(k)));
        metrics.emplace_back(fonts.back(), device);
    }
    painter.setPen(Qt::black);
    for (const SummaryText& text : page.texts) {
        const std::size_t k = std::size_t(text.font);
        const QFontMetricsF& m = metrics[k];
        painter.setFont(fonts[k]);
        // The line's ink centred in its box.
        const double baseline =
            text.y * sy + (text.height * sy - m.ascent() - m.descent()) / 2 + m.ascent();
        painter.drawText(QPointF(text.x * sx, baseline), QString::fromStdString(text.text));
    }
    painter.restore();
}

void PaintSummary(QPainter& painter, const SummaryInput& input) {
    DrawSummary(painter, LayoutSummary(input, SummaryMeasureOn(*painter.device())));
}

}  // namespace qf

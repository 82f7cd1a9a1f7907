#include "printing/ReportPainter.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPaintDevice>
#include <QPainter>
#include <QPen>
#include <QString>

namespace qf {

namespace {

// Fonts are made this many times larger than drawn and scaled down, so the cell height
// is exact rather than rounded to a whole pixel size.
constexpr int FONT_OVERSIZE = 64;

struct ScaledFont {
    QFont font;
    double scale = 1.0;   // from the oversized font to page units
    double ascent = 0.0;  // of the oversized font
};

ScaledFont MakeFont(ReportFont which, QPaintDevice* device) {
    ScaledFont f;
    f.font.setFamilies({QStringLiteral("Arial"), QStringLiteral("Liberation Sans")});
    f.font.setStyleHint(QFont::SansSerif);
    f.font.setWeight(static_cast<QFont::Weight>(REPORT_FONT_WEIGHT));
    f.font.setPixelSize(FontHeight(which) * FONT_OVERSIZE);
    const QFontMetricsF metrics(f.font, device);
    const double cell = metrics.ascent() + metrics.descent();
    f.scale = cell > 0.0 ? FontHeight(which) / cell : 1.0 / FONT_OVERSIZE;
    f.ascent = metrics.ascent();
    return f;
}

QPen MakePen(ReportPen which) {
    const ReportPenStyle style = PenStyle(which);
    QPen pen(QColor(style.colour.r, style.colour.g, style.colour.b));
    pen.setWidthF(style.width);
    pen.setStyle(style.dotted ? Qt::DotLine : Qt::SolidLine);
    pen.setCapStyle(style.dotted ? Qt::FlatCap : Qt::RoundCap);
    pen.setJoinStyle(Qt::RoundJoin);
    return pen;
}

}  // namespace

ReportDevice ReportDeviceOf(const QPaintDevice& device) {
    ReportDevice d;
    d.m_nWidthPx = device.width();
    d.m_nHeightPx = device.height();
    d.m_fDpiX = device.logicalDpiX();
    d.m_fDpiY = device.logicalDpiY();
    return d;
}

void DrawReport(QPainter& painter, const std::vector<ReportPrimitive>& page,
                const ReportDevice& device) {
    painter.save();
    painter.resetTransform();
    painter.setClipRect(QRect(0, 0, device.m_nWidthPx, device.m_nHeightPx));
    painter.setBackgroundMode(Qt::TransparentMode);
    // Page units with y upward become logical units with y downward: (x, y) is drawn at
    // (x, -y), so text stays upright.
    painter.translate(device.m_nWidthPx, device.m_nHeightPx);
    painter.scale(device.m_fDpiX / REPORT_UNITS_PER_INCH, device.m_fDpiY / REPORT_UNITS_PER_INCH);

    const ScaledFont fonts[] = {MakeFont(ReportFont::Title, painter.device()),
                                MakeFont(ReportFont::Text, painter.device())};
    int currentPen = -1;
    for (const ReportPrimitive& item : page) {
        if (const auto* line = std::get_if<ReportLine>(&item)) {
            if (currentPen != static_cast<int>(line->pen)) {
                painter.setPen(MakePen(line->pen));
                currentPen = static_cast<int>(line->pen);
            }
            painter.drawLine(QLineF(line->x1, -line->y1, line->x2, -line->y2));
        } else if (const auto* band = std::get_if<ReportWhiteBand>(&item)) {
            painter.fillRect(
                QRectF(band->left, -band->top, band->right - band->left, band->top - band->bottom),
                Qt::white);
        } else if (const auto* text = std::get_if<ReportText>(&item)) {
            const ScaledFont& f = fonts[text->font == ReportFont::Title ? 0 : 1];
            painter.save();
            painter.translate(text->x, -text->y);
            painter.scale(f.scale, f.scale);
            painter.setFont(f.font);
            painter.setPen(Qt::black);
            painter.drawText(QPointF(0.0, f.ascent), QString::fromStdString(text->text));
            painter.restore();
        }
    }
    painter.restore();
}

void PaintTestReport(QPainter& painter, const ReportSource& source, std::time_t now) {
    const ReportDevice device = ReportDeviceOf(*painter.device());
    DrawReport(painter, LayoutReport(source, device, now), device);
}

}  // namespace qf

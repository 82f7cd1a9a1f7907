#include "view/GraphPainting.h"

#include <QFontMetrics>
#include <QImage>
#include <QPainter>

#include "graph/TraceRaster.h"
#include "ui/Palette.h"

namespace qf {

QPen LinePen(const QColor& colour, Qt::PenStyle style) {
    QPen pen(colour, 1, style);
    pen.setCapStyle(Qt::FlatCap);
    return pen;
}

void DrawCellText(QPainter& painter, int x, int y, const QString& text, const QColor& background) {
    const QFontMetrics metrics(painter.font());
    painter.fillRect(QRect(x, y, metrics.horizontalAdvance(text), metrics.height()), background);
    painter.setPen(Qt::black);
    painter.drawText(x, y + metrics.ascent(), text);
}

void DrawTraces(QImage& image, const TraceView& t) {
    if (image.isNull() || image.depth() != 32) {
        return;
    }
    const PixelBuffer buf{reinterpret_cast<std::uint32_t*>(image.bits()),
                          int(image.bytesPerLine() / 4), image.width(), image.height()};
    PixelSegment seg{};
    for (int i = 1; i < t.count; ++i) {
        for (int ch = 0; ch < NUM_CHANNELS; ++ch) {
            if (t.shown[ch] && t.Segment(ch, i, seg)) {
                RasterSegment(buf, seg, TRACE_COLOURS[ch]);
            }
        }
    }
}

std::vector<QRect> BandFrame(const BandRect& b) {
    std::vector<QRect> parts;
    const int w = b.right - b.left;
    const int h = b.bottom - b.top;
    if (w <= 0 || h <= 0) {
        return parts;
    }
    parts.emplace_back(b.left, b.top, w, 1);
    if (h > 1) {
        parts.emplace_back(b.left, b.bottom - 1, w, 1);
    }
    if (h > 2) {
        parts.emplace_back(b.left, b.top + 1, 1, h - 2);
        if (w > 1) {
            parts.emplace_back(b.right - 1, b.top + 1, 1, h - 2);
        }
    }
    return parts;
}

}  // namespace qf

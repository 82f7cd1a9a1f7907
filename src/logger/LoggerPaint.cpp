#include "logger/LoggerPaint.h"

#include <QPainter>

#include "graph/Pixels.h"
#include "ui/Fonts.h"
#include "ui/Palette.h"
#include "view/GraphPainting.h"

namespace qf {

namespace {

constexpr int LABEL_FONT_PX = 14;
constexpr int SMALL_FONT_PX = 12;
constexpr int SMALL_FONT_WIDTH = 5;
constexpr int TICK_LENGTH = 3;

QFont LabelFont() {
    return ArialFont(LABEL_FONT_PX, QFont::Thin);
}

QFont SmallFont() {
    const QFont font = ArialFont(SMALL_FONT_PX, QFont::Thin);
    return Stretched(font, SMALL_FONT_WIDTH, QFontMetricsF(font).averageCharWidth());
}

QRect Rect(const FillRect& r) {
    return QRect(r.x, r.y, r.w, r.h);
}

// A 1-px line from (x1, y) up to, not including, (x2, y); or the same upright.
void HLine(QPainter& p, int x1, int x2, int y, const QColor& c) {
    p.fillRect(QRect(std::min(x1, x2 + 1), y, std::abs(x2 - x1), 1), c);
}
void VLine(QPainter& p, int x, int y1, int y2, const QColor& c) {
    // Drawn downward from y1 to y2 (y2 excluded), or upward from y1 (y2 excluded).
    const int top = y1 <= y2 ? y1 : y2 + 1;
    p.fillRect(QRect(x, top, 1, std::abs(y2 - y1)), c);
}

// Text in the space up to `width`: squeezed, never clipped, where our wider faces would
// run into the next item.
void DrawFitted(QPainter& p, int x, int y, int width, const QString& text) {
    const QFont font = p.font();
    const qreal natural = QFontMetricsF(font).horizontalAdvance(text);
    if (natural > width && width > 0) {
        // The font may be stretched already: scale its own stretch.
        QFont narrowed = font;
        narrowed.setStretch(std::max(1, int(font.stretch() * width / natural)));
        p.setFont(narrowed);
    }
    DrawCellText(p, x, y, text, PANEL_GREY);
    p.setFont(font);
}

}  // namespace

void PaintLoggerGraph(QImage& image, const LoggerFrame& f, const TraceFlags& shown) {
    image.fill(PANEL_GREY);
    QPainter p(&image);
    const int left = TruncToInt(f.left);
    const int top = TruncToInt(f.top);
    const int right = TruncToInt(f.right);
    const int bottom = TruncToInt(f.bottom);
    if (f.hasPlot) {
        p.fillRect(Rect(f.plot), Qt::black);
        for (const int y : f.gridY) {
            HLine(p, left, right, y, LOGGER_GRID);
        }
        for (int i = 0; i < f.gridXCount; ++i) {
            VLine(p, f.gridX[i], top, bottom, LOGGER_GRID);
        }
        VLine(p, left, top, bottom, LOGGER_SIDE_LINES);
        VLine(p, right, top, bottom, LOGGER_SIDE_LINES);
        for (const int y : f.gridY) {
            HLine(p, left - TICK_LENGTH, left, y, LOGGER_SIDE_LINES);
        }
    }
    p.fillRect(Rect(f.bandBelow), PANEL_GREY);
    p.setFont(LabelFont());
    if (f.drawRecord) {
        for (int i = 0; i < f.sampleLineCount; ++i) {
            VLine(p, f.sampleLineX[i], bottom, top, LOGGER_SAMPLE_LINES);
        }
        p.end();
        DrawTraces(image, f.traces);
        p.begin(&image);
        p.setFont(LabelFont());
        for (const FillRect& m : f.margins) {
            p.fillRect(Rect(m), PANEL_GREY);
        }
        for (int i = 0; i < f.timeLabelCount; ++i) {
            const PlacedText& t = f.timeLabels[i];
            DrawCellText(p, t.x, t.y, QString::fromStdString(t.text), PANEL_GREY);
        }
        for (const PlacedText& t : f.valueLabels) {
            DrawCellText(p, t.x, t.y, QString::fromStdString(t.text), PANEL_GREY);
        }
    }
    for (const LegendPlace& l : LEGEND_PLACES) {
        if (!shown.Shown(l.channel)) {
            continue;
        }
        DrawCellText(p, left + l.textX, LEGEND_TEXT_Y, QString::fromLatin1(l.name), PANEL_GREY);
        // Two pixels, centred on the row.
        p.fillRect(QRect(left + l.lineFrom, LEGEND_LINE_Y - 1, l.lineTo - l.lineFrom, 2),
                   QColor(TRACE_COLOURS[l.channel]));
    }
}

void PaintLoggerOverlays(QImage& image, const LoggerFrame& f, const CLoggerPointer& pointer,
                         const LoggerSession& session, const ReadoutUnits& units, int cursorBX) {
    const int left = TruncToInt(f.left);
    const int top = TruncToInt(f.top);
    const int bottom = TruncToInt(f.bottom);
    if (f.drawRecord && !session.m_strReadoutTime.empty()) {
        QPainter p(&image);
        p.setFont(SmallFont());
        const QString time = QString::fromStdString(session.m_strReadoutTime);
        for (const ReadoutPlace& r : READOUT_PLACES) {
            if (!session.Shown(r.channel)) {
                continue;
            }
            const std::string& unit = r.unit == ReadoutUnit::Temperature ? units.temperature
                                      : r.unit == ReadoutUnit::Speed     ? units.speed
                                                                         : std::string();
            p.fillRect(QRect(left + r.clearX, READOUT_Y, r.clearWidth, READOUT_CLEAR_HEIGHT),
                       PANEL_GREY);
            const std::string shown = ReadoutShown(session.m_strReadout[r.channel], unit);
            DrawFitted(p, left + r.valueX, READOUT_Y, r.atX - r.valueX - 1,
                       QString::fromStdString(shown));
            DrawCellText(p, left + r.atX, READOUT_Y, QStringLiteral("@"), PANEL_GREY);
            DrawCellText(p, left + r.timeX, READOUT_Y, time, PANEL_GREY);
        }
    }
    if (cursorBX >= 0) {
        QPainter p(&image);
        p.setPen(QPen(CURSOR_B_COLOUR, 1, Qt::DashLine));
        p.drawLine(cursorBX, top, cursorBX, bottom - 1);
    }
    if (image.depth() != 32) {
        return;
    }
    const auto invert = [&](int x, int y, QRgb with) {
        if (x >= 0 && y >= 0 && x < image.width() && y < image.height()) {
            auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
            row[x] = 0xff000000u | (~(row[x] ^ with) & 0x00ffffffu);
        }
    };
    if (pointer.CursorShown()) {
        // Dotted, and drawn so that drawing it twice would leave the screen as it was.
        const QRgb pen = LOGGER_CURSOR.rgb();
        for (int y = top; y < bottom; y += 2) {
            invert(pointer.CursorX(), y, pen);
        }
    }
    if (pointer.BandShown()) {
        for (const QRect& part : BandFrame(pointer.Band())) {
            for (int y = part.top(); y <= part.bottom(); ++y) {
                for (int x = part.left(); x <= part.right(); ++x) {
                    invert(x, y, 0x00ffffffu ^ 0x00ffffffu);
                }
            }
        }
    }
}

}  // namespace qf

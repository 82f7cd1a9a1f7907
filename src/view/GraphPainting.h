// Drawing steps both graphs share: lines that stop short of their end, text in a filled
// cell, the traces drawn sample by sample into an image, and the frame of a rubber band.
#pragma once

#include <QColor>
#include <QPen>
#include <QRect>
#include <QString>
#include <vector>

#include "graph/GraphModel.h"
#include "graph/ZoomDrag.h"

class QImage;
class QPainter;

namespace qf {

// Pens whose lines stop short of their second end, as the traces' own lines do.
QPen LinePen(const QColor& colour, Qt::PenStyle style);

// Text whose cell is filled with `background` first, placed by its top-left corner.
void DrawCellText(QPainter& painter, int x, int y, const QString& text, const QColor& background);

// Into a 32-bit image whose (0, 0) is the traces' origin, sample by sample, AirT to CMM
// within one sample, so that where curves cross the later channel lies on top.
void DrawTraces(QImage& image, const TraceView& traces);

// The 1-px frame of a band; right and bottom are outside it.
std::vector<QRect> BandFrame(const BandRect& band);

}  // namespace qf

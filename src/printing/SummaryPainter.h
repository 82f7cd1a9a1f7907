// Draws a laid-out summary page onto a painter over a printer or PDF page, and measures its
// texts in the fonts it draws them with, so the layout wraps what the page really holds.
#pragma once

#include <QFont>

#include "report/SummaryLayout.h"

class QPainter;
class QPaintDevice;

namespace qf {

// Liberation Sans in the page font's size and weight.
QFont SummaryQFont(SummaryFont font);

// Text widths in mm on `device`, which must outlive the callback.
SummaryMeasure SummaryMeasureOn(const QPaintDevice& device);

// The painter's device origin is the paper's top-left corner (a full-page printer, or a
// PDF without margins). Texts stay text, so they can be selected in a PDF.
void DrawSummary(QPainter& painter, const SummaryLayout& page);

// Lays out `input` for the painter's device and draws it.
void PaintSummary(QPainter& painter, const SummaryInput& input);

}  // namespace qf

// Drawing the logger graph: the picture of a computed frame, kept between repaints, and
// what the mouse puts over it (read-out line, cursor line, rubber band).
#pragma once

#include <QImage>
#include <string>

#include "graph/LoggerGraph.h"
#include "graph/LoggerPointer.h"
#include "graph/LoggerReadout.h"

namespace qf {

// Colours of the logger graph.
inline const QColor LOGGER_GRID(80, 80, 80);
inline const QColor LOGGER_SIDE_LINES(255, 0, 0);
inline const QColor LOGGER_SAMPLE_LINES(100, 100, 100);
inline const QColor LOGGER_CURSOR(150, 50, 50);

// Unit texts of the current record, for the read-out line.
struct ReadoutUnits {
    std::string temperature;
    std::string speed;
};

// Steps up to the value labels, then the legend, into `image` (the client's size).
void PaintLoggerGraph(QImage& image, const LoggerFrame& f, const TraceFlags& shown);

// The read-out line (once a sample was read out), the cursor line, cursor B's line at
// `cursorBX` (-1 for none) and the band.
void PaintLoggerOverlays(QImage& image, const LoggerFrame& f, const CLoggerPointer& pointer,
                         const LoggerSession& session, const ReadoutUnits& units,
                         int cursorBX = -1);

}  // namespace qf

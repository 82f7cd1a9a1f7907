// Colours shared by the windows, given as red, green, blue.
#pragma once

#include <QColor>

#include "store/QFConstants.h"

namespace qf {

// The grey of the meter panel's strips and the graph's margins.
inline const QColor PANEL_GREY(217, 218, 212);
// The bars' own background.
inline const QColor BAR_BACKGROUND(240, 240, 240);
inline const QColor GRID_GREY(170, 170, 170);
// The line of cursor B, over the black of both graphs.
inline const QColor CURSOR_B_COLOUR(255, 160, 0);

// Trace colours by channel: AirT, IRT, AirV, CFM, CMM.
inline constexpr QRgb TRACE_COLOURS[NUM_CHANNELS] = {
    qRgb(255, 0, 0), qRgb(255, 255, 0), qRgb(0, 255, 255), qRgb(255, 0, 255), qRgb(0, 255, 0),
};

}  // namespace qf

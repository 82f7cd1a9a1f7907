// Places controls by the dialog-unit rectangles of their layouts: a dialog unit is
// a quarter of the font's average character width across and an eighth of its height down.
#pragma once

#include <QRect>
#include <QSize>
#include <initializer_list>

#include "ui/Fonts.h"

class QGroupBox;
class QWidget;

namespace qf {

struct DialogUnits {
    int baseX;  // average character width, pixels
    int baseY;  // character height, pixels

    QRect Rect(int x, int y, int w, int h) const {
        return QRect(x * baseX / 4, y * baseY / 8, w * baseX / 4, h * baseY / 8);
    }
    QSize Size(int w, int h) const { return QSize(w * baseX / 4, h * baseY / 8); }
};

// "MS Sans Serif" 8, the usual dialog font, and "System" 10.
inline constexpr DialogUnits DLU_SANS_8{6, 13};
inline constexpr DialogUnits DLU_SYSTEM_10{8, 16};

// The layouts' rectangles were drawn for faces narrower than ours. These grow controls to
// what their texts need in their own fonts, never below the layout, and keep the controls
// of a row clear of each other.

// Pixels between controls of a row that a grown control pushes along.
inline constexpr int ROW_GAP = 4;

// Grows a label or button to show its whole text.
void FitToText(QWidget& control);

// Fits each control of a row (left to right, as placed from the layout) to its text, moves
// each one right of the one before when they would meet, and centres the labels on the row's
// other controls. Returns the row's right end.
int FlowRow(std::initializer_list<QWidget*> row);

// Widens a group box to hold its title and reach `contentRight` plus the layout's margin
// (`margin`, pixels right of its content).
void FitGroup(QGroupBox& group, int contentRight, int margin);

// Grows a fixed-size dialog to hold its children with `margin` pixels right of and below
// them, and centres the buttons named in `centred` in the new width when it grew.
void FitDialog(QWidget& dialog, QSize margin, std::initializer_list<QWidget*> centred = {});

}  // namespace qf

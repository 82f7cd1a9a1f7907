// Places controls by the dialog-unit rectangles of their layouts: a dialog unit is
// a quarter of the font's average character width across and an eighth of its height down.
#pragma once

#include <QRect>
#include <QSize>

#include "ui/Fonts.h"

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

}  // namespace qf

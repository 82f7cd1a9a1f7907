// The plot rectangle inside the view's client area, recomputed at every repaint.
#pragma once

#include "graph/ViewPoint.h"

namespace qf {

inline constexpr int PLOT_LEFT_MARGIN = 309;
inline constexpr int PLOT_TOP_MARGIN = 118;
inline constexpr int PLOT_RIGHT_MARGIN = 50;
inline constexpr int PLOT_BOTTOM_MARGIN = 151;

// The cursor column stops one pixel lower than the plot's bottom margin.
inline constexpr int CURSOR_BOTTOM_MARGIN = 150;

struct PlotGeometry {
    int l = 0, t = 0, r = 0, b = 0;  // client rectangle
    int pL = 0, pT = 0, pR = 0, pB = 0;
    int W = 0, H = 0;

    static PlotGeometry FromClient(int left, int top, int right, int bottom) {
        PlotGeometry g;
        g.l = left;
        g.t = top;
        g.r = right;
        g.b = bottom;
        g.pL = left + PLOT_LEFT_MARGIN;
        g.pT = top + PLOT_TOP_MARGIN;
        g.pR = right - PLOT_RIGHT_MARGIN;
        g.pB = bottom - PLOT_BOTTOM_MARGIN;
        g.W = g.pR - g.pL;
        g.H = g.pB - g.pT;
        return g;
    }

    // Without area there is nothing to draw into and no scale to divide by.
    bool HasArea() const { return W > 0 && H > 0; }

    // The cursor read-out and rubber band column: one row lower than the plot.
    ViewPoint ClampToCursor(ViewPoint p) const {
        return Clamp(p, r - PLOT_RIGHT_MARGIN, b - CURSOR_BOTTOM_MARGIN);
    }

private:
    ViewPoint Clamp(ViewPoint p, int right, int bottom) const {
        if (p.x < pL) {
            p.x = pL;
        }
        if (p.x > right) {
            p.x = right;
        }
        if (p.y < pT) {
            p.y = pT;
        }
        if (p.y > bottom) {
            p.y = bottom;
        }
        return p;
    }
};

}  // namespace qf

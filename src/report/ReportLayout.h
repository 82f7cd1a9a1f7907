// The test report page as a list of drawing primitives, computed without a printer. The
// Qt renderer only plays the list in order.
//
// Page coordinates are 0.1 mm, x to the right, y upward, with the origin at the
// bottom-right corner of the printable area: everything on the page has x <= 0, y >= 0.
// The chart is 72 mm wide and 80 mm high: x -730..-10, y 200..1000.
#pragma once

#include <cstdint>
#include <ctime>
#include <string>
#include <variant>
#include <vector>

#include "report/ReportSource.h"

namespace qf {

inline constexpr int CHART_LEFT = -730;
inline constexpr int CHART_RIGHT = -10;
inline constexpr int CHART_BOTTOM = 200;
inline constexpr int CHART_TOP = 1000;

inline constexpr char REPORT_TITLE[] = " Test Report ";
inline constexpr char REPORT_FONT_FACE[] = "Arial";
inline constexpr int REPORT_FONT_WEIGHT = 100;
inline constexpr double REPORT_UNITS_PER_INCH = 254.0;

enum class ReportPen : std::uint8_t { Frame, Grid, AirT, Irt, AirV, Cfm, Cmm };

struct ReportRgb {
    std::uint8_t r, g, b;
    bool operator==(const ReportRgb&) const = default;
};

struct ReportPenStyle {
    ReportRgb colour;
    int width;  // page units
    bool dotted;
};

ReportPenStyle PenStyle(ReportPen pen);
// The pen of a channel's trace, CH_AIRT..CH_CMM.
ReportPen TracePen(int channel);

enum class ReportFont : std::uint8_t {
    Title,  // cell height 40 (4 mm)
    Text,   // cell height 15 (1.5 mm)
};

// Character cell height (ascent plus descent) in page units.
int FontHeight(ReportFont font);

struct ReportLine {
    int x1, y1, x2, y2;
    ReportPen pen;
    bool operator==(const ReportLine&) const = default;
};

// A white fill that cuts off the curves above and below the chart.
struct ReportWhiteBand {
    int left, bottom, right, top;
    bool operator==(const ReportWhiteBand&) const = default;
};

// Black text on a transparent background, its top-left corner at (x, y).
struct ReportText {
    int x, y;
    ReportFont font;
    std::string text;
    bool operator==(const ReportText&) const = default;
};

using ReportPrimitive = std::variant<ReportLine, ReportWhiteBand, ReportText>;

// The printable area of the device the page goes to.
struct ReportDevice {
    int m_nWidthPx = 0;  // device pixels
    int m_nHeightPx = 0;
    double m_fDpiX = REPORT_UNITS_PER_INCH;
    double m_fDpiY = REPORT_UNITS_PER_INCH;
};

// The whole page in drawing order: curves (sample by sample, within one sample in the
// order AirT, IRT, AirV, CFM, CMM), cut-off bands, title, legend, value labels, time labels,
// grid, frame, printing date. `now` is the printing time.
//
// A zero or non-finite label range leaves the curves out, as does a non-finite value the
// segments that touch it. At most `samples.capacity` samples are read.
std::vector<ReportPrimitive> LayoutReport(const ReportSource& source, const ReportDevice& device,
                                          std::time_t now);

}  // namespace qf

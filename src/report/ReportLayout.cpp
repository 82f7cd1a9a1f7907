#include "report/ReportLayout.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>

namespace qf {

namespace {

// The first sample lies on the frame's left side, the last on its right side.
constexpr int CHART_WIDTH = CHART_RIGHT - CHART_LEFT;
constexpr int CHART_HEIGHT = CHART_TOP - CHART_BOTTOM;
constexpr int LABEL_STEP = 80;
constexpr int TIME_LABELS = 5;

// A segment end beyond this height is moved along its line onto it: far outside any page,
// yet safe to truncate to int.
constexpr double COORD_LIMIT = 1 << 22;

constexpr ReportPen TRACE_PENS[NUM_CHANNELS] = {ReportPen::AirT, ReportPen::Irt, ReportPen::AirV,
                                                ReportPen::Cfm, ReportPen::Cmm};

struct Legend {
    int x;
    const char* name;
};
constexpr Legend LEGEND[NUM_CHANNELS] = {
    {-600, "AirT"}, {-500, "IRT"}, {-400, "AirV"}, {-300, "CFM"}, {-200, "CMM"}};
constexpr int LEGEND_Y = 1025;

constexpr int TIME_LABEL_X[TIME_LABELS] = {-730, -575, -390, -205, -70};
constexpr int TIME_LABEL_Y = 195;
constexpr int VALUE_LABEL_X = -800;
constexpr int VALUE_LABEL_Y = 210;
constexpr int TITLE_X = -540;
constexpr int TITLE_Y = 1120;
constexpr int DATE_X = -200;
constexpr int DATE_Y = 100;

// Horizontal grid lines run past the frame's left side by 5, as ticks.
constexpr int GRID_LEFT = -735;
// Fixed, 185 apart: they are not the quarter points of the data width.
constexpr int GRID_X[] = {-545, -360, -175};

// The value a stored sample is drawn at, in the record's display units.
double PlotValue(int channel, float stored, int tempUnit, float speedFactor) {
    double v = stored;
    switch (channel) {
        case CH_AIRT:
        case CH_IRT:
            if (tempUnit != 1) {
                return v;
            }
            v = ToFahrenheit(stored);
            break;
        case CH_AIRV:
            v = stored * speedFactor;
            break;
        default:
            return v;
    }
    return v < NO_VALUE ? NO_VALUE : v;
}

// Moves end b along the line from a onto the limit on b's side.
void PullEnd(double xa, double ya, double& xb, double& yb) {
    const double lim = std::copysign(COORD_LIMIT, yb);
    xb = xa + (xb - xa) * ((lim - ya) / (yb - ya));
    yb = lim;
}

// The segment truncated toward zero; false when it is left out (a non-finite end, or
// wholly beyond the limit on one side).
bool ToLine(double x1, double y1, double x2, double y2, ReportPen pen, ReportLine& out) {
    if (!std::isfinite(y1) || !std::isfinite(y2)) {
        return false;
    }
    if ((y1 > COORD_LIMIT && y2 > COORD_LIMIT) || (y1 < -COORD_LIMIT && y2 < -COORD_LIMIT)) {
        return false;
    }
    if (std::fabs(y2) > COORD_LIMIT) {
        PullEnd(x1, y1, x2, y2);
    }
    if (std::fabs(y1) > COORD_LIMIT) {
        PullEnd(x2, y2, x1, y1);
    }
    out = {static_cast<int>(x1), static_cast<int>(y1), static_cast<int>(x2), static_cast<int>(y2),
           pen};
    return true;
}

std::string FormatLocal(std::time_t t, const char* format) {
    std::tm local{};
    if (!localtime_r(&t, &local)) {
        return std::string();
    }
    char buf[64];
    return std::string(buf, std::strftime(buf, sizeof buf, format, &local));
}

// Start time of time label i. Empty when the time is beyond what the clock can show.
std::string TimeLabel(const ReportSource& s, int q, int i) {
    long long offset = 0;
    if (s.intervalUnit == ReportInterval::Milliseconds) {
        offset = static_cast<long long>(q) * i * s.interval / 1000;
    } else {
        offset = static_cast<long long>(q) * s.interval * i;
    }
    std::time_t t = 0;
    if (__builtin_add_overflow(s.start, offset, &t)) {
        return std::string();
    }
    return FormatLocal(t, "%H:%M:%S");
}

std::string FormatLabel(float v) {
    char buf[64];
    const int n = std::snprintf(buf, sizeof buf, "%.1f", static_cast<double>(v));
    return std::string(buf, static_cast<std::size_t>(std::clamp(n, 0, int(sizeof buf) - 1)));
}

// Page units across `px` device pixels at `dpi`.
int PixelsToUnits(int px, double dpi) {
    if (!(dpi > 0.0)) {
        return 0;
    }
    return static_cast<int>(std::min(px * (REPORT_UNITS_PER_INCH / dpi), 1e9));
}

void AddCurves(const ReportSource& s, int n, std::vector<ReportPrimitive>& page) {
    const float l0 = s.labels[0];
    const float l10 = s.labels[REPORT_LABELS - 1];
    if (n < 2 || l10 == l0) {
        return;
    }
    const float scale = static_cast<float>(CHART_HEIGHT) / (l10 - l0);
    if (!std::isfinite(scale) || !std::isfinite(l0)) {
        return;
    }
    bool shown[NUM_CHANNELS];
    bool any = false;
    for (int c = 0; c < NUM_CHANNELS; ++c) {
        shown[c] = s.traces.Shown(c);
        any = any || shown[c];
    }
    if (!any) {
        return;
    }
    const float step = static_cast<float>(CHART_WIDTH) / static_cast<float>(n - 1);
    auto y = [&](int i, int c) {
        const double v = PlotValue(c, s.samples.At(i, c), s.tempUnit, s.speedFactor);
        return (v - l0) * scale + CHART_BOTTOM;
    };
    std::array<double, NUM_CHANNELS> prev{};
    for (int c = 0; c < NUM_CHANNELS; ++c) {
        prev[c] = shown[c] ? y(0, c) : 0.0;
    }
    float prevX = static_cast<float>(CHART_LEFT);
    for (int i = 1; i < n; ++i) {
        const float x = static_cast<float>(i) * step + static_cast<float>(CHART_LEFT);
        for (int c = 0; c < NUM_CHANNELS; ++c) {
            if (!shown[c]) {
                continue;
            }
            const double cur = y(i, c);
            ReportLine line;
            if (ToLine(prevX, prev[c], x, cur, TRACE_PENS[c], line)) {
                page.emplace_back(line);
            }
            prev[c] = cur;
        }
        prevX = x;
    }
}

}  // namespace

ReportPenStyle PenStyle(ReportPen pen) {
    switch (pen) {
        case ReportPen::Frame:
            return {{0, 0, 0}, 2, false};
        case ReportPen::Grid:
            return {{127, 127, 127}, 1, true};
        case ReportPen::AirT:
            return {{55, 0, 0}, 2, false};
        case ReportPen::Irt:
            return {{55, 55, 0}, 2, false};
        case ReportPen::AirV:
            return {{0, 55, 55}, 2, false};
        case ReportPen::Cfm:
            return {{55, 0, 55}, 2, false};
        case ReportPen::Cmm:
            return {{0, 55, 0}, 2, false};
    }
    return {{0, 0, 0}, 1, false};
}

ReportPen TracePen(int channel) {
    return TRACE_PENS[std::clamp(channel, 0, NUM_CHANNELS - 1)];
}

int FontHeight(ReportFont font) {
    return font == ReportFont::Title ? 40 : 15;
}

std::vector<ReportPrimitive> LayoutReport(const ReportSource& source, const ReportDevice& device,
                                          std::time_t now) {
    const int n = source.samples.base
                      ? std::clamp(source.count, 0, std::min(source.samples.capacity, MAX_SAMPLES))
                      : 0;
    std::vector<ReportPrimitive> page;
    page.reserve(64 + static_cast<std::size_t>(std::max(n - 1, 0)) * NUM_CHANNELS);

    AddCurves(source, n, page);

    // The bands reach as far as the printable area in device pixels, which on a device of
    // fewer than 254 dpi is less than the area itself: there they reach its edges.
    const int width = std::max(device.m_nWidthPx, PixelsToUnits(device.m_nWidthPx, device.m_fDpiX));
    const int height =
        std::max(device.m_nHeightPx, PixelsToUnits(device.m_nHeightPx, device.m_fDpiY));
    page.emplace_back(ReportWhiteBand{-width, CHART_TOP, 0, std::max(height, CHART_TOP)});
    page.emplace_back(ReportWhiteBand{-width, 0, 0, CHART_BOTTOM});

    page.emplace_back(ReportText{TITLE_X, TITLE_Y, ReportFont::Title, REPORT_TITLE});
    for (int c = 0; c < NUM_CHANNELS; ++c) {
        if (source.traces.Shown(c)) {
            page.emplace_back(ReportText{LEGEND[c].x, LEGEND_Y, ReportFont::Text, LEGEND[c].name});
        }
    }
    for (int i = 0; i < REPORT_LABELS; ++i) {
        page.emplace_back(ReportText{VALUE_LABEL_X, VALUE_LABEL_Y + LABEL_STEP * i,
                                     ReportFont::Text, FormatLabel(source.labels[i])});
    }
    const int q = n / 4;
    for (int i = 0; i < TIME_LABELS; ++i) {
        page.emplace_back(
            ReportText{TIME_LABEL_X[i], TIME_LABEL_Y, ReportFont::Text, TimeLabel(source, q, i)});
    }

    for (int i = 1; i < REPORT_LABELS; ++i) {
        const int y = CHART_BOTTOM + LABEL_STEP * i;
        page.emplace_back(ReportLine{CHART_RIGHT, y, GRID_LEFT, y, ReportPen::Grid});
    }
    for (const int x : GRID_X) {
        page.emplace_back(ReportLine{x, CHART_BOTTOM, x, CHART_TOP, ReportPen::Grid});
    }
    // The frame comes after the bands, which would cover half of its top and bottom lines,
    // and after the grid, whose top line lies on it.
    const ReportPen frame = ReportPen::Frame;
    page.emplace_back(ReportLine{CHART_LEFT, CHART_BOTTOM, CHART_RIGHT, CHART_BOTTOM, frame});
    page.emplace_back(ReportLine{CHART_LEFT, CHART_BOTTOM, CHART_LEFT, CHART_TOP, frame});
    page.emplace_back(ReportLine{CHART_LEFT, CHART_TOP, CHART_RIGHT, CHART_TOP, frame});
    page.emplace_back(ReportLine{CHART_RIGHT, CHART_BOTTOM, CHART_RIGHT, CHART_TOP, frame});
    page.emplace_back(
        ReportText{DATE_X, DATE_Y, ReportFont::Text, FormatLocal(now, "%Y-%m-%d  %H:%M")});
    return page;
}

}  // namespace qf

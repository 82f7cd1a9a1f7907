// The summary report: one page a technician hands a customer after an airflow test (header,
// facts, statistics of a span, a full-width chart, footer), laid out in millimetres without a
// printer. The Qt painter only draws the boxes and lines computed here; text widths come from
// a callback, so wrapping and cutting are decided here too.
//
// Page coordinates are mm from the paper's top-left corner, x to the right, y downward.
#pragma once

#include <array>
#include <cstdint>
#include <ctime>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/SpanStatistics.h"
#include "live/GraphDisplayState.h"
#include "store/StoredRecord.h"

namespace qf {

struct RecordingState;

struct SummaryPaper {
    double width = 210.0;  // mm, portrait
    double height = 297.0;
};
inline constexpr SummaryPaper SUMMARY_A4{210.0, 297.0};
inline constexpr SummaryPaper SUMMARY_LETTER{215.9, 279.4};
inline constexpr double SUMMARY_MARGIN = 15.0;

inline constexpr char SUMMARY_DEFAULT_TITLE[] = "Airflow test report";
inline constexpr char SUMMARY_LIVE_NAME[] = "live recording";
inline constexpr char SUMMARY_FONT_FAMILY[] = "Liberation Sans";

enum class SummaryFont : std::uint8_t { Title, Heading, Text, Small };

struct SummaryFontStyle {
    double size;  // em height in mm
    bool bold;
};
SummaryFontStyle FontStyleOf(SummaryFont font);
// The height of a line of text in the font: a text box's height.
double LineHeight(SummaryFont font);

// The width in mm of a text (UTF-8) set in a font.
using SummaryMeasure = std::function<double(SummaryFont, std::string_view)>;

enum class SummaryPen : std::uint8_t { Frame, Grid, Rule, AirT, Irt, AirV, Cfm, Cmm };

struct SummaryPenStyle {
    std::uint8_t r, g, b;
    double width;                 // mm
    std::vector<double> pattern;  // dash, gap, ... in mm; empty: solid
};
SummaryPenStyle SummaryPenStyleOf(SummaryPen pen);
SummaryPen SummaryTracePen(int channel);

struct SummaryRect {
    double left = 0, top = 0, right = 0, bottom = 0;
    double Width() const { return right - left; }
    double Height() const { return bottom - top; }
};

// Black text, its box's top-left corner at (x, y); `width` is the measured width.
struct SummaryText {
    double x, y, width, height;
    SummaryFont font;
    std::string text;
};

struct SummaryLine {
    double x1, y1, x2, y2;
    SummaryPen pen;
};

struct SummaryPoint {
    double x, y;
};

// One unbroken run of a trace: a missing reading ends a run.
struct SummaryPolyline {
    SummaryPen pen;
    std::vector<SummaryPoint> points;
};

struct SummaryLayout {
    SummaryPaper paper;
    SummaryRect plot;  // the chart's frame; traces are clipped to it
    std::vector<SummaryLine> lines;
    std::vector<SummaryPolyline> traces;
    std::vector<SummaryText> texts;
    // The statistics table's cells, row by row (header first), as printed.
    std::vector<std::vector<std::string>> table;
};

struct SummaryInput {
    const StoredRecord* record = nullptr;
    SampleSpan span;  // within the record; WholeRecord for all of it
    TraceFlags traces;
    std::string title = SUMMARY_DEFAULT_TITLE;
    std::string notes;
    std::string fileName;  // empty: the live recording
    std::string program;   // name and version
    std::time_t printed = 0;
    SummaryPaper paper = SUMMARY_A4;
};

// Draw order: lines (grid first, then frame, ticks, rules, legend samples), traces, texts.
SummaryLayout LayoutSummary(const SummaryInput& input, const SummaryMeasure& measure);

// `text` as it fits in `width`: whole, or cut at a character with "…" appended.
std::string FitText(const std::string& text, double width, SummaryFont font,
                    const SummaryMeasure& measure);

// At most `maxLines` lines no wider than `width`, broken at blanks (or inside a word
// that is too long); the last line ends in "…" when the text does not fit.
std::vector<std::string> WrapText(const std::string& text, double width, int maxLines,
                                  SummaryFont font, const SummaryMeasure& measure);

// Axis ticks: nice round values (1, 2 or 5 times a power of ten) from `low` to `high`
// that enclose the values given.
struct SummaryScale {
    double low = 0.0;
    double high = 1.0;
    double step = 1.0;
    int decimals = 0;
};
SummaryScale NiceScale(double min, double max, int maxSteps);

}  // namespace qf

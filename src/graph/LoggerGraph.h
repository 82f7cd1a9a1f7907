// What the logger window's graph shows, computed without a window. CLoggerGraph keeps the
// graph's zoom state between repaints; Compute() turns one repaint's inputs into a
// LoggerFrame that the paint only draws, in this order: background, black plot, grid,
// red side lines and ticks, the band under the plot; with a record the traces, the margins,
// the time labels and the value labels; then the legend and the cursor line.
#pragma once

#include <array>
#include <cstddef>
#include <ctime>
#include <string>
#include <vector>

#include "graph/GraphCore.h"
#include "graph/ZoomDrag.h"
#include "live/GraphDisplayState.h"
#include "store/QFConstants.h"

namespace qf {

// The plot inside the client area, and the toolbar strip above it.
inline constexpr int LOGGER_PLOT_LEFT = 321;
inline constexpr int LOGGER_PLOT_TOP = 90;
inline constexpr int LOGGER_PLOT_RIGHT = 61;
inline constexpr int LOGGER_PLOT_BOTTOM = 61;
inline constexpr int LOGGER_TOOLBAR_BOTTOM = 23;
inline constexpr int LOGGER_FULL_GRID_COLUMNS = 15;
inline constexpr int LOGGER_TIME_LABELS = 10;

// The current record as the graph reads it: sample-major samples, stored units.
struct LoggerRecordView {
    const std::array<float, NUM_CHANNELS>* samples = nullptr;  // CQFDoc::m_file.samples
    int count = 0;
    int tempUnit = 0;
    float speedFactor = 1.0f;
    std::time_t start = 0;
    int intervalSec = 0;
};

struct LoggerInputs {
    int width = 0;  // client size
    int height = 0;
    bool hasRecord = false;  // the record table is not empty
    LoggerRecordView record;
    int yGain = DEFAULT_Y_GAIN;
    int yOffset = DEFAULT_Y_OFFSET;
    TraceFlags traces;
};

// A rectangle from its left-top corner, right and bottom edges excluded.
struct FillRect {
    int x = 0, y = 0, w = 0, h = 0;
};

struct PlacedText {
    int x = 0;
    int y = 0;  // the text's top
    std::string text;
};

struct LoggerFrame {
    int width = 0;
    int height = 0;
    // The plot, and its pixel rectangle.
    float left = 0.0f, top = 0.0f, right = 0.0f, bottom = 0.0f;
    FillRect plot;
    bool hasPlot = false;

    std::array<int, Y_LABELS> gridY{};  // lines from left to right, and the ticks' rows
    int gridXCount = 0;                 // full view: lines from top to bottom
    std::array<int, LOGGER_FULL_GRID_COLUMNS> gridX{};
    int sampleLineCount = 0;  // zoom mode: grey lines from bottom to top
    std::array<int, LOGGER_TIME_LABELS> sampleLineX{};
    FillRect bandBelow;  // background under the plot, drawn before the record

    bool drawRecord = false;  // traces, margins and labels follow
    TraceView traces;
    // Around the plot, and the toolbar strip: a toolbar here is transparent, so no trace
    // may show through it.
    std::array<FillRect, 5> margins{};
    int timeLabelCount = 0;
    std::array<PlacedText, LOGGER_TIME_LABELS> timeLabels;
    std::array<PlacedText, Y_LABELS> valueLabels;

    ScrollUpdate scroll;
};

class CLoggerGraph {
public:
    CLoggerGraph() : m_core(LOGGER_GRAPH) {}
    // The frame points into the graph's buffers.
    CLoggerGraph(const CLoggerGraph&) = delete;
    CLoggerGraph& operator=(const CLoggerGraph&) = delete;

    const LoggerFrame& Compute(const LoggerInputs& in);
    const LoggerFrame& Frame() const { return m_frame; }

    // The zoom, scroll and columns of the last Compute. Columns are client pixels,
    // extrapolated beyond the stored samples; not Valid() without two samples or a scale.
    const CGraphCore& Core() const { return m_core; }
    CGraphCore& Core() { return m_core; }
    SampleColumns Columns() const { return m_core.Columns(); }

    // Back to the full view at level 0.
    void ResetToFullView() { m_core.ResetZoom(); }
    // Scroll bar notification; returns the position the scroll bar is to show. An arrow
    // moves one sample, a click in the track the samples across the plot.
    int OnScroll(ScrollCode code, int p) { return m_core.OnScroll(code, p); }
    // Samples across the plot at the current level; 1 without a scale.
    int VisibleSpan() const { return m_core.VisibleSpan(); }

    // Bytes held by the graph and its buffers.
    std::size_t MemoryBytes() const {
        return sizeof(*this) - sizeof(m_core) + m_core.MemoryBytes();
    }

private:
    void Grid();
    void FullView(const LoggerInputs& in, int count);
    void ZoomMode(const LoggerInputs& in, int count);
    void Margins();
    void ValueLabels();

    CGraphCore m_core;
    LoggerFrame m_frame;
};

// Where a drag on the logger graph may go: the plot's whole pixels, given up a little
// beyond them.
DragArea DragAreaOf(const LoggerFrame& f);

// The value label's x by its indent (characters of 7.5 px that right-align the integer
// parts), relative to the plot's left edge.
int LoggerValueLabelX(float left, float value);

}  // namespace qf

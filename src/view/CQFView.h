// The main window's view: owns the four bars and lays them out in the main window,
// commits one sample per interval while a recording runs, answers the enabled state of
// the commands it governs, draws the real-time graph with its cursor read-out and zoom.
#pragma once

#include <QFont>
#include <QImage>
#include <QRect>
#include <QRegion>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "analysis/SpanStatistics.h"
#include "bars/CMeterPanel.h"
#include "bars/CReadingsBar.h"
#include "bars/CRealTimeBar.h"
#include "bars/CScrollBarBar.h"
#include "graph/GraphModel.h"
#include "graph/ZoomDrag.h"
#include "live/GraphDisplayState.h"
#include "live/LiveModel.h"
#include "store/FileViewState.h"
#include "store/StoredRecord.h"
#include "ui/CCursorPanel.h"

namespace qf {

class CConfigFile;
class CQFDoc;

// Where the bars go for a main-window client rectangle; a bar without a rectangle keeps
// its previous place. Client coordinates: the area below the menu.
struct BarPlacement {
    QRect realTime;
    std::optional<QRect> readings;
    QRect meterPanel;
    std::optional<QRect> scroll;
};

class CQFView : public QWidget {
    Q_OBJECT
public:
    // The bars are made children of `frame`, the main window, and placed in its client
    // area; the view reads the live model and calls its operations.
    CQFView(QWidget& frame, CLiveModel& live, const CConfigFile& config);
    ~CQFView() override;

    static BarPlacement PlaceBars(int left, int top, int right, int bottom);

    // After the main window is complete: repaint, lay out, start the sampling tick. The
    // link watchdog is the link's own timer, running since the port was first opened.
    void OnInitialUpdate();
    // Where the main window's client area is, in its own coordinates (below its menu).
    void SetClientArea(std::function<QRect()> clientArea) { m_clientArea = std::move(clientArea); }
    // The main window was resized; `client` is its client area in its own coordinates.
    void LayoutBars(const QRect& client);
    // The grey strips the main window paints around the bars and the legend, in its
    // client coordinates.
    static void PaintClientStrips(QPainter& painter, int right, int bottom);

    void OnSampleTick();
    // The live model changed: the bars and the graph follow (LiveChange bits).
    void OnLiveChanged(unsigned changes);

    // Enabled states of the commands the view governs; nullopt for the others.
    std::optional<bool> CommandEnabled(int id) const;

    // Commands handled by the view.
    void OnUndoZoom();
    // The scroll bar strip under the graph was used.
    void OnScrolled(ScrollCode code, int position);

    CQFDoc& Doc() { return m_live.Doc(); }
    CLiveModel& Live() { return m_live; }
    CRealTimeBar& RealTimeBar() { return *m_barRealTime; }
    CReadingsBar& ReadingsBar() { return *m_barReadings; }
    CMeterPanel& MeterPanel() { return *m_panelMeter; }
    CScrollBarBar& ScrollBar() { return *m_barScroll; }
    // The sampling tick, every m_nIntervalMs.
    QTimer& SampleTimer() { return m_timerSample; }
    // Cancels a zoom drag that leaves the plot; runs while a drag may be on screen.
    QTimer& DragWatchTimer() { return m_timerDragWatch; }
    CGraphModel& Graph() { return m_graph; }
    const CZoomDrag& Drag() const { return m_drag; }
    // The plot rectangle of the view's present size.
    PlotGeometry Geometry() const;
    // A drag may zoom: samples to zoom into and a plot to select on.
    bool CanZoom(const PlotGeometry& g) const;
    // Bytes of the graph state and of the three surfaces the graph is painted into.
    std::size_t GraphStateBytes() const;
    std::size_t SurfaceBytes() const;

    // Numbers over a span. The recording as a stored record, and the span that the
    // statistics, CSV and Fit Y take: between the two cursors when both are set, else the
    // samples on the plot.
    const StoredRecord& AnalysisRecord();
    SampleSpan AnalysisSpan() const;
    // Fit Y: the Y axis dialog's gain and offset that show every value of the span's shown
    // traces. False when no value is there to fit.
    bool FitY();
    // Cursor B, placed with Shift+click: -1 when not set. Escape and UndoZoom clear it.
    int CursorB() const { return m_nCursorB; }
    void ClearCursorB();

    FileViewState m_file;
    // The logger window has painted and not closed since: Open is disabled.
    void SetLoggerShown(bool shown) { m_bLoggerShown = shown; }

    // Curves shown and the Y scale, set by the real-time bar.
    GraphDisplayState m_display;
    // Run asks for the sampling timer to be restarted with the new interval.
    bool m_bRunRequested = false;

    // x of the cursor line on screen, and whether no line is on screen.
    int m_nCursorX = 0;
    int m_nCursorSample = -1;  // the committed sample read out under the line, or -1
    bool m_bCursorFresh = true;

signals:
    // Text for a status bar pane: 1 the read-out's time, 2 its values.
    void paneTextRequested(int pane, const QString& text);
    // A state behind the enabled commands changed (zoom, the logger window).
    void commandStatesChanged();
    // The record, the span or the cursors changed: statistics follow.
    void analysisChanged();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    // The view shows no focus; a repaint for it would erase the cursor line and the band.
    void focusInEvent(QFocusEvent*) override {}
    void focusOutEvent(QFocusEvent*) override {}

private:
    // The repaint that redraws the graph from the samples into the surfaces.
    void RenderGraph();
    void PaintPlot(const GraphFrame& f);
    void PaintYStrip(const GraphFrame& f);
    // Legend and time axis, placed in the main window's client area.
    void PaintClientItems(QPainter& painter) const;
    // The inverted cursor lines and rubber bands since the last RenderGraph.
    void PaintInverted(QPainter& painter) const;
    void ToggleCursorLine(int x);
    void ToggleBand(const BandRect& band);
    // Invalidate and update at once.
    void RepaintNow();
    void OnDragWatch();
    // Cursor B at the sample under view x, when it is a committed one.
    void PlaceCursorB(int x);
    // x of a sample's line when it lies on the plot of frame f.
    bool SampleLineX(const GraphFrame& f, int sample, int& x) const;
    void UpdateCursorPanel();

    CLiveModel& m_live;
    std::function<QRect()> m_clientArea;
    QFont m_fontLabel;
    std::unique_ptr<CRealTimeBar> m_barRealTime;
    std::unique_ptr<CReadingsBar> m_barReadings;
    std::unique_ptr<CMeterPanel> m_panelMeter;
    std::unique_ptr<CScrollBarBar> m_barScroll;
    QTimer m_timerSample;
    QTimer m_timerDragWatch;

    CGraphModel m_graph;
    CZoomDrag m_drag;
    // Plot, Y-axis strip and right strip of the last RenderGraph, kept so that a repaint
    // of part of the view shows the same graph.
    QImage m_plot;
    QImage m_yStrip;
    QImage m_rightStrip;
    bool m_bRendered = false;
    TraceFlags m_legend;
    // Drawn by inverting, so drawing one twice removes it: each is listed at most once.
    std::vector<int> m_invertedLines;
    std::vector<BandRect> m_invertedBands;
    // Where inverted items changed since the last paint.
    QRegion m_overlayDirty;
    // Where the mouse was last seen, in view coordinates.
    QPoint m_ptMouse;
    bool m_bLoggerShown = false;
    int m_nCursorB = -1;
    bool m_bMovingB = false;  // Shift held at the press: the mouse moves cursor B
    CCursorPanel* m_cursorPanel = nullptr;
    StoredRecord m_analysisRecord;
};

}  // namespace qf

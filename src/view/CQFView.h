// The main window's view: owns the four bars and lays them out in the main window,
// commits one sample per interval while a recording runs, answers the enabled state of
// the commands it governs and draws the real-time graph.
#pragma once

#include <QRect>
#include <QTimer>
#include <QWidget>
#include <memory>
#include <optional>
#include <string>

#include "bars/PanelState.h"
#include "bars/ReadingsLogic.h"
#include "link/LiveState.h"
#include "store/FileViewState.h"
#include "view/GraphDisplayState.h"
#include "view/ViewBars.h"

namespace qf {

class CConfigFile;
class CMainFrame;
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
    CQFView(CMainFrame& frame, CQFDoc& doc, const CConfigFile& config);
    ~CQFView() override;

    static BarPlacement PlaceBars(int left, int top, int right, int bottom);

    // After the main window is complete: repaint, lay out, start the sampling tick. The
    // link watchdog is the link's own timer, running since the port was first opened.
    void OnInitialUpdate();
    // The main window was resized; `client` is its client area in its own coordinates.
    void LayoutBars(const QRect& client);

    void OnSampleTick();
    // The link found the meter silent and reopened the port.
    void OnLinkLost();

    // Enabled states of the commands the view governs; nullopt for the others.
    std::optional<bool> CommandEnabled(int id) const;

    // Commands handled by the view. The zoom and the printed report fill these in.
    void OnUndoZoom();
    void OnPrint();
    // The scroll bar strip under the graph was used.
    void OnScrolled(bool thumbTracking, int position);

    CQFDoc& Doc() { return m_doc; }
    CRealTimeBar& RealTimeBar() { return *m_barRealTime; }
    CReadingsBar& ReadingsBar() { return *m_barReadings; }
    CMeterPanel& MeterPanel() { return *m_panelMeter; }
    CScrollBarBar& ScrollBar() { return *m_barScroll; }
    // The sampling tick, every m_nIntervalMs.
    QTimer& SampleTimer() { return m_timerSample; }

    // Recording bookkeeping and display units, written by the frame decoder too.
    ViewLiveState m_live;
    // What the meter panel and the readings bar show, written by the frame decoder.
    PanelState m_panelState;
    CReadingsLogic m_readingsLogic;
    FileViewState m_file;
    std::string m_strStartTime;

    // Curves shown and the Y scale, set by the real-time bar.
    GraphDisplayState m_display;
    // Run asks for the sampling timer to be restarted with the new interval.
    bool m_bRunRequested = false;

    // Graph state used by the command states; the graph owns the rest.
    int m_bFullView = 1;
    bool m_bZoomDragActive = false;
    int m_nScrollOffset = 0;
    int m_nFirstVisible = 0;
    int m_bScrollSynced = 0;

    // The data-logger window: shown at its paint, opened by Open.
    bool m_bLoggerShown = false;
    int m_nLoggerOpen = 0;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void PaintGraph(QPainter& painter);

    CMainFrame& m_frame;
    CQFDoc& m_doc;
    std::unique_ptr<CRealTimeBar> m_barRealTime;
    std::unique_ptr<CReadingsBar> m_barReadings;
    std::unique_ptr<CMeterPanel> m_panelMeter;
    std::unique_ptr<CScrollBarBar> m_barScroll;
    QTimer m_timerSample;
};

}  // namespace qf

// The data-logger window "Graph": a record table of loaded data files, one of them drawn
// as a graph with its own trace choice, Y axis, measuring cursor and zoom. Modeless; it
// destroys itself when closed. What outlives it (trace choice, read-out) is the caller's.
#pragma once

#include <QBasicTimer>
#include <QDialog>
#include <QHash>
#include <QImage>
#include <QPoint>
#include <array>
#include <string>

#include "analysis/SpanStatistics.h"
#include "graph/LoggerGraph.h"
#include "graph/LoggerPointer.h"
#include "graph/LoggerReadout.h"
#include "store/RecordTable.h"

class QAction;
class QScrollBar;
class QTableWidget;
class QToolBar;

#include "ui/CCursorPanel.h"

namespace qf {

class CQFDoc;
class IUserPrompts;
struct FileViewState;

struct LoggerContext {
    CQFDoc& doc;
    FileViewState& file;     // the view's state of the file last read
    LoggerSession& session;  // lives for the whole program run
    IUserPrompts& prompts;
};

class CLoggerDlg : public QDialog {
    Q_OBJECT
public:
    static constexpr int ID_LIST = 1110;
    static constexpr int ID_SCROLL = 1090;
    enum CommandId : int {
        ID_DOWNLOAD = 32791,
        ID_PRINT = 32833,
        ID_UNDOZOOM = 32792,
        ID_SHOW_AIRT = 32820,
        ID_SHOW_IRT = 32821,
        ID_SHOW_AIRV = 32822,
        ID_SHOW_FLOW = 32834,
        ID_COMBINE = 32823,
        ID_Y_AXIS = 32824,
        // Numbers over a span: keys and the graph's context menu.
        ID_STATISTICS = 33001,
        ID_EXPORT_CSV = 33002,
        ID_FIT_Y = 33003,
        ID_PRINT_SUMMARY = 33004,
    };
    static constexpr const char* DOWNLOAD_FILTER = "DataLogger Files (*.AsmDat);;*.CH4";

    CLoggerDlg(const LoggerContext& context, QWidget* parent);
    ~CLoggerDlg() override;

    // Toolbar commands.
    void OnDownload();
    void OnPrint();
    void OnUndoZoom();
    void OnShowOnly(bool TraceFlags::*flag);
    void OnCombine();
    void OnYAxis();
    // Loads the files in order, each a row of its own; the last one loaded is current.
    void DownloadFiles(const QStringList& paths);
    // A double-click in the list: row `row` is its selection mark (-1 for none).
    void MakeRecordCurrent(int row);
    // Numbers over a span: a current record, and the span the statistics, CSV and Fit Y
    // take: between the two cursors when both are set, else the samples on the plot.
    bool HasRecord() const { return m_table.m_nLastRecord != -1; }
    // The name of the file the current record came from.
    std::string CurrentFileName() const;
    SampleSpan AnalysisSpan() const;
    // Fit Y into the record's Y scale, as the Y Axis button would; false with nothing to fit.
    bool FitY();
    // A scroll bar action; public so that tests can drive it.
    void OnScrollAction(int action);
    // One tick of the drag watch, with the mouse at `p` in client coordinates.
    void OnDragWatch(QPoint p);

    QAction* Action(int id) const { return m_actions.value(id); }
    QTableWidget* List() const { return m_list; }
    QScrollBar* ScrollBar() const { return m_scroll; }
    QToolBar* ToolBar() const { return m_toolBar; }
    const CLoggerGraph& Graph() const { return m_graph; }
    const CLoggerPointer& Pointer() const { return m_pointer; }
    const LoggerSession& Session() const { return m_ctx.session; }
    const CRecordTable& Table() const { return m_table; }
    bool IsWatchingDrag() const { return m_dragWatch.isActive(); }
    // Painted since it opened: the main window's Open is disabled meanwhile.
    bool Shown() const { return m_bLoggerShown; }

signals:
    // The window showed for the first time, or closed: the main window's Open follows.
    void shownChanged();
    // The record, the span or the cursors changed: statistics follow.
    void analysisChanged();
    // Commands the main window carries out for this window's record.
    void statisticsRequested();
    void exportCsvRequested();
    void printSummaryRequested();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void timerEvent(QTimerEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CreateToolBar();
    void CreateList();
    // Takes a newly loaded file into the table and the list.
    void ImportPending();
    void FullViewReset();
    // The graph's picture is to be computed again at the next paint.
    void Invalidate();
    void RepaintNow();
    void RenderGraph();
    LoggerInputs Inputs() const;
    LoggerRecordView RecordView() const;
    void CreateAnalysisActions();
    void UpdateCursorPanel();

    LoggerContext m_ctx;
    CRecordTable m_table;
    CLoggerGraph m_graph;
    CLoggerPointer m_pointer;
    QImage m_picture;  // the graph without what the mouse puts over it
    bool m_bPictureValid = false;
    QImage m_screen;
    QBasicTimer m_dragWatch;
    QPoint m_ptMouse;
    QToolBar* m_toolBar = nullptr;
    QTableWidget* m_list = nullptr;
    QScrollBar* m_scroll = nullptr;
    QHash<int, QAction*> m_actions;
    std::array<std::string, MAX_RECORDS> m_recordNames;  // by row: the file each came from
    int m_nCurrentRecord = -1;
    bool m_bLoggerOpen = true;  // until closed: Download may load
    bool m_bLoggerShown = false;
    bool m_bMovingB = false;  // Shift held at the press: the mouse moves cursor B
    CCursorPanel* m_cursorPanel = nullptr;
};

}  // namespace qf

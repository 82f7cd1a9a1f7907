#include "logger/CLoggerDlg.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QHeaderView>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTableWidget>
#include <QToolBar>
#include <QUrl>

#include "analysis/CursorPair.h"
#include "analysis/FitY.h"
#include "bars/BarKeys.h"
#include "bars/CScrollBarBar.h"
#include "logger/LoggerPaint.h"
#include "printing/PrintReport.h"
#include "store/CQFDoc.h"
#include "store/FileViewState.h"
#include "ui/CYAxisDlg.h"
#include "ui/DialogUnits.h"
#include "ui/FileLoad.h"
#include "ui/Fonts.h"
#include "ui/IUserPrompts.h"
#include "ui/Palette.h"

namespace qf {

namespace {

constexpr int BUTTON_WIDTH = 75;
constexpr int BUTTON_HEIGHT = 18;
constexpr int CAPTION_FONT_PX = 12;
const int COLUMN_WIDTHS[] = {50, 130, 110, 150};
const char* const COLUMN_HEADERS[] = {"Set", "Time", "Sampling Rate", "Nums"};

// The toolbar's buttons show their captions as images, black on the button face.
QIcon CaptionIcon(const QString& caption) {
    QPixmap image(BUTTON_WIDTH, BUTTON_HEIGHT);
    image.fill(QApplication::palette().color(QPalette::Button));
    QPainter p(&image);
    QFont font = ArialFont(CAPTION_FONT_PX, QFont::Normal);
    const qreal natural = QFontMetricsF(font).horizontalAdvance(caption);
    if (natural > BUTTON_WIDTH - 4) {
        font = Stretched(font, BUTTON_WIDTH - 4, natural);
    }
    p.setFont(font);
    p.setPen(Qt::black);
    p.drawText(image.rect(), Qt::AlignCenter, caption);
    return QIcon(image);
}

QTableWidgetItem* Cell(const std::string& text) {
    auto* item = new QTableWidgetItem(QString::fromStdString(text));
    item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
    return item;
}

}  // namespace

CLoggerDlg::CLoggerDlg(const LoggerContext& context, QWidget* parent)
    : QDialog(parent), m_ctx(context) {
    const DialogUnits& u = DLU_SYSTEM_10;
    setWindowTitle(QStringLiteral("Graph"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    setAttribute(Qt::WA_DeleteOnClose);
    // Painted wholly from the graph's picture.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFixedSize(u.Size(473, 299));
    setMouseTracking(true);
    setAcceptDrops(true);
    setFocusPolicy(Qt::ClickFocus);

    CreateToolBar();
    CreateList();
    CreateAnalysisActions();
    m_scroll = new QScrollBar(Qt::Horizontal, this);
    m_scroll->setObjectName(QStringLiteral("scroll%1").arg(ID_SCROLL));
    m_scroll->setGeometry(u.Rect(151, 284, 295, 8));
    m_scroll->setRange(0, 0);
    m_scroll->setEnabled(false);
    connect(m_scroll, &QScrollBar::actionTriggered, this, &CLoggerDlg::OnScrollAction);

    if (parent != nullptr) {
        move(parent->geometry().center() - rect().center());
    }
}

CLoggerDlg::~CLoggerDlg() = default;

void CLoggerDlg::CreateToolBar() {
    m_toolBar = new QToolBar(this);
    m_toolBar->setObjectName(QStringLiteral("loggerToolBar"));
    m_toolBar->setIconSize(QSize(BUTTON_WIDTH, BUTTON_HEIGHT));
    m_toolBar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    m_toolBar->setGeometry(0, 0, width(), LOGGER_TOOLBAR_BOTTOM);
    const struct {
        int id;
        const char* caption;
        const char* tip;
    } buttons[] = {
        {ID_DOWNLOAD, "Download", "Download"}, {ID_PRINT, "Print", nullptr},
        {ID_UNDOZOOM, "Undozoom", "ZoomOut"},  {ID_SHOW_AIRT, "AirT", nullptr},
        {ID_SHOW_IRT, "IRT", nullptr},         {ID_SHOW_AIRV, "AirV", nullptr},
        {ID_SHOW_FLOW, "Flow", nullptr},       {ID_COMBINE, "Combine", nullptr},
        {ID_Y_AXIS, "Y Axis", nullptr},
    };
    bool first = true;
    for (const auto& b : buttons) {
        if (!first) {
            m_toolBar->addSeparator();
        }
        first = false;
        const QString caption = QString::fromLatin1(b.caption);
        QAction* action = m_toolBar->addAction(CaptionIcon(caption), caption);
        action->setObjectName(QStringLiteral("cmd%1").arg(b.id));
        // Only two buttons carry a tip; the others' images say it all. Qt would show the
        // caption for an empty tip, so their tips are not shown at all.
        if (b.tip != nullptr) {
            action->setToolTip(QString::fromLatin1(b.tip));
        } else {
            m_toolBar->widgetForAction(action)->installEventFilter(this);
        }
        m_actions.insert(b.id, action);
    }
    connect(Action(ID_DOWNLOAD), &QAction::triggered, this, &CLoggerDlg::OnDownload);
    connect(Action(ID_PRINT), &QAction::triggered, this, &CLoggerDlg::OnPrint);
    connect(Action(ID_UNDOZOOM), &QAction::triggered, this, &CLoggerDlg::OnUndoZoom);
    connect(Action(ID_SHOW_AIRT), &QAction::triggered, this,
            [this] { OnShowOnly(&TraceFlags::m_bShowAirT); });
    connect(Action(ID_SHOW_IRT), &QAction::triggered, this,
            [this] { OnShowOnly(&TraceFlags::m_bShowIrt); });
    connect(Action(ID_SHOW_AIRV), &QAction::triggered, this,
            [this] { OnShowOnly(&TraceFlags::m_bShowAirV); });
    connect(Action(ID_SHOW_FLOW), &QAction::triggered, this,
            [this] { OnShowOnly(&TraceFlags::m_bShowFlow); });
    connect(Action(ID_COMBINE), &QAction::triggered, this, &CLoggerDlg::OnCombine);
    connect(Action(ID_Y_AXIS), &QAction::triggered, this, &CLoggerDlg::OnYAxis);
}

void CLoggerDlg::CreateList() {
    m_list = new QTableWidget(0, 4, this);
    m_list->setObjectName(QStringLiteral("list%1").arg(ID_LIST));
    m_list->setGeometry(DLU_SYSTEM_10.Rect(3, 14, 116, 284));
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setShowGrid(true);
    m_list->verticalHeader()->hide();
    m_list->setWordWrap(false);
    for (int c = 0; c < 4; ++c) {
        auto* header = new QTableWidgetItem(QString::fromLatin1(COLUMN_HEADERS[c]));
        header->setTextAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        m_list->setHorizontalHeaderItem(c, header);
        m_list->setColumnWidth(c, COLUMN_WIDTHS[c]);
    }
    // Anywhere in the list, blank rows too: the selected row becomes current.
    m_list->viewport()->installEventFilter(this);
}

bool CLoggerDlg::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::ToolTip && watched->parent() == m_toolBar) {
        return true;  // a button without a tip
    }
    if (watched == m_list->viewport() && event->type() == QEvent::MouseButtonDblClick &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        MakeRecordCurrent(m_list->currentRow());
    }
    return QDialog::eventFilter(watched, event);
}

LoggerRecordView CLoggerDlg::RecordView() const {
    const CQFDoc& doc = m_ctx.doc;
    LoggerRecordView r;
    const StoredRecord& current = doc.m_file;
    r.samples = current.samples.data();
    r.count = std::clamp(current.count, 0, static_cast<int>(current.samples.size()));
    r.tempUnit = current.tempUnit;
    r.speedFactor = current.speedFactor;
    r.start = current.start;
    r.intervalSec = current.intervalSec;
    return r;
}

LoggerInputs CLoggerDlg::Inputs() const {
    LoggerInputs in;
    in.width = width();
    in.height = height();
    in.hasRecord = m_table.m_nLastRecord != -1;
    in.record = RecordView();
    in.yGain = m_ctx.doc.m_file.yGain;
    in.yOffset = m_ctx.doc.m_file.yOffset;
    in.traces = m_ctx.session;
    return in;
}

void CLoggerDlg::ImportPending() {
    FileViewState& file = m_ctx.file;
    if (!file.m_bFileDataNew) {
        return;
    }
    if (m_table.ImportRecord(m_ctx.doc)) {
        m_list->setRowCount(0);
    }
    const int row = m_table.m_nLastRecord;
    const std::string& path = file.m_strFilePath;
    m_recordNames[std::size_t(row)] = path.substr(path.find_last_of('/') + 1);
    m_nCurrentRecord = row;
    const RecordRow texts = m_table.Row(row);
    m_list->insertRow(row);
    m_list->setItem(row, 0, Cell(texts.set));
    m_list->setItem(row, 1, Cell(texts.time));
    m_list->setItem(row, 2, Cell(texts.rate));
    m_list->setItem(row, 3, Cell(texts.nums));
    file.m_bFileDataNew = false;
    Invalidate();
}

void CLoggerDlg::FullViewReset() {
    m_graph.ResetToFullView();
    m_pointer.Reset();
    ClearReadout(m_ctx.session);
    // Disabled, with no thumb left standing where the zoom had it.
    m_scroll->setRange(0, 0);
    m_scroll->setEnabled(false);
    Invalidate();
}

void CLoggerDlg::Invalidate() {
    m_bPictureValid = false;
    update();
}

void CLoggerDlg::RepaintNow() {
    Invalidate();
    repaint();
}

void CLoggerDlg::OnDownload() {
    if (!m_bLoggerOpen) {
        return;
    }
    FullViewReset();
    DownloadFiles(m_ctx.prompts.AskOpenFiles(this, QString::fromLatin1(DOWNLOAD_FILTER)));
}

void CLoggerDlg::DownloadFiles(const QStringList& paths) {
    // Many files chosen: one message for all that failed, not a box for each.
    QStringList failures;
    for (const QString& path : paths) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        const bool loaded =
            paths.size() == 1
                ? LoadDataFileWithMessages(path, m_ctx.doc, m_ctx.file, m_ctx.prompts, this)
                : LoadDataFileNoting(path, m_ctx.doc, m_ctx.file, failures);
        QApplication::restoreOverrideCursor();
        if (loaded) {
            // Each file a row of its own, in the order chosen.
            ImportPending();
        }
    }
    if (!failures.isEmpty()) {
        m_ctx.prompts.ShowMessage(this, QStringLiteral("These files could not be loaded:\n%1")
                                            .arg(failures.join(QLatin1Char('\n'))));
    }
    FullViewReset();
}

void CLoggerDlg::OnPrint() {
    const CQFDoc& doc = m_ctx.doc;
    const StoredRecord& current = doc.m_file;
    if (current.count < 1) {
        return;
    }
    ReportSource source = FileReportSource(current, ReportLabels(current.yOffset, current.yGain));
    source.traces = m_ctx.session;
    PrintReport(source, this, m_ctx.prompts);
}

SampleSpan CLoggerDlg::AnalysisSpan() const {
    const int a = m_pointer.CursorSample();
    const int b = m_pointer.CursorB();
    if (b >= 0 && a >= 0 && m_pointer.CursorShown()) {
        return {std::min(a, b), std::max(a, b)};
    }
    const auto [first, last] = m_graph.Core().VisibleRange(m_ctx.doc.m_file.count);
    return {first, last};
}

bool CLoggerDlg::FitY() {
    const StoredRecord& record = m_ctx.doc.m_file;
    const std::optional<YAxisChoice> choice =
        HasRecord() ? FitYAxis(ComputeSpanStatistics(record, AnalysisSpan()), m_ctx.session)
                    : std::nullopt;
    if (!choice) {
        return false;
    }
    m_ctx.doc.m_file.yGain = Y_GAIN_CHOICES[choice->gainPos];
    m_ctx.doc.m_file.yOffset = Y_OFFSET_CHOICES[choice->offsetPos];
    Invalidate();
    return true;
}

void CLoggerDlg::CreateAnalysisActions() {
    const struct {
        int id;
        const char* text;
        QKeySequence key;
    } commands[] = {
        {ID_STATISTICS, "&Statistics", QKeySequence(Qt::CTRL | Qt::Key_T)},
        {ID_EXPORT_CSV, "Export &CSV...", QKeySequence()},
        {ID_FIT_Y, "&Fit Y", QKeySequence(Qt::CTRL | Qt::Key_F)},
        {ID_PRINT_SUMMARY, "Print Summ&ary...", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_P)},
    };
    for (const auto& c : commands) {
        auto* action = new QAction(QString::fromLatin1(c.text), this);
        action->setObjectName(QStringLiteral("cmd%1").arg(c.id));
        action->setShortcut(c.key);
        addAction(action);
        m_actions.insert(c.id, action);
    }
    connect(Action(ID_STATISTICS), &QAction::triggered, this, &CLoggerDlg::statisticsRequested);
    connect(Action(ID_EXPORT_CSV), &QAction::triggered, this, &CLoggerDlg::exportCsvRequested);
    connect(Action(ID_FIT_Y), &QAction::triggered, this, [this] { FitY(); });
    connect(Action(ID_PRINT_SUMMARY), &QAction::triggered, this,
            &CLoggerDlg::printSummaryRequested);
}

void CLoggerDlg::contextMenuEvent(QContextMenuEvent* event) {
    QMenu menu(this);
    for (const int id : {ID_STATISTICS, ID_EXPORT_CSV, ID_FIT_Y, ID_PRINT_SUMMARY}) {
        if (QAction* action = Action(id)) {
            action->setEnabled(HasRecord());
            menu.addAction(action);
        }
    }
    menu.exec(event->globalPos());
}

void CLoggerDlg::UpdateCursorPanel() {
    if (m_cursorPanel == nullptr) {
        m_cursorPanel = new CCursorPanel(this);
    }
    const int a = m_pointer.CursorSample();
    const int b = m_pointer.CursorB();
    if (!HasRecord() || b < 0 || a < 0 || !m_pointer.CursorShown()) {
        m_cursorPanel->hide();
        return;
    }
    const LoggerFrame& f = m_graph.Frame();
    m_cursorPanel->ShowTexts(ReadCursorPair(m_ctx.doc.m_file, a, b, m_ctx.session),
                             QPoint(TruncToInt(f.left) + 8, TruncToInt(f.top) + 8));
}

void CLoggerDlg::OnUndoZoom() {
    FullViewReset();
    repaint();
}

void CLoggerDlg::OnShowOnly(bool TraceFlags::*flag) {
    m_ctx.session.ShowOnly(flag);
    Invalidate();
}

void CLoggerDlg::OnCombine() {
    m_ctx.session.ShowAll();
    Invalidate();
}

void CLoggerDlg::OnYAxis() {
    CYAxisDlg dialog(this);
    if (!m_ctx.prompts.RunDialog(dialog)) {
        return;
    }
    const int gain = dialog.GainPosition();
    const int offset = dialog.OffsetPosition();
    if (gain >= 0 && std::size_t(gain) < std::size(Y_GAIN_CHOICES)) {
        m_ctx.doc.m_file.yGain = Y_GAIN_CHOICES[gain];
    }
    if (offset >= 0 && std::size_t(offset) < std::size(Y_OFFSET_CHOICES)) {
        m_ctx.doc.m_file.yOffset = Y_OFFSET_CHOICES[offset];
    }
    Invalidate();
}

std::string CLoggerDlg::CurrentFileName() const {
    return m_nCurrentRecord >= 0 && m_nCurrentRecord < MAX_RECORDS
               ? m_recordNames[std::size_t(m_nCurrentRecord)]
               : std::string();
}

void CLoggerDlg::MakeRecordCurrent(int row) {
    if (!m_table.MakeRecordCurrent(row, m_ctx.doc)) {
        return;
    }
    m_nCurrentRecord = row;
    FullViewReset();
}

void CLoggerDlg::OnScrollAction(int action) {
    const ScrollCode code = ScrollCodeOf(*m_scroll, action);
    const int position = m_graph.OnScroll(code, m_scroll->sliderPosition());
    QSignalBlocker quiet(m_scroll);
    // The thumb stands only where the offset says.
    m_scroll->setSliderPosition(position);
    m_scroll->setValue(position);
    RepaintNow();
}

void CLoggerDlg::RenderGraph() {
    const LoggerFrame& f = m_graph.Compute(Inputs());
    m_pointer.Follow(m_graph, RecordView(), m_ctx.session);
    emit analysisChanged();
    if (m_picture.size() != size()) {
        m_picture = QImage(size(), QImage::Format_RGB32);
    }
    PaintLoggerGraph(m_picture, f, m_ctx.session);
    if (f.scroll.setRange) {
        m_scroll->setRange(0, f.scroll.rangeMax);
    }
    if (f.scroll.setPosition) {
        QSignalBlocker quiet(m_scroll);
        m_scroll->setValue(f.scroll.position);
    }
    // A zoomed graph scrolls, a track click by the samples across the plot; the full view
    // has nothing to scroll.
    m_scroll->setPageStep(m_graph.VisibleSpan());
    m_scroll->setEnabled(f.scroll.enabled);
    m_bPictureValid = true;
}

void CLoggerDlg::paintEvent(QPaintEvent*) {
    FileViewState& file = m_ctx.file;
    if (!m_bLoggerShown) {
        m_bLoggerShown = true;
        emit shownChanged();
    }
    ImportPending();
    if (!m_bPictureValid || m_picture.size() != size()) {
        RenderGraph();
    }
    m_screen = m_picture;
    const CQFDoc& doc = m_ctx.doc;
    const LoggerFrame& f = m_graph.Frame();
    float bx = 0.0f;
    const bool showB = m_pointer.CursorB() >= 0 && f.drawRecord &&
                       m_graph.Core().SampleX(m_pointer.CursorB(), bx) && bx >= f.left &&
                       bx <= f.right + 1.0f;
    PaintLoggerOverlays(m_screen, f, m_pointer, m_ctx.session,
                        {doc.m_file.tempUnitText, doc.m_file.speedUnitText},
                        showB ? TruncToInt(bx) : -1);
    UpdateCursorPanel();
    QPainter painter(this);
    painter.drawImage(0, 0, m_screen);
    file.m_bFileDataNew = false;
}

void CLoggerDlg::mousePressEvent(QMouseEvent* event) {
    QDialog::mousePressEvent(event);
    m_ptMouse = event->position().toPoint();
    if (event->button() != Qt::LeftButton) {
        return;
    }
    if (event->modifiers() & Qt::ShiftModifier) {
        m_bMovingB = HasRecord();
        if (m_bMovingB && m_pointer.PlaceB(m_graph, m_ptMouse.x(), m_ctx.doc.m_file.count)) {
            Invalidate();
            emit analysisChanged();
        }
        return;
    }
    m_pointer.ButtonDown(m_graph, m_table.m_nLastRecord != -1, {m_ptMouse.x(), m_ptMouse.y()});
    m_dragWatch.start(LOGGER_DRAG_WATCH_MS, this);
}

void CLoggerDlg::mouseMoveEvent(QMouseEvent* event) {
    QDialog::mouseMoveEvent(event);
    m_ptMouse = event->position().toPoint();
    if (m_bMovingB) {
        if (m_pointer.PlaceB(m_graph, m_ptMouse.x(), m_ctx.doc.m_file.count)) {
            Invalidate();
            emit analysisChanged();
        }
        return;
    }
    m_pointer.Move(m_graph, RecordView(), m_table.m_nLastRecord != -1,
                   {m_ptMouse.x(), m_ptMouse.y()}, m_ctx.session);
    update();
    if (m_pointer.CursorB() >= 0) {
        UpdateCursorPanel();
        emit analysisChanged();
    }
}

void CLoggerDlg::mouseReleaseEvent(QMouseEvent* event) {
    QDialog::mouseReleaseEvent(event);
    m_ptMouse = event->position().toPoint();
    if (event->button() != Qt::LeftButton) {
        return;
    }
    if (m_bMovingB) {
        m_bMovingB = false;
        return;
    }
    const bool hadBand = m_pointer.BandShown();
    const DragRelease r =
        m_pointer.ButtonUp(m_graph, m_table.m_nLastRecord != -1, {m_ptMouse.x(), m_ptMouse.y()});
    // The drag is over: the watch has nothing left to do.
    m_dragWatch.stop();
    if (r.repaintNow) {
        RepaintNow();
    } else if (hadBand) {
        update();
    }
}

void CLoggerDlg::OnDragWatch(QPoint p) {
    if (m_pointer.Watch(m_graph, {p.x(), p.y()})) {
        m_dragWatch.stop();
        repaint();
    }
}

void CLoggerDlg::timerEvent(QTimerEvent* event) {
    if (event->timerId() == m_dragWatch.timerId()) {
        // While the button is held every move reaches the window, wherever the pointer is.
        OnDragWatch(m_ptMouse);
        return;
    }
    QDialog::timerEvent(event);
}

void CLoggerDlg::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && m_pointer.CursorB() >= 0) {
        m_pointer.ClearB();
        Invalidate();
        emit analysisChanged();
        return;
    }
    if (!SwallowEnterEscape(event)) {
        QDialog::keyPressEvent(event);
    }
}

void CLoggerDlg::closeEvent(QCloseEvent* event) {
    m_graph.ResetToFullView();
    m_pointer.Reset();
    m_table.Clear();
    FileViewState& file = m_ctx.file;
    file.m_bFileData = false;
    file.m_bFileDataNew = false;
    m_bLoggerOpen = false;
    m_bLoggerShown = false;
    m_scroll->setEnabled(false);
    m_dragWatch.stop();
    event->accept();
    emit shownChanged();
}

void CLoggerDlg::dragEnterEvent(QDragEnterEvent* event) {
    const QMimeData* data = event->mimeData();
    if (data->hasUrls()) {
        for (const QUrl& url : data->urls()) {
            if (!url.isLocalFile()) {
                return;
            }
        }
        event->acceptProposedAction();
    }
}

void CLoggerDlg::dropEvent(QDropEvent* event) {
    QStringList paths;
    for (const QUrl& url : event->mimeData()->urls()) {
        paths << url.toLocalFile();
    }
    event->acceptProposedAction();
    FullViewReset();
    DownloadFiles(paths);
}

}  // namespace qf

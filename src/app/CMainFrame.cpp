#include "app/CMainFrame.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QPainter>
#include <QStandardPaths>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <algorithm>
#include <cerrno>
#include <ctime>
#include <filesystem>

#include "app/AppTexts.h"
#include "app/CAboutDlg.h"
#include "app/CComPortDlg.h"
#include "app/CHelpWindow.h"
#include "app/CSampleRateDlg.h"
#include "app/HelpFile.h"
#include "link/PortMap.h"
#include "printing/PrintReport.h"
#include "printing/PrintSummary.h"
#include "store/AtomicFile.h"
#include "store/CQFDoc.h"
#include "store/DataFile.h"
#include "store/KeptRecording.h"
#include "store/RegularFile.h"
#include "store/SaveRecording.h"
#include "store/Settings.h"
#include "store/TextExport.h"
#include "ui/CommandIds.h"
#include "ui/FileLoad.h"
#include "ui/IUserPrompts.h"
#include "ui/SpanExport.h"
#include "view/CQFView.h"

namespace qf {

namespace {

const int PANE_WIDTHS[STATUS_PANES - 1] = {150, 150, 500};
// Room a label keeps around its text besides its frame.
constexpr int PANE_TEXT_PADDING = 8;

constexpr int TOOLBAR_HEIGHT = 30;

// How long a note (a save, a missing device) stays in the status bar.
constexpr int STATUS_NOTE_MS = 20000;

std::string FormatNow(const char* format) {
    const std::time_t now = std::time(nullptr);
    std::tm parts{};
    localtime_r(&now, &parts);
    char text[64];
    return std::string(text, std::strftime(text, sizeof text, format, &parts));
}

QString FromLocal(const std::string& path) {
    return QFile::decodeName(QByteArray::fromStdString(path));
}

std::string StartName(std::time_t start) {
    std::tm parts{};
    localtime_r(&start, &parts);
    char text[64];
    return std::string(text, std::strftime(text, sizeof text, "%y-%m-%d %H.%M.%S", &parts));
}

QString SaveFailureText(const std::string& path, int error) {
    const QString where = QDir::toNativeSeparators(FromLocal(path));
    if (error == 0) {
        return QStringLiteral("The data could not be saved to %1.").arg(where);
    }
    return QStringLiteral("The data could not be saved to %1: %2.")
        .arg(where, QString::fromLocal8Bit(FileErrorText(error)));
}

}  // namespace

CMainFrame::CMainFrame(CQFDoc& doc, FrameOptions options, QWidget* parent)
    : QMainWindow(parent),
      m_doc(doc),
      m_prompts(options.prompts),
      m_config(options.configPath.empty() ? CConfigFile::DefaultPath() : options.configPath),
      m_live(doc),
      m_keptPlaces(options.keptPlaces) {
    if (m_keptPlaces.empty()) {
        m_keptPlaces = KeptPlaces(
            LocalPath(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation)));
    }
    // The title stays fixed whatever file is open.
    setWindowTitle(options.demo ? QStringLiteral("%1 %2").arg(QLatin1String(APP_TITLE),
                                                              QLatin1String(TEXT_DEMO))
                                : QString::fromLatin1(APP_TITLE));
    setWindowIcon(QIcon(QStringLiteral(":/icons/qf7720.svg")));

    m_pView = new CQFView(*this, m_live, m_config);
    m_pView->setObjectName(QStringLiteral("view"));
    setCentralWidget(m_pView);
    m_pView->SetClientArea([this] { return ClientRect(); });
    connect(m_pView, &CQFView::paneTextRequested, this, &CMainFrame::SetPaneText);
    connect(m_pView, &CQFView::commandStatesChanged, this, &CMainFrame::UpdateCommandStates);
    connect(m_pView, &CQFView::analysisChanged, this, &CMainFrame::UpdateStatistics);

    CreateActions();
    CreateMenu();
    CreateToolBar();

    if (!options.resolver) {
        options.resolver = [this, path = m_config.Path()](int number) {
            const PortMapping mapped = MapPort(number, CConfigFile(path));
            // Said once: the watchdog asks again every few seconds.
            if (!mapped.problem.empty() && !m_toldPortMap.contains(number)) {
                m_toldPortMap.insert(number);
                ShowStatusNote(QString::fromStdString(mapped.problem) +
                               QStringLiteral(": the port stays closed."));
            }
            return mapped.device;
        };
    }
    m_port = std::make_unique<CQtSerialPort>();
    m_comm = std::make_unique<CMeterLink>(*m_port, std::move(options.resolver), options.periods);
    // The port number comes first: everything after may use it.
    m_comm->SetPort(m_config.ReadInt(SEC_COM, KEY_COM, DEFAULT_PORT));
    // One way along the live path: the link's chunks into the model, and the model's
    // changes out to the windows.
    m_live.SetObserver([this](unsigned changes) { OnLiveChanged(changes); });
    connect(m_comm.get(), &CMeterLink::chunkReceived, this,
            [this](const std::vector<std::uint8_t>& chunk, qint64 time) {
                m_live.OnReceive(chunk.data(), chunk.size(), static_cast<std::time_t>(time));
            });
    connect(m_comm.get(), &CMeterLink::linkLost, this, [this] { m_live.OnLinkLost(); });
    connect(m_comm.get(), &CMeterLink::stateChanged, this, &CMainFrame::UpdateCommandStates);
    // The meter's keys on the drawn panel press the real ones.
    connect(&m_pView->MeterPanel(), &CMeterPanel::commandReady, this,
            [this](const CommandPacket& packet) {
                m_comm->SendCommand(packet[3], packet[4], packet[5]);
            });
    connect(m_port.get(), &CQtSerialPort::permissionDenied, this, &CMainFrame::OnPermissionDenied);
    connect(m_port.get(), &CQtSerialPort::deviceMissing, this, &CMainFrame::OnDeviceMissing);
    connect(m_port.get(), &CQtSerialPort::notSerialDevice, this, &CMainFrame::OnNotSerialDevice);
    connect(m_port.get(), &CQtSerialPort::portInUse, this, &CMainFrame::OnPortInUse);
    // A crash, a SIGKILL or a power cut loses at most one period of the recording.
    m_keepTimer = new QTimer(this);
    connect(m_keepTimer, &QTimer::timeout, this, &CMainFrame::KeepRunningRecording);
    m_keepTimer->start(options.keepPeriodMs);

    CreateStatusBar(options.demo);
    setMinimumSize(LayoutMinimumSize());
    // A FIFO or a folder in its place is never read nor replaced: the defaults hold.
    if (RegularFileError(m_config.Path()) == NOT_REGULAR_FILE) {
        ShowStatusNote(QStringLiteral("The settings file %1 is not a regular file: the program "
                                      "starts with its defaults and writes no settings.")
                           .arg(FromLocal(m_config.Path())));
    }

    // Opens the port, sends the start command, starts the acknowledgement timer and the
    // watchdog.
    m_comm->Start();
    UpdateCommandStates();
}

CMainFrame::~CMainFrame() {
    // Destroying the windows moves the focus; nothing of this window may answer it then.
    disconnect(m_focusWatch);
    m_comm->Stop();
    m_live.SetObserver({});
}

QAction* CMainFrame::AddAction(int id, const QString& text) {
    auto* action = new QAction(text, this);
    action->setData(id);
    action->setObjectName(QStringLiteral("cmd%1").arg(id));
    m_actions.insert(id, action);
    return action;
}

void CMainFrame::CreateActions() {
    // Id, menu text, toolbar tip, flyby help.
    const struct {
        int id;
        const char* text;
        const char* tip;
        const char* status;
    } commands[] = {
        {ID_SAVE, "&Save", "Save", "Save the recording as a data file and a text table"},
        {ID_OPEN_LOGGER, "&Open", "Open", "Open the data-logger window"},
        {ID_FILE_PRINT, "&Print", "Print", "Print the test report of the recording"},
        {ID_APP_EXIT, "&Exit", nullptr, "Quit the program"},
        {ID_RUN, "&Run", "Start", "Start a recording"},
        {ID_STOP, "&Stop", "Stop", "Stop the recording"},
        {ID_UNDO_ZOOM, "&UndoZoom", "UndoZoom", "Return the graph to the full view"},
        {ID_COM1, "&COM1", nullptr, "Use port COM1"},
        {ID_COM2, "&COM2", nullptr, "Use port COM2"},
        {ID_COM3, "&COM3", nullptr, "Use port COM3"},
        {ID_COM4, "&COM4", nullptr, "Use port COM4"},
        {ID_OTHER_COM, "&Other COM", nullptr, "Use a port from COM5 to COM16"},
        {ID_APP_ABOUT, "&About Thermo-Anemometer...", nullptr, "Program version"},
        {ID_HELP_CONTENTS, "&Contents", "Help", "Show the help"},
        {ID_STATISTICS, "&Statistics", nullptr,
         "Statistics of the span between the two cursors, else of the visible span"},
        {ID_EXPORT_CSV, "Export &CSV...", nullptr, "Write the same span as a CSV file"},
        {ID_FIT_Y, "&Fit Y", nullptr, "Choose the Y gain and offset that show every visible value"},
        {ID_PRINT_SUMMARY, "Print Summ&ary...", nullptr,
         "Print a summary report: facts, statistics and a colour chart"},
    };
    for (const auto& c : commands) {
        QAction* action = AddAction(c.id, QString::fromLatin1(c.text));
        if (c.tip != nullptr) {
            action->setToolTip(QString::fromLatin1(c.tip));
        }
        action->setStatusTip(QString::fromLatin1(c.status));
    }
    QAction* print = Action(ID_FILE_PRINT);
    print->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    // Radio marks that may all be off: Other COM marks none of them.
    auto* comGroup = new QActionGroup(this);
    comGroup->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
    for (int n = 1; n <= 4; ++n) {
        QAction* com = Action(ID_COM1 + n - 1);
        com->setCheckable(true);
        comGroup->addAction(com);
    }

    // The accelerators lead to the standard document commands, not to the menu's own.
    QAction* fileNew = AddAction(ID_FILE_NEW, QStringLiteral("New"));
    fileNew->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_N));
    QAction* fileOpen = AddAction(ID_FILE_OPEN, QStringLiteral("Open..."));
    fileOpen->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    QAction* fileSave = AddAction(ID_FILE_SAVE, QStringLiteral("Save As..."));
    fileSave->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    addActions({fileNew, fileOpen, fileSave, print});

    connect(Action(ID_SAVE), &QAction::triggered, this, [this] { OnSave(); });
    connect(Action(ID_OPEN_LOGGER), &QAction::triggered, this, &CMainFrame::OnOpenLogger);
    connect(print, &QAction::triggered, this, &CMainFrame::OnPrint);
    connect(Action(ID_APP_EXIT), &QAction::triggered, this, &QWidget::close);
    connect(Action(ID_RUN), &QAction::triggered, this, &CMainFrame::OnRun);
    connect(Action(ID_STOP), &QAction::triggered, this, &CMainFrame::OnStop);
    connect(Action(ID_UNDO_ZOOM), &QAction::triggered, this, [this] {
        m_pView->OnUndoZoom();
        UpdateCommandStates();
    });
    for (int n = 1; n <= 4; ++n) {
        connect(Action(ID_COM1 + n - 1), &QAction::triggered, this, [this, n] { OnComPort(n); });
    }
    connect(Action(ID_OTHER_COM), &QAction::triggered, this, &CMainFrame::OnOtherCom);
    connect(Action(ID_APP_ABOUT), &QAction::triggered, this, &CMainFrame::OnAbout);
    connect(Action(ID_HELP_CONTENTS), &QAction::triggered, this, &CMainFrame::OnHelpContents);
    Action(ID_STATISTICS)->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_T));
    Action(ID_FIT_Y)->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F));
    connect(Action(ID_STATISTICS), &QAction::triggered, this, [this] { OnStatistics(false); });
    connect(Action(ID_EXPORT_CSV), &QAction::triggered, this, [this] { OnExportCsv(false); });
    connect(Action(ID_FIT_Y), &QAction::triggered, this, &CMainFrame::OnFitY);
    Action(ID_PRINT_SUMMARY)->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_P));
    connect(Action(ID_PRINT_SUMMARY), &QAction::triggered, this, [this] { OnPrintSummary(false); });
    // The statistics describe the graph of the window used last.
    m_focusWatch = connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        const QWidget* window = now != nullptr ? now->window() : nullptr;
        if (window == this || (m_logger && window == m_logger)) {
            m_bStatsFromLogger = window != this;
            UpdateStatistics();
        }
    });
    connect(fileNew, &QAction::triggered, this, &CMainFrame::OnFileNew);
    connect(fileOpen, &QAction::triggered, this, &CMainFrame::OnFileOpen);
    connect(fileSave, &QAction::triggered, this, &CMainFrame::OnFileSave);
}

void CMainFrame::CreateMenu() {
    QMenuBar* bar = menuBar();
    QMenu* file = bar->addMenu(QStringLiteral("&File(f)"));
    file->addActions(
        {Action(ID_SAVE), Action(ID_OPEN_LOGGER), Action(ID_FILE_PRINT), Action(ID_APP_EXIT)});
    QMenu* realTime = bar->addMenu(QStringLiteral("&RealTime(R)"));
    realTime->addAction(Action(ID_RUN));
    realTime->addSeparator();
    realTime->addActions({Action(ID_STOP), Action(ID_UNDO_ZOOM)});
    QMenu* com = bar->addMenu(QStringLiteral("&COM Port"));
    for (int n = 1; n <= 4; ++n) {
        com->addAction(Action(ID_COM1 + n - 1));
        com->addSeparator();
    }
    com->addAction(Action(ID_OTHER_COM));
    QMenu* analysis = bar->addMenu(QStringLiteral("&Analysis"));
    analysis->addActions({Action(ID_STATISTICS), Action(ID_EXPORT_CSV), Action(ID_FIT_Y)});
    analysis->addSeparator();
    analysis->addAction(Action(ID_PRINT_SUMMARY));
    QMenu* help = bar->addMenu(QStringLiteral("&Help(H)"));
    help->addAction(Action(ID_APP_ABOUT));
    help->addSeparator();
    help->addAction(Action(ID_HELP_CONTENTS));
    for (QMenu* menu : {file, realTime, com, analysis, help}) {
        connect(menu, &QMenu::aboutToShow, this, &CMainFrame::UpdateCommandStates);
    }
}

void CMainFrame::CreateToolBar() {
    QToolBar* tools = addToolBar(QStringLiteral("Standard"));
    tools->setObjectName(QStringLiteral("toolBar"));
    // Docked for good: the bars are laid out around it at fixed places.
    tools->setMovable(false);
    tools->setFloatable(false);
    tools->setIconSize(QSize(27, 20));
    // As high as the layout below expects: the real-time bar starts at client y 30, and the
    // graph's legend meets the top of its plot only when the view starts there too.
    tools->setFixedHeight(TOOLBAR_HEIGHT);
    const struct {
        int id;
        const char* icon;
    } buttons[] = {{ID_SAVE, "save"},         {ID_OPEN_LOGGER, "open"}, {ID_RUN, "run"},
                   {ID_STOP, "stop"},         {ID_FILE_PRINT, "print"}, {ID_UNDO_ZOOM, "undozoom"},
                   {ID_HELP_CONTENTS, "help"}};
    bool first = true;
    for (const auto& b : buttons) {
        if (!first) {
            tools->addSeparator();
        }
        first = false;
        QAction* action = Action(b.id);
        action->setIcon(QIcon(QStringLiteral(":/toolbar/%1.svg").arg(QLatin1String(b.icon))));
        tools->addAction(action);
    }
}

void CMainFrame::CreateStatusBar(bool demo) {
    QStatusBar* bar = statusBar();
    for (int i = 0; i < STATUS_PANES; ++i) {
        auto* pane = new QLabel(bar);
        pane->setObjectName(QStringLiteral("pane%1").arg(i));
        pane->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        if (i < STATUS_PANES - 1) {
            pane->setFixedWidth(PANE_WIDTHS[i]);
            bar->addWidget(pane);
        } else {
            // The scroll-lock indicator, greyed as when the lock is off.
            pane->setText(QString::fromLatin1(TEXT_SCROLL_LOCK));
            pane->setEnabled(false);
            bar->addPermanentWidget(pane);
        }
        m_panes[i] = pane;
    }
    m_panes[0]->setText(QString::fromLatin1(TEXT_READY));
    m_dismissKept = new QToolButton(bar);
    m_dismissKept->setObjectName(QStringLiteral("dismissKept"));
    m_dismissKept->setText(QStringLiteral("Dismiss"));
    m_dismissKept->setToolTip(QStringLiteral("Forget the note on the kept recordings"));
    m_dismissKept->hide();
    bar->addPermanentWidget(m_dismissKept);
    connect(m_dismissKept, &QToolButton::clicked, this, &CMainFrame::DismissKeptRecordings);
    // Another note (a save, a port) shows for its while; the kept note comes back after it.
    connect(bar, &QStatusBar::messageChanged, this, [this](const QString& text) {
        if (text.isEmpty() && !m_keptNotes.empty()) {
            QTimer::singleShot(0, this, &CMainFrame::ShowKeptNote);
        }
    });
    if (demo) {
        // Beside the indicator, clear of the panes the read-out writes.
        auto* label = new QLabel(QString::fromLatin1(TEXT_DEMO), bar);
        label->setObjectName(QStringLiteral("demoPane"));
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        label->setToolTip(QStringLiteral("The readings come from a simulated meter."));
        bar->insertPermanentWidget(STATUS_PANES - 1, label);
    }
}

void CMainFrame::SetPaneText(int index, const QString& text) {
    if (index >= 0 && index < STATUS_PANES) {
        m_panes[index]->setText(text);
    }
}

QSize CMainFrame::LayoutMinimumSize() const {
    // Placed as CQFView::PlaceBars places them: bars at x 228, 230 narrower than the client
    // area; the panel at y 31, 50 shorter than it.
    CQFView& view = *m_pView;
    const int barWidth =
        std::max(view.ReadingsBar().sizeHint().width(), view.RealTimeBar().sizeHint().width());
    const int clientHeight = view.MeterPanel().minimumSizeHint().height() + 50;
    const int menuHeight = menuWidget() != nullptr ? menuWidget()->sizeHint().height() : 0;
    return QSize(barWidth + 230, clientHeight + menuHeight);
}

QRect CMainFrame::ClientRect() const {
    int top = 0;
    if (QWidget* menu = menuWidget(); menu != nullptr && menu->isVisible()) {
        top = menu->geometry().bottom() + 1;
    }
    return QRect(0, top, width(), height() - top);
}

void CMainFrame::UpdateCommandStates() {
    for (auto it = m_actions.constBegin(); it != m_actions.constEnd(); ++it) {
        if (const auto enabled = m_pView->CommandEnabled(it.key())) {
            it.value()->setEnabled(*enabled);
        }
    }
    const LinkState& link = m_comm->State();
    for (int i = 0; i < 4; ++i) {
        QAction* com = Action(ID_COM1 + i);
        com->setEnabled(link.m_bComEnabled[i]);
        com->setChecked(link.m_bComRadio[i]);
    }
    Action(ID_OTHER_COM)->setEnabled(link.m_bOtherComEnabled);
}

void CMainFrame::OnRun() {
    const RecordingState& rec = m_live.Recording();
    CSampleRateDlg dialog(*m_prompts, this);
    if (rec.m_nIntervalMs / 1000 >= 1) {
        dialog.SetInterval(rec.m_nIntervalMs / 1000);
    }
    if (rec.m_bHasGraphData) {
        if (m_prompts->AskYesNo(this, QString::fromLatin1(ASK_SAVE_BEFORE_RUN))) {
            OnSave();
        }
        DropRunningRecording();  // the user has answered for it
    }
    if (m_prompts->RunDialog(dialog)) {
        const int seconds = dialog.Interval();
        m_live.Run(&seconds);
    } else {
        m_live.Run(nullptr);
    }
}

void CMainFrame::OnStop() {
    m_live.Stop();
}

void CMainFrame::OnComPort(int n) {
    m_comm->ChooseComPort(n);
    m_pView->update();
    UpdateCommandStates();
}

void CMainFrame::OnOtherCom() {
    CComPortDlg dialog(*m_prompts, this);
    const int port = m_comm->State().m_nPort;
    if (port >= 5) {
        dialog.SetPort(static_cast<std::uint32_t>(port));
    }
    if (m_prompts->RunDialog(dialog)) {
        const std::uint32_t n = dialog.Port();
        // Numbers outside 5..16 are ignored without a word.
        if (n >= 5 && n <= 16 && m_comm->ChooseOtherCom(static_cast<int>(n))) {
            m_pView->update();
        }
    }
    UpdateCommandStates();
}

void CMainFrame::OnOpenLogger() {
    // One window at a time: Open is greyed while it shows.
    if (m_logger != nullptr) {
        m_logger->raise();
        m_logger->activateWindow();
        return;
    }
    m_logger =
        new CLoggerDlg(LoggerContext{m_doc, m_pView->m_file, m_loggerSession, *m_prompts}, this);
    m_logger->setObjectName(QStringLiteral("logger"));
    connect(m_logger, &CLoggerDlg::shownChanged, this, [this] {
        m_pView->SetLoggerShown(m_logger && m_logger->Shown());
        UpdateCommandStates();
    });
    connect(m_logger, &CLoggerDlg::analysisChanged, this, &CMainFrame::UpdateStatistics);
    connect(m_logger, &CLoggerDlg::statisticsRequested, this, [this] { OnStatistics(true); });
    connect(m_logger, &CLoggerDlg::exportCsvRequested, this, [this] { OnExportCsv(true); });
    connect(m_logger, &CLoggerDlg::printSummaryRequested, this, [this] { OnPrintSummary(true); });
    m_logger->show();
    UpdateCommandStates();
}

void CMainFrame::OnPrint() {
    const RecordingState& rec = m_live.Recording();
    const GraphDisplayState& display = m_pView->m_display;
    ReportSource source = LiveReportSource(m_doc, rec.m_nSampleIndex);
    source.tempUnit = m_live.Units().m_nTempUnit;
    source.speedFactor = m_live.Units().m_fSpeedFactor;
    // The graph's own labels at level 0, as it drew them.
    const float* labels = m_pView->Graph().Core().Labels(0);
    std::copy(labels, labels + Y_LABELS, source.labels.begin());
    source.start = rec.m_tmStart;
    source.interval = rec.m_nIntervalMs;
    source.intervalUnit = ReportInterval::Milliseconds;
    source.traces = display;
    PrintReport(source, this, *m_prompts);
}

void CMainFrame::OnHelpContents() {
    const QString path = FindHelpFile();
    if (path.isEmpty()) {
        m_prompts->ShowMessage(
            this, QStringLiteral("The help file %1 was not found. It belongs beside the "
                                 "program or in its data folder:\n%2")
                      .arg(QString::fromLatin1(HELP_FILE_NAME),
                           HelpFileCandidates().join(QLatin1Char('\n'))));
        return;
    }
    if (m_helpWindow == nullptr) {
        m_helpWindow = new CHelpWindow(this);
    }
    m_helpWindow->ShowFile(path);
    m_helpWindow->show();
    m_helpWindow->raise();
    m_helpWindow->activateWindow();
}

bool CMainFrame::OnSave() {
    const CQFView& view = *m_pView;
    const auto chosen = m_prompts->AskSaveFile(
        this, QString::fromStdString(FormatNow("%y-%m-%d %H.%M.%S")),
        QString::fromLatin1(DATA_FILE_FILTER), QString::fromLatin1(DATA_FILE_SUFFIX));
    if (!chosen) {
        return false;
    }
    const std::string data = DataFilePath(LocalPath(*chosen));
    const std::string text = TextExportPath(data);
    int error = 0;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const SaveStatus status =
        SaveRecording(data, m_doc, m_live.Recording(), m_live.Units(), view.m_display.m_nYGain,
                      view.m_display.m_nYOffset, &error);
    QApplication::restoreOverrideCursor();
    if (status != SaveStatus::Ok) {
        // Said out loud: a silent failure would let the recording be lost at exit.
        m_prompts->ShowMessage(this, SaveFailureText(data, error));
        return false;
    }
    m_saved = {m_live.Recording().m_tmStart, m_live.Recording().m_nSampleIndex};
    DropRunningRecording();
    const QFileInfo dataInfo(FromLocal(data));
    ShowStatusNote(QStringLiteral("Saved %1 and %2 in %3")
                       .arg(dataInfo.fileName(), QFileInfo(FromLocal(text)).fileName(),
                            QDir::toNativeSeparators(dataInfo.absolutePath())));
    return true;
}

void CMainFrame::OnStatistics(bool fromLogger) {
    m_bStatsFromLogger = fromLogger;
    if (!m_stats) {
        m_stats = new CStatisticsWnd(this);
    }
    m_stats->show();
    m_stats->raise();
    UpdateStatistics();
}

void CMainFrame::UpdateStatistics() {
    if (!m_stats || !m_stats->isVisible()) {
        return;
    }
    if (m_bStatsFromLogger && m_logger && m_logger->HasRecord()) {
        m_stats->Show(m_doc.m_file, m_logger->AnalysisSpan(), QStringLiteral("Data logger"));
    } else {
        m_stats->Show(m_pView->AnalysisRecord(), m_pView->AnalysisSpan(),
                      QStringLiteral("Real-time graph"));
    }
}

void CMainFrame::OnExportCsv(bool fromLogger) {
    const QString name = QString::fromStdString(FormatNow("%y-%m-%d %H.%M.%S"));
    std::optional<QString> written;
    if (fromLogger && m_logger && m_logger->HasRecord()) {
        written = ExportSpanCsv(m_logger, *m_prompts, m_doc.m_file, m_logger->AnalysisSpan(), name);
    } else if (!fromLogger) {
        written = ExportSpanCsv(this, *m_prompts, m_pView->AnalysisRecord(),
                                m_pView->AnalysisSpan(), name);
    }
    if (written) {
        ShowStatusNote(QStringLiteral("Saved %1").arg(*written));
    }
}

void CMainFrame::OnPrintSummary(bool fromLogger) {
    SummaryRequest request;
    if (fromLogger) {
        if (!m_logger || !m_logger->HasRecord()) {
            return;
        }
        request.record = m_doc.m_file;
        request.viewSpan = m_logger->AnalysisSpan();
        request.traces = m_loggerSession;
        request.fileName = m_logger->CurrentFileName();
    } else {
        request.record = m_pView->AnalysisRecord();
        request.viewSpan = m_pView->AnalysisSpan();
        request.traces = m_pView->m_display;
    }
    PrintSummary(request, fromLogger ? static_cast<QWidget*>(m_logger) : this, *m_prompts);
}

void CMainFrame::OnFitY() {
    if (!m_pView->FitY()) {
        ShowStatusNote(QStringLiteral("Fit Y: no value of a shown trace to fit"));
    }
}

void CMainFrame::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && m_pView->CursorB() >= 0) {
        m_pView->ClearCursorB();
        return;
    }
    QMainWindow::keyPressEvent(event);
}

void CMainFrame::OnAbout() {
    CAboutDlg about(this);
    m_prompts->RunDialog(about);
}

void CMainFrame::OnFileNew() {
    // The document keeps its data; the view starts over as after creation.
    m_pView->OnInitialUpdate();
}

void CMainFrame::OnFileOpen() {
    if (const auto path = m_prompts->AskOpenFile(this, QString::fromLatin1(ANY_FILE_FILTER))) {
        OpenDataFile(*path);
    }
}

void CMainFrame::OnFileSave() {
    if (m_strDocPath.isEmpty()) {
        const auto path = m_prompts->AskSaveFile(this, QStringLiteral("QF7720"),
                                                 QString::fromLatin1(ANY_FILE_FILTER),
                                                 QString::fromLatin1(DATA_FILE_SUFFIX));
        if (!path) {
            return;
        }
        m_strDocPath = FromLocal(DataFilePath(LocalPath(*path)));
    }
    const CQFView& view = *m_pView;
    int error = 0;
    if (SaveDataFile(LocalPath(m_strDocPath), m_doc, m_live.Recording(), m_live.Units(),
                     view.m_display.m_nYGain, view.m_display.m_nYOffset,
                     &error) != SaveStatus::Ok) {
        m_prompts->ShowMessage(this, SaveFailureText(LocalPath(m_strDocPath), error));
        m_strDocPath.clear();
        return;
    }
    m_saved = {m_live.Recording().m_tmStart, m_live.Recording().m_nSampleIndex};
    DropRunningRecording();
    ShowStatusNote(QStringLiteral("Saved %1").arg(QDir::toNativeSeparators(m_strDocPath)));
}

bool CMainFrame::OpenDataFile(const QString& path) {
    const bool loaded = LoadDataFileWithMessages(path, m_doc, m_pView->m_file, *m_prompts, this);
    if (loaded && m_logger != nullptr) {
        m_logger->update();  // its next paint takes the file into its list
    }
    // A kept recording the user has opened is seen to.
    const std::string local = LocalPath(path);
    if (loaded && std::find(m_keptNotes.begin(), m_keptNotes.end(), local) != m_keptNotes.end()) {
        ForgetKept(m_keptPlaces, local);
        m_keptNotes.erase(std::find(m_keptNotes.begin(), m_keptNotes.end(), local));
        if (m_keptNotes.empty()) {
            DismissKeptRecordings();
        } else {
            ShowKeptNote();
        }
    }
    return loaded;
}

void CMainFrame::SaveAllSettings() {
    Settings s;
    s.m_nPort = m_comm->State().m_nPort;
    s.m_nYGain = m_pView->m_display.m_nYGain;
    s.m_nYOffset = m_pView->m_display.m_nYOffset;
    m_pView->ReadingsBar().StoreLimits(s);
    SaveSettings(m_config, s);
}

bool CMainFrame::HasUnsavedRecording() const {
    const RecordingState& rec = m_live.Recording();
    return rec.m_nSampleIndex > 0 &&
           (rec.m_tmStart != m_saved.start || rec.m_nSampleIndex != m_saved.count);
}

namespace {

// 0, or why a save of the recording to `path` failed.
int SaveError(SaveStatus status, int error) {
    return status == SaveStatus::Ok ? 0 : error != 0 ? error : EIO;
}

}  // namespace

QString CMainFrame::CloseForSignal(const std::vector<KeptPlace>& places) {
    if (m_bClosing) {
        return {};
    }
    m_bClosing = true;
    m_comm->Stop();
    SaveAllSettings();
    QString said;
    const RecordingState& rec = m_live.Recording();
    if (rec.m_nSampleIndex > 1 && HasUnsavedRecording()) {
        const auto save = [this](const std::string& path) { return SaveLiveTo(path); };
        KeptOutcome kept;
        if (!m_running.path.empty() && m_running.start == rec.m_tmStart &&
            save(m_running.path) == 0) {
            kept.path = m_running.path;
        } else {
            kept = KeepRecording(places, FormatNow("%y-%m-%d %H.%M.%S"), save);
        }
        const QString reason =
            kept.failedIn.empty()
                ? QString()
                : QStringLiteral("%1: %2").arg(FromLocal(kept.failedIn),
                                               QString::fromLocal8Bit(FileErrorText(kept.error)));
        if (!kept.path.empty()) {
            m_saved = {rec.m_tmStart, rec.m_nSampleIndex};
            said = QStringLiteral("the unsaved recording was kept in %1 and %2")
                       .arg(FromLocal(kept.path),
                            QFileInfo(FromLocal(TextExportPath(kept.path))).fileName());
            if (!reason.isEmpty()) {
                said += QStringLiteral(" (not in %1)").arg(reason);
            }
        } else {
            said = QStringLiteral("the unsaved recording could not be kept in %1").arg(reason);
        }
    }
    if (m_helpWindow != nullptr) {
        m_helpWindow->close();
    }
    close();
    emit closed();
    return said;
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    if (m_bClosing) {
        event->accept();
        return;
    }
    SaveAllSettings();
    if (m_live.Recording().m_nSampleIndex > 1 &&
        m_prompts->AskYesNo(this, QString::fromLatin1(ASK_SAVE_BEFORE_CLOSE)) && !OnSave()) {
        // Yes, but nothing was saved: the window stays, and so does the recording.
        event->ignore();
        return;
    }
    DropRunningRecording();
    m_bClosing = true;
    m_comm->Stop();
    if (m_helpWindow != nullptr) {
        m_helpWindow->close();
    }
    if (m_logger != nullptr) {
        m_logger->close();
    }
    event->accept();
    emit closed();
}

void CMainFrame::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QRect client = ClientRect();
    painter.fillRect(client, palette().color(QPalette::Button));
    painter.translate(client.topLeft());
    CQFView::PaintClientStrips(painter, client.width(), client.height());
}

void CMainFrame::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    m_pView->LayoutBars(ClientRect());
}

void CMainFrame::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    // A window given its size before it is shown was laid out without its menu; where no
    // window manager resizes it again, the bars would stay over the toolbar.
    m_pView->LayoutBars(ClientRect());
    // The status bar hides its panes for a note only while they show: a note given before
    // (the port at start-up) is given again, or it is drawn over them.
    const QString note = statusBar()->currentMessage();
    if (!event->spontaneous() && !note.isEmpty()) {
        statusBar()->clearMessage();  // the same text again would change nothing
        statusBar()->showMessage(note, STATUS_NOTE_MS);
    }
}

bool CMainFrame::event(QEvent* event) {
    if (event->type() == QEvent::StatusTip) {
        // Flyby help goes to the first pane only, as the other panes carry the read-out.
        const QString tip = static_cast<QStatusTipEvent*>(event)->tip();
        QLabel* pane = m_panes[0];
        pane->setText(tip.isEmpty() ? QString::fromLatin1(TEXT_READY) : tip);
        // A prompt is read whole: the pane grows for it and shrinks back after it.
        const int need = pane->fontMetrics().horizontalAdvance(pane->text()) +
                         2 * (pane->frameWidth() + pane->margin()) + PANE_TEXT_PADDING;
        pane->setFixedWidth(std::max(PANE_WIDTHS[0], need));
        return true;
    }
    return QMainWindow::event(event);
}

void CMainFrame::OnLiveChanged(unsigned changes) {
    m_pView->OnLiveChanged(changes);
    UpdateCommandStates();
}

void CMainFrame::ShowStatusNote(const QString& text) {
    statusBar()->showMessage(text, STATUS_NOTE_MS);
}

void CMainFrame::OnDeviceMissing(const QString& device) {
    ShowStatusNote(QStringLiteral("COM%1 is %2, which does not exist: plug in the meter, or "
                                  "choose its port in the COM Port menu.")
                       .arg(m_comm->State().m_nPort)
                       .arg(device));
}

void CMainFrame::OnNotSerialDevice(const QString& device, const QString& what) {
    ShowStatusNote(QStringLiteral("COM%1 is %2, which is %3, not a serial device: choose the "
                                  "meter's port in the COM Port menu or mend [PortMap].")
                       .arg(m_comm->State().m_nPort)
                       .arg(device, what));
}

void CMainFrame::OnPortInUse(const QString& device, const QString& holder) {
    ShowStatusNote(QStringLiteral("COM%1 (%2) is in use by %3.")
                       .arg(m_comm->State().m_nPort)
                       .arg(device, holder.isEmpty() ? QStringLiteral("another program") : holder));
}

void CMainFrame::KeepRunningRecording() {
    const RecordingState& rec = m_live.Recording();
    if (m_bClosing || rec.m_nSampleIndex < 2 || !HasUnsavedRecording() ||
        (rec.m_tmStart == m_running.start && rec.m_nSampleIndex == m_running.count)) {
        return;
    }
    const auto save = [this](const std::string& path) { return SaveLiveTo(path); };
    // Nothing shows while it works; a failure is tried again next period.
    if (!m_running.path.empty() && rec.m_tmStart == m_running.start) {
        if (save(m_running.path) == 0) {
            m_running.count = rec.m_nSampleIndex;
        }
        return;
    }
    const KeptOutcome kept = KeepRecording(m_keptPlaces, StartName(rec.m_tmStart), save);
    if (!kept.path.empty()) {
        m_running = {kept.path, rec.m_tmStart, rec.m_nSampleIndex};
    }
}

int CMainFrame::SaveLiveTo(const std::string& path) {
    int error = 0;
    const SaveStatus status =
        SaveRecording(path, m_doc, m_live.Recording(), m_live.Units(), m_pView->m_display.m_nYGain,
                      m_pView->m_display.m_nYOffset, &error);
    return SaveError(status, error);
}

void CMainFrame::DropRunningRecording() {
    if (m_running.path.empty()) {
        return;
    }
    std::error_code ec;
    std::filesystem::remove(m_running.path, ec);
    std::filesystem::remove(TextExportPath(m_running.path), ec);
    ForgetKept(m_keptPlaces, m_running.path);
    m_running = {};
}

void CMainFrame::ShowKeptRecordings(const std::vector<std::string>& paths) {
    m_keptNotes = paths;
    ShowKeptNote();
}

void CMainFrame::ShowKeptNote() {
    if (m_keptNotes.empty()) {
        return;
    }
    QStringList names;
    for (const std::string& path : m_keptNotes) {
        names << QDir::toNativeSeparators(FromLocal(path));
    }
    // No timeout: a kept recording must not be missed.
    statusBar()->showMessage(
        (m_keptNotes.size() == 1
             ? QStringLiteral("The recording not saved when the program was last stopped is in %1")
             : QStringLiteral("The recordings not saved when the program was last stopped are "
                              "in %1"))
            .arg(names.join(QStringLiteral("; "))));
    m_dismissKept->show();
}

void CMainFrame::DismissKeptRecordings() {
    for (const std::string& path : m_keptNotes) {
        ForgetKept(m_keptPlaces, path);
    }
    m_keptNotes.clear();
    m_dismissKept->hide();
    statusBar()->clearMessage();
}

void CMainFrame::OnPermissionDenied(const QString& device) {
    statusBar()->showMessage(
        QStringLiteral("No permission to open %1: add yourself to the dialout group "
                       "(sudo adduser $USER dialout) and log in again.")
            .arg(device),
        STATUS_NOTE_MS);
}

}  // namespace qf

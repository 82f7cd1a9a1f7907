#include "app/CMainFrame.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMenuBar>
#include <QPainter>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QToolBar>
#include <algorithm>
#include <ctime>

#include "app/AppTexts.h"
#include "app/CAboutDlg.h"
#include "app/CComPortDlg.h"
#include "app/CHelpWindow.h"
#include "app/CSampleRateDlg.h"
#include "app/CommandIds.h"
#include "app/HelpFile.h"
#include "app/IUserPrompts.h"
#include "link/PortMap.h"
#include "store/AtomicFile.h"
#include "store/CQFDoc.h"
#include "store/DataFile.h"
#include "store/SaveRecording.h"
#include "store/Settings.h"
#include "view/CQFView.h"

namespace qf {

namespace {

const QColor STRIP_GREY(217, 218, 212);

// The longest interval whose milliseconds still fit the interval field.
constexpr int MAX_INTERVAL_SEC = 2147483;

// How often the command states are refreshed besides the events that change them, so
// that flags set by other windows show without their help.
constexpr int COMMAND_UPDATE_MS = 250;

const int PANE_WIDTHS[STATUS_PANES - 1] = {150, 150, 500};

constexpr int TOOLBAR_HEIGHT = 30;

std::string FormatNow(const char* format) {
    const std::time_t now = std::time(nullptr);
    std::tm parts{};
    localtime_r(&now, &parts);
    char text[64];
    return std::string(text, std::strftime(text, sizeof text, format, &parts));
}

std::string LocalPath(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

}  // namespace

CMainFrame::CMainFrame(CQFDoc& doc, FrameOptions options, QWidget* parent)
    : QMainWindow(parent),
      m_doc(doc),
      m_prompts(options.prompts),
      m_config(options.configPath.empty() ? CConfigFile::DefaultPath() : options.configPath) {
    // The title stays fixed whatever file is open.
    setWindowTitle(QString::fromLatin1(APP_TITLE));
    setWindowIcon(QIcon(QStringLiteral(":/icons/qf7720.svg")));

    // The port number comes first: everything after may use it.
    m_state.m_nPort = m_config.ReadInt(SEC_COM, KEY_COM, DEFAULT_PORT);

    m_pView = new CQFView(*this, doc, m_config);
    m_pView->setObjectName(QStringLiteral("view"));
    setCentralWidget(m_pView);

    CreateActions();
    CreateMenu();
    CreateToolBar();

    // SimSun is rarely installed outside China; the next faces are near it in size.
    m_fontLabel.setFamilies(
        {QStringLiteral("SimSun"), QStringLiteral("Liberation Sans"), QStringLiteral("Arial")});
    m_fontLabel.setPointSize(10);

    if (!options.resolver) {
        options.resolver = [path = m_config.Path()](int number) {
            return PortDevice(number, CConfigFile(path));
        };
    }
    m_port = std::make_unique<CQtSerialPort>(std::move(options.resolver));
    const DecoderTargets targets{doc,
                                 m_pView->m_live,
                                 m_state,
                                 m_pView->m_panelState,
                                 m_pView->RealTimeBar().m_strBattery,
                                 m_pView->m_readingsLogic};
    m_comm = std::make_unique<CMeterLink>(*m_port, targets, options.periods);
    connect(m_comm.get(), &CMeterLink::frameDecoded, this, &CMainFrame::OnFrameDecoded);
    connect(m_comm.get(), &CMeterLink::linkLost, this, &CMainFrame::OnLinkLost);
    connect(m_comm.get(), &CMeterLink::portChosen, this, [this] {
        m_pView->update();
        UpdateCommandStates();
    });
    // The meter's keys on the drawn panel press the real ones.
    connect(&m_pView->MeterPanel(), &CMeterPanel::commandReady, this,
            [this](const CommandPacket& packet) {
                m_comm->SendCommand(packet[3], packet[4], packet[5]);
            });
    connect(m_port.get(), &CQtSerialPort::permissionDenied, this, &CMainFrame::OnPermissionDenied);

    CreateStatusBar();

    for (int i = 0; i < 4; ++i) {
        m_state.m_bComRadio[i] = (m_state.m_nPort == i + 1);
    }
    m_state.m_bAwaitFrame.fill(false);
    m_state.AwaitFrame(m_state.m_nPort) = true;
    // Opens the port, sends the start command, starts the acknowledgement timer and the
    // watchdog.
    m_comm->Start();

    connect(&m_commandUpdate, &QTimer::timeout, this, &CMainFrame::UpdateCommandStates);
    m_commandUpdate.start(COMMAND_UPDATE_MS);
    UpdateCommandStates();
}

CMainFrame::~CMainFrame() {
    m_commandUpdate.stop();
    m_comm->Stop();
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
    connect(print, &QAction::triggered, this, [this] { m_pView->OnPrint(); });
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
    QMenu* help = bar->addMenu(QStringLiteral("&Help(H)"));
    help->addAction(Action(ID_APP_ABOUT));
    help->addSeparator();
    help->addAction(Action(ID_HELP_CONTENTS));
    for (QMenu* menu : {file, realTime, com, help}) {
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

void CMainFrame::CreateStatusBar() {
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
}

void CMainFrame::SetPaneText(int index, const QString& text) {
    if (index >= 0 && index < STATUS_PANES) {
        m_panes[index]->setText(text);
    }
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
    for (int i = 0; i < 4; ++i) {
        QAction* com = Action(ID_COM1 + i);
        com->setEnabled(m_state.m_bComEnabled[i]);
        com->setChecked(m_state.m_bComRadio[i]);
    }
    Action(ID_OTHER_COM)->setEnabled(m_state.m_bOtherComEnabled);
}

void CMainFrame::OnRun() {
    CQFView& view = *m_pView;
    CSampleRateDlg dialog(*m_prompts, this);
    if (view.m_live.m_nIntervalMs / 1000 >= 1) {
        dialog.SetInterval(view.m_live.m_nIntervalMs / 1000);
    }
    if (m_state.m_bHasGraphData &&
        m_prompts->AskYesNo(this, QString::fromLatin1(ASK_SAVE_BEFORE_RUN))) {
        OnSave();
    }
    if (m_prompts->RunDialog(dialog)) {
        AcceptInterval(dialog.Interval());
    }
    if (m_state.m_bRecording) {
        m_state.m_bHasGraphData = true;
    }
    // Even after Cancel: the next paint restarts the sampling timer with the interval.
    view.m_bRunRequested = true;
    view.update();
    UpdateCommandStates();
}

void CMainFrame::AcceptInterval(int seconds) {
    CQFView& view = *m_pView;
    seconds = std::clamp(seconds, 1, MAX_INTERVAL_SEC);
    view.m_live.m_nIntervalMs = seconds * 1000;
    view.RealTimeBar().m_strInterval = std::to_string(seconds);
    view.RealTimeBar().RefreshFromMembers();
    if (view.m_live.m_bLiveIdle) {
        view.m_live.m_bLiveIdle = false;
        view.m_live.m_bLiveRecording = true;
    }
    view.update();
    // The next valid frame starts the recording at index 0.
    m_state.m_bStartPending = true;
    m_state.m_bRecording = true;
}

void CMainFrame::OnStop() {
    m_state.m_bStopped = true;
    m_state.m_bRecording = false;
    m_pView->m_live.m_bRecordTick = false;
    m_pView->m_live.m_bLiveRecording = false;
    UpdateCommandStates();
}

void CMainFrame::OnComPort(int n) {
    m_comm->ChooseComPort(n);
    UpdateCommandStates();
}

void CMainFrame::OnOtherCom() {
    CComPortDlg dialog(*m_prompts, this);
    if (m_state.m_nPort >= 5) {
        dialog.SetPort(static_cast<std::uint32_t>(m_state.m_nPort));
    }
    if (m_prompts->RunDialog(dialog)) {
        const std::uint32_t n = dialog.Port();
        // Numbers outside 5..16 are ignored without a word.
        if (n >= 5 && n <= 16) {
            m_comm->ChooseOtherCom(static_cast<int>(n));
        }
    }
    UpdateCommandStates();
}

void CMainFrame::OnOpenLogger() {
    // The data-logger window is created here once it exists; it sets m_bLoggerShown
    // while it shows, which greys this command.
    m_pView->m_nLoggerOpen = 1;
    UpdateCommandStates();
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
    const auto path = m_prompts->AskSaveFile(
        this, QString::fromStdString(FormatNow("%y-%m-%d %H.%M.%S")),
        QString::fromLatin1(DATA_FILE_FILTER), QString::fromLatin1(DATA_FILE_SUFFIX));
    if (!path) {
        return false;
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const SaveStatus status = SaveRecording(LocalPath(*path), m_doc, view.m_live,
                                            view.m_display.m_nYGain, view.m_display.m_nYOffset);
    QApplication::restoreOverrideCursor();
    if (status != SaveStatus::Ok) {
        // Said out loud: a silent failure would let the recording be lost at exit.
        m_prompts->ShowMessage(this, QStringLiteral("The data could not be saved to %1.")
                                         .arg(QDir::toNativeSeparators(*path)));
        return false;
    }
    return true;
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
                                                 QString::fromLatin1(ANY_FILE_FILTER), QString());
        if (!path) {
            return;
        }
        m_strDocPath = *path;
    }
    const CQFView& view = *m_pView;
    const std::string bytes =
        EncodeDataFile(m_doc, view.m_live, view.m_display.m_nYGain, view.m_display.m_nYOffset);
    if (!WriteFileAtomically(LocalPath(m_strDocPath), bytes)) {
        m_prompts->ShowMessage(this, QStringLiteral("The data could not be saved to %1.")
                                         .arg(QDir::toNativeSeparators(m_strDocPath)));
        m_strDocPath.clear();
    }
}

bool CMainFrame::OpenDataFile(const QString& path) {
    const DataFileStatus status = ReadDataFile(LocalPath(path), m_doc, m_pView->m_file);
    if (ShowsInvalidFormat(status)) {
        m_prompts->ShowMessage(
            this, QString::fromLatin1(INVALID_FORMAT_TEXT.data(), INVALID_FORMAT_TEXT.size()));
        return false;
    }
    if (status == DataFileStatus::CannotOpen) {
        m_prompts->ShowMessage(
            this,
            QStringLiteral("The file %1 could not be opened: %2.")
                .arg(QDir::toNativeSeparators(path),
                     QString::fromLocal8Bit(FileErrorText(DataFileOpenError(LocalPath(path))))));
        return false;
    }
    return status == DataFileStatus::Ok;
}

void CMainFrame::SaveAllSettings() {
    Settings s;
    s.m_nPort = m_state.m_nPort;
    s.m_nYGain = m_pView->m_display.m_nYGain;
    s.m_nYOffset = m_pView->m_display.m_nYOffset;
    m_pView->ReadingsBar().StoreLimits(s);
    SaveSettings(m_config, s);
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    if (m_bClosing) {
        event->accept();
        return;
    }
    SaveAllSettings();
    if (m_pView->m_live.m_nSampleIndex > 1 &&
        m_prompts->AskYesNo(this, QString::fromLatin1(ASK_SAVE_BEFORE_CLOSE)) && !OnSave()) {
        // Yes, but nothing was saved: the window stays, and so does the recording.
        event->ignore();
        return;
    }
    m_bClosing = true;
    m_commandUpdate.stop();
    m_comm->Stop();
    if (m_helpWindow != nullptr) {
        m_helpWindow->close();
    }
    event->accept();
    emit closed();
}

void CMainFrame::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QRect client = ClientRect();
    painter.fillRect(client, palette().color(QPalette::Button));
    painter.translate(client.topLeft());
    const int right = client.width();
    const int bottom = client.height();
    // Strips around the place of the meter panel's neighbours and the graph's legend.
    if (bottom - 290 > 0) {
        painter.fillRect(right - 52, 125, 63, bottom - 290, STRIP_GREY);
    }
    if (right - 300 > 0) {
        painter.fillRect(290, 125, right - 300, 25, STRIP_GREY);
    }
}

void CMainFrame::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    m_pView->LayoutBars(ClientRect());
}

bool CMainFrame::event(QEvent* event) {
    if (event->type() == QEvent::StatusTip) {
        // Flyby help goes to the first pane only, as the other panes carry the read-out.
        const QString tip = static_cast<QStatusTipEvent*>(event)->tip();
        m_panes[0]->setText(tip.isEmpty() ? QString::fromLatin1(TEXT_READY) : tip);
        return true;
    }
    return QMainWindow::event(event);
}

void CMainFrame::OnFrameDecoded(const DecodeOutcome& outcome) {
    if (outcome.valid) {
        m_pView->RealTimeBar().RefreshFromMembers();
        m_pView->ReadingsBar().RefreshFromMembers();
        m_pView->MeterPanel().InvalidateLcd();
    }
    if (outcome.recordingStarted) {
        m_pView->update();
    }
    if (outcome.alarmsChanged) {
        m_pView->ReadingsBar().OnAlarmsChanged();
    }
    UpdateCommandStates();
}

void CMainFrame::OnLinkLost() {
    m_pView->OnLinkLost();
    UpdateCommandStates();
}

void CMainFrame::OnPermissionDenied(const QString& device) {
    statusBar()->showMessage(
        QStringLiteral("No permission to open %1: add yourself to the dialout group "
                       "(sudo adduser $USER dialout) and log in again.")
            .arg(device),
        20000);
}

}  // namespace qf

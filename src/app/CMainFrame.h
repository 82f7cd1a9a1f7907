// The main window: menu, toolbar, status bar, the link to the meter with the link and
// recording state, and the commands of the RealTime, COM Port and Help menus, Save and
// Open, and closing.
#pragma once

#include <QHash>
#include <QMainWindow>
#include <QPointer>
#include <QSet>
#include <ctime>
#include <memory>
#include <string>

#include "app/CHelpWindow.h"
#include "graph/LoggerReadout.h"
#include "live/LiveModel.h"
#include "logger/CLoggerDlg.h"
#include "serial/CMeterLink.h"
#include "serial/QtSerialPort.h"
#include "store/ConfigFile.h"
#include "store/KeptRecording.h"
#include "ui/CStatisticsWnd.h"

class QLabel;
class QTimer;
class QToolButton;

namespace qf {

class CQFDoc;
class CQFView;
class IUserPrompts;

struct FrameOptions {
    // Questions, messages and dialogs; must outlive the window.
    IUserPrompts* prompts = nullptr;
    // The settings file; empty: its usual place.
    std::string configPath;
    // Which device a port number opens; empty: the PortMap of the settings file above.
    CMeterLink::DeviceResolver resolver;
    LinkPeriods periods;
    // A simulated meter answers (--demo): the title and the status bar say so.
    bool demo = false;
    // Where recordings are kept (at a signal, and while running); empty: the usual places.
    std::vector<KeptPlace> keptPlaces;
    // How often the running recording is kept.
    int keepPeriodMs = 60000;
};

inline constexpr int STATUS_PANES = 4;

class CMainFrame : public QMainWindow {
    Q_OBJECT
public:
    CMainFrame(CQFDoc& doc, FrameOptions options, QWidget* parent = nullptr);
    ~CMainFrame() override;

    // The link's state: port, COM menu.
    const LinkState& State() const { return m_comm->State(); }
    CLiveModel& Live() { return m_live; }
    CQFView& View() { return *m_pView; }
    CQFDoc& Doc() { return m_doc; }
    CMeterLink& Link() { return *m_comm; }
    CQtSerialPort& Port() { return *m_port; }
    IUserPrompts& Prompts() { return *m_prompts; }
    const CConfigFile& Config() const { return m_config; }

    // The command with this id (menu, toolbar or accelerator).
    QAction* Action(int id) const { return m_actions.value(id); }
    QLabel* Pane(int index) const { return m_panes[index]; }
    void SetPaneText(int index, const QString& text);

    // The client area below the menu, in this widget's coordinates.
    QRect ClientRect() const;
    // The smallest window in which every bar shows whole: the readings and real-time bars
    // at their layouts' widths beside the meter panel, the panel down to its lowest key.
    QSize LayoutMinimumSize() const;

    // Enabled states and radio marks of every command, from the flags.
    void UpdateCommandStates();

    void OnRun();
    void OnStop();
    void OnComPort(int n);
    void OnOtherCom();
    void OnOpenLogger();
    // The test report of the live recording.
    void OnPrint();
    // Numbers over a span, for the main window's graph or the logger's.
    void OnStatistics(bool fromLogger);
    void OnExportCsv(bool fromLogger);
    void OnFitY();
    void OnPrintSummary(bool fromLogger);
    CStatisticsWnd* Statistics() const { return m_stats; }
    void OnHelpContents();
    // Save dialog, then the text export and the data file. False when nothing was saved.
    bool OnSave();
    void OnAbout();
    // Standard document commands of the accelerators.
    void OnFileNew();
    void OnFileOpen();
    void OnFileSave();

    // Reads a data file into the document's file area; the logger window takes it in.
    bool OpenDataFile(const QString& path);

    // Writes the nine settings keys; other sections and keys of the file stay as they are.
    void SaveAllSettings();

    // Stopped by a signal (logout, shutdown, Ctrl+C): closes the port, writes the settings
    // and, when a recording of two or more samples is not saved, keeps it in the first of
    // `places` that takes it, under the name Save would propose (or where it was kept while
    // running), leaving a note for the next start. Asks nothing, then closes the window.
    // Returns what to tell on standard error; empty: nothing.
    QString CloseForSignal(const std::vector<KeptPlace>& places);

    // Keeps the running recording in the kept-recording place, as Save would write it,
    // when it has samples no save or keep wrote; the timer calls it once a period.
    void KeepRunningRecording();
    // Where the running recording is kept; empty while none is.
    const std::string& RunningKeptPath() const { return m_running.path; }

    // Recordings kept by an earlier run: a note that stays until each is opened or the
    // note is dismissed.
    void ShowKeptRecordings(const std::vector<std::string>& paths);
    void DismissKeptRecordings();

    CHelpWindow* HelpWindow() const { return m_helpWindow; }
    // The data-logger window while it exists.
    CLoggerDlg* Logger() const { return m_logger; }

    // A note across the status bar for a while: where a save went, why a port is not open.
    void ShowStatusNote(const QString& text);

signals:
    // The window has closed for good: settings written, port closed.
    void closed();

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool event(QEvent* event) override;

private:
    void CreateActions();
    void CreateMenu();
    void CreateToolBar();
    void CreateStatusBar(bool demo);
    QAction* AddAction(int id, const QString& text);
    // The statistics window follows the graph it describes.
    void UpdateStatistics();
    // The recording and its table saved to `path` as Save writes them; 0 or the reason.
    int SaveLiveTo(const std::string& path);
    void OnLiveChanged(unsigned changes);
    void OnPermissionDenied(const QString& device);
    void OnDeviceMissing(const QString& device);
    void OnNotSerialDevice(const QString& device, const QString& what);
    void OnPortInUse(const QString& device, const QString& holder);
    // The running recording's kept copy goes: saved, or the user answered for it.
    void DropRunningRecording();
    void ShowKeptNote();
    // Whether the recording holds samples that no save wrote.
    bool HasUnsavedRecording() const;

    CQFDoc& m_doc;
    IUserPrompts* m_prompts;
    CConfigFile m_config;
    // Before the link, which feeds it, and the view, which shows it.
    CLiveModel m_live;
    CQFView* m_pView = nullptr;
    std::unique_ptr<CQtSerialPort> m_port;
    std::unique_ptr<CMeterLink> m_comm;
    QHash<int, QAction*> m_actions;
    QLabel* m_panes[STATUS_PANES] = {};
    QPointer<CHelpWindow> m_helpWindow;
    QPointer<CLoggerDlg> m_logger;
    // What the logger window keeps from one opening to the next.
    LoggerSession m_loggerSession;
    QPointer<CStatisticsWnd> m_stats;
    bool m_bStatsFromLogger = false;  // the logger window had the focus last
    QMetaObject::Connection m_focusWatch;
    // Where the standard save wrote last; empty until the first one.
    QString m_strDocPath;
    // The recording Save last wrote in full: its start and its number of samples.
    struct SavedMark {
        std::time_t start = 0;
        int count = 0;
    } m_saved;
    bool m_bClosing = false;
    std::vector<KeptPlace> m_keptPlaces;
    QTimer* m_keepTimer = nullptr;
    // The kept copy of the running recording and what it holds.
    struct RunningKept {
        std::string path;
        std::time_t start = 0;
        int count = 0;
    } m_running;
    // Kept recordings of earlier runs not yet seen to.
    std::vector<std::string> m_keptNotes;
    QToolButton* m_dismissKept = nullptr;
    // Port numbers whose PortMap entry was refused, told once each.
    QSet<int> m_toldPortMap;
};

}  // namespace qf

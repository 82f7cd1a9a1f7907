#include "app/CQFApp.h"

#include <QStandardPaths>

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QScreen>
#include <csignal>
#include <cstdio>

#include "app/CMainFrame.h"
#include "app/SignalWatcher.h"
#include "link/PortMap.h"
#include "sim/SimulatedMeter.h"
#include "store/CQFDoc.h"
#include "store/ConfigFile.h"
#include "store/KeptRecording.h"
#include "store/Settings.h"
#include "view/CQFView.h"

namespace qf {

CQFApp::CQFApp() = default;

CQFApp::~CQFApp() {
    m_signals.reset();
    // The window goes first: it closes the port before the meter behind it stops.
    m_frame.reset();
    if (m_demoMeter) {
        m_demoMeter->Stop();
    }
}

bool CQFApp::ParseCommandLine(const QStringList& arguments, StartOptions& out, QString& message,
                              int& exitCode) {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Desktop companion of the QF7720 thermo-anemometer."));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    const QCommandLineOption demo(QStringLiteral("demo"),
                                  QStringLiteral("Run with a simulated meter on the configured "
                                                 "port instead of a real one."));
    parser.addOption(demo);
    parser.addPositionalArgument(
        QStringLiteral("file"),
        QStringLiteral("A data file (.AsmDat) to show in the logger window."),
        QStringLiteral("[file]"));
    exitCode = 1;
    if (!parser.parse(arguments)) {
        message = parser.errorText();
        return false;
    }
    if (parser.isSet(help) || parser.isSet(version)) {
        message = parser.isSet(help) ? parser.helpText()
                                     : QCoreApplication::applicationName() + QLatin1Char(' ') +
                                           QCoreApplication::applicationVersion();
        exitCode = 0;
        return false;
    }
    const QStringList files = parser.positionalArguments();
    if (files.size() > 1) {
        message = QStringLiteral("Only one file can be opened.");
        return false;
    }
    out.demo = parser.isSet(demo);
    out.file = files.isEmpty() ? QString() : files.first();
    return true;
}

bool CQFApp::InitInstance(const StartOptions& options, IUserPrompts* prompts) {
    m_doc = std::make_unique<CQFDoc>();
    const std::string configPath =
        options.configPath.empty() ? CConfigFile::DefaultPath() : options.configPath;
    m_screenPrompts = std::make_unique<CQtUserPrompts>(configPath);

    FrameOptions frame;
    frame.keptPlaces = KeptPlaces();
    frame.prompts = prompts != nullptr ? prompts : m_screenPrompts.get();
    frame.configPath = configPath;
    frame.demo = options.demo;
    if (options.demo) {
        // The simulated meter answers on the configured port; the settings file is left
        // alone, other port numbers open their usual devices.
        SimOptions sim;
        sim.model.wakeOnStart = true;
        m_demoMeter = std::make_unique<CSimulatedMeter>(sim);
        std::string error;
        if (!m_demoMeter->Start(&error)) {
            frame.prompts->ShowMessage(nullptr,
                                       QStringLiteral("The simulated meter could not start: %1")
                                           .arg(QString::fromStdString(error)));
            return false;
        }
        const int demoPort = CConfigFile(configPath).ReadInt(SEC_COM, KEY_COM, DEFAULT_PORT);
        CSimulatedMeter* meter = m_demoMeter.get();
        frame.resolver = [meter, demoPort, configPath](int number) {
            return number == demoPort ? meter->DevicePath()
                                      : PortDevice(number, CConfigFile(configPath));
        };
    }

    m_frame = std::make_unique<CMainFrame>(*m_doc, std::move(frame));
    m_frame->View().OnInitialUpdate();
    // A file that does not load has had its one message; nothing more opens.
    const bool fileLoaded = !options.file.isEmpty() && m_frame->OpenDataFile(options.file);
    m_frame->View().setFocus();
    // Restored, or where nothing maximises it (no window manager), the window keeps the
    // screen's room rather than Qt's default size; a small screen lowers the minimum.
    if (const QScreen* screen = m_frame->screen()) {
        const QRect room = screen->availableGeometry();
        m_frame->setMinimumSize(m_frame->minimumSize().boundedTo(room.size()));
        m_frame->setGeometry(room);
    }
    m_frame->showMaximized();
    if (fileLoaded) {
        // Opened from the file manager: the record is shown at once, as Open shows it.
        m_frame->OnOpenLogger();
    }
    if (const auto kept = ReadKeptNotes(KeptPlaces()); !kept.empty()) {
        m_frame->ShowKeptRecordings(kept);
    }
    m_signals =
        std::make_unique<CSignalWatcher>(std::initializer_list<int>{SIGTERM, SIGHUP, SIGINT});
    QObject::connect(m_signals.get(), &CSignalWatcher::caught, m_frame.get(),
                     [this](int signalNumber) { OnTerminationSignal(signalNumber); });
    return true;
}

std::vector<KeptPlace> CQFApp::KeptPlaces() {
    return qf::KeptPlaces(
        QFile::encodeName(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation))
            .toStdString());
}

void CQFApp::OnTerminationSignal(int signalNumber) {
    if (!m_frame) {
        return;
    }
    const QString said = m_frame->CloseForSignal(KeptPlaces());
    const char* name = signalNumber == SIGTERM  ? "SIGTERM"
                       : signalNumber == SIGHUP ? "SIGHUP"
                       : signalNumber == SIGINT ? "SIGINT"
                                                : "a signal";
    std::fprintf(stderr, "qf7720: stopped by %s%s%s\n", name, said.isEmpty() ? "" : "; ",
                 qPrintable(said));
    std::fflush(stderr);
    QCoreApplication::exit(128 + signalNumber);
}

}  // namespace qf

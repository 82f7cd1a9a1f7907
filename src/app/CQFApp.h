// Start-up: the command line, the document, the main window with its view, the
// simulated meter of the demo, and the data file named on the command line.
#pragma once

#include <QString>
#include <QStringList>
#include <memory>
#include <string>

#include "app/CQtUserPrompts.h"
#include "store/KeptRecording.h"

namespace qf {

class CMainFrame;
class CQFDoc;
class CSignalWatcher;
class CSimulatedMeter;

struct StartOptions {
    bool demo = false;
    QString file;            // a data file shown in the logger window at start
    std::string configPath;  // empty: the usual place
};

class CQFApp {
public:
    CQFApp();
    ~CQFApp();

    // Reads the program's arguments; false with a message when they make no sense, or
    // when only help or the version was asked for (`exitCode` 0 then).
    static bool ParseCommandLine(const QStringList& arguments, StartOptions& out, QString& message,
                                 int& exitCode);

    // Builds and shows the main window; false ends the program. From then on SIGTERM,
    // SIGHUP and SIGINT close it through the event loop (CMainFrame::CloseForSignal) and
    // end the loop with 128 + the signal's number.
    bool InitInstance(const StartOptions& options, IUserPrompts* prompts = nullptr);

    // A signal ended the program: the main window is closed, what it kept is told on
    // standard error. Public so that tests can drive it.
    void OnTerminationSignal(int signalNumber);

    // Where recordings are kept, in order: the state folder, documents, a private folder.
    static std::vector<KeptPlace> KeptPlaces();

    CMainFrame* MainFrame() const { return m_frame.get(); }
    CSimulatedMeter* DemoMeter() const { return m_demoMeter.get(); }

private:
    std::unique_ptr<CQtUserPrompts> m_screenPrompts;
    std::unique_ptr<CQFDoc> m_doc;
    std::unique_ptr<CSimulatedMeter> m_demoMeter;
    std::unique_ptr<CMainFrame> m_frame;
    std::unique_ptr<CSignalWatcher> m_signals;
};

}  // namespace qf

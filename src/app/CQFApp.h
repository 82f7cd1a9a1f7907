// Start-up: the command line, the document, the main window with its view, the
// simulated meter of the demo, and the data file named on the command line.
#pragma once

#include <QString>
#include <QStringList>
#include <memory>
#include <string>

#include "app/CQtUserPrompts.h"

namespace qf {

class CMainFrame;
class CQFDoc;
class CSimulatedMeter;

struct StartOptions {
    bool demo = false;
    QString file;            // a data file to open into the file area
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

    // Builds and shows the main window; false ends the program.
    bool InitInstance(const StartOptions& options, IUserPrompts* prompts = nullptr);

    CMainFrame* MainFrame() const { return m_frame.get(); }
    CSimulatedMeter* DemoMeter() const { return m_demoMeter.get(); }

private:
    CQtUserPrompts m_screenPrompts;
    std::unique_ptr<CQFDoc> m_doc;
    std::unique_ptr<CSimulatedMeter> m_demoMeter;
    std::unique_ptr<CMainFrame> m_frame;
};

}  // namespace qf

#include <QApplication>
#include <clocale>
#include <cstdio>

#include "app/AppStyle.h"
#include "app/CMainFrame.h"
#include "app/CPaintProbe.h"
#include "app/CQFApp.h"
#include "store/Version.h"

namespace {

// --help and --version are answered before a window system is looked for, so that they
// work without a display (and help2man can run them anywhere). Anything else waits for
// the application object, which takes Qt's own options out first.
bool AnsweredWithoutDisplay(int& argc, char** argv, int& exitCode) {
    QCoreApplication probe(argc, argv);
    qf::StartOptions options;
    QString message;
    if (qf::CQFApp::ParseCommandLine(QCoreApplication::arguments(), options, message, exitCode) ||
        exitCode != 0) {
        return false;
    }
    std::fputs(qPrintable(message + QLatin1Char('\n')), stdout);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication::setApplicationName(QStringLiteral("qf7720"));
    QCoreApplication::setApplicationVersion(QString::fromLatin1(qf::QF_VERSION));
    if (int exitCode = 0; AnsweredWithoutDisplay(argc, argv, exitCode)) {
        return exitCode;
    }
    QApplication app(argc, argv);
    QApplication::setStyle(new qf::CAppStyle);
    // Qt takes the C locale from the environment; texts and files need '.' as the point.
    std::setlocale(LC_NUMERIC, "C");
    // Resources compiled into a static library are not registered by themselves.
    Q_INIT_RESOURCE(app);

    qf::StartOptions options;
    QString message;
    int exitCode = 0;
    if (!qf::CQFApp::ParseCommandLine(QApplication::arguments(), options, message, exitCode)) {
        std::fputs(qPrintable(message + QLatin1Char('\n')), exitCode == 0 ? stdout : stderr);
        return exitCode;
    }
    qf::CQFApp theApp;
    if (!theApp.InitInstance(options)) {
        return 1;
    }
    // Measurements only: nothing is installed unless QF_FRAME_TRACE names a file.
    const auto probe = qf::InstallFrameTrace(*theApp.MainFrame());
    return app.exec();
}

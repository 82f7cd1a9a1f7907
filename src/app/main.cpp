#include <QApplication>
#include <clocale>
#include <cstdio>

#include "app/AppStyle.h"
#include "app/CMainFrame.h"
#include "app/CPaintProbe.h"
#include "app/CQFApp.h"
#include "store/Version.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setStyle(new qf::CAppStyle);
    // Qt takes the C locale from the environment; texts and files need '.' as the point.
    std::setlocale(LC_NUMERIC, "C");
    QApplication::setApplicationName(QStringLiteral("qf7720"));
    QApplication::setApplicationVersion(QString::fromLatin1(qf::QF_VERSION));
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

// What the window benchmarks share: the application, made once, and prompts that never
// ask anything while they measure.
#pragma once

#include <QApplication>
#include <clocale>

#include "ui/IUserPrompts.h"

namespace qfbench {

class SilentPrompts : public qf::IUserPrompts {
public:
    bool AskYesNo(QWidget*, const QString&) override { return false; }
    void ShowMessage(QWidget*, const QString&) override {}
    std::optional<QString> AskSaveFile(QWidget*, const QString&, const QString&,
                                       const QString&) override {
        return std::nullopt;
    }
    std::optional<QString> AskOpenFile(QWidget*, const QString&) override { return std::nullopt; }
    QStringList AskOpenFiles(QWidget*, const QString&) override { return {}; }
    bool RunDialog(QDialog&) override { return false; }
};

// The application, made once and never destroyed, as in the widget tests, offscreen unless
// the environment names a platform; `initResources` registers the program's resources.
inline void EnsureApp(void (*initResources)()) {
    static QApplication* app = [initResources] {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
            qputenv("QT_QPA_PLATFORM", "offscreen");
        }
        static int argc = 1;
        static char name[] = "qf7720-bench";
        static char* argv[] = {name, nullptr};
        auto* made = new QApplication(argc, argv);
        std::setlocale(LC_NUMERIC, "C");
        initResources();
        return made;
    }();
    (void)app;
}

}  // namespace qfbench

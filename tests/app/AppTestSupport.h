// Shared by the window tests: the application object, a scripted stand-in for every
// question and dialog, and a main window on a temporary settings file whose port opens
// a chosen device (the simulated meter, or nothing).
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <clocale>
#include <deque>
#include <functional>
#include <memory>
#include <optional>

#include "app/CMainFrame.h"
#include "helpers/LiveFeed.h"
#include "helpers/TempDir.h"
#include "sim/SimulatedMeter.h"
#include "store/CQFDoc.h"
#include "ui/IUserPrompts.h"
#include "view/CQFView.h"

inline void InitAppResources() {
    Q_INIT_RESOURCE(app);
}

namespace qftest {

// Made once and never destroyed: tearing Qt down during static destruction, after
// windows were shown, crashes in the platform layer.
inline QApplication& App() {
    static int argc = 1;
    static char name[] = "qf7720-tests";
    static char* argv[] = {name, nullptr};
    static QApplication* app = [] {
        auto* made = new QApplication(argc, argv);
        std::setlocale(LC_NUMERIC, "C");
        InitAppResources();
        return made;
    }();
    return *app;
}

// Answers from lists, in order, and records what was asked. An unexpected prompt fails
// the test and answers No / Cancel.
class ScriptedPrompts : public qf::IUserPrompts {
public:
    using DialogScript = std::function<bool(QDialog&)>;

    std::deque<bool> yesNo;
    // File dialogs: the chosen path, or an empty text for Cancel.
    std::deque<QString> saveFiles;
    std::deque<QString> openFiles;
    // Several files at once: the list chosen, empty for Cancel.
    std::deque<QStringList> openFileLists;
    std::deque<DialogScript> dialogs;

    QStringList questions;
    QStringList messages;
    QStringList dialogTitles;
    QStringList proposedNames;
    QStringList openFilters;

    bool AskYesNo(QWidget*, const QString& text) override {
        questions << text;
        return Take(yesNo, false, "question", text);
    }
    void ShowMessage(QWidget*, const QString& text) override { messages << text; }
    std::optional<QString> AskSaveFile(QWidget*, const QString& proposed, const QString&,
                                       const QString&) override {
        proposedNames << proposed;
        return Chosen(Take(saveFiles, QString(), "save dialog", proposed));
    }
    std::optional<QString> AskOpenFile(QWidget*, const QString&) override {
        return Chosen(Take(openFiles, QString(), "open dialog", QString()));
    }
    QStringList AskOpenFiles(QWidget*, const QString& filter) override {
        openFilters << filter;
        return Take(openFileLists, QStringList(), "open dialog", filter);
    }
    bool RunDialog(QDialog& dialog) override {
        dialogTitles << dialog.windowTitle();
        DialogScript script = Take(dialogs, DialogScript(), "dialog", dialog.windowTitle());
        return script ? script(dialog) : false;
    }

private:
    static std::optional<QString> Chosen(const QString& path) {
        return path.isEmpty() ? std::nullopt : std::optional<QString>(path);
    }

    template <typename T>
    static T Take(std::deque<T>& answers, T fallback, const char* what, const QString& text) {
        if (answers.empty()) {
            ADD_FAILURE() << "unexpected " << what << ": " << text.toStdString();
            return fallback;
        }
        T answer = std::move(answers.front());
        answers.pop_front();
        return answer;
    }
};

// Types into the dialog's number field and presses OK until the dialog accepts or the
// texts run out.
inline ScriptedPrompts::DialogScript TypeAndOk(QStringList texts) {
    return [texts](QDialog& dialog) {
        for (const QString& text : texts) {
            dialog.findChild<QLineEdit*>()->setText(text);
            dialog.findChild<QPushButton*>()->click();
            if (dialog.result() == QDialog::Accepted) {
                return true;
            }
        }
        return false;
    };
}

inline ScriptedPrompts::DialogScript CloseBox() {
    return [](QDialog&) { return false; };
}

// A device path that never exists: the port stays closed, silently. One per process: the
// serial layer locks a device by its name, and tests running side by side would find each
// other's lock and take it for a permission error.
inline std::string NoDevice(int) {
    return "/nonexistent/qf7720-test-port-" + std::to_string(getpid());
}

// A main window on a settings file in a temporary folder.
struct FrameRig {
    TempDir dir;
    ScriptedPrompts prompts;
    std::unique_ptr<qf::CQFDoc> doc = std::make_unique<qf::CQFDoc>();
    std::unique_ptr<qf::CMainFrame> frame;

    std::string ConfigPath() const { return dir.file("QF7720config.ini"); }

    qf::CMainFrame& Start(qf::CMeterLink::DeviceResolver resolver = NoDevice,
                          qf::LinkPeriods periods = {}) {
        App();
        qf::FrameOptions options;
        options.prompts = &prompts;
        options.configPath = ConfigPath();
        options.resolver = std::move(resolver);
        options.periods = periods;
        options.keptPlaces = {{dir.file("state/qf7720"), false}};
        frame = std::make_unique<qf::CMainFrame>(*doc, std::move(options));
        frame->View().OnInitialUpdate();
        return *frame;
    }

    ~FrameRig() {
        if (frame) {
            // Whatever a test left open: close without questions.
            prompts.yesNo.assign(8, false);
            frame->close();
            frame.reset();
        }
    }
};

// A main window whose port opens the simulated meter on a pseudo-terminal.
struct MeterRig : FrameRig {
    std::unique_ptr<qf::CSimulatedMeter> meter;

    qf::CMainFrame& StartWithMeter(qf::SimOptions options, qf::LinkPeriods periods = {}) {
        meter = std::make_unique<qf::CSimulatedMeter>(std::move(options));
        std::string error;
        EXPECT_TRUE(meter->Start(&error)) << error;
        qf::CSimulatedMeter* m = meter.get();
        qf::CMainFrame& made = Start([m](int) { return m->DevicePath(); }, periods);
        made.resize(1000, 700);
        // Shown but not waited for: the first frames must find the program idle.
        made.show();
        return made;
    }

    ~MeterRig() {
        // The window goes before the meter it talks to.
        if (frame) {
            prompts.yesNo.assign(8, false);
            frame->close();
            frame.reset();
        }
        meter.reset();
    }
};

}  // namespace qftest

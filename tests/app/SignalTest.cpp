// SIGTERM, SIGHUP and SIGINT end the program through its event loop: the port is closed,
// the settings written and an unsaved recording kept, and the next start says where.
#include <QAbstractButton>
#include <QStatusBar>
#include <QTimer>
#include <csignal>
#include <cstdlib>
#include <filesystem>

#include "app/AppTestSupport.h"
#include "app/CQFApp.h"
#include "app/SignalWatcher.h"
#include "store/ConfigFile.h"
#include "store/DataFile.h"

using namespace qf;
using namespace qftest;

namespace {

namespace fs = std::filesystem;

std::vector<std::string> Names(const std::string& folder) {
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(folder, ec)) {
        names.push_back(e.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace

// Only a recording of two or more samples that no Save wrote is kept; nothing is asked.
// An unusable state folder passes it on to the next place and says why.
TEST(Signals, closingForASignalKeepsOnlyAnUnsavedRecording) {
    const struct {
        const char* name;
        int samples;
        bool savedFirst;
        bool kept;
        bool stateIsFile;
    } cases[] = {
        {"unsaved", 3, false, true, false},
        {"saved", 3, true, false, false},
        {"one sample", 1, false, false, false},
        {"state folder unusable", 3, false, true, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        MeterRig rig;
        CMainFrame& frame = rig.StartWithMeter(SimOptions{});
        ASSERT_TRUE(QTest::qWaitFor([&] { return frame.Port().IsOpen(); }, 5000));
        EditRecording(frame.Live(), [&](RecordingState& r) { r.m_nSampleIndex = c.samples; });
        if (c.savedFirst) {
            rig.prompts.saveFiles.push_back(QString::fromStdString(rig.dir.file("mine")));
            ASSERT_TRUE(frame.OnSave());
        }
        std::string folder = rig.dir.file("state/qf7720");
        std::vector<KeptPlace> places{{folder}};
        if (c.stateIsFile) {
            fs::create_directories(rig.dir.file("state"));
            WriteAll(folder, "not a folder");
            places.push_back({folder = rig.dir.file("fallback")});
        }
        const QString said = frame.CloseForSignal(places);
        if (c.stateIsFile) {
            EXPECT_TRUE(said.contains(
                QStringLiteral("(not in %1: ").arg(QString::fromStdString(places[0].folder))))
                << said.toStdString();
        }
        EXPECT_FALSE(frame.isVisible());
        EXPECT_FALSE(frame.Port().IsOpen());
        EXPECT_EQ(CConfigFile(rig.ConfigPath()).ReadText("GainInfo", "Gain", ""), "10");
        EXPECT_TRUE(rig.prompts.questions.isEmpty());
        const std::vector<std::string> names = Names(folder);
        if (!c.kept) {
            EXPECT_TRUE(names.empty());
            EXPECT_TRUE(said.isEmpty());
            continue;
        }
        // The data file, its table and the note for the next start.
        ASSERT_EQ(names.size(), 3u);
        EXPECT_EQ(names[2], "kept-recording");
        const std::string data = folder + "/" + names[0];
        EXPECT_TRUE(said.contains(QString::fromStdString(data))) << said.toStdString();
        auto doc = std::make_unique<CQFDoc>();
        FileViewState view;
        EXPECT_EQ(ReadDataFile(data, *doc, view), DataFileStatus::Ok);
        EXPECT_EQ(doc->m_file.count, 3);
        EXPECT_EQ(names[1], names[0].substr(0, names[0].size() - 7) + ".txt");
    }
}

// The running recording is kept once a period as Save writes it, and goes once the user
// has saved it or answered the closing question.
TEST(Signals, theRunningRecordingIsKeptUntilSavedOrAnsweredFor) {
    for (const bool save : {true, false}) {
        SCOPED_TRACE(save ? "saved" : "closing answered No");
        FrameRig rig;
        CMainFrame& frame = rig.Start();
        EditRecording(frame.Live(), [](RecordingState& r) {
            r.m_tmStart = 1388485230;
            r.m_nSampleIndex = 5;
        });
        frame.KeepRunningRecording();
        const std::string kept = frame.RunningKeptPath();
        ASSERT_FALSE(kept.empty());
        const std::vector<KeptPlace> places{{rig.dir.file("state/qf7720")}};
        EXPECT_EQ(ReadKeptNotes(places), std::vector<std::string>{kept});
        const std::string bytes = ReadAll(kept);
        if (save) {
            rig.prompts.saveFiles.push_back(QString::fromStdString(rig.dir.file("mine")));
            ASSERT_TRUE(frame.OnSave());
            EXPECT_EQ(ReadAll(rig.dir.file("mine.AsmDat")), bytes);
        } else {
            rig.prompts.yesNo.push_back(false);
            frame.close();
        }
        EXPECT_FALSE(fs::exists(kept));
        EXPECT_TRUE(ReadKeptNotes(places).empty());
    }
}

TEST(Signals, watcherReportsTheSignalAndRestoresTheHandlerWhenItGoes) {
    App();
    {
        CSignalWatcher watcher({SIGHUP});
        ASSERT_TRUE(watcher.IsWatching());
        int caught = 0;
        QObject::connect(&watcher, &CSignalWatcher::caught, [&](int n) { caught = n; });
        std::raise(SIGHUP);
        EXPECT_TRUE(QTest::qWaitFor([&] { return caught != 0; }, 2000));
        EXPECT_EQ(caught, SIGHUP);
    }
    struct sigaction now {};
    sigaction(SIGHUP, nullptr, &now);
    EXPECT_EQ(now.sa_handler, SIG_DFL);
}

// The whole way: a running program gets SIGTERM, ends its loop with 128 + 15 and says on
// standard error where the recording went; the next start shows it once.
TEST(Signals, aTerminatedProgramKeepsItsRecordingAndTheNextStartSaysWhere) {
    App();
    TempDir dir;
    setenv("XDG_STATE_HOME", dir.file("state").c_str(), 1);
    WriteAll(dir.file("QF7720config.ini"), "[PortMap]\nCOM1=/nonexistent/qf7720-port\n");
    StartOptions options;
    options.configPath = dir.file("QF7720config.ini");
    QApplication::setQuitOnLastWindowClosed(false);
    const std::string folder = dir.file("state/qf7720");

    QString note;
    for (int run = 0; run < 3; ++run) {
        ScriptedPrompts prompts;
        CQFApp app;
        ASSERT_TRUE(app.InitInstance(options, &prompts));
        note = app.MainFrame()->statusBar()->currentMessage();
        if (run > 0) {
            break;
        }
        EditRecording(app.MainFrame()->Live(), [](RecordingState& r) { r.m_nSampleIndex = 4; });
        QTimer::singleShot(0, [] { std::raise(SIGTERM); });
        QTimer::singleShot(10000, [] { QCoreApplication::exit(-1); });
        testing::internal::CaptureStderr();
        const int code = QCoreApplication::exec();
        const std::string err = testing::internal::GetCapturedStderr();
        EXPECT_EQ(code, 128 + SIGTERM);
        EXPECT_NE(err.find("qf7720: stopped by SIGTERM; the unsaved recording was kept in " +
                           folder + "/"),
                  std::string::npos)
            << err;
        EXPECT_EQ(Names(folder).size(), 3u);
        EXPECT_TRUE(prompts.questions.isEmpty());
    }
    EXPECT_TRUE(note.contains(QString::fromStdString(folder))) << note.toStdString();

    // Until it is dismissed, the note comes back after other notes and at each start.
    for (int run = 0; run < 2; ++run) {
        ScriptedPrompts prompts;
        CQFApp again;
        ASSERT_TRUE(again.InitInstance(options, &prompts));
        QStatusBar* bar = again.MainFrame()->statusBar();
        if (run == 1) {
            EXPECT_FALSE(bar->currentMessage().contains("was last stopped"));
            break;
        }
        again.MainFrame()->ShowStatusNote(QStringLiteral("Saved x"));
        bar->clearMessage();
        EXPECT_TRUE(QTest::qWaitFor([&] { return bar->currentMessage() == note; }, 2000));
        QTest::mouseClick(bar->findChild<QAbstractButton*>("dismissKept"), Qt::LeftButton);
        EXPECT_TRUE(bar->currentMessage().isEmpty());
    }
    QApplication::setQuitOnLastWindowClosed(true);
    unsetenv("XDG_STATE_HOME");
}

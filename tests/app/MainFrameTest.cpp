// The main window without a meter: menus, toolbar, status bar, start-up port marks, the
// commands with scripted answers, help, opening a data file and closing.
#include <QAction>
#include <QFile>
#include <QLabel>
#include <QMenuBar>
#include <QPrintDialog>
#include <QScreen>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTableWidget>
#include <QTextBrowser>
#include <QToolBar>
#include <QToolButton>
#include <filesystem>
#include <set>

#include <sys/stat.h>

#include "app/AppTestSupport.h"
#include "app/AppTexts.h"
#include "app/CQFApp.h"
#include "app/HelpFile.h"
#include "store/ConfigFile.h"
#include "store/DataFile.h"
#include "ui/CommandIds.h"

using namespace qf;
using namespace qftest;

namespace {

// Menu items as "text id", separators as "-".
QStringList Items(const QMenu* menu) {
    QStringList out;
    for (const QAction* a : menu->actions()) {
        out << (a->isSeparator() ? QStringLiteral("-")
                                 : a->text() + QLatin1Char(' ') + a->data().toString());
    }
    return out;
}

}  // namespace

TEST(MainFrame, menusHoldTheCommandsInOrderWithTheirIds) {
    FrameRig rig;
    CMainFrame& frame = rig.Start();
    QStringList titles;
    QList<QStringList> items;
    for (const QAction* a : frame.menuBar()->actions()) {
        titles << a->text();
        items << Items(a->menu());
    }
    // The Parts' four menus as they are; "Analysis" adds the numbers over a span.
    EXPECT_EQ(titles,
              (QStringList{"&File(f)", "&RealTime(R)", "&COM Port", "&Analysis", "&Help(H)"}));
    EXPECT_EQ(items[0], (QStringList{"&Save 32814", "&Open 32827", "&Print 57607", "&Exit 57665"}));
    EXPECT_EQ(items[1], (QStringList{"&Run 32771", "-", "&Stop 32772", "&UndoZoom 32811"}));
    EXPECT_EQ(items[2], (QStringList{"&COM1 32783", "-", "&COM2 32784", "-", "&COM3 32785", "-",
                                     "&COM4 32786", "-", "&Other COM 32817"}));
    EXPECT_EQ(items[3], (QStringList{"&Statistics 33001", "Export &CSV... 33002", "&Fit Y 33003",
                                     "-", "Print Summ&ary... 33004"}));
    EXPECT_EQ(items[4], (QStringList{"&About Thermo-Anemometer... 57664", "-", "&Contents 32779"}));
    EXPECT_EQ(frame.windowTitle(), "Thermo-Anemometer");
}

TEST(MainFrame, toolbarButtonsStatusPanesAndAccelerators) {
    FrameRig rig;
    CMainFrame& frame = rig.Start();
    QToolBar* tools = frame.findChild<QToolBar*>();
    ASSERT_NE(tools, nullptr);
    EXPECT_EQ(tools->iconSize(), QSize(27, 20));
    QStringList buttons;
    for (const QAction* a : tools->actions()) {
        buttons << (a->isSeparator() ? QStringLiteral("-")
                                     : a->data().toString() + QLatin1Char(' ') + a->toolTip());
        EXPECT_TRUE(a->isSeparator() || !a->icon().isNull());
    }
    EXPECT_EQ(buttons,
              (QStringList{"32814 Save", "-", "32827 Open", "-", "32771 Start", "-", "32772 Stop",
                           "-", "57607 Print", "-", "32811 UndoZoom", "-", "32779 Help"}));

    EXPECT_EQ(frame.Pane(0)->width(), 150);
    EXPECT_EQ(frame.Pane(1)->width(), 150);
    EXPECT_EQ(frame.Pane(2)->width(), 500);
    EXPECT_EQ(frame.Pane(0)->text(), "Ready");
    EXPECT_EQ(frame.Pane(1)->text(), "");
    EXPECT_EQ(frame.Pane(3)->text(), "SCRL");

    const struct {
        int id;
        QKeySequence keys;
    } accelerators[] = {{ID_FILE_NEW, QKeySequence("Ctrl+N")},
                        {ID_FILE_OPEN, QKeySequence("Ctrl+O")},
                        {ID_FILE_SAVE, QKeySequence("Ctrl+S")},
                        {ID_FILE_PRINT, QKeySequence("Ctrl+P")}};
    for (const auto& a : accelerators) {
        EXPECT_EQ(frame.Action(a.id)->shortcut(), a.keys) << a.id;
    }
    EXPECT_TRUE(frame.Action(ID_SAVE)->shortcut().isEmpty());
}

TEST(MainFrame, startUpMarksTheConfiguredPortAmongCom1ToCom4) {
    const struct {
        const char* config;
        int port;
        int marked;  // 0: none
    } cases[] = {
        {nullptr, 1, 1}, {"[COMInfo]\nCOM num=3\n", 3, 3}, {"[COMInfo]\nCOM num=7\n", 7, 0}};
    for (const auto& c : cases) {
        FrameRig rig;
        if (c.config != nullptr) {
            WriteAll(rig.ConfigPath(), c.config);
        }
        CMainFrame& frame = rig.Start();
        EXPECT_EQ(frame.State().m_nPort, c.port);
        for (int n = 1; n <= 4; ++n) {
            EXPECT_EQ(frame.Action(ID_COM1 + n - 1)->isChecked(), n == c.marked) << c.port;
        }
        EXPECT_FALSE(frame.Action(ID_OTHER_COM)->isChecked());
    }
}

TEST(MainFrame, runThenCancelStartsNothing) {
    FrameRig rig;
    CMainFrame& frame = rig.Start();
    FeedFrame(frame.Live());
    rig.prompts.dialogs.push_back(CloseBox());
    frame.OnRun();
    EXPECT_EQ(rig.prompts.dialogTitles, QStringList{"Sample Rate Setup"});
    EXPECT_FALSE(frame.Live().Recording().m_bRecording);
    EXPECT_FALSE(frame.Live().Recording().m_bStartPending);
    EXPECT_FALSE(frame.Live().Recording().m_bHasGraphData);
    EXPECT_TRUE(frame.Live().Recording().m_bLiveIdle);
    EXPECT_TRUE(frame.View().m_bRunRequested);
}

TEST(MainFrame, runTakesTheIntervalAndTreatsZeroOrLessAsOneSecond) {
    const struct {
        const char* typed;
        int ms;
    } cases[] = {{"3", 3000}, {"0", 1000}, {"-4", 1000}, {"99999999", 2147483000}};
    for (const auto& c : cases) {
        FrameRig rig;
        CMainFrame& frame = rig.Start();
        FeedFrame(frame.Live());
        rig.prompts.dialogs.push_back(TypeAndOk({c.typed}));
        frame.OnRun();
        EXPECT_EQ(frame.Live().Recording().m_nIntervalMs, c.ms) << c.typed;
        EXPECT_EQ(frame.View().RealTimeBar().Interval(), std::to_string(c.ms / 1000));
        EXPECT_TRUE(frame.Live().Recording().m_bStartPending);
        EXPECT_TRUE(frame.Live().Recording().m_bRecording);
        EXPECT_TRUE(frame.Live().Recording().m_bHasGraphData);
        EXPECT_FALSE(frame.Live().Recording().m_bLiveIdle);
        EXPECT_TRUE(frame.Live().Recording().m_bLiveRecording);
    }
}

TEST(MainFrame, secondRunAsksToSaveAndPresetsTheLastInterval) {
    for (const bool yes : {true, false}) {
        FrameRig rig;
        CMainFrame& frame = rig.Start();
        FeedFrame(frame.Live());
        rig.prompts.dialogs.push_back(TypeAndOk({"7"}));
        frame.OnRun();
        EXPECT_TRUE(rig.prompts.questions.isEmpty());
        frame.OnStop();

        rig.prompts.yesNo.push_back(yes);
        if (yes) {
            rig.prompts.saveFiles.push_back(QString::fromStdString(rig.dir.file("run1.AsmDat")));
        }
        QString preset;
        rig.prompts.dialogs.push_back([&preset](QDialog& d) {
            preset = d.findChild<QLineEdit*>()->text();
            return false;
        });
        frame.OnRun();
        EXPECT_EQ(rig.prompts.questions, QStringList{ASK_SAVE_BEFORE_RUN});
        EXPECT_EQ(preset, "7");
        EXPECT_EQ(QFile::exists(QString::fromStdString(rig.dir.file("run1.AsmDat"))), yes);
        EXPECT_EQ(QFile::exists(QString::fromStdString(rig.dir.file("run1.txt"))), yes);
    }
}

TEST(MainFrame, stopWhileStartPendingKeepsThePendingStart) {
    FrameRig rig;
    CMainFrame& frame = rig.Start();
    FeedFrame(frame.Live());
    rig.prompts.dialogs.push_back(TypeAndOk({"1"}));
    frame.OnRun();
    frame.OnStop();
    EXPECT_FALSE(frame.Live().Recording().m_bRecording);
    EXPECT_TRUE(frame.Live().Recording().m_bStopped);
    EXPECT_TRUE(frame.Live().Recording().m_bStartPending);
    EXPECT_FALSE(frame.Live().Recording().m_bLiveRecording);
}

TEST(MainFrame, otherComAcceptsOnly5To16AndMarksNoComItem) {
    const struct {
        const char* typed;
        int port;
    } cases[] = {{"4", 1}, {"17", 1}, {"16", 16}, {"5", 5}};
    for (const auto& c : cases) {
        FrameRig rig;
        CMainFrame& frame = rig.Start();
        rig.prompts.dialogs.push_back(TypeAndOk({c.typed}));
        frame.OnOtherCom();
        EXPECT_EQ(frame.State().m_nPort, c.port) << c.typed;
        EXPECT_EQ(frame.Action(ID_COM1)->isChecked(), c.port == 1) << c.typed;
        EXPECT_EQ(frame.State().AwaitFrame(c.port), true);
    }
}

TEST(MainFrame, otherComPresetsTheCurrentPortFromFiveOn) {
    FrameRig rig;
    CMainFrame& frame = rig.Start();
    QStringList presets;
    auto look = [&presets](QDialog& d) {
        presets << d.findChild<QLineEdit*>()->text();
        return false;
    };
    rig.prompts.dialogs = {look, TypeAndOk({"9"}), look};
    frame.OnOtherCom();
    frame.OnOtherCom();
    frame.OnOtherCom();
    EXPECT_EQ(presets, (QStringList{"5", "9"}));
}

TEST(MainFrame, comItemMovesTheRadioMarkAndOpensThatPort) {
    FrameRig rig;
    std::vector<int> opened;
    CMainFrame& frame = rig.Start([&opened](int n) {
        opened.push_back(n);
        return NoDevice(n);
    });
    opened.clear();
    frame.Action(ID_COM3)->trigger();
    EXPECT_EQ(frame.State().m_nPort, 3);
    EXPECT_EQ(opened, std::vector<int>{3});
    for (int n = 1; n <= 4; ++n) {
        EXPECT_EQ(frame.Action(ID_COM1 + n - 1)->isChecked(), n == 3);
    }
}

TEST(MainFrame, closeAsksToSaveOnlyFromTwoSamples) {
    for (const int samples : {0, 1, 2}) {
        FrameRig rig;
        CMainFrame& frame = rig.Start();
        EditRecording(frame.Live(), [&](RecordingState& r) { r.m_nSampleIndex = samples; });
        rig.prompts.yesNo.push_back(false);
        EXPECT_TRUE(frame.close());
        EXPECT_EQ(rig.prompts.questions.size(), samples >= 2 ? 1 : 0) << samples;
        if (samples < 2) {
            rig.prompts.yesNo.clear();
        }
        rig.frame.reset();
    }
}

TEST(MainFrame, closeWithYesSavesAndAFailedOrCancelledSaveKeepsTheWindow) {
    FrameRig rig;
    CMainFrame& frame = rig.Start();
    EditRecording(frame.Live(), [&](RecordingState& r) { r.m_nSampleIndex = 2; });
    rig.prompts.yesNo = {true, true, true};
    rig.prompts.saveFiles = {QString(),
                             QString::fromStdString(rig.dir.file("no/such/dir/x.AsmDat")),
                             QString::fromStdString(rig.dir.file("kept.AsmDat"))};
    EXPECT_FALSE(frame.close());
    EXPECT_FALSE(frame.close());
    EXPECT_EQ(rig.prompts.messages.size(), 1);
    EXPECT_TRUE(frame.close());
    EXPECT_TRUE(QFile::exists(QString::fromStdString(rig.dir.file("kept.AsmDat"))));
    rig.frame.reset();
}

TEST(MainFrame, closeWritesAllNineKeysAndKeepsWhatItDoesNotOwn) {
    FrameRig rig;
    WriteAll(rig.ConfigPath(),
             "[PortMap]\nCOM2=/dev/ttyACM0\n\n[COMInfo]\nCOM num=2\n[Mine]\nkey=value\n");
    CMainFrame& frame = rig.Start();
    frame.View().m_display.m_nYGain = 50;
    frame.View().m_display.m_nYOffset = -2;
    rig.prompts.dialogs.push_back(TypeAndOk({"12"}));
    frame.OnOtherCom();
    EXPECT_TRUE(frame.close());
    rig.frame.reset();

    const CConfigFile config(rig.ConfigPath());
    EXPECT_EQ(config.ReadInt("COMInfo", "COM num", 0), 12);
    EXPECT_EQ(config.ReadInt("GainInfo", "Gain", 0), 50);
    EXPECT_EQ(config.ReadInt("OffsetInfo", "Offset", 0), -2);
    EXPECT_EQ(config.ReadText("Alarmhi1Info", "Hi1 limit", ""), "140.0");
    EXPECT_EQ(config.ReadText("Alarmhi2Info", "Hi2 limit", ""), "940.0");
    EXPECT_EQ(config.ReadText("Alarmhi3Info", "Hi3 limit", ""), "5900.0");
    for (const char* sec : {"Alarmlow1Info", "Alarmlow2Info", "Alarmlow3Info"}) {
        EXPECT_EQ(config.ReadText(sec, std::string("Low") + sec[8] + " limit", ""), "0.0");
    }
    EXPECT_EQ(config.ReadText("PortMap", "COM2", ""), "/dev/ttyACM0");
    EXPECT_EQ(config.ReadText("Mine", "key", ""), "value");
}

TEST(MainFrame, helpShowsTheHelpTextOrSaysWhereItIsMissing) {
    FrameRig rig;
    CMainFrame& frame = rig.Start();
    const QString beside = HelpFileCandidates().first();
    QFile::remove(beside);
    if (FindHelpFile().isEmpty()) {
        frame.OnHelpContents();
        ASSERT_EQ(rig.prompts.messages.size(), 1);
        EXPECT_TRUE(rig.prompts.messages[0].contains("help.html"));
        EXPECT_EQ(frame.HelpWindow(), nullptr);
    }
    ASSERT_TRUE(QFile::copy(QStringLiteral(QF_SOURCE_DIR "/resources/help.html"), beside));
    frame.OnHelpContents();
    QFile::remove(beside);
    ASSERT_NE(frame.HelpWindow(), nullptr);
    EXPECT_TRUE(frame.HelpWindow()->isVisible());
    EXPECT_TRUE(frame.HelpWindow()->Browser()->toPlainText().contains("dialout"));

    // Escape and Ctrl+W close it, wherever its focus is.
    CHelpWindow* help = frame.HelpWindow();
    for (const QKeyCombination keys :
         {QKeyCombination(Qt::Key_Escape), QKeyCombination(Qt::ControlModifier, Qt::Key_W)}) {
        help->show();
        QApplication::setActiveWindow(help);
        ASSERT_TRUE(QTest::qWaitForWindowActive(help));
        QTest::keyClick(help->Browser(), keys.key(), keys.keyboardModifiers());
        EXPECT_FALSE(help->isVisible()) << keys.toCombined();
    }
}

TEST(MainFrame, aDataFileOpensIntoTheFileAreaAndABadOneIsRefused) {
    FrameRig rig;
    CMainFrame& frame = rig.Start();
    EditRecording(frame.Live(), [&](RecordingState& r) { r.m_nSampleIndex = 3; });
    const std::string good = rig.dir.file("good.AsmDat");
    WriteAll(good, EncodeDataFile(*rig.doc, frame.Live().Recording(), frame.Live().Units(), 10, 0));
    const std::string bad = rig.dir.file("bad.AsmDat");
    WriteAll(bad, std::string("\x06QF7721", 7) + std::string(60, '\0'));

    EXPECT_TRUE(frame.OpenDataFile(QString::fromStdString(good)));
    EXPECT_EQ(rig.doc->m_file.count, 3);
    EXPECT_TRUE(frame.View().m_file.m_bFileDataNew);
    EXPECT_FALSE(frame.OpenDataFile(QString::fromStdString(bad)));
    EXPECT_EQ(rig.prompts.messages, QStringList{"Invalid Format!"});
    EXPECT_EQ(rig.doc->m_file.count, 3);
    EXPECT_EQ(frame.windowTitle(), "Thermo-Anemometer");
}

TEST(MainFrame, printOffersThePrintDialogAndCancelPrintsNothing) {
    FrameRig rig;
    CMainFrame& frame = rig.Start();
    frame.OnPrint();  // no samples: no dialog
    EXPECT_TRUE(rig.prompts.dialogTitles.isEmpty());

    EditRecording(frame.Live(), [&](RecordingState& r) { r.m_nSampleIndex = 3; });
    QPrintDialog* seen = nullptr;
    rig.prompts.dialogs.push_back([&seen](QDialog& d) {
        seen = qobject_cast<QPrintDialog*>(&d);
        return false;
    });
    frame.UpdateCommandStates();
    frame.Action(ID_FILE_PRINT)->trigger();
    ASSERT_NE(seen, nullptr);
    EXPECT_TRUE(rig.prompts.messages.isEmpty());
}

// A file that cannot be opened is named with the reason; a FIFO is not waited on.
TEST(MainFrame, aDataFileThatCannotBeOpenedIsNamedWithTheReason) {
    FrameRig rig;
    CMainFrame& frame = rig.Start();
    const QString fifo = QString::fromStdString(rig.dir.file("fifo.AsmDat"));
    ASSERT_EQ(::mkfifo(rig.dir.file("fifo.AsmDat").c_str(), 0600), 0);
    const QString absent = QString::fromStdString(rig.dir.file("absent.AsmDat"));

    EXPECT_FALSE(frame.OpenDataFile(fifo));
    EXPECT_FALSE(frame.OpenDataFile(absent));
    EXPECT_EQ(
        rig.prompts.messages,
        (QStringList{"The file " + fifo + " could not be opened: not a regular file.",
                     "The file " + absent + " could not be opened: No such file or directory."}));
}

// Whatever the chosen name looks like, the data file ends in ".AsmDat" and its table
// replaces only that ending: saves a second apart never share a file.
TEST(MainFrame, saveAlwaysWritesTheDataFileAndItsOwnTable) {
    const struct {
        const char* chosen;
        const char* data;
        const char* text;
    } cases[] = {
        {"26-12-08 09.11.25", "26-12-08 09.11.25.AsmDat", "26-12-08 09.11.25.txt"},
        {"26-12-08 09.11.26", "26-12-08 09.11.26.AsmDat", "26-12-08 09.11.26.txt"},
        {"run.ASMDAT", "run.ASMDAT", "run.txt"},
        {"run.v2", "run.v2.AsmDat", "run.v2.txt"},
    };
    FrameRig rig;
    CMainFrame& frame = rig.Start();
    EditRecording(frame.Live(), [&](RecordingState& r) { r.m_nSampleIndex = 3; });
    std::set<std::string> expected;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.chosen);
        rig.prompts.saveFiles.push_back(QString::fromStdString(rig.dir.file(c.chosen)));
        ASSERT_TRUE(frame.OnSave());
        expected.insert({c.data, c.text});
        // The status bar says where both went.
        const QString note = frame.statusBar()->currentMessage();
        EXPECT_TRUE(note.contains(c.data)) << note.toStdString();
        EXPECT_TRUE(note.contains(c.text)) << note.toStdString();
        EXPECT_TRUE(note.contains(QString::fromStdString(rig.dir.path().string())));
    }
    std::set<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(rig.dir.path())) {
        names.insert(e.path().filename().string());
    }
    names.erase("QF7720config.ini");
    EXPECT_EQ(names, expected);
    EXPECT_TRUE(rig.prompts.messages.isEmpty());

    // The standard save follows the same rule for its data file.
    rig.prompts.saveFiles.push_back(QString::fromStdString(rig.dir.file("QF7720")));
    frame.OnFileSave();
    EXPECT_TRUE(std::filesystem::is_regular_file(rig.dir.file("QF7720.AsmDat")));
    EXPECT_FALSE(std::filesystem::exists(rig.dir.file("QF7720")));
}

TEST(MainFrame, aFailedSaveNamesItsReason) {
    FrameRig rig;
    CMainFrame& frame = rig.Start();
    EditRecording(frame.Live(), [&](RecordingState& r) { r.m_nSampleIndex = 3; });
    std::filesystem::create_directory(rig.dir.file("taken.AsmDat"));
    rig.prompts.saveFiles = {QString::fromStdString(rig.dir.file("no/such/folder/x")),
                             QString::fromStdString(rig.dir.file("taken")),
                             QString::fromStdString(rig.dir.file("no/such/folder/y"))};
    EXPECT_FALSE(frame.OnSave());
    EXPECT_FALSE(frame.OnSave());
    frame.OnFileSave();
    ASSERT_EQ(rig.prompts.messages.size(), 3);
    EXPECT_TRUE(rig.prompts.messages[0].endsWith("x.AsmDat: No such file or directory."))
        << rig.prompts.messages[0].toStdString();
    EXPECT_TRUE(rig.prompts.messages[1].endsWith("taken.AsmDat: Is a directory."))
        << rig.prompts.messages[1].toStdString();
    EXPECT_TRUE(rig.prompts.messages[2].endsWith("y.AsmDat: No such file or directory."))
        << rig.prompts.messages[2].toStdString();
}

// A port whose device is missing says so once, naming the device and its COM number; the
// watchdog's reopening every few seconds does not repeat it.
TEST(MainFrame, aMissingDeviceIsNamedOnceInTheStatusBar) {
    FrameRig rig;
    WriteAll(rig.ConfigPath(), "[COMInfo]\nCOM num=3\n");
    CMainFrame& frame = rig.Start();
    const QString note = frame.statusBar()->currentMessage();
    EXPECT_TRUE(note.contains("COM3")) << note.toStdString();
    EXPECT_TRUE(note.contains("/nonexistent/qf7720-test-port")) << note.toStdString();
    // Given before the window showed, the note still covers the panes rather than being
    // drawn over them.
    frame.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&frame));
    EXPECT_EQ(frame.statusBar()->currentMessage(), note);
    EXPECT_FALSE(frame.Pane(0)->isVisible());
    EXPECT_FALSE(frame.Pane(2)->isVisible());
    frame.statusBar()->clearMessage();
    EXPECT_TRUE(frame.Pane(0)->isVisible());
    frame.Link().OnWatchdogTick();
    frame.Link().OnWatchdogTick();
    EXPECT_TRUE(frame.statusBar()->currentMessage().isEmpty());
    EXPECT_EQ(frame.Pane(0)->text(), "Ready");
}

// Flyby prompts are read whole: the first pane grows for one and shrinks back after it,
// while the read-out panes keep their widths.
TEST(MainFrame, promptsShowWholeInTheFirstPane) {
    FrameRig rig;
    CMainFrame& frame = rig.Start();
    frame.resize(frame.minimumSize());
    frame.show();
    QLabel* pane = frame.Pane(0);
    for (const int id : {ID_SAVE, ID_OPEN_LOGGER, ID_FILE_PRINT, ID_RUN, ID_UNDO_ZOOM}) {
        const QString tip = frame.Action(id)->statusTip();
        QStatusTipEvent event(tip);
        QApplication::sendEvent(&frame, &event);
        QCoreApplication::processEvents();
        EXPECT_EQ(pane->text(), tip);
        EXPECT_GE(pane->contentsRect().width(), pane->fontMetrics().horizontalAdvance(tip))
            << tip.toStdString();
        EXPECT_EQ(frame.Pane(1)->width(), 150);
        EXPECT_EQ(frame.Pane(2)->width(), 500);
        EXPECT_LE(frame.Pane(2)->geometry().right(), frame.Pane(3)->geometry().left());
    }
    QStatusTipEvent none{QString()};
    QApplication::sendEvent(&frame, &none);
    EXPECT_EQ(pane->text(), "Ready");
    EXPECT_EQ(pane->width(), 150);
}

namespace {

// The program as started from the command line, on a settings file in `dir`.
std::unique_ptr<CQFApp> StartApp(const TempDir& dir, ScriptedPrompts& prompts,
                                 StartOptions options = {}) {
    App();
    WriteAll(dir.file("QF7720config.ini"), "[PortMap]\nCOM1=/nonexistent/qf7720-port\n");
    options.configPath = dir.file("QF7720config.ini");
    auto app = std::make_unique<CQFApp>();
    EXPECT_TRUE(app->InitInstance(options, &prompts));
    return app;
}

}  // namespace

// Where nothing maximises it, the window still has the screen's room, not Qt's default
// size; its minimum never exceeds the screen.
TEST(MainFrame, startUpGivesTheWindowTheScreensRoom) {
    TempDir dir;
    ScriptedPrompts prompts;
    const auto app = StartApp(dir, prompts);
    const QRect room = app->MainFrame()->screen()->availableGeometry();
    EXPECT_EQ(app->MainFrame()->normalGeometry(), room);
    EXPECT_LE(app->MainFrame()->minimumWidth(), room.width());
    EXPECT_LE(app->MainFrame()->minimumHeight(), room.height());
}

// A file on the command line (a double-click in the file manager) is shown in the logger
// window, one that does not load gives its one message; a simulated meter is not taken
// for a real one: the title and the status bar say "(demo)".
TEST(MainFrame, startUpShowsTheFileInTheLoggerAndSaysDemo) {
    TempDir dir;
    RecordingState rec;
    rec.m_nSampleIndex = 12;
    WriteAll(dir.file("run.AsmDat"), EncodeDataFile(*std::make_unique<CQFDoc>(), rec, {}, 10, 0));
    WriteAll(dir.file("bad.AsmDat"), "hello\n");
    for (const bool demo : {true, false}) {
        ScriptedPrompts prompts;
        StartOptions options;
        options.demo = demo;
        options.file = QString::fromStdString(dir.file(demo ? "run.AsmDat" : "bad.AsmDat"));
        const auto app = StartApp(dir, prompts, options);
        CMainFrame& frame = *app->MainFrame();
        EXPECT_EQ(frame.windowTitle(), demo ? "Thermo-Anemometer (demo)" : "Thermo-Anemometer");
        const auto* pane = frame.statusBar()->findChild<QLabel*>("demoPane");
        EXPECT_EQ(pane != nullptr && pane->isVisible() && pane->text() == "(demo)", demo);
        EXPECT_EQ(prompts.messages, demo ? QStringList() : QStringList{"Invalid Format!"});
        ASSERT_EQ(frame.Logger() != nullptr, demo);
        if (demo) {
            ASSERT_TRUE(QTest::qWaitForWindowExposed(frame.Logger()));
            EXPECT_EQ(frame.Logger()->List()->rowCount(), 1);
            EXPECT_EQ(frame.Doc().m_file.count, 12);
        }
    }
}

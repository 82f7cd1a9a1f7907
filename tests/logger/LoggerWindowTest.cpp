// The logger window on a main window: downloads into the record table, the graph's
// pixels, zoom and Undozoom, closing and opening again, and files that do not load.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QAction>
#include <QPrintDialog>
#include <QScrollBar>
#include <QTableWidget>
#include <QToolBar>
#include <QToolTip>
#include <cmath>

#include "app/AppTestSupport.h"
#include "graph/ClockText.h"
#include "helpers/TestLive.h"
#include "logger/CLoggerDlg.h"
#include "logger/LoggerPaint.h"
#include "ui/CStatisticsWnd.h"
#include "ui/CommandIds.h"
#include "ui/Palette.h"

namespace {

using namespace qf;
using namespace qftest;

constexpr std::time_t START = 1700000000;  // 22:13:20 UTC

// A recording saved with the program's own code: AirT climbs, the rest stay level.
std::string SaveRecordingFile(const TempDir& dir, const std::string& name, int count,
                              int intervalSec, int gain = 10, int offset = 0) {
    auto doc = std::make_unique<CQFDoc>();
    for (int i = 0; i < count; ++i) {
        doc->m_liveSamples[CH_AIRT][i] = 20.0f + float(i % 50);
        doc->m_liveSamples[CH_IRT][i] = 30.0f;
        doc->m_liveSamples[CH_AIRV][i] = 5.0f;
        doc->m_liveSamples[CH_CFM][i] = 50.0f;
        doc->m_liveSamples[CH_CMM][i] = 1.5f;
    }
    TestLive live;
    live.units = {0, "C", 0, "m/s", 1.0f};
    live.m_nSampleIndex = count;
    live.m_tmStart = START;
    live.m_nIntervalMs = intervalSec * 1000;
    const std::string path = dir.file(name);
    EXPECT_EQ(Save(path, *doc, live, gain, offset), SaveStatus::Ok);
    return path;
}

struct LoggerRig {
    FrameRig rig;
    CMainFrame* frame = nullptr;
    CLoggerDlg* logger = nullptr;

    LoggerRig() {
        setenv("TZ", "UTC0", 1);
        tzset();
        frame = &rig.Start();
        Open();
    }
    void Open() {
        frame->OnOpenLogger();
        logger = frame->Logger();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(logger));
    }
    void Download(const QStringList& paths) {
        rig.prompts.openFileLists.push_back(paths);
        logger->Action(CLoggerDlg::ID_DOWNLOAD)->trigger();
    }
    CQFView& view() { return frame->View(); }
    QImage Grab() const {
        const QImage image = logger->grab().toImage();
        if (const char* dir = std::getenv("QF_LOOK_DIR")) {
            static int n = 0;
            image.save(
                QStringLiteral("%1/logger-%2.png").arg(QString::fromLocal8Bit(dir)).arg(++n));
        }
        return image;
    }
    const LoggerFrame& Frame() const { return logger->Graph().Frame(); }
    QPoint Plot(float fx, float fy) const {
        const LoggerFrame& f = Frame();
        return QPoint(int(f.left + (f.right - f.left) * fx), int(f.top + (f.bottom - f.top) * fy));
    }
    void Drag(QPoint from, QPoint to) {
        QTest::mousePress(logger, Qt::LeftButton, Qt::NoModifier, from);
        QTest::mouseMove(logger, (from + to) / 2);
        QTest::mouseMove(logger, to);
        QTest::mouseRelease(logger, Qt::LeftButton, Qt::NoModifier, to);
    }
    QString Cell(int row, int column) const {
        const QTableWidgetItem* item = logger->List()->item(row, column);
        return item != nullptr ? item->text() : QString();
    }
};

TEST(LoggerWindow, downloadAddsARowAndDrawsTheRecord) {
    LoggerRig r;
    r.Grab();
    const std::string a = SaveRecordingFile(r.rig.dir, "a.AsmDat", 200, 2);
    const std::string b = SaveRecordingFile(r.rig.dir, "b.AsmDat", 7, 5, 20, -2);
    r.Download({QString::fromStdString(a), QString::fromStdString(b)});
    ASSERT_EQ(r.logger->List()->rowCount(), 2);
    EXPECT_EQ(r.Cell(0, 0), "1");
    EXPECT_EQ(r.Cell(0, 1), "14/11/23 22:13:20");
    EXPECT_EQ(r.Cell(0, 2), "2sec");
    EXPECT_EQ(r.Cell(0, 3), "200");
    EXPECT_EQ(r.Cell(1, 0), "2");
    EXPECT_EQ(r.Cell(1, 2), "5sec");
    EXPECT_EQ(r.Cell(1, 3), "7");
    EXPECT_EQ(r.rig.doc->m_file.count, 7);
    r.Grab();
    // The current record (7 samples, gain 20, offset -2): labels -40 .. 160.
    const QImage image = r.Grab();
    const LoggerFrame& f = r.Frame();
    const int left = int(f.left), top = int(f.top), right = int(f.right), bottom = int(f.bottom);
    const float H = f.bottom - f.top;
    const auto yOf = [&](float v) { return int(f.bottom - (v + 40.0f) * H / 200.0f); };
    EXPECT_EQ(QColor(image.pixel(left + 5, top + 5)), QColor(Qt::black));
    EXPECT_EQ(QColor(image.pixel(right - 5, bottom - 5)), QColor(Qt::black));
    EXPECT_EQ(QColor(image.pixel(left + 5, f.gridY[5])), LOGGER_GRID);
    EXPECT_EQ(QColor(image.pixel(left, top + 5)), LOGGER_SIDE_LINES);
    EXPECT_EQ(QColor(image.pixel(right + 1, top + 5)), PANEL_GREY) << "margin over the side line";
    const struct {
        float value;
        QRgb colour;
    } flat[] = {{30.0f, TRACE_COLOURS[CH_IRT]},
                {5.0f, TRACE_COLOURS[CH_AIRV]},
                {50.0f, TRACE_COLOURS[CH_CFM]},
                {1.5f, TRACE_COLOURS[CH_CMM]}};
    for (const auto& t : flat) {
        EXPECT_EQ(image.pixel((left + right) / 2 + 3, yOf(t.value)), t.colour) << t.value;
    }
    EXPECT_EQ(image.pixel(left + 50, 60), TRACE_COLOURS[CH_AIRT]) << "legend";
    EXPECT_EQ(image.pixel(left + 530, 59), TRACE_COLOURS[CH_CMM]) << "legend";

    r.logger->MakeRecordCurrent(-1);  // no selection mark: nothing
    EXPECT_EQ(r.rig.doc->m_file.count, 7);
    // A double-click, also on the list's blank area, makes the selected row current.
    r.logger->List()->selectRow(0);
    QWidget* list = r.logger->List()->viewport();
    QTest::mouseDClick(list, Qt::LeftButton, Qt::NoModifier, QPoint(10, list->height() - 5));
    EXPECT_EQ(r.rig.doc->m_file.count, 200);
    EXPECT_EQ(r.rig.doc->m_file.start, START);
    EXPECT_EQ(r.rig.doc->m_file.yGain, 10);
}

// Download and Undozoom alone have a tip; the other buttons show none, not their caption.
TEST(LoggerWindow, onlyDownloadAndUndozoomShowATip) {
    LoggerRig r;
    using D = CLoggerDlg;
    // Those without a tip first: a tip once shown takes a moment to go.
    for (const int id :
         {D::ID_PRINT, D::ID_SHOW_AIRT, D::ID_SHOW_IRT, D::ID_SHOW_AIRV, D::ID_SHOW_FLOW,
          D::ID_COMBINE, D::ID_Y_AXIS, D::ID_DOWNLOAD, D::ID_UNDOZOOM}) {
        const char* tip = id == D::ID_DOWNLOAD ? "Download" : id == D::ID_UNDOZOOM ? "ZoomOut" : "";
        QWidget* button = r.logger->ToolBar()->widgetForAction(r.logger->Action(id));
        QHelpEvent help(QEvent::ToolTip, QPoint(5, 5), button->mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(button, &help);
        EXPECT_EQ((QToolTip::isVisible() ? QToolTip::text() : QString()).toStdString(), tip) << id;
    }
}

TEST(LoggerWindow, aDragZoomsUndozoomReturnsAndTheZoomedGraphScrolls) {
    LoggerRig r;
    r.Download({QString::fromStdString(SaveRecordingFile(r.rig.dir, "a.AsmDat", 600, 1))});
    r.Grab();
    r.Drag(r.Plot(0.2f, 0.1f), r.Plot(0.5f, 0.9f));
    EXPECT_EQ(r.logger->Graph().Core().ZoomLevel(), 1);
    EXPECT_FALSE(r.logger->Graph().Core().FullView());
    EXPECT_TRUE(r.logger->ScrollBar()->isEnabled());
    r.Drag(r.Plot(0.3f, 0.2f), r.Plot(0.7f, 0.8f));
    EXPECT_EQ(r.logger->Graph().Core().ZoomLevel(), 2);
    r.Grab();

    // Ten clicks on the left arrow slide the traces ten samples right under the fixed
    // grid; a click in the track moves them back by the samples across the plot.
    QScrollBar* scroll = r.logger->ScrollBar();
    const int first = r.logger->Graph().Core().FirstVisible();
    QTest::mouseMove(r.logger, r.Plot(0.5f, 0.5f));
    const int under = r.logger->Pointer().CursorSample();
    for (int i = 0; i < 10; ++i) {
        scroll->triggerAction(QAbstractSlider::SliderSingleStepSub);
    }
    // The line stands where it stood; the read-out is that of the sample now under it.
    EXPECT_EQ(r.logger->Pointer().CursorSample(), under - 10);
    EXPECT_EQ(r.logger->Session().m_strReadoutTime, FormatClock(START + under - 10));
    EXPECT_EQ(r.logger->Graph().Core().ScrollOffset(), 10);
    EXPECT_EQ(scroll->value(), first + 1 - 10);
    r.Grab();
    const int span = r.logger->Graph().VisibleSpan();
    EXPECT_EQ(scroll->pageStep(), span);
    scroll->triggerAction(QAbstractSlider::SliderPageStepAdd);
    EXPECT_EQ(r.logger->Graph().Core().ScrollOffset(), 10 - span);

    r.logger->Action(CLoggerDlg::ID_SHOW_FLOW)->trigger();
    QTest::mouseMove(r.logger, r.Plot(0.5f, 0.5f));
    const QImage flow = r.Grab();
    EXPECT_FALSE(r.rig.frame->Logger() == nullptr);
    EXPECT_NE(QColor(flow.pixel(r.logger->Pointer().CursorX(), int(r.Frame().top) + 2)),
              QColor(Qt::black))
        << "cursor line";

    r.logger->Action(CLoggerDlg::ID_UNDOZOOM)->trigger();
    EXPECT_EQ(r.logger->Graph().Core().ZoomLevel(), 0);
    EXPECT_TRUE(r.logger->Graph().Core().FullView());
    EXPECT_FALSE(r.logger->ScrollBar()->isEnabled());
    EXPECT_EQ(r.logger->ScrollBar()->maximum(), 0) << "no thumb left standing";
    EXPECT_TRUE(r.logger->Session().m_strReadoutTime.empty()) << "read-out cleared with the line";
    r.logger->Action(CLoggerDlg::ID_COMBINE)->trigger();
}

TEST(LoggerWindow, theCursorReadsOutTheNearestSample) {
    LoggerRig r;
    r.Download({QString::fromStdString(SaveRecordingFile(r.rig.dir, "a.AsmDat", 11, 3))});
    r.Grab();
    const LoggerFrame& f = r.Frame();
    const float step = (f.right - f.left) / 10.0f;
    QTest::mouseMove(r.logger, QPoint(int(f.left + 4 * step + step * 0.4f), int(f.top) + 30));
    EXPECT_EQ(r.logger->Pointer().CursorSample(), 4);
    QTest::mouseMove(r.logger, QPoint(int(f.left + 4 * step + step * 0.6f), int(f.top) + 30));
    EXPECT_EQ(r.logger->Pointer().CursorSample(), 5);
    EXPECT_EQ(r.rig.frame->Logger()->Pointer().CursorShown(), true);
    const QImage image = r.Grab();
    // Not-XOR over black: the pen's complement, on every other row.
    EXPECT_EQ(QColor(image.pixel(r.logger->Pointer().CursorX(), int(f.top) + 2)),
              QColor(255 - 150, 255 - 50, 255 - 50));
}

TEST(LoggerWindow, closingEmptiesTheTableButTheDocumentKeepsTheRecord) {
    LoggerRig r;
    EXPECT_FALSE(r.rig.frame->Action(ID_OPEN_LOGGER)->isEnabled()) << "one window at a time";
    r.Download({QString::fromStdString(SaveRecordingFile(r.rig.dir, "a.AsmDat", 30, 2))});
    for (const int key : {int(Qt::Key_Escape), int(Qt::Key_Return)}) {
        QTest::keyClick(r.logger, Qt::Key(key));
    }
    ASSERT_TRUE(r.logger->isVisible()) << "Enter and Escape never close it";
    r.logger->close();
    QCoreApplication::processEvents();
    EXPECT_TRUE(r.rig.frame->Action(ID_OPEN_LOGGER)->isEnabled());
    EXPECT_FALSE(r.view().m_file.m_bFileData);

    r.Open();
    EXPECT_EQ(r.logger->List()->rowCount(), 0);
    EXPECT_EQ(r.rig.doc->m_file.count, 30);
    QPrintDialog* dialog = nullptr;
    r.rig.prompts.dialogs.push_back([&dialog](QDialog& d) {
        dialog = qobject_cast<QPrintDialog*>(&d);
        return false;
    });
    r.logger->Action(CLoggerDlg::ID_PRINT)->trigger();
    EXPECT_NE(dialog, nullptr) << "Print still offers the last record";
}

TEST(LoggerWindow, filesThatDoNotLoadChangeNothing) {
    LoggerRig r;
    r.logger->Action(CLoggerDlg::ID_PRINT)->trigger();  // no samples: no dialog
    EXPECT_TRUE(r.rig.prompts.dialogTitles.isEmpty());

    const std::string good = SaveRecordingFile(r.rig.dir, "good.AsmDat", 40, 2);
    ::chmod(good.c_str(), 0444);  // a recording on a write-protected card
    r.Download({QString::fromStdString(good)});
    ASSERT_EQ(r.logger->List()->rowCount(), 1);
    const QImage before = r.Grab();

    const std::string bytes = ReadAll(good);
    const std::string cut = r.rig.dir.file("cut.AsmDat");
    WriteAll(cut, bytes.substr(0, bytes.size() / 2));
    const std::string other = r.rig.dir.file("other.AsmDat");
    WriteAll(other, std::string("\x06QF7721", 7) + std::string(60, '\0'));
    r.Download({QString::fromStdString(cut), QString::fromStdString(other), QString()});
    // Many files: one message naming each that failed and why.
    ASSERT_EQ(r.rig.prompts.messages.size(), 1);
    EXPECT_TRUE(r.rig.prompts.messages[0].startsWith(
        "These files could not be loaded:\n" + QString::fromStdString(cut) +
        ": the file ends early\n" + QString::fromStdString(other) + ": Invalid Format!\n"))
        << r.rig.prompts.messages[0].toStdString();
    EXPECT_EQ(r.rig.prompts.messages[0].count('\n'), 3);
    EXPECT_EQ(r.logger->List()->rowCount(), 1);
    EXPECT_EQ(r.rig.doc->m_file.count, 40);
    EXPECT_EQ(r.Grab(), before);

    r.Download({});  // cancelled: silent
    EXPECT_EQ(r.rig.prompts.messages.size(), 1);
}

}  // namespace

namespace {

// Far off-scale and missing readings, full view and zoomed below the values: no trace
// colour anywhere but on the plot (and the legend's line samples).
TEST(LoggerPaint, tracesStayOnThePlot) {
    App();
    std::vector<StoredSample> samples(300);
    for (int i = 0; i < 300; ++i) {
        const bool high = i % 7 < 3;
        samples[std::size_t(i)] = {high ? 100000.0f : 50.0f, high ? NO_VALUE : 20.0f,
                                   high ? -3e38f : 5.0f, 1e30f, high ? -1e9f : 1.0f};
    }
    LoggerInputs in;
    in.width = 946;
    in.height = 598;
    in.hasRecord = true;
    in.record.samples = samples.data();
    in.record.count = 300;
    in.record.intervalSec = 1;
    CLoggerGraph graph;
    graph.Compute(in);
    for (bool zoomed : {false, true}) {
        if (zoomed) {
            const DragArea area = DragAreaOf(graph.Frame());
            const LoggerFrame& f = graph.Frame();
            CZoomDrag drag;
            drag.ButtonDown(graph.Core(), area, true, {int(f.left) + 100, int(f.bottom) - 60});
            drag.Move(area, true, {int(f.left) + 300, int(f.bottom) - 5});
            ASSERT_TRUE(
                drag.ButtonUp(graph.Core(), area, true, {int(f.left) + 300, int(f.bottom) - 5})
                    .levelPushed);
        }
        const LoggerFrame& f = graph.Compute(in);
        QImage image(f.width, f.height, QImage::Format_RGB32);
        PaintLoggerGraph(image, f, TraceFlags{});
        int stray = 0;
        for (int y = 0; y < image.height(); ++y) {
            const bool legend = y >= LEGEND_LINE_Y - 1 && y <= LEGEND_LINE_Y;
            const bool plotRows = y >= int(f.top) && y <= int(f.bottom);
            for (int x = 0; x < image.width(); ++x) {
                const bool onPlot = plotRows && x >= int(f.left) - 3 && x <= int(f.right);
                const QRgb c = image.pixel(x, y);
                const bool trace = std::find(std::begin(TRACE_COLOURS), std::end(TRACE_COLOURS),
                                             c) != std::end(TRACE_COLOURS);
                stray += trace && !onPlot && !legend;
            }
        }
        EXPECT_EQ(stray, 0) << (zoomed ? "zoomed" : "full view");
    }
}

}  // namespace

namespace {

// In the logger as in the main window: Shift+click places cursor B, both cursors stay on
// their samples through a zoom and a scroll, Ctrl+T describes the span between them, Fit Y
// fits the shown traces, Escape clears B.
TEST(LoggerWindow, twoCursorsStatisticsAndFitY) {
    LoggerRig r;
    r.Download({QString::fromStdString(SaveRecordingFile(r.rig.dir, "a.AsmDat", 600, 1))});
    r.Grab();
    QTest::mouseMove(r.logger, r.Plot(0.3f, 0.5f));
    QTest::mouseClick(r.logger, Qt::LeftButton, Qt::ShiftModifier, r.Plot(0.4f, 0.5f));
    const int b = r.logger->Pointer().CursorB();
    ASSERT_GT(b, 0);
    r.Drag(r.Plot(0.2f, 0.05f), r.Plot(0.6f, 0.95f));
    ASSERT_EQ(r.logger->Graph().Core().ZoomLevel(), 1);
    const int a = b - 30;
    float ax = 0.0f;
    ASSERT_TRUE(r.logger->Graph().Core().SampleX(a, ax));
    QTest::mouseMove(r.logger, QPoint(int(ax) + 1, int(r.Frame().top) + 40));
    ASSERT_EQ(r.logger->Pointer().CursorSample(), a);
    r.logger->Action(CLoggerDlg::ID_STATISTICS)->trigger();
    CStatisticsWnd* stats = r.rig.frame->Statistics();
    ASSERT_TRUE(stats != nullptr && stats->isVisible());
    for (int step = 0; step < 2; ++step) {
        const QImage screen = r.Grab();
        EXPECT_EQ(r.logger->Pointer().CursorSample(), a) << step;
        EXPECT_EQ(r.logger->Pointer().CursorB(), b) << step;
        EXPECT_EQ(stats->Cell(0, 1), QStringLiteral("31")) << step;
        float bx = 0.0f;
        ASSERT_TRUE(r.logger->Graph().Core().SampleX(b, bx));
        int orange = 0;
        for (int y = int(r.Frame().top); y < int(r.Frame().bottom); ++y) {
            orange += QColor(screen.pixel(int(bx), y)) == CURSOR_B_COLOUR;
        }
        EXPECT_GT(orange, 20) << step;
        r.logger->ScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepSub);
    }
    if (const char* dir = std::getenv("QF_LOOK_DIR")) {
        stats->grab().save(QStringLiteral("%1/statistics-logger.png").arg(dir));
    }

    // Flow only: 1.5 CMM .. 50 CFM fit on gain 5 from 0.
    r.logger->Action(CLoggerDlg::ID_SHOW_FLOW)->trigger();
    r.logger->Action(CLoggerDlg::ID_FIT_Y)->trigger();
    EXPECT_EQ(r.rig.doc->m_file.yGain, 5);
    EXPECT_EQ(r.rig.doc->m_file.yOffset, 0);

    QTest::keyClick(r.logger, Qt::Key_Escape);
    EXPECT_EQ(r.logger->Pointer().CursorB(), -1);
    EXPECT_TRUE(r.logger->isVisible()) << "Escape cleared B and left the window open";
}

}  // namespace

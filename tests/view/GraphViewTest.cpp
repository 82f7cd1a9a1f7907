// The real-time graph as the user sees it: grid, traces and legend in the main window,
// the cursor read-out in the status bar, zoom by dragging, UndoZoom and scrolling.
#include <QImage>
#include <QLabel>
#include <QScreen>
#include <QScrollBar>
#include <algorithm>
#include <cstdlib>
#include <functional>

#include "app/AppTestSupport.h"
#include "graph/GraphModel.h"
#include "ui/CCursorPanel.h"
#include "ui/CStatisticsWnd.h"
#include "ui/CommandIds.h"
#include "ui/Palette.h"

using namespace qf;
using namespace qftest;

namespace {

const QColor BLACK(0, 0, 0);
const QColor WHITE(255, 255, 255);
const QColor GRID(170, 170, 170);
const QColor STRIP(217, 218, 212);
const QColor TRACE[NUM_CHANNELS] = {
    {255, 0, 0}, {255, 255, 0}, {0, 255, 255}, {255, 0, 255}, {0, 255, 0}};

// Flat traces that the default scale (0 .. 100) shows apart.
float Level(int ch, int) {
    return 10.0f + 20.0f * ch;
}

// A main window of 1280 x 800 client pixels with a prepared recording.
struct GraphRig {
    FrameRig rig;
    CMainFrame* frame = nullptr;
    CQFView* view = nullptr;

    explicit GraphRig(int samples, std::function<float(int, int)> value = Level,
                      QSize client = {1280, 800}) {
        setenv("TZ", "UTC0", 1);
        tzset();
        frame = &rig.Start();
        view = &frame->View();
        frame->show();
        frame->resize(client.width(), client.height() + frame->ClientRect().top());
        EXPECT_TRUE(QTest::qWaitForWindowExposed(frame));
        // A frame sets the units to Celsius and m/s; the samples are the rig's own.
        LiveFrameFields units;
        units.a = flag::A_CELSIUS;
        FeedFrame(view->Live(), units);
        for (int ch = 0; ch < NUM_CHANNELS; ++ch) {
            for (int i = 0; i <= samples; ++i) {
                rig.doc->m_liveSamples[ch][i] = value(ch, i);
            }
        }
        EditRecording(view->Live(), [&](RecordingState& r) {
            r.m_nSampleIndex = samples;
            r.m_tmStart = 3600;  // 01:00:00
            r.m_nIntervalMs = 2000;
        });
        Settle();
    }

    // Repaints, and again when the scale compressed.
    void Settle() {
        view->repaint();
        for (int i = 0; i < 3; ++i) {
            QCoreApplication::processEvents();
        }
    }

    // The graph redrawn, as a grab of the view.
    QImage Grab() const { return view->grab().toImage(); }
    // What is on screen now, inverted lines included; in view coordinates.
    QImage Screen() const {
        QCoreApplication::processEvents();
        const QImage window = frame->screen()->grabWindow(frame->winId()).toImage();
        return window.copy(QRect(view->mapTo(frame, QPoint(0, 0)), view->size()));
    }

    QPoint FromClient(QPoint p) const { return p + frame->ClientRect().topLeft() - view->pos(); }
    PlotGeometry Geo() const { return view->Geometry(); }
    QString Pane(int i) const { return frame->Pane(i)->text(); }
    QScrollBar& Scroll() const { return *view->ScrollBar().ScrollBar(); }
    bool UndoZoomEnabled() const { return frame->Action(ID_UNDO_ZOOM)->isEnabled(); }

    // View column of sample i in the full view.
    int Column(int i) const {
        const PlotGeometry g = Geo();
        return g.pL + int(float(i) * view->Graph().XStep());
    }

    void Move(QPoint p) { QTest::mouseMove(view, p); }
    void Drag(QPoint from, QPoint to) {
        QTest::mousePress(view, Qt::LeftButton, Qt::NoModifier, from);
        QTest::mouseMove(view, (from + to) / 2);
        QTest::mouseMove(view, to);
        QTest::mouseRelease(view, Qt::LeftButton, Qt::NoModifier, to);
    }
};

int CountInColumn(const QImage& image, int x, int y0, int y1, const QColor& c) {
    int n = 0;
    for (int y = y0; y < y1; ++y) {
        n += QColor(image.pixel(x, y)) == c;
    }
    return n;
}

bool NearRow(const QImage& image, int x, int y, const QColor& c) {
    return CountInColumn(image, x, y - 1, y + 2, c) > 0;
}

}  // namespace

TEST(GraphView, emptyRecordingShowsTheDottedGridLabelsAndHeaders) {
    GraphRig g(0);
    const QImage image = g.Grab();
    const PlotGeometry geo = g.Geo();
    for (int i = 0; i < 12; ++i) {
        const int x = geo.pL + i * geo.W / 12;
        SCOPED_TRACE(i);
        EXPECT_GT(CountInColumn(image, x, geo.pT + 1, geo.pB, GRID), geo.H / 4);
        // Between the lines only the horizontal ones cross.
        EXPECT_EQ(CountInColumn(image, x + 5, geo.pT, geo.pB, BLACK) +
                      CountInColumn(image, x + 5, geo.pT, geo.pB, GRID),
                  geo.H);
    }
    for (int j = 1; j < 10; ++j) {
        int grey = 0;
        for (int x = geo.pL; x < geo.pR; ++x) {
            grey += QColor(image.pixel(x, geo.pT + int(j * geo.H * 0.1))) == GRID;
        }
        EXPECT_GT(grey, geo.W / 4) << j;
    }
    // Ticks of labels 0 (bottom row of the plot) to 10 (top row), strips beside the plot.
    for (int i = 0; i <= 10; ++i) {
        const int y = geo.pB - 1 - i * (geo.H - 1) / 10;
        EXPECT_EQ(QColor(image.pixel(geo.pL - 3, y)), BLACK) << i;
    }
    EXPECT_EQ(QColor(image.pixel(geo.pL - 3, geo.pB + 10)), STRIP);
    EXPECT_EQ(QColor(image.pixel(geo.pR + 30, geo.pT)), STRIP);
    EXPECT_EQ(g.view->Graph().YLabelText(0), "0.00");
    EXPECT_EQ(g.view->Graph().YLabelText(10), "100.00");
    EXPECT_EQ(g.Pane(1), QStringLiteral("time:"));
    EXPECT_EQ(g.Pane(2), QString::fromLatin1(STATUS_VALUES_HEADER));
    EXPECT_FALSE(g.UndoZoomEnabled());
}

TEST(GraphView, tracesAndLegendInTheirColoursAndPlaces) {
    // The legend and the time axis are placed in the main window's client area.
    const struct {
        const char* button;
        std::array<bool, NUM_CHANNELS> shown;
    } cases[] = {
        {"Combine", {true, true, true, true, true}},
        {"AirT", {true, false, false, false, false}},
        {"Flow", {false, false, false, true, true}},
    };
    GraphRig g(50);
    const PlotGeometry geo = g.Geo();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.button);
        const int id = std::string(c.button) == "AirT"   ? CRealTimeBar::ID_SHOW_AIRT
                       : std::string(c.button) == "Flow" ? CRealTimeBar::ID_SHOW_FLOW
                                                         : CRealTimeBar::ID_COMBINE;
        g.view->RealTimeBar().Button(id)->click();
        QCoreApplication::processEvents();
        const QImage image = g.Grab();
        for (int ch = 0; ch < NUM_CHANNELS; ++ch) {
            SCOPED_TRACE(ch);
            const int y = geo.pT + int(geo.H - Level(ch, 0) * geo.H / 100.0f);
            EXPECT_EQ(NearRow(image, g.Column(25), y, TRACE[ch]), c.shown[ch]);
            const QPoint line = g.FromClient({geo.pL + 100 * ch + 75, geo.pT + 28});
            EXPECT_EQ(QColor(image.pixel(line)), c.shown[ch] ? TRACE[ch] : STRIP);
        }
        // Nothing after the last committed sample.
        EXPECT_EQ(CountInColumn(image, g.Column(49) + 2, geo.pT, geo.pB, BLACK) +
                      CountInColumn(image, g.Column(49) + 2, geo.pT, geo.pB, GRID),
                  geo.H);
        EXPECT_EQ(QColor(image.pixel(g.FromClient({geo.pL + geo.W / 2, geo.pB + 58}))), STRIP);
    }
    EXPECT_EQ(g.view->Graph().TimeLabelText(0), "01:00:00");
}

TEST(GraphView, theScaleCompressesAndRepaintsWhenSamplesOutrunThePlot) {
    GraphRig g(101);
    // About 12/11 of the capacity plus one: 100 becomes 109 for this plot's width.
    const int W = g.Geo().W;
    const int points = int(float(W) / float(double(W - W / 12) / 100) + 1.0);
    EXPECT_EQ(g.view->Graph().ScreenPoints(), points);
    EXPECT_EQ(g.view->Graph().XStep(), float(W) / float(points - 1));
}

TEST(GraphView, cursorReadoutWritesTheNearestSampleToPanesOneAndTwo) {
    GraphRig g(20, [](int ch, int i) {
        const float values[NUM_CHANNELS] = {23.46f, 23.46f, 2.3f, 9.9996f, 150.25f};
        return i == 7 && ch == CH_AIRT ? NO_VALUE : values[ch] + 0.0f * float(i);
    });
    const PlotGeometry geo = g.Geo();
    const struct {
        int x;
        const char* time;
        const char* values;
    } cases[] = {
        {geo.pL - 40, "time:01:00:00",
         "AirT:23.5 C    IRT:23.4 C    AirV:2.30m/s    CFM:10.000    CMM:150.2"},
        {g.Column(10) + 1, "time:01:00:20",
         "AirT:23.5 C    IRT:23.4 C    AirV:2.30m/s    CFM:10.000    CMM:150.2"},
        {g.Column(7), "time:01:00:14",
         "AirT:----    IRT:23.4 C    AirV:2.30m/s    CFM:10.000    CMM:150.2"},
        // Beyond the last committed sample: the panes keep what they show.
        {g.Column(40), "time:01:00:14",
         "AirT:----    IRT:23.4 C    AirV:2.30m/s    CFM:10.000    CMM:150.2"},
    };
    for (const auto& c : cases) {
        g.Move({c.x, geo.pT + 40});
        EXPECT_EQ(g.Pane(1), QString::fromLatin1(c.time)) << c.x;
        EXPECT_EQ(g.Pane(2), QString::fromLatin1(c.values)) << c.x;
    }
}

TEST(GraphView, theCursorLineInvertsAndSurvivesTheSamplingTickRepaint) {
    GraphRig g(20);
    const PlotGeometry geo = g.Geo();
    const int a = g.Column(5);
    const int b = g.Column(15);
    const auto whiteIn = [&](const QImage& image, int x) {
        return CountInColumn(image, x, geo.pT, geo.pT + 60, WHITE);
    };
    g.Move({a, geo.pT + 50});
    EXPECT_GT(whiteIn(g.Screen(), a), 10);
    g.Move({b, geo.pT + 50});
    QImage screen = g.Screen();
    EXPECT_EQ(whiteIn(screen, a), 0);  // drawn again: erased
    EXPECT_GT(whiteIn(screen, b), 10);

    // The tick's repaint redraws the line in white, so the next move still erases it.
    EditRecording(g.view->Live(), [](RecordingState& r) { r.m_bRecordTick = true; });
    g.view->update();
    screen = g.Screen();
    EXPECT_GT(whiteIn(screen, b), 10);
    EXPECT_FALSE(g.view->Live().Recording().m_bRecordTick);
    g.Move({a, geo.pT + 50});
    screen = g.Screen();
    EXPECT_EQ(whiteIn(screen, b), 0);
    EXPECT_GT(whiteIn(screen, a), 10);

    // Any other repaint takes the line away; the next move draws without erasing.
    g.view->update();
    EXPECT_EQ(whiteIn(g.Screen(), a), 0);
    EXPECT_TRUE(g.view->m_bCursorFresh);
    g.Move({b, geo.pT + 50});
    screen = g.Screen();
    EXPECT_EQ(whiteIn(screen, a), 0);
    EXPECT_GT(whiteIn(screen, b), 10);
}

TEST(GraphView, aDragZoomsAndUndoZoomReturnsToTheFullView) {
    GraphRig g(200, [](int ch, int i) { return float(ch * 20 + i % 20); });
    const PlotGeometry geo = g.Geo();
    const QPoint a(geo.pL + 100, geo.pT + 50);
    const QPoint b(geo.pL + 500, geo.pT + 300);

    g.Drag(a, a);  // a click
    EXPECT_TRUE(g.view->Graph().Core().FullView());
    EXPECT_FALSE(g.UndoZoomEnabled());

    // The band shows while dragging, as an inverted halftone frame.
    QTest::mousePress(g.view, Qt::LeftButton, Qt::NoModifier, a);
    QTest::mouseMove(g.view, b);
    EXPECT_GT(CountInColumn(g.Screen(), a.x(), a.y(), b.y(), WHITE), (b.y() - a.y()) / 3);
    QTest::mouseRelease(g.view, Qt::LeftButton, Qt::NoModifier, b);
    // The zoom took the cursor line away, and the read-out of the sample it stood on.
    EXPECT_EQ(g.Pane(1), QStringLiteral("time:"));
    const CGraphModel& m = g.view->Graph();
    EXPECT_EQ(m.Core().ZoomLevel(), 1);
    EXPECT_FALSE(m.Core().FullView());
    EXPECT_TRUE(g.UndoZoomEnabled());
    EXPECT_FALSE(g.view->Drag().Dragging());
    EXPECT_FALSE(g.view->DragWatchTimer().isActive());
    EXPECT_TRUE(g.Scroll().isEnabled());
    EXPECT_EQ(g.Scroll().maximum(), 200);
    EXPECT_EQ(g.Scroll().value(), m.Core().FirstVisible());
    EXPECT_GT(m.Core().FirstVisible(), 0);
    EXPECT_NE(m.YLabelText(10), "100.00");
    // The band went with the repaint.
    EXPECT_EQ(CountInColumn(g.Screen(), a.x(), a.y() + 5, b.y() - 5, WHITE), 0);

    g.Drag(a, b);
    EXPECT_EQ(m.Core().ZoomLevel(), 2);
    // Three pixels high: ten divisions of 0.1 units or less, refused, level kept.
    g.Drag(a, a + QPoint(200, 3));
    EXPECT_EQ(m.Core().ZoomLevel(), 2);

    g.frame->Action(ID_UNDO_ZOOM)->trigger();
    EXPECT_EQ(m.Core().ZoomLevel(), 0);
    EXPECT_TRUE(m.Core().FullView());
    EXPECT_FALSE(g.UndoZoomEnabled());
    EXPECT_FALSE(g.Scroll().isEnabled());
    // No thumb is left standing where the zoom had it.
    EXPECT_EQ(g.Scroll().maximum(), 0);
    EXPECT_EQ(m.YLabelText(10), "100.00");
}

TEST(GraphView, leavingThePlotCancelsTheDrag) {
    GraphRig g(50);
    const PlotGeometry geo = g.Geo();
    const QPoint a(geo.pL + 100, geo.pT + 50);
    QTest::mousePress(g.view, Qt::LeftButton, Qt::NoModifier, a);
    QTest::mouseMove(g.view, a + QPoint(200, 200));
    EXPECT_TRUE(g.view->DragWatchTimer().isActive());
    const QPoint away(geo.pL - 50, geo.pT + 100);  // at the left limit
    QTest::mouseMove(g.view, away + QPoint(1, 0));
    QTest::qWait(30);
    EXPECT_TRUE(g.view->Drag().Dragging());
    QTest::mouseMove(g.view, away);
    QTRY_VERIFY(!g.view->Drag().Dragging());
    EXPECT_FALSE(g.view->DragWatchTimer().isActive());
    QTest::mouseRelease(g.view, Qt::LeftButton, Qt::NoModifier, away);
    EXPECT_TRUE(g.view->Graph().Core().FullView());
    EXPECT_FALSE(g.UndoZoomEnabled());
}

TEST(GraphView, scrollingInZoomModeShiftsTheTracesWithinTheSamples) {
    GraphRig g(300, [](int ch, int i) { return float(ch * 20 + i % 10); });
    const PlotGeometry geo = g.Geo();
    g.Drag({geo.pL + 200, geo.pT + 20}, {geo.pL + 400, geo.pT + 400});
    const CGraphModel& m = g.view->Graph();
    ASSERT_EQ(m.Core().ZoomLevel(), 1);
    const int first = m.Core().FirstVisible();
    const float x5 = m.Frame().traces.x[5];
    const float dx = m.Frame().traces.x[6] - x5;
    QScrollBar& bar = g.Scroll();
    // Thumb positions across the whole range and beyond the samples on either side.
    for (const int p : {first + 1, first - 7, 0, 300, first + 4}) {
        SCOPED_TRACE(p);
        bar.setSliderDown(true);
        bar.setSliderPosition(p);
        bar.setSliderDown(false);
        QCoreApplication::processEvents();
        EXPECT_EQ(m.Core().ScrollOffset(), first - p + 1);
        EXPECT_EQ(bar.value(), p);
        EXPECT_FLOAT_EQ(m.Frame().traces.x[5], x5 + float(first - p + 1) * dx);
        // The read-out anywhere over the plot names only recorded samples.
        for (int x = geo.pL; x <= geo.pR; x += 37) {
            g.Move({x, geo.pT + 30});
        }
    }
    // An arrow moves the traces by one sample, a click in the track by the samples across
    // the plot; the thumb follows.
    bar.triggerAction(QAbstractSlider::SliderSingleStepAdd);
    QCoreApplication::processEvents();
    EXPECT_EQ(m.Core().ScrollOffset(), -4);
    EXPECT_EQ(bar.value(), first + 5);
    EXPECT_FLOAT_EQ(m.Frame().traces.x[5], x5 - 4 * dx);
    const int span = int(float(geo.W) / dx);
    EXPECT_EQ(bar.pageStep(), span);
    bar.triggerAction(QAbstractSlider::SliderPageStepSub);
    QCoreApplication::processEvents();
    const int to = std::max(first + 5 - span, 0);
    EXPECT_EQ(m.Core().ScrollOffset(), first - to + 1);
    EXPECT_EQ(bar.value(), to);

    // A new recording ends the zoom: nothing to scroll, no thumb left from the last one.
    EditRecording(g.view->Live(), [](RecordingState& r) { r.m_nSampleIndex = 1; });
    g.Settle();
    EXPECT_TRUE(m.Core().FullView());
    EXPECT_FALSE(bar.isEnabled());
    EXPECT_EQ(bar.maximum(), 0);
}

TEST(GraphView, smallWindowsFewSamplesAndZeroGainPaintWithoutHarm) {
    const struct {
        QSize client;
        int samples;
        int gain;
    } cases[] = {
        {{1280, 800}, 1, 10}, {{1280, 800}, 2, 0},  {{300, 200}, 5, 10},
        {{380, 300}, 5, 0},   {{360, 269}, 40, 10},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.client.width() * 1000 + c.client.height());
        GraphRig g(c.samples, Level, c.client);
        g.view->m_display.m_nYGain = c.gain;
        g.Settle();
        // A gain of 0 scales like the default.
        EXPECT_EQ(g.view->Graph().YLabelText(10), "100.00");
        const PlotGeometry geo = g.Geo();
        const QPoint inside(geo.pL + 5, geo.pT + 5);
        g.Move(inside);
        g.Drag(inside, inside + QPoint(40, 40));
        g.Drag(inside, inside + QPoint(0, 40));  // no width
        g.Settle();
        if (geo.HasArea()) {
            EXPECT_FALSE(g.Grab().isNull());
        }
    }
}

namespace {

void Look(QWidget* w, const char* name) {
    if (const char* dir = std::getenv("QF_LOOK_DIR")) {
        w->grab().save(QStringLiteral("%1/%2.png").arg(QString::fromLocal8Bit(dir), name));
    }
}

// Shift+click places cursor B; both lines stay on their samples through a zoom and a scroll,
// the panel reads both out, the statistics take the span between them; Escape clears B.
TEST(GraphView, twoCursorsStayOnTheirSamplesThroughZoomAndScroll) {
    GraphRig g(200, [](int ch, int i) { return float(ch * 20 + i % 20); });
    const PlotGeometry geo = g.Geo();
    g.Move({g.Column(40), geo.pT + 50});
    QTest::mouseClick(g.view, Qt::LeftButton, Qt::ShiftModifier, QPoint(g.Column(60), geo.pT + 50));
    EXPECT_EQ(g.view->CursorB(), 60);
    EXPECT_EQ(g.view->AnalysisSpan().first, 40);
    EXPECT_EQ(g.view->AnalysisSpan().last, 60);
    const auto* panel = g.view->findChild<CCursorPanel*>();
    ASSERT_NE(panel, nullptr);
    EXPECT_TRUE(panel->isVisible());
    EXPECT_TRUE(panel->text().contains(QStringLiteral("40 s"))) << "20 samples of 2 s apart";

    g.Drag({g.Column(30), geo.pT + 5}, {g.Column(100), geo.pB - 5});
    ASSERT_EQ(g.view->Graph().Core().ZoomLevel(), 1);
    float ax = 0.0f;
    ASSERT_TRUE(g.view->Graph().Core().SampleX(80, ax));
    g.Move({int(ax) + 1, geo.pT + 50});  // the drag moved A: back onto sample 80
    const int a = g.view->m_nCursorSample;
    EXPECT_EQ(a, 80);
    g.frame->OnStatistics(false);
    for (int step = 0; step < 2; ++step) {
        EXPECT_EQ(g.view->CursorB(), 60) << step;
        EXPECT_EQ(g.view->m_nCursorSample, a) << step;
        float bx = 0.0f;
        ASSERT_TRUE(g.view->Graph().Core().SampleX(60, bx));
        EXPECT_GT(CountInColumn(g.Grab(), int(bx), geo.pT, geo.pB, CURSOR_B_COLOUR), 20) << step;
        EXPECT_EQ(g.frame->Statistics()->Cell(0, 1), QString::number(std::abs(a - 60) + 1));
        g.Scroll().triggerAction(QAbstractSlider::SliderSingleStepSub);
        g.Settle();
    }
    Look(g.frame, "two-cursors-main");
    Look(g.frame->Statistics(), "statistics-main");

    QTest::keyClick(g.frame, Qt::Key_Escape);
    EXPECT_EQ(g.view->CursorB(), -1);
    EXPECT_FALSE(panel->isVisible());
}

}  // namespace

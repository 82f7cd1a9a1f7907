// Where the view puts the bars in the main window, and what shows between them.
#include <QImage>

#include "app/AppTestSupport.h"

using namespace qf;
using namespace qftest;

namespace {

struct Placed {
    QRect realTime, readings, panel, scroll;
};

Placed Geometries(CQFView& view, QPoint clientOrigin) {
    return {view.RealTimeBar().geometry().translated(-clientOrigin),
            view.ReadingsBar().geometry().translated(-clientOrigin),
            view.MeterPanel().geometry().translated(-clientOrigin),
            view.ScrollBar().geometry().translated(-clientOrigin)};
}

}  // namespace

TEST(ViewLayout, barsFollowTheClientRectangle) {
    FrameRig rig;
    CMainFrame& frame = rig.Start();
    // The placement rules below the window's minimum size, which otherwise keeps them away.
    frame.setMinimumSize(0, 0);
    frame.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&frame));
    const struct {
        int width, height;
        Placed expected;
    } cases[] = {
        {1280,
         800,
         {{228, 30, 1050, 95}, {228, 680, 1050, 100}, {0, 31, 228, 750}, {228, 658, 1050, 25}}},
        // From 285 on both lower bars move.
        {900,
         285,
         {{228, 30, 670, 95}, {228, 165, 670, 100}, {0, 31, 228, 235}, {228, 143, 670, 25}}},
        // 263 to 284: the readings bar moves, the scroll strip keeps its place.
        {1000,
         284,
         {{228, 30, 770, 95}, {228, 164, 770, 100}, {0, 31, 228, 234}, {228, 143, 670, 25}}},
        {1100,
         263,
         {{228, 30, 870, 95}, {228, 143, 870, 100}, {0, 31, 228, 213}, {228, 143, 670, 25}}},
        // 262 and less: neither moves.
        {1200,
         262,
         {{228, 30, 970, 95}, {228, 143, 870, 100}, {0, 31, 228, 212}, {228, 143, 670, 25}}},
        {800,
         600,
         {{228, 30, 570, 95}, {228, 480, 570, 100}, {0, 31, 228, 550}, {228, 458, 570, 25}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.height);
        const int menu = frame.ClientRect().top();
        frame.resize(c.width, c.height + menu);
        QCoreApplication::processEvents();
        ASSERT_EQ(frame.ClientRect().size(), QSize(c.width, c.height));
        const Placed got = Geometries(frame.View(), frame.ClientRect().topLeft());
        EXPECT_EQ(got.realTime, c.expected.realTime);
        EXPECT_EQ(got.readings, c.expected.readings);
        EXPECT_EQ(got.panel, c.expected.panel);
        EXPECT_EQ(got.scroll, c.expected.scroll);
    }
    for (QWidget* bar :
         std::initializer_list<QWidget*>{&frame.View().RealTimeBar(), &frame.View().ReadingsBar(),
                                         &frame.View().MeterPanel(), &frame.View().ScrollBar()}) {
        EXPECT_TRUE(bar->isVisible());
    }
}

TEST(ViewLayout, theLegendStripAndTheBlackPlotShowBetweenTheBars) {
    FrameRig rig;
    CMainFrame& frame = rig.Start();
    frame.resize(1280, 800);
    frame.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&frame));
    const QImage image = frame.grab().toImage();
    const QPoint origin = frame.ClientRect().topLeft();
    // The main window's strip under the real-time bar, where the legend goes.
    EXPECT_EQ(QColor(image.pixel(origin + QPoint(1000, 140))), QColor(217, 218, 212));
    // The plot of the view, which starts under the toolbar.
    const QPoint view = frame.View().geometry().topLeft();
    EXPECT_EQ(QColor(image.pixel(view + QPoint(320, 130))), QColor(Qt::black));
}

// At its minimum size the window shows every bar whole and a plot to draw in; smaller it
// does not go (at 900 px the Low Limit column was cut, at 400 x 300 the plot a strip).
TEST(ViewLayout, theMinimumSizeShowsEveryBarWhole) {
    FrameRig rig;
    CMainFrame& frame = rig.Start();
    frame.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&frame));
    EXPECT_EQ(frame.minimumSize(), frame.LayoutMinimumSize());
    frame.resize(400, 300);
    QCoreApplication::processEvents();
    EXPECT_EQ(frame.size(), frame.minimumSize());
    const QRect client = frame.ClientRect();
    CQFView& view = frame.View();
    for (QWidget* bar : std::initializer_list<QWidget*>{&view.RealTimeBar(), &view.ReadingsBar(),
                                                        &view.ScrollBar()}) {
        EXPECT_GE(bar->width(), bar->sizeHint().width()) << bar->objectName().toStdString();
        EXPECT_LE(bar->geometry().right(), client.right()) << bar->objectName().toStdString();
    }
    EXPECT_GE(view.MeterPanel().height(), view.MeterPanel().minimumSizeHint().height());
    EXPECT_LE(view.ReadingsBar().geometry().bottom(), client.bottom());
    const PlotGeometry plot = view.Geometry();
    EXPECT_GE(plot.W, 600);
    EXPECT_GE(plot.H, 200);
    EXPECT_GT(frame.minimumWidth(), 900);
}

// Sized before it is shown and never resized after (no window manager), the window still
// places its bars under the menu and the toolbar.
TEST(ViewLayout, aWindowSizedBeforeItShowsPlacesTheBarsUnderItsMenu) {
    FrameRig rig;
    CMainFrame& frame = rig.Start();
    frame.setGeometry(0, 0, 1300, 760);
    frame.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&frame));
    const QRect client = frame.ClientRect();
    EXPECT_GT(client.top(), 0);
    EXPECT_EQ(frame.View().RealTimeBar().y(), client.top() + 30);
    EXPECT_EQ(frame.View().MeterPanel().y(), client.top() + 31);
}

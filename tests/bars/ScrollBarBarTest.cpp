// The scroll bar strip under the real-time graph, answered the way the view answers it:
// through the graph model's scroll rule.
#include <gtest/gtest.h>

#include <QScrollBar>
#include <QSignalSpy>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTest>
#include <memory>

#include "bars/CScrollBarBar.h"
#include "bars/WidgetTestSupport.h"
#include "graph/GraphModel.h"

namespace {

using namespace qf;

constexpr int FIRST_VISIBLE = 50;
constexpr int SPAN = 12;

struct Strip {
    int offset = 0;
    std::unique_ptr<CScrollBarBar> strip;
    QScrollBar* bar = nullptr;

    // answered: the view's answer to every action is connected.
    explicit Strip(bool answered = true) {
        qftest::App();
        strip = std::make_unique<CScrollBarBar>();
        strip->resize(900, 25);
        bar = strip->ScrollBar();
        if (answered) {
            QObject::connect(strip.get(), &CScrollBarBar::scrolled, strip.get(),
                             [this](ScrollCode code, int p) {
                                 strip->SetPosition(ScrollGraph(code, p, FIRST_VISIBLE, offset,
                                                                SPAN, strip->ScrollBar()->maximum())
                                                        .position);
                                 offset = ScrollGraph(code, p, FIRST_VISIBLE, offset, SPAN,
                                                      strip->ScrollBar()->maximum())
                                              .offset;
                             });
        }
        strip->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(strip.get()));
    }
    // Zoomed in at the first visible sample, as the graph's paint leaves it.
    void Zoomed() {
        strip->SetRange(0, 100);
        strip->SetPosition(FIRST_VISIBLE - offset + 1);
        strip->SetEnabled(true);
    }
    QRect Part(QStyle::SubControl part) const {
        QStyleOptionSlider opt;
        opt.initFrom(bar);
        opt.orientation = Qt::Horizontal;
        opt.state |= QStyle::State_Horizontal;
        opt.minimum = bar->minimum();
        opt.maximum = bar->maximum();
        opt.sliderPosition = bar->sliderPosition();
        opt.sliderValue = bar->value();
        opt.singleStep = bar->singleStep();
        opt.pageStep = bar->pageStep();
        opt.subControls = QStyle::SC_All;
        return bar->style()->subControlRect(QStyle::CC_ScrollBar, &opt, part, bar);
    }
};

TEST(ScrollBarBar, startsDisabledAndSpansTheStrip) {
    Strip s;
    EXPECT_FALSE(s.bar->isEnabled());
    // The layout's bar is 8 dialog units narrower than its strip, whatever the strip's width.
    EXPECT_EQ(s.bar->geometry(), QRect(0, 0, 884, 20));
    s.strip->resize(1300, 25);
    EXPECT_EQ(s.bar->geometry(), QRect(0, 0, 1284, 20));
    EXPECT_EQ(s.strip->sizeHint(), QSize(804, 26));
    // Disabled, a click on an arrow reaches nobody.
    QSignalSpy scrolled(s.strip.get(), &CScrollBarBar::scrolled);
    s.strip->SetRange(0, 100);
    QTest::mouseClick(s.bar, Qt::LeftButton, {}, s.Part(QStyle::SC_ScrollBarAddLine).center());
    EXPECT_EQ(scrolled.count(), 0);
    s.Zoomed();
    EXPECT_TRUE(s.bar->isEnabled());
    EXPECT_EQ(s.bar->maximum(), 100);
    EXPECT_EQ(s.bar->value(), FIRST_VISIBLE + 1);
    // What the view sets is never reported back.
    EXPECT_EQ(scrolled.count(), 0);
    s.strip->Reset();
    EXPECT_FALSE(s.bar->isEnabled());
    EXPECT_EQ(s.bar->maximum(), 0);
    EXPECT_EQ(s.bar->value(), 0);
}

TEST(ScrollBarBar, draggingTheThumbShiftsTheTracesByTheDistance) {
    Strip s;
    s.Zoomed();
    ASSERT_EQ(s.bar->value(), FIRST_VISIBLE + 1);
    QSignalSpy scrolled(s.strip.get(), &CScrollBarBar::scrolled);
    const QPoint grip = s.Part(QStyle::SC_ScrollBarSlider).center();
    QTest::mousePress(s.bar, Qt::LeftButton, {}, grip);
    QTest::mouseMove(s.bar, grip - QPoint(120, 0));
    ASSERT_GE(scrolled.count(), 1);
    EXPECT_EQ(scrolled.last().at(0).value<ScrollCode>(), ScrollCode::ThumbTrack);
    const int p = scrolled.last().at(1).toInt();
    EXPECT_LT(p, FIRST_VISIBLE + 1);
    EXPECT_EQ(s.offset, FIRST_VISIBLE + 1 - p);
    EXPECT_EQ(s.bar->value(), p);
    QTest::mouseRelease(s.bar, Qt::LeftButton, {}, grip - QPoint(120, 0));
    EXPECT_EQ(s.bar->value(), p);
    EXPECT_EQ(s.offset, FIRST_VISIBLE + 1 - p);
}

// Arrows step one sample, track clicks the visible span, both within the range; a wheel
// turn moves nothing. Unanswered, no action moves the thumb.
TEST(ScrollBarBar, arrowsAndTrackClicksStepTheOffset) {
    // SC_None stands for a wheel turn over the bar.
    const struct {
        QStyle::SubControl part;
        ScrollCode code;
        int offsetAfter;  // from 7
    } cases[] = {
        {QStyle::SC_ScrollBarAddLine, ScrollCode::LineRight, 6},
        {QStyle::SC_ScrollBarSubLine, ScrollCode::LineLeft, 8},
        {QStyle::SC_ScrollBarAddPage, ScrollCode::PageRight, 7 - SPAN},
        {QStyle::SC_ScrollBarSubPage, ScrollCode::PageLeft, 7 + SPAN},
        {QStyle::SC_None, ScrollCode::Other, 7},
    };
    for (bool answered : {true, false}) {
        for (const auto& c : cases) {
            SCOPED_TRACE(testing::Message() << c.part << (answered ? " answered" : " alone"));
            Strip s(answered);
            s.offset = 7;
            s.Zoomed();
            QSignalSpy scrolled(s.strip.get(), &CScrollBarBar::scrolled);
            if (c.part == QStyle::SC_None) {
                const QPointF at(100, 10);
                QWheelEvent wheel(at, s.bar->mapToGlobal(at), QPoint(), QPoint(0, -120),
                                  Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
                QApplication::sendEvent(s.bar, &wheel);
            } else {
                QTest::mouseClick(s.bar, Qt::LeftButton, {}, s.Part(c.part).center());
            }
            ASSERT_GE(scrolled.count(), 1);
            EXPECT_EQ(scrolled.first().at(0).value<ScrollCode>(), c.code);
            const int offset = answered ? c.offsetAfter : 7;
            EXPECT_EQ(s.offset, offset);
            EXPECT_EQ(s.bar->value(), FIRST_VISIBLE - offset + 1);
            EXPECT_EQ(s.bar->sliderPosition(), FIRST_VISIBLE - offset + 1);
        }
    }
}

// The rule itself, including the ends of the range.
TEST(ScrollGraph, stepsKeepTheThumbInsideTheRange) {
    const struct {
        ScrollCode code;
        int p;
        int offset;
        int offsetAfter;
        int positionAfter;
    } cases[] = {
        // first visible 50, span 12, range 0..100
        {ScrollCode::ThumbTrack, 51, 9, 0, 51},    {ScrollCode::ThumbTrack, 40, 0, 11, 40},
        {ScrollCode::LineRight, 0, 0, -1, 52},     {ScrollCode::LineLeft, 0, 0, 1, 50},
        {ScrollCode::LineLeft, 0, 51, 51, 0},       // at 0 already
        {ScrollCode::LineRight, 0, -49, -49, 100},  // at the end already
        {ScrollCode::PageLeft, 0, 45, 51, 0},       // stops at 0
        {ScrollCode::PageRight, 0, -40, -49, 100},  // stops at the end
        {ScrollCode::PageRight, 0, 0, -12, 63},    {ScrollCode::Other, 99, 5, 5, 46},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << int(c.code) << " from offset " << c.offset);
        const ScrollMove m = ScrollGraph(c.code, c.p, FIRST_VISIBLE, c.offset, SPAN, 100);
        EXPECT_EQ(m.offset, c.offsetAfter);
        EXPECT_EQ(m.position, c.positionAfter);
    }
}

}  // namespace

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
#include "view/GraphModel.h"

namespace {

using namespace qf;

constexpr int FIRST_VISIBLE = 50;

struct Strip {
    CGraphModel model;
    std::unique_ptr<CScrollBarBar> strip;
    QScrollBar* bar = nullptr;

    // answered: the view's answer to every action is connected.
    explicit Strip(bool answered = true) {
        qftest::App();
        strip = std::make_unique<CScrollBarBar>();
        strip->resize(900, 25);
        bar = strip->ScrollBar();
        model.m_nFirstVisible = FIRST_VISIBLE;
        if (answered) {
            QObject::connect(
                strip.get(), &CScrollBarBar::scrolled, strip.get(),
                [this](bool tracking, int p) { strip->SetPosition(model.OnScroll(tracking, p)); });
        }
        strip->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(strip.get()));
    }
    // Zoomed in at the first visible sample, as the graph's paint leaves it.
    void Zoomed() {
        strip->SetRange(0, 100);
        strip->SetPosition(model.OnScroll(false, 0));
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

TEST(ScrollBarBar, startsDisabledAtItsLayoutPlace) {
    Strip s;
    EXPECT_FALSE(s.bar->isEnabled());
    EXPECT_EQ(s.bar->geometry(), QRect(0, 0, 788, 20));
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
    s.strip->SetEnabled(false);
    EXPECT_FALSE(s.bar->isEnabled());
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
    EXPECT_TRUE(scrolled.last().at(0).toBool());
    const int p = scrolled.last().at(1).toInt();
    EXPECT_LT(p, FIRST_VISIBLE + 1);
    EXPECT_EQ(s.model.m_nScrollOffset, FIRST_VISIBLE + 1 - p);
    EXPECT_EQ(s.bar->value(), p);
    QTest::mouseRelease(s.bar, Qt::LeftButton, {}, grip - QPoint(120, 0));
    EXPECT_EQ(s.bar->value(), p);
    EXPECT_EQ(s.model.m_nScrollOffset, FIRST_VISIBLE + 1 - p);
}

TEST(ScrollBarBar, arrowsPagesAndWheelLeaveOffsetAndThumbAlone) {
    // SC_None stands for a wheel turn over the bar.
    const QStyle::SubControl parts[] = {QStyle::SC_ScrollBarAddLine, QStyle::SC_ScrollBarSubLine,
                                        QStyle::SC_ScrollBarAddPage, QStyle::SC_ScrollBarSubPage,
                                        QStyle::SC_None};
    for (bool answered : {true, false}) {
        for (QStyle::SubControl part : parts) {
            SCOPED_TRACE(testing::Message() << part << (answered ? " answered" : " alone"));
            Strip s(answered);
            s.Zoomed();
            s.model.m_nScrollOffset = 7;
            s.strip->SetPosition(s.model.OnScroll(false, 0));
            QSignalSpy scrolled(s.strip.get(), &CScrollBarBar::scrolled);
            if (part == QStyle::SC_None) {
                const QPointF at(100, 10);
                QWheelEvent wheel(at, s.bar->mapToGlobal(at), QPoint(), QPoint(0, -120),
                                  Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
                QApplication::sendEvent(s.bar, &wheel);
            } else {
                QTest::mouseClick(s.bar, Qt::LeftButton, {}, s.Part(part).center());
            }
            ASSERT_GE(scrolled.count(), 1);
            EXPECT_FALSE(scrolled.first().at(0).toBool());
            EXPECT_EQ(s.model.m_nScrollOffset, 7);
            EXPECT_EQ(s.bar->value(), FIRST_VISIBLE - 7 + 1);
            EXPECT_EQ(s.bar->sliderPosition(), FIRST_VISIBLE - 7 + 1);
        }
    }
}

}  // namespace

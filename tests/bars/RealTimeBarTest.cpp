// The real-time bar: its layout, the curve buttons, the Y axis dialog's effect on the
// display state, the read-only facts and the keys it keeps to itself.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <memory>
#include <vector>

#include "bars/CRealTimeBar.h"
#include "bars/WidgetTestSupport.h"
#include "live/GraphDisplayState.h"
#include "ui/CYAxisDlg.h"

namespace {

using namespace qf;
using qftest::AllColour;
using qftest::Grab;

const QColor BACKGROUND(240, 240, 240);

using Bar = CRealTimeBar;

// Receives what the bar lets through.
class Host : public QWidget {
public:
    std::vector<int> keys;

protected:
    void keyPressEvent(QKeyEvent* event) override { keys.push_back(event->key()); }
};

struct Fixture {
    QApplication& app = qftest::App();
    GraphDisplayState display;
    Host host;
    std::unique_ptr<CRealTimeBar> bar;

    Fixture() {
        bar = std::make_unique<CRealTimeBar>(display, &host);
        host.resize(800, 95);
        bar->setGeometry(0, 0, 800, 95);
        host.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&host));
    }
    void Click(int id) { QTest::mouseClick(bar->Button(id), Qt::LeftButton); }
};

// Chooses list positions in the Y axis dialog once it runs, then OK or Escape.
void AnswerYAxisDialog(int gainPos, int offsetPos, bool ok) {
    QTimer::singleShot(0, [=] {
        auto* dialog = qobject_cast<CYAxisDlg*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        ASSERT_EQ(dialog->GainList()->currentIndex(), -1);
        ASSERT_EQ(dialog->OffsetList()->currentIndex(), -1);
        dialog->GainList()->setCurrentIndex(gainPos);
        dialog->OffsetList()->setCurrentIndex(offsetPos);
        if (ok) {
            dialog->OkButton()->click();
        } else {
            QTest::keyClick(dialog, Qt::Key_Escape);
        }
    });
}

TEST(RealTimeBar, controlsSitAtTheirLayoutPlacesInBarFonts) {
    struct Case {
        int id;
        QRect rect;
    };
    const Case cases[] = {
        {Bar::ID_TITLE, {322, 0, 120, 16}},         {Bar::ID_SHOW_AIRT, {0, 26, 32, 28}},
        {Bar::ID_SHOW_FLOW, {96, 26, 36, 28}},      {Bar::ID_Y_AXIS, {196, 26, 60, 28}},
        {Bar::ID_BATTERY, {356, 28, 74, 24}},       {Bar::ID_START, {72, 64, 184, 24}},
        {Bar::ID_INTERVAL, {354, 64, 74, 24}},      {Bar::ID_SECONDS_LABEL, {430, 64, 30, 24}},
        {Bar::ID_SAMPLES_LABEL, {474, 66, 54, 16}}, {Bar::ID_SAMPLES, {528, 64, 68, 24}},
    };
    Fixture f;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        QWidget* w = f.bar->Control(c.id);
        ASSERT_NE(w, nullptr);
        EXPECT_EQ(w->geometry(), c.rect);
        if (c.id != Bar::ID_TITLE) {
            EXPECT_EQ(w->font().pixelSize(), 14);
            EXPECT_EQ(w->font().weight(), QFont::Medium);
        }
    }
    EXPECT_EQ(f.bar->Control(4242), nullptr);
    EXPECT_EQ(f.bar->sizeHint(), QSize(718, 94));
}

TEST(RealTimeBar, backgroundIsBarGreyAroundAndBeyondTheControls) {
    Fixture f;
    const QImage image = Grab(*f.bar);
    for (const QRect& r : {QRect(0, 0, 300, 24), QRect(257, 26, 6, 30), QRect(0, 55, 800, 9),
                           QRect(0, 89, 800, 6), QRect(600, 16, 200, 79)}) {
        EXPECT_TRUE(AllColour(image, r, BACKGROUND)) << r.x() << "," << r.y();
    }
    EXPECT_EQ(f.bar->Field(Bar::ID_START)->palette().color(QPalette::Base), BACKGROUND);
    EXPECT_EQ(f.bar->Field(Bar::ID_START)->palette().color(QPalette::Text), QColor(Qt::black));
}

TEST(RealTimeBar, curveButtonsSetTheShowFlagsAndAskForAViewUpdate) {
    struct Flags {
        bool airT, irt, airV, flow;
        bool operator==(const Flags&) const = default;
    };
    struct Case {
        std::vector<int> clicks;
        Flags after;
    };
    const Case cases[] = {
        {{Bar::ID_SHOW_AIRT}, {true, false, false, false}},
        {{Bar::ID_SHOW_IRT}, {false, true, false, false}},
        {{Bar::ID_SHOW_AIRV}, {false, false, true, false}},
        {{Bar::ID_SHOW_FLOW}, {false, false, false, true}},
        {{Bar::ID_SHOW_IRT, Bar::ID_COMBINE}, {true, true, true, true}},
        {{Bar::ID_COMBINE, Bar::ID_SHOW_AIRT}, {true, false, false, false}},
        {{Bar::ID_SHOW_FLOW, Bar::ID_SHOW_AIRV}, {false, false, true, false}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.clicks.front());
        Fixture f;
        QSignalSpy updates(f.bar.get(), &CRealTimeBar::viewUpdateRequested);
        for (int id : c.clicks) {
            f.Click(id);
        }
        const GraphDisplayState& d = f.display;
        EXPECT_EQ((Flags{d.m_bShowAirT, d.m_bShowIrt, d.m_bShowAirV, d.m_bShowFlow}), c.after);
        EXPECT_EQ(updates.count(), static_cast<int>(c.clicks.size()));
    }
}

TEST(RealTimeBar, yAxisDialogOkSetsGainOffsetAndTheElevenLabels) {
    struct Case {
        int gainBefore, offsetBefore, gainPos, offsetPos;
        int gain, offset;
        long long bottomLabel;  // the labels rise by one gain each
    };
    const Case cases[] = {
        {10, 0, 3, 3, 10, -2, -20},
        {10, 0, 11, 2, 100000, 5, 500000},
        // One list chosen: the other value stays, and all eleven labels follow.
        {10, 5, 0, -1, 1, 5, 5},
        {20, 0, -1, 4, 20, -5, -100},
        {50, -2, -1, -1, 50, -2, -100},
        // A gain from the settings file is any int; the labels must not wrap around.
        {2000000000, 0, -1, 2, 2000000000, 5, 10000000000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.gainPos << "/" << c.offsetPos);
        Fixture f;
        f.display.m_nYGain = c.gainBefore;
        f.display.m_nYOffset = c.offsetBefore;
        QSignalSpy updates(f.bar.get(), &CRealTimeBar::viewUpdateRequested);
        AnswerYAxisDialog(c.gainPos, c.offsetPos, true);
        f.Click(Bar::ID_Y_AXIS);
        EXPECT_EQ(f.display.m_nYGain, c.gain);
        EXPECT_EQ(f.display.m_nYOffset, c.offset);
        for (int i = 0; i < Y_LABELS; ++i) {
            EXPECT_EQ(f.display.m_strYLabel[i], std::to_string(c.bottomLabel + 1LL * i * c.gain));
        }
        EXPECT_EQ(updates.count(), 1);
    }
}

TEST(RealTimeBar, yAxisDialogEndedWithoutOkChangesNothing) {
    Fixture f;
    f.display.m_nYGain = 7;
    f.display.m_nYOffset = 1;
    f.display.m_strYLabel[0] = "kept";
    QSignalSpy updates(f.bar.get(), &CRealTimeBar::viewUpdateRequested);
    AnswerYAxisDialog(5, 1, false);
    f.Click(Bar::ID_Y_AXIS);
    EXPECT_EQ(f.display.m_nYGain, 7);
    EXPECT_EQ(f.display.m_nYOffset, 1);
    EXPECT_EQ(f.display.m_strYLabel[0], "kept");
    EXPECT_EQ(updates.count(), 0);
}

TEST(RealTimeBar, everyListEntryMeansTheValueItShows) {
    for (int pos = 0; pos < CYAxisDlg::GainTexts().size(); ++pos) {
        GraphDisplayState s;
        ApplyYAxisChoice(s, pos, -1);
        EXPECT_EQ(s.m_nYGain, CYAxisDlg::GainTexts()[pos].toInt()) << pos;
    }
    for (int pos = 0; pos < CYAxisDlg::OffsetTexts().size(); ++pos) {
        GraphDisplayState s;
        ApplyYAxisChoice(s, -1, pos);
        EXPECT_EQ(s.m_nYOffset, CYAxisDlg::OffsetTexts()[pos].toInt()) << pos;
    }
    // Past either end of a list counts as nothing chosen.
    GraphDisplayState s;
    s.m_nYGain = 3;
    s.m_nYOffset = 4;
    ApplyYAxisChoice(s, CYAxisDlg::GainTexts().size(), CYAxisDlg::OffsetTexts().size());
    EXPECT_EQ(s.m_nYGain, 3);
    EXPECT_EQ(s.m_nYOffset, 4);
    EXPECT_EQ(s.m_strYLabel[10], "42");
}

TEST(RealTimeBar, refreshShowsTheFourTextsInFieldsThatCannotBeTypedInto) {
    struct Case {
        const char* start;
        const char* count;
        const char* battery;
        const char* interval;
    };
    const Case cases[] = {
        {"05/03/24 09:08:07", "1", "Normal", "1"},
        {"31/12/99 23:59:59", "5000", "Low", "3600"},
    };
    Fixture f;
    QString shown;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.start);
        // Fields change only at a refresh.
        f.bar->SetRecordingTexts(c.start, c.count);
        f.bar->SetBattery(c.battery);
        f.bar->SetInterval(c.interval);
        EXPECT_EQ(f.bar->Field(Bar::ID_START)->text(), shown);
        f.bar->RefreshFromMembers();
        EXPECT_EQ(f.bar->Field(Bar::ID_START)->text(), c.start);
        EXPECT_EQ(f.bar->Field(Bar::ID_SAMPLES)->text(), c.count);
        EXPECT_EQ(f.bar->Field(Bar::ID_BATTERY)->text(), c.battery);
        EXPECT_EQ(f.bar->Field(Bar::ID_INTERVAL)->text(), c.interval);
        shown = QString::fromLatin1(c.start);
    }
    for (int id : {Bar::ID_START, Bar::ID_SAMPLES, Bar::ID_BATTERY, Bar::ID_INTERVAL}) {
        QLineEdit* field = f.bar->Field(id);
        const QString before = field->text();
        QTest::mouseClick(field, Qt::LeftButton);
        QTest::keyClicks(field, QStringLiteral("12"));
        QTest::keyClick(field, Qt::Key_Backspace);
        EXPECT_EQ(field->text(), before) << id;
    }
}

TEST(RealTimeBar, enterAndEscapeStayInTheBar) {
    Fixture f;
    QPushButton* button = f.bar->Button(Bar::ID_COMBINE);
    button->setFocus();
    for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape, Qt::Key_F5}) {
        QTest::keyClick(button, key);
    }
    EXPECT_EQ(f.host.keys, std::vector<int>{Qt::Key_F5});
}

}  // namespace

#include <gtest/gtest.h>

#include <QClipboard>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTest>
#include <QToolButton>
#include <memory>

#include "bars/CMeterKeyButton.h"
#include "bars/CMeterPanel.h"
#include "bars/CNumericEdit.h"
#include "bars/CReadingsBar.h"
#include "bars/CSpinButton.h"
#include "bars/WidgetTestSupport.h"
#include "helpers/TempDir.h"
#include "live/ReadingsLogic.h"
#include "store/ConfigFile.h"
#include "store/Settings.h"

namespace {

using namespace qf;
using qftest::AllColour;
using qftest::Grab;

const QColor BACKGROUND(240, 240, 240);
const QColor GREY(181, 181, 181);
const QColor RED(255, 0, 0);

constexpr int AIRT = 0, IRT = 1, AIRV = 2;

// A shown bar over its logic and units.
struct Bar {
    CReadingsLogic logic;
    DisplayUnits units;
    std::unique_ptr<CReadingsBar> bar;

    Bar() {
        qftest::App();
        units.m_nSpeedUnit = 0;
        units.m_strSpeedUnit = "m/s";
        bar = std::make_unique<CReadingsBar>(logic, units);
        bar->resize(862, 100);
        bar->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(bar.get()));
    }
    // A frame's samples, as the decoder hands them over.
    void Sample(float airT, float irt, float airV) {
        if (logic.OnSample(airT, irt, airV, units)) {
            bar->OnAlarmsChanged();
        }
        bar->RefreshFromMembers();
    }
    QColor Square(int n) {
        const QImage image = Grab(*bar);
        const QRect r = CReadingsBar::IndicatorRect(n);
        return AllColour(image, r, image.pixelColor(r.topLeft())) ? image.pixelColor(r.topLeft())
                                                                  : QColor();
    }
    // Types over the whole field, leaving it uncommitted.
    void Type(int channel, bool high, const char* text) {
        CNumericEdit* edit = bar->LimitEdit(channel, high);
        edit->setFocus();
        QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(edit, QString::fromLatin1(text));
    }
    // Types over the whole field and presses Enter.
    void TypeInto(int channel, bool high, const char* text) {
        Type(channel, high, text);
        QTest::keyClick(bar->LimitEdit(channel, high), Qt::Key_Return);
    }
};

TEST(ReadingsBar, IndicatorSquaresAreGreyAtTheirPlaces) {
    const QPoint corners[CReadingsBar::INDICATOR_COUNT] = {{378, 6},  {485, 6},  {378, 38},
                                                           {485, 38}, {378, 70}, {485, 70}};
    Bar b;
    const QImage image = Grab(*b.bar);
    for (int n = 0; n < CReadingsBar::INDICATOR_COUNT; ++n) {
        const QRect square(corners[n], QSize(15, 15));
        EXPECT_TRUE(AllColour(image, square, GREY)) << n;
        for (const QRect& edge : {QRect(square.left() - 1, square.top(), 1, 15),
                                  QRect(square.right() + 1, square.top(), 1, 15),
                                  QRect(square.left(), square.top() - 1, 15, 1),
                                  QRect(square.left(), square.bottom() + 1, 15, 1)}) {
            EXPECT_TRUE(AllColour(image, edge, BACKGROUND)) << n;
        }
    }
}

TEST(ReadingsBar, AlarmBlinksRedWhileItsValueCrossesTheLimit) {
    // Default limits: AirT -> 140 / 0, IRT 940 / 0, AirV 5900 / 0; units C and m/s.
    const struct {
        float airT, irt, airV;
        int indicator;
    } cases[] = {
        {150.0f, 20.0f, 3.0f, 0}, {-5.0f, 20.0f, 3.0f, 1},    {20.0f, 940.0f, 3.0f, 2},
        {20.0f, -10.0f, 3.0f, 3}, {20.0f, 20.0f, 5900.0f, 4}, {20.0f, 20.0f, 0.0f, 5},
    };
    for (const auto& c : cases) {
        Bar b;
        b.Sample(20.0f, 20.0f, 3.0f);
        b.Sample(c.airT, c.irt, c.airV);
        EXPECT_EQ(b.Square(c.indicator), GREY) << c.indicator;  // until the first tick
        for (int n = 0; n < CReadingsBar::INDICATOR_COUNT; ++n) {
            EXPECT_EQ(b.bar->IsBlinking(n), n == c.indicator) << c.indicator << "/" << n;
        }
        b.bar->OnBlinkTick(c.indicator);
        EXPECT_EQ(b.Square(c.indicator), RED) << c.indicator;
        b.bar->OnBlinkTick(c.indicator);
        EXPECT_EQ(b.Square(c.indicator), BACKGROUND) << c.indicator;
        b.bar->OnBlinkTick(c.indicator);
        EXPECT_EQ(b.Square(c.indicator), RED) << c.indicator;

        b.Sample(20.0f, 20.0f, 3.0f);
        EXPECT_EQ(b.Square(c.indicator), GREY) << c.indicator;
        EXPECT_FALSE(b.bar->IsBlinking(c.indicator)) << c.indicator;
    }
}

TEST(ReadingsBar, BlinkKeepsTimeWhileTheBarRepaintsFasterThanItsPeriod) {
    Bar b;
    b.Sample(150.0f, 20.0f, 3.0f);
    bool red = false;
    QElapsedTimer clock;
    clock.start();
    while (!red && clock.elapsed() < 3000) {
        b.bar->OnAlarmsChanged();
        red = b.Square(0) == RED;
        QTest::qWait(30);
    }
    EXPECT_TRUE(red);
}

TEST(ReadingsBar, FieldsShowTheExtremesAfterARefresh) {
    Bar b;
    b.Sample(23.46f, 510.0f, 1.236f);
    for (int ch : {AIRT, IRT, AIRV}) {
        EXPECT_EQ(b.bar->MaxEdit(ch)->text().toStdString(), b.logic.m_strMaxText[ch]) << ch;
        EXPECT_EQ(b.bar->MinEdit(ch)->text().toStdString(), b.logic.m_strMinText[ch]) << ch;
    }
    EXPECT_EQ(b.bar->MaxEdit(IRT)->text(), "+OL");
}

TEST(ReadingsBar, TypedLimitIsClampedAndShownWithOneDecimal) {
    const struct {
        int channel;
        bool high;
        const char* typed;
        const char* shown;
    } cases[] = {
        {IRT, false, "600", "500.0"},  // typed IRT low limits stop at 500
        {AIRT, true, "99", "99.0"},
        {AIRV, true, "7000", "5900.0"},
    };
    for (const auto& c : cases) {
        Bar b;
        b.TypeInto(c.channel, c.high, c.typed);
        EXPECT_EQ(b.bar->LimitEdit(c.channel, c.high)->text(), c.shown) << c.typed;
        EXPECT_EQ(c.high ? b.logic.m_strHiLimit[c.channel] : b.logic.m_strLowLimit[c.channel],
                  c.shown);
    }
}

// What is typed stays as typed until it is committed; then it is parsed, clamped and shown
// with one decimal, and only then do the limit and the alarms change.
TEST(ReadingsBar, TypedLimitTakesEffectWhenCommitted) {
    enum Commit { ENTER, FOCUS_OUT, SPIN_UP };
    const struct {
        int channel;
        bool high;
        const char* typed;
        Commit commit;
        const char* shown;
    } cases[] = {
        {AIRT, true, "35", ENTER, "35.0"},  // once "3" -> "9.0" -> "95.0" past a low limit of 9
        {AIRT, false, "-5", ENTER, "-5.0"},    {AIRT, false, "-", FOCUS_OUT, "0.0"},
        {IRT, true, "12", FOCUS_OUT, "12.0"},  {AIRT, true, "35", SPIN_UP, "36.0"},
        {IRT, false, "600", SPIN_UP, "501.0"},  // typed bound first, then the step
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        Bar b;
        b.TypeInto(AIRT, false, "9");
        const float before =
            c.high ? b.logic.m_fHiLimit[c.channel] : b.logic.m_fLowLimit[c.channel];
        b.Type(c.channel, c.high, c.typed);
        CNumericEdit* edit = b.bar->LimitEdit(c.channel, c.high);
        EXPECT_EQ(edit->text(), c.typed);
        b.Sample(20.0f, 20.0f, 3.0f);  // a frame refreshes the bar meanwhile
        EXPECT_EQ(edit->text(), c.typed);
        EXPECT_EQ(c.high ? b.logic.m_fHiLimit[c.channel] : b.logic.m_fLowLimit[c.channel], before);

        switch (c.commit) {
            case ENTER:
                QTest::keyClick(edit, Qt::Key_Return);
                break;
            case FOCUS_OUT:
                edit->clearFocus();
                break;
            case SPIN_UP:
                QTest::mouseClick(b.bar->LimitSpin(c.channel, c.high)->UpButton(), Qt::LeftButton);
                break;
        }
        EXPECT_EQ(edit->text(), c.shown);
        EXPECT_EQ(c.high ? b.logic.m_strHiLimit[c.channel] : b.logic.m_strLowLimit[c.channel],
                  c.shown);
    }
}

TEST(ReadingsBar, AlarmFollowsALimitOnlyOnceItIsCommitted) {
    Bar b;
    b.Sample(25.0f, 20.0f, 3.0f);
    b.Type(AIRT, true, "20");
    b.Sample(25.0f, 20.0f, 3.0f);
    EXPECT_FALSE(b.logic.m_bAlarmHi[AIRT]);
    QTest::keyClick(b.bar->LimitEdit(AIRT, true), Qt::Key_Return);
    b.Sample(25.0f, 20.0f, 3.0f);
    EXPECT_TRUE(b.logic.m_bAlarmHi[AIRT]);
}

TEST(ReadingsBar, SpinStepsTheLimitInTheDisplayUnit) {
    Bar b;
    b.TypeInto(IRT, false, "600");
    // Stepped, the IRT low limit may pass the typed bound of 500.
    QTest::mouseClick(b.bar->LimitSpin(IRT, false)->UpButton(), Qt::LeftButton);
    EXPECT_EQ(b.bar->LimitEdit(IRT, false)->text(), "501.0");
    QTest::mouseClick(b.bar->LimitSpin(AIRT, true)->DownButton(), Qt::LeftButton);
    EXPECT_EQ(b.bar->LimitEdit(AIRT, true)->text(), "139.0");

    // AirV steps by 0.1 m/s in the current unit: 19.687 in ft/min.
    b.units.m_fSpeedFactor = 196.87f;
    QTest::mouseClick(b.bar->LimitSpin(AIRV, false)->UpButton(), Qt::LeftButton);
    EXPECT_FLOAT_EQ(b.logic.m_fLowLimit[AIRV], 19.687f);
    EXPECT_EQ(b.bar->LimitEdit(AIRV, false)->text(), "19.7");
    QTest::mouseClick(b.bar->LimitSpin(AIRV, false)->DownButton(), Qt::LeftButton);
    QTest::mouseClick(b.bar->LimitSpin(AIRV, false)->DownButton(), Qt::LeftButton);
    EXPECT_EQ(b.bar->LimitEdit(AIRV, false)->text(), "0.0");
}

TEST(ReadingsBar, LimitsComeFromAndGoBackToTheSettingsFile) {
    qftest::TempDir dir;
    CConfigFile file(dir.file("QF7720config.ini"));
    file.WriteText("Alarmhi1Info", "Hi1 limit", "100.5");
    file.WriteText("Alarmlow2Info", "Low2 limit", "1200");  // out of range: kept as loaded
    file.WriteText("Alarmlow3Info", "Low3 limit", "abc");
    Bar b;
    b.bar->LoadLimits(file);
    EXPECT_EQ(b.bar->LimitEdit(AIRT, true)->text(), "100.5");
    EXPECT_EQ(b.bar->LimitEdit(IRT, false)->text(), "1200");
    EXPECT_EQ(b.bar->LimitEdit(AIRV, false)->text(), "abc");
    EXPECT_EQ(b.bar->LimitEdit(IRT, true)->text(), "940.0");
    EXPECT_FLOAT_EQ(b.logic.m_fLowLimit[IRT], 1200.0f);

    b.TypeInto(AIRT, false, "5");
    Settings s;
    b.bar->StoreLimits(s);
    EXPECT_EQ(s.m_strHiLimit[AIRT], "100.5");
    EXPECT_EQ(s.m_strLowLimit[AIRT], "5.0");
    EXPECT_EQ(s.m_strLowLimit[IRT], "1200");
    EXPECT_EQ(s.m_strLowLimit[AIRV], "abc");
}

TEST(NumericEdit, TypingTakesOnlyDigitsSignAndPoint) {
    const struct {
        const char* typed;
        const char* text;
    } cases[] = {
        {"12.5", "12.5"},
        {"-3", "-3"},
        {"a1 2,3x", "123"},
        {"1..2--", "1..2--"},
        {"+1e5", "15"},
        {"\t\r\x1b"
         "7",
         "7"},
    };
    qftest::App();
    for (const auto& c : cases) {
        CNumericEdit edit;
        QTest::keyClicks(&edit, QString::fromLatin1(c.typed));
        EXPECT_EQ(edit.text(), c.text) << c.typed;
    }
}

TEST(NumericEdit, SelectAllWorksSoThatTypingReplacesTheField) {
    qftest::App();
    CNumericEdit edit;
    edit.setText("140.0");
    QTest::keyClick(&edit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(&edit, "12");
    EXPECT_EQ(edit.text(), "12");
}

TEST(NumericEdit, BackspaceAndDeleteEditButClipboardShortcutsDoNot) {
    qftest::App();
    CNumericEdit edit;
    QApplication::clipboard()->setText("99");
    QTest::keyClicks(&edit, "123");
    QTest::keyClick(&edit, Qt::Key_Backspace);
    EXPECT_EQ(edit.text(), "12");
    QTest::keyClick(&edit, Qt::Key_Home);
    QTest::keyClick(&edit, Qt::Key_Delete);
    EXPECT_EQ(edit.text(), "2");
    QTest::keyClick(&edit, Qt::Key_V, Qt::ControlModifier);
    QTest::keyClick(&edit, Qt::Key_Insert, Qt::ShiftModifier);
    EXPECT_EQ(edit.text(), "2");
}

TEST(Bars, EnterAndEscapeStayInThePanelAndTheBar) {
    qftest::App();
    struct Recorder : QWidget {
        std::vector<int> keys;
        void keyPressEvent(QKeyEvent* e) override { keys.push_back(e->key()); }
    } holder;
    CReadingsLogic logic;
    DisplayUnits units;
    PanelState state;
    bool lost = false;
    auto* bar = new CReadingsBar(logic, units, &holder);
    auto* panel = new CMeterPanel(state, lost, &holder);
    for (QWidget* inside : {static_cast<QWidget*>(bar->MaxEdit(AIRT)),
                            static_cast<QWidget*>(panel->KeyButton(MeterKey::AVG))}) {
        for (const int k :
             {int(Qt::Key_Return), int(Qt::Key_Enter), int(Qt::Key_Escape), int(Qt::Key_F5)}) {
            QKeyEvent press(QEvent::KeyPress, k, Qt::NoModifier);
            QApplication::sendEvent(inside, &press);
        }
    }
    EXPECT_EQ(holder.keys, (std::vector<int>{Qt::Key_F5, Qt::Key_F5}));
}

}  // namespace

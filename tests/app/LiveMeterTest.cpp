// The drawn meter and the alarm bar against the simulated meter: keys reach the meter,
// alarms blink while readings cross a limit, and the panel goes offline when the meter
// falls silent.
#include <QImage>

#include "app/AppTestSupport.h"
#include "bars/CMeterKeyButton.h"
#include "bars/CMeterPanel.h"
#include "bars/CNumericEdit.h"
#include "bars/CReadingsBar.h"
#include "link/MeterCommand.h"

using namespace qf;
using namespace qftest;

namespace {

constexpr int WAIT_MS = 5000;

struct LiveRig : MeterRig {
    CMainFrame& StartWithMeter(MeterModelOptions model, const std::string& config = {}) {
        if (!config.empty()) {
            WriteAll(ConfigPath(), config);
        }
        SimOptions options;
        options.framePeriodMs = 30;
        options.model = model;
        return MeterRig::StartWithMeter(options, {100, 300});
    }
};

bool LcdShowsRed(CMeterPanel& panel) {
    const QImage image = panel.grab().toImage();
    const QRect lcd = CMeterPanel::LCD_RECT.translated(panel.contentsRect().topLeft());
    for (int y = lcd.top(); y <= lcd.bottom(); ++y) {
        for (int x = lcd.left(); x <= lcd.right(); ++x) {
            if (image.pixelColor(x, y) == QColor(255, 0, 0)) {
                return true;
            }
        }
    }
    return false;
}

}  // namespace

TEST(LiveMeter, aPanelKeyChangesTheMeterAndItsNextFrame) {
    LiveRig rig;
    MeterModelOptions model;
    model.pattern = ReadingPattern::Steady;
    CMainFrame& frame = rig.StartWithMeter(model);
    CQFView& view = frame.View();
    ASSERT_TRUE(QTest::qWaitFor([&] { return view.Live().Units().m_nSpeedUnit == 0; }, WAIT_MS));

    CMeterKeyButton* units = view.MeterPanel().KeyButton(MeterKey::UNITS);
    ASSERT_NE(units, nullptr);
    QTest::mouseClick(units, Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return view.Live().Units().m_nSpeedUnit == 1; }, WAIT_MS));
    EXPECT_EQ(rig.meter->Status().counters.keys, 1);
    EXPECT_EQ(rig.meter->Status().counters.lastCommand, KeyPressPacket(MeterKey::UNITS));
    EXPECT_EQ(view.Live().Units().m_strSpeedUnit, "ft/min");
}

TEST(LiveMeter, alarmBlinksWhileTheReadingIsAboveItsLimitAndStopsBelow) {
    LiveRig rig;
    MeterModelOptions model;
    model.pattern = ReadingPattern::Steady;
    model.base.airT = 25.0f;
    CMainFrame& frame = rig.StartWithMeter(model, "[Alarmhi1Info]\nHi1 limit=20.0\n");
    CQFView& view = frame.View();
    CReadingsBar& bar = view.ReadingsBar();
    ASSERT_TRUE(QTest::qWaitFor([&] { return frame.Live().Readings().m_bAlarmHi[0]; }, WAIT_MS));
    ASSERT_TRUE(QTest::qWaitFor([&] { return bar.IsBlinking(0); }, WAIT_MS));
    EXPECT_FALSE(bar.IsBlinking(1));

    // The user raises the limit above the reading: the next frame clears the alarm.
    CNumericEdit* limit = bar.LimitEdit(0, true);
    limit->setFocus();
    limit->selectAll();
    QTest::keyClicks(limit, "30");
    QTest::keyClick(limit, Qt::Key_Return);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !frame.Live().Readings().m_bAlarmHi[0]; }, WAIT_MS));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !bar.IsBlinking(0); }, WAIT_MS));
    EXPECT_EQ(bar.LimitEdit(0, true)->text(), "30.0");
}

TEST(LiveMeter, panelGoesOfflineWhenTheMeterFallsSilentAndBackWhenItReturns) {
    LiveRig rig;
    CMainFrame& frame = rig.StartWithMeter(MeterModelOptions{});
    CQFView& view = frame.View();
    CMeterPanel& panel = view.MeterPanel();
    ASSERT_TRUE(QTest::qWaitFor([&] { return view.Live().Recording().m_bLiveIdle; }, WAIT_MS));
    EXPECT_FALSE(LcdShowsRed(panel));

    rig.meter->SetSending(false);
    ASSERT_TRUE(QTest::qWaitFor([&] { return view.Live().Recording().m_bLinkLost; }, WAIT_MS));
    ASSERT_TRUE(QTest::qWaitFor([&] { return LcdShowsRed(panel); }, WAIT_MS));

    rig.meter->SetSending(true);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !view.Live().Recording().m_bLinkLost; }, WAIT_MS));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !LcdShowsRed(panel); }, WAIT_MS));
}

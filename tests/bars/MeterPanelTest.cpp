#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QTest>
#include <QWindow>
#include <algorithm>
#include <memory>
#include <vector>

#include "bars/CMeterKeyButton.h"
#include "bars/CMeterPanel.h"
#include "bars/MeterArt.h"
#include "bars/WidgetTestSupport.h"
#include "link/MeterCommand.h"
#include "live/PanelState.h"

namespace {

using namespace qf;
using qftest::AllColour;
using qftest::CountColour;
using qftest::Grab;

const QColor UNLIT(168, 191, 163);
const QColor BACKLIT(175, 238, 238);
const QColor STRIP(217, 218, 212);
const QColor RED(255, 0, 0);

// A shown panel with the packets it sends.
struct Panel {
    PanelState state;
    bool linkLost = false;
    std::unique_ptr<CMeterPanel> panel;
    std::vector<CommandPacket> sent;

    Panel() {
        qftest::App();
        panel = std::make_unique<CMeterPanel>(state, linkLost);
        QObject::connect(panel.get(), &CMeterPanel::commandReady,
                         [this](const CommandPacket& p) { sent.push_back(p); });
        panel->resize(228, 660);
        panel->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(panel.get()));
    }
    // Client rectangles in grabbed-image coordinates.
    QRect Client(const QRect& r) const { return r.translated(panel->contentsRect().topLeft()); }
    QImage Image() { return Grab(*panel); }
    QPoint KeyCentre(MeterKey key) const {
        const CMeterKeyButton* b = panel->KeyButton(key);
        return b->mapTo(panel.get(), b->rect().center());
    }
};

std::vector<MeterKey> AllKeys() {
    std::vector<MeterKey> keys;
    for (int i = 0; i < METER_KEY_COUNT; ++i) {
        keys.push_back(static_cast<MeterKey>(i));
    }
    return keys;
}

TEST(MeterPanel, KeysSitOnThePictureAtTheirImageSizes) {
    const struct {
        int controlId;
        QRect rect;
    } cases[] = {
        {1046, {55, 289, 36, 29}},  {1052, {92, 291, 34, 33}}, {1044, {126, 292, 37, 25}},
        {1047, {93, 327, 35, 32}},  {1055, {92, 378, 35, 40}}, {1048, {67, 409, 32, 43}},
        {1049, {119, 410, 32, 45}}, {1056, {93, 442, 34, 40}}, {1045, {139, 492, 24, 26}},
    };
    Panel p;
    for (const auto& c : cases) {
        const MeterKey key = *KeyFromControlId(c.controlId);
        EXPECT_EQ(p.panel->KeyButton(key)->geometry(), p.Client(c.rect)) << c.controlId;
        EXPECT_EQ(MeterKeyImage(key).size(), c.rect.size()) << c.controlId;
    }
    EXPECT_EQ(MeterPicture().size(), QSize(220, 620));
}

TEST(MeterPanel, LcdIsUnlitOrBacklitAndTheBottomStripGrey) {
    for (const bool backlight : {false, true}) {
        for (const bool lost : {false, true}) {
            Panel p;
            p.state.m_bBacklight = backlight;
            p.linkLost = lost;
            const QImage image = p.Image();
            const QColor lcd = backlight ? BACKLIT : UNLIT;
            // Corners of the LCD that no slot text reaches.
            EXPECT_EQ(image.pixelColor(p.Client({52, 125, 1, 1}).topLeft()), lcd);
            EXPECT_EQ(image.pixelColor(p.Client({165, 274, 1, 1}).topLeft()), lcd);
            EXPECT_TRUE(AllColour(image, p.Client({160, 240, 6, 15}), lcd));
            EXPECT_TRUE(AllColour(image, p.Client({0, 600, 224, 56}), STRIP));
        }
    }
}

TEST(MeterPanel, LinkLostShowsOnlyOfflineInRedAndStopsTheBlink) {
    Panel p;
    p.state.m_strSlot[LCD_UPPER_VALUE] = "23.4";
    p.state.m_strSlot[LCD_MAIN_VALUE] = "00.00";
    p.state.m_strSlot[LCD_MODE] = "AREA";
    p.Image();
    EXPECT_TRUE(p.panel->IsBlinking());
    EXPECT_EQ(CountColour(p.Image(), p.Client(CMeterPanel::LCD_RECT), RED), 0);

    p.linkLost = true;
    const QImage image = p.Image();
    EXPECT_FALSE(p.panel->IsBlinking());
    EXPECT_GT(CountColour(image, p.Client({53, 160, 113, 60}), RED), 200);
    EXPECT_EQ(CountColour(image, p.Client(CMeterPanel::LCD_RECT), Qt::black), 0);
}

// Columns [first, last] of dark ink inside `area` (client coordinates); {-1, -1}: none.
std::pair<int, int> InkColumns(const Panel& p, const QImage& image, const QRect& area) {
    int first = -1, last = -1;
    const QRect r = p.Client(area);
    for (int x = r.left(); x <= r.right(); ++x) {
        for (int y = r.top(); y <= r.bottom(); ++y) {
            if (qGray(image.pixel(x, y)) < 100) {
                first = first < 0 ? x : first;
                last = x;
                break;
            }
        }
    }
    const int origin = p.panel->contentsRect().left();
    return {first < 0 ? -1 : first - origin, last < 0 ? -1 : last - origin};
}

// Our digits are wider than the layout's 16 px a character: the main value still ends at
// x = 132 and no text reaches the window's edge.
TEST(MeterPanel, LcdTextsStayInsideTheWindowRightAligned) {
    const QRect lcd = CMeterPanel::LCD_RECT;
    for (const char* main : {"562.6", "1.000", "9999", "4.47", "0.000", "+OL", "-OL", "----"}) {
        SCOPED_TRACE(main);
        Panel p;
        p.state.m_strSlot[LCD_MAIN_VALUE] = main;
        p.state.m_strSlot[LCD_REC_TOP] = "REC";
        p.state.m_strSlot[LCD_REC_BOTTOM] = "REC";
        const QImage image = p.Image();
        const auto [first, last] = InkColumns(p, image, {lcd.left(), 190, lcd.width(), 80});
        EXPECT_GE(first, lcd.left() + 2);
        EXPECT_LE(last, CMeterPanel::MAIN_VALUE_RIGHT);
        if (main[1] != 'O') {
            EXPECT_GE(last, CMeterPanel::MAIN_VALUE_RIGHT - 3) << "right-aligned";
        }
        for (const int y : {125, 260}) {
            EXPECT_GE(InkColumns(p, image, {lcd.left(), y, 20, 12}).first, lcd.left() + 2) << y;
        }
        EXPECT_EQ(CountColour(image, p.Client({lcd.left(), lcd.top(), lcd.width(), 2}), UNLIT),
                  lcd.width() * 2)
            << "the top rows stay clear";
    }
}

// The squared mark follows the unit's letters without a gap, wherever they end.
TEST(MeterPanel, SquaredMarkSitsRightAfterItsUnit) {
    for (const char* unit : {"ft", "m"}) {
        SCOPED_TRACE(unit);
        Panel p;
        p.state.m_strSlot[LCD_MAIN_UNIT] = unit;
        const QImage image = p.Image();
        // Columns right of the unit's place holding anything but the LCD colour.
        std::vector<bool> ink;
        for (int x = 140; x < CMeterPanel::LCD_RECT.right(); ++x) {
            ink.push_back(CountColour(image, p.Client({x, 215, 1, 20}), UNLIT) < 20);
        }
        const auto first = std::find(ink.begin(), ink.end(), true);
        const auto last = std::find(ink.rbegin(), ink.rend(), true).base();
        ASSERT_LT(first, last);
        int gap = 0, widest = 0;
        for (auto it = first; it != last; ++it) {
            gap = *it ? 0 : gap + 1;
            widest = std::max(widest, gap);
        }
        EXPECT_LE(widest, 1);
        EXPECT_GE(last - first, 5) << "letters and mark";
    }
}

TEST(MeterPanel, AreaDigitBlinksUnderAnUnlitBox) {
    const struct {
        int areaCode;
        QRect box;  // where the layout puts it for a text starting at 52
    } cases[] = {{1, {69, 200, 18, 75}}, {3, {112, 200, 20, 75}}};
    for (const auto& c : cases) {
        Panel p;
        // The box moves with the text, which starts a little right of the layout's 52.
        const int shift = p.panel->MainValueX("00.00") - 52;
        EXPECT_GT(shift, 0);
        EXPECT_EQ(CMeterPanel::AreaBlinkBox("00.00", c.areaCode, 52 + shift),
                  c.box.translated(shift, 0));
        EXPECT_EQ(CMeterPanel::AreaBlinkBox("00.00", c.areaCode), c.box);
        p.state.m_bBacklight = true;
        p.state.m_strSlot[LCD_MAIN_VALUE] = "00.00";
        p.state.m_strSlot[LCD_MODE] = "AREA";
        p.state.m_nAreaCode = static_cast<std::uint8_t>(c.areaCode);
        p.Image();
        ASSERT_TRUE(p.panel->IsBlinking());

        const QRect box = p.Client(c.box.translated(shift, 0));
        const QRect leftOfBox(box.left() - 1, box.top(), 1, box.height());
        const QRect rightOfBox(box.right() + 1, box.top(), 1, box.height());
        p.panel->OnBlinkTick();  // shown
        EXPECT_FALSE(AllColour(p.Image(), box, UNLIT)) << c.areaCode;
        p.panel->OnBlinkTick();  // hidden
        const QImage hidden = p.Image();
        EXPECT_TRUE(AllColour(hidden, box, UNLIT)) << c.areaCode;
        EXPECT_EQ(CountColour(hidden, leftOfBox, UNLIT), 0) << c.areaCode;
        EXPECT_EQ(CountColour(hidden, rightOfBox, UNLIT), 0) << c.areaCode;

        // Leaving AREA mode stops the blink and shows the digit again.
        p.state.m_strSlot[LCD_MODE] = "VEL";
        EXPECT_FALSE(AllColour(p.Image(), box, UNLIT)) << c.areaCode;
        EXPECT_FALSE(p.panel->IsBlinking());
    }
}

TEST(MeterPanel, BlinkKeepsTimeWhileFramesRepaintTheLcdFasterThanItsPeriod) {
    Panel p;
    p.state.m_bBacklight = true;
    p.state.m_strSlot[LCD_MAIN_VALUE] = "00.00";
    p.state.m_strSlot[LCD_MODE] = "AREA";
    p.state.m_nAreaCode = 1;
    const QRect box = p.Client(CMeterPanel::AreaBlinkBox("00.00", 1, p.panel->MainValueX("00.00")));
    bool hidden = false;
    QElapsedTimer clock;
    clock.start();
    while (!hidden && clock.elapsed() < 3000) {
        p.panel->InvalidateLcd();
        hidden = AllColour(p.Image(), box, UNLIT);
        QTest::qWait(50);
    }
    EXPECT_TRUE(hidden);
}

TEST(MeterPanel, ClickSendsThePressCommandOnce) {
    Panel p;
    for (const MeterKey key : AllKeys()) {
        p.sent.clear();
        QTest::mouseClick(p.panel->windowHandle(), Qt::LeftButton, {}, p.KeyCentre(key));
        EXPECT_EQ(p.sent, std::vector<CommandPacket>{KeyPressPacket(key)}) << KeyInfo(key).name;
    }
}

TEST(MeterPanel, DoubleClickSendsPressAndDoubleClickCommands) {
    Panel p;
    for (const MeterKey key : AllKeys()) {
        p.sent.clear();
        QTest::mouseDClick(p.panel->windowHandle(), Qt::LeftButton, {}, p.KeyCentre(key));
        std::vector<CommandPacket> expected{KeyPressPacket(key)};
        // The lower HOLD, IRT and power keys have no double-click command.
        if (const auto dbl = KeyDoubleClickPacket(key)) {
            expected.push_back(*dbl);
        }
        EXPECT_EQ(p.sent, expected) << KeyInfo(key).name;
    }
}

TEST(MeterPanel, HeldKeyPressesAgainOnEveryRedrawWithTheKeyCursor) {
    Panel p;
    QWindow* window = p.panel->windowHandle();
    CMeterKeyButton* key = p.panel->KeyButton(MeterKey::UNITS);
    const CommandPacket press = KeyPressPacket(MeterKey::UNITS);

    QTest::mousePress(window, Qt::LeftButton, {}, p.KeyCentre(MeterKey::UNITS));
    EXPECT_EQ(p.sent.size(), 1u);
    EXPECT_EQ(key->cursor().shape(), Qt::BitmapCursor);
    EXPECT_EQ(key->cursor().hotSpot(), QPoint(12, 1));
    EXPECT_EQ(key->cursor().pixmap().size(), QSize(32, 32));

    key->repaint();
    EXPECT_EQ(p.sent.size(), 2u);
    // Out of the key and back in while held.
    QTest::mouseMove(window, QPoint(5, 5));
    EXPECT_EQ(p.sent.size(), 2u);
    QTest::mouseMove(window, p.KeyCentre(MeterKey::UNITS));
    EXPECT_EQ(p.sent, std::vector<CommandPacket>(3, press));

    QTest::mouseRelease(window, Qt::LeftButton, {}, p.KeyCentre(MeterKey::UNITS));
    EXPECT_EQ(p.sent.size(), 3u);
    EXPECT_NE(key->cursor().shape(), Qt::BitmapCursor);
}

}  // namespace

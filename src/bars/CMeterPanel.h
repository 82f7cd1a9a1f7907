// The drawn meter: its front picture, the LCD repeating the meter's display texts, and the
// nine keys that press the meter's keys remotely. It reads the display state and the
// link-lost flag at paint time and only draws them; it interprets no readings.
#pragma once

#include <QBasicTimer>
#include <QFont>
#include <QFrame>
#include <QPixmap>
#include <array>
#include <string>

#include "link/MeterCommand.h"
#include "live/PanelState.h"

namespace qf {

class CMeterKeyButton;

class CMeterPanel : public QFrame {
    Q_OBJECT
public:
    // Both references must outlive the panel; they are read at every paint.
    CMeterPanel(const PanelState& state, const bool& linkLost, QWidget* parent = nullptr);

    CMeterKeyButton* KeyButton(MeterKey key) const;
    bool IsBlinking() const { return m_blinkTimer.isActive(); }

    QSize sizeHint() const override;
    // Down to the lowest key: shorter, the panel hides a key.
    QSize minimumSizeHint() const override;

    // In the client area (inside the sunken edge).
    static constexpr QRect LCD_RECT{52, 125, 114, 150};
    static constexpr int STRIP_TOP = 600;
    static constexpr int BLINK_PERIOD_MS = 200;

    // The main value ends here; texts keep this far inside the LCD window's left edge.
    static constexpr int MAIN_VALUE_RIGHT = 132;
    static constexpr int LCD_INSET = 3;

    // The box that hides the blinking AREA digit: digit positions step 17 px before the
    // decimal point and 16 px from it on, counted from where the main value is drawn
    // (`textX`; -1: where the layout puts it, 132 - 16 x its length).
    static QRect AreaBlinkBox(const std::string& mainValue, int areaCode, int textX = -1);
    // Where the main value starts: "+OL" and "-OL" at the window's left, any other text
    // right-aligned to end at MAIN_VALUE_RIGHT.
    int MainValueX(const std::string& mainValue) const;

public slots:
    // After each valid frame: repaint the LCD only.
    void InvalidateLcd();
    // One tick of the AREA digit blink; public so that tests can drive it.
    void OnBlinkTick();

signals:
    // Key presses and double clicks, as command packets for the link to write.
    void commandReady(const qf::CommandPacket& packet);

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void timerEvent(QTimerEvent* event) override;

private:
    void DrawSlot(QPainter& painter, const QFont& font, int x, int y, const std::string& text);
    void DrawDisplay(QPainter& painter);

    const PanelState& m_state;
    const bool& m_bLinkLost;
    QPixmap m_picture;
    std::array<CMeterKeyButton*, METER_KEY_COUNT> m_keys{};
    QFont m_fontUpper;
    QFont m_fontMain;
    QFont m_fontSmall;
    QFont m_fontHold;
    QFont m_fontMark;
    QBasicTimer m_blinkTimer;
    bool m_bBlinkToggle = true;
    bool m_bDigitCovered = false;
};

}  // namespace qf

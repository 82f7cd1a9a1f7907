#include "bars/CMeterPanel.h"

#include <QFontMetricsF>
#include <QKeyEvent>
#include <QPainter>
#include <QTimerEvent>
#include <QtMath>
#include <algorithm>

#include "bars/BarKeys.h"
#include "bars/CMeterKeyButton.h"
#include "bars/MeterArt.h"
#include "ui/Fonts.h"
#include "ui/Palette.h"

namespace qf {

namespace {

const QColor LCD_UNLIT(168, 191, 163);
const QColor LCD_BACKLIT(175, 238, 238);
const QColor OFFLINE_RED(255, 0, 0);

// Arial sized by its whole character cell (ascent + descent) rather than its em.
QFont ArialByCell(qreal cellHeight, QFont::Weight weight) {
    const QFontMetricsF probe(ArialFont(100, weight));
    return ArialFont(qRound(cellHeight * 100.0 / (probe.ascent() + probe.descent())), weight);
}

QFont LcdDigitsFont(qreal cellHeight, qreal digitAdvance) {
    const QFont font = ArialByCell(cellHeight, QFont::Bold);
    return Stretched(font, digitAdvance, QFontMetricsF(font).horizontalAdvance(QLatin1Char('0')));
}

QFont LcdThinFont(int charHeight, qreal averageWidth) {
    const QFont font = ArialFont(charHeight, QFont::Thin);
    return Stretched(font, averageWidth, QFontMetricsF(font).averageCharWidth());
}

int Len(const std::string& text) {
    return static_cast<int>(text.size());
}

}  // namespace

CMeterPanel::CMeterPanel(const PanelState& state, const bool& linkLost, QWidget* parent)
    : QFrame(parent),
      m_state(state),
      m_bLinkLost(linkLost),
      // The main value's digits step 17 px, which the AREA blink box assumes; the upper
      // font keeps the same proportions at its smaller size.
      m_fontUpper(LcdDigitsFont(55, 17.0 * 12.0 / 16.0)),
      m_fontMain(LcdDigitsFont(75, 17.0)),
      m_fontSmall(LcdThinFont(10, 4)),
      m_fontHold(LcdThinFont(10, 3)),
      m_fontMark(ArialFont(5, QFont::Thin)) {
    setFrameStyle(QFrame::WinPanel | QFrame::Sunken);
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_picture = QPixmap::fromImage(MeterPicture());
    for (int i = 0; i < METER_KEY_COUNT; ++i) {
        const MeterKey key = static_cast<MeterKey>(i);
        auto* button = new CMeterKeyButton(KeyInfo(key).controlId, this);
        m_keys[i] = button;
        connect(button, &CMeterKeyButton::commandReady, this, &CMeterPanel::commandReady);
        connect(button, &CMeterKeyButton::doubleClicked, this, [this, key] {
            if (const auto packet = KeyDoubleClickPacket(key)) {
                emit commandReady(*packet);
            }
        });
    }
}

CMeterKeyButton* CMeterPanel::KeyButton(MeterKey key) const {
    return m_keys.at(static_cast<std::size_t>(key));
}

QSize CMeterPanel::sizeHint() const {
    return QSize(METER_PICTURE_WIDTH, METER_PICTURE_HEIGHT) + QSize(2, 2) * frameWidth();
}

QSize CMeterPanel::minimumSizeHint() const {
    int bottom = 0;
    for (int i = 0; i < METER_KEY_COUNT; ++i) {
        bottom = std::max(bottom, KeyRect(static_cast<MeterKey>(i)).bottom() + 1);
    }
    constexpr int BELOW_KEYS = 8;
    return QSize(METER_PICTURE_WIDTH, bottom + BELOW_KEYS) + QSize(2, 2) * frameWidth();
}

QRect CMeterPanel::AreaBlinkBox(const std::string& mainValue, int areaCode, int textX) {
    const std::size_t point = mainValue.find('.');
    const int d = point == std::string::npos ? -1 : static_cast<int>(point);
    const int e = areaCode;
    // The boxes of the layout fit a text that starts at 132 - 16 x len; they move with it.
    const int shift = textX < 0 ? 0 : textX - (MAIN_VALUE_RIGHT - 16 * Len(mainValue));
    if (e < d) {
        return QRect(17 * e + 52 + shift, 200, 18, 75);
    }
    return QRect(16 * e + 64 + shift, 200, 20, 75);
}

int CMeterPanel::MainValueX(const std::string& mainValue) const {
    const qreal width =
        QFontMetricsF(m_fontMain).horizontalAdvance(QString::fromStdString(mainValue));
    const int left = LCD_RECT.left() + LCD_INSET;
    if (mainValue == "+OL" || mainValue == "-OL") {
        return left;
    }
    // Right-aligned by the real width, which the layout's 16 px per character only
    // approximates, and never over the window's left edge.
    return std::max(left, MAIN_VALUE_RIGHT - qCeil(width));
}

void CMeterPanel::InvalidateLcd() {
    update(LCD_RECT.translated(contentsRect().topLeft()));
}

void CMeterPanel::OnBlinkTick() {
    // The digit shows for one tick and hides for the next.
    if (m_bBlinkToggle) {
        m_bBlinkToggle = false;
        m_bDigitCovered = false;
        InvalidateLcd();
    } else {
        m_bBlinkToggle = true;
        m_bDigitCovered = true;
        const QRect box = AreaBlinkBox(m_state.m_strSlot[LCD_MAIN_VALUE], m_state.m_nAreaCode);
        update(box.translated(contentsRect().topLeft()));
    }
}

void CMeterPanel::timerEvent(QTimerEvent* event) {
    if (event->timerId() == m_blinkTimer.timerId()) {
        OnBlinkTick();
        return;
    }
    QFrame::timerEvent(event);
}

void CMeterPanel::keyPressEvent(QKeyEvent* event) {
    if (!SwallowEnterEscape(event)) {
        QFrame::keyPressEvent(event);
    }
}

void CMeterPanel::DrawSlot(QPainter& painter, const QFont& font, int x, int y,
                           const std::string& text) {
    if (text.empty()) {
        return;
    }
    // Slot points are the top-left corner of the text cell. The layout's points at the
    // window's very edge put our letters on it: they keep a little inside.
    const QFontMetricsF metrics(font);
    const qreal capTop = metrics.ascent() - metrics.capHeight();
    const qreal left = std::max<qreal>(x, LCD_RECT.left() + LCD_INSET);
    const qreal top = std::max<qreal>(y, LCD_RECT.top() + LCD_INSET - capTop);
    painter.setFont(font);
    painter.drawText(QPointF(left, top + metrics.ascent()), QString::fromStdString(text));
}

void CMeterPanel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QRect client = contentsRect();
    painter.setClipRect(client);
    // The picture tiles from the client origin.
    painter.setBrushOrigin(client.topLeft());
    painter.fillRect(client, QBrush(m_picture));
    painter.translate(client.topLeft());

    painter.fillRect(LCD_RECT, m_state.m_bBacklight ? LCD_BACKLIT : LCD_UNLIT);
    if (client.height() > STRIP_TOP) {
        painter.fillRect(QRect(0, STRIP_TOP, client.width(), client.height() - STRIP_TOP),
                         PANEL_GREY);
    }

    if (m_bLinkLost) {
        painter.setPen(OFFLINE_RED);
        DrawSlot(painter, m_fontUpper, 53, 160, "OFFLINE");
        m_blinkTimer.stop();
        m_bDigitCovered = false;
    } else {
        DrawDisplay(painter);
    }

    painter.resetTransform();
    painter.setClipping(false);
    drawFrame(&painter);
}

void CMeterPanel::DrawDisplay(QPainter& painter) {
    const auto& slot = m_state.m_strSlot;
    painter.setPen(Qt::black);

    DrawSlot(painter, m_fontUpper, 55, 137, slot[LCD_UPPER_VALUE]);
    DrawSlot(painter, m_fontUpper, 135, 137, slot[LCD_UPPER_VALUE2]);

    const int upperLen = Len(slot[LCD_UPPER_VALUE]);
    const std::string& upperUnit = slot[LCD_UPPER_UNIT];
    DrawSlot(painter, m_fontSmall, 57 + 12 * upperLen, 155, upperUnit);
    if (upperUnit == "C" || upperUnit == "F") {
        DrawSlot(painter, m_fontMark, 53 + 12 * upperLen, 155, "O");
    }

    DrawSlot(painter, m_fontSmall, 102, 185, slot[LCD_MODE]);
    DrawSlot(painter, m_fontSmall, 55, 185, slot[LCD_IRTEMP]);
    DrawSlot(painter, m_fontSmall, 126, 125, slot[LCD_PCLINK]);
    DrawSlot(painter, m_fontSmall, 52, 125, slot[LCD_REC_TOP]);
    DrawSlot(painter, m_fontSmall, 75, 125, slot[LCD_MAXMIN_TOP]);
    DrawSlot(painter, m_fontSmall, 52, 260, slot[LCD_REC_BOTTOM]);
    DrawSlot(painter, m_fontSmall, 75, 260, slot[LCD_MAXMIN_BOTTOM]);
    DrawSlot(painter, m_fontSmall, 75, 260, slot[LCD_AVG]);
    DrawSlot(painter, m_fontSmall, 130, 260, slot[LCD_RANGE]);

    DrawSlot(painter, m_fontHold, 105, 125, slot[LCD_HOLD_TOP]);
    DrawSlot(painter, m_fontHold, 105, 260, slot[LCD_HOLD_BOTTOM]);

    const std::string& main = slot[LCD_MAIN_VALUE];
    const int mainX = MainValueX(main);
    DrawSlot(painter, m_fontMain, mainX, 190, main);

    const bool area = slot[LCD_MODE] == "AREA";
    if (area) {
        // Started only when idle: frames repaint the LCD more often than the blink period,
        // and restarting would hold the blink off for as long as frames keep coming.
        if (!m_blinkTimer.isActive()) {
            m_blinkTimer.start(BLINK_PERIOD_MS, this);
        }
    } else {
        m_blinkTimer.stop();
        m_bDigitCovered = false;
    }

    const std::string& mainUnit = slot[LCD_MAIN_UNIT];
    DrawSlot(painter, m_fontSmall, 140, 220, mainUnit);
    // The marks stand at the top of the unit's letters; the squared mark right after them,
    // wherever our narrower or wider face ends "ft" or "m".
    const QFontMetricsF small(m_fontSmall);
    const QFontMetricsF mark(m_fontMark);
    const int markY =
        qRound(220 + small.ascent() - small.capHeight() - (mark.ascent() - mark.capHeight()));
    if (mainUnit == "ft" || mainUnit == "m") {
        const int x = qRound(140 + small.horizontalAdvance(QString::fromStdString(mainUnit)));
        DrawSlot(painter, m_fontMark, x, markY, "2");
    }
    if (mainUnit == "C" || mainUnit == "F") {
        DrawSlot(painter, m_fontMark, 136, markY, "O");
    }

    if (area && m_bDigitCovered) {
        // The box is the unlit colour whatever the backlight.
        painter.fillRect(AreaBlinkBox(main, m_state.m_nAreaCode, mainX), LCD_UNLIT);
    }
}

}  // namespace qf

#include "bars/CReadingsBar.h"

#include <QFontMetricsF>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QTimerEvent>
#include <algorithm>

#include "bars/BarKeys.h"
#include "bars/CNumericEdit.h"
#include "bars/CSpinButton.h"
#include "store/ConfigFile.h"
#include "store/Settings.h"
#include "ui/Fonts.h"
#include "ui/Palette.h"

namespace qf {

namespace {

const QColor INDICATOR_OFF(181, 181, 181);
const QColor INDICATOR_ON(255, 0, 0);

// Column positions are dialog units of the bar's layout font, two pixels each.
constexpr int DLU = 2;
constexpr int ROW_PITCH = 16 * DLU;
constexpr int CONTROL_TOP = 2;
constexpr int CONTROL_HEIGHT = 24;
constexpr int INDICATOR_TOP = 6;
constexpr int INDICATOR_SIZE = 15;
constexpr int INDICATOR_HIGH_X = 378;
constexpr int INDICATOR_LOW_X = 485;
constexpr int SPIN_WIDTH = 16;

struct Column {
    int x;      // dialog units
    int width;  // pixels
};
constexpr Column CHANNEL_LABEL{1, 48};
constexpr Column MAX_LABEL{26, 34};
constexpr Column MAX_EDIT{44, 90};
constexpr Column MIN_LABEL{92, 30};
constexpr Column MIN_EDIT{108, 90};
constexpr Column ALARM_HI_LABEL{155, 66};
constexpr Column ALARM_LOW_LABEL{202, 78};
constexpr Column HI_LIMIT_LABEL{256, 52};
constexpr Column HI_LIMIT_EDIT{283, 50};
constexpr Column LOW_LIMIT_LABEL{318, 66};
constexpr Column LOW_LIMIT_EDIT{352, 50};

constexpr const char* CHANNEL_CAPTION[READING_CHANNELS] = {"AirT: ", "IRT :   ", "AirV:"};

QRect Cell(const Column& c, int channel) {
    return QRect(c.x * DLU, channel * ROW_PITCH + CONTROL_TOP, c.width, CONTROL_HEIGHT);
}

QFont ChannelFont() {
    const QFont font = RomanFont(14);
    return Stretched(font, 8.0, QFontMetricsF(font).averageCharWidth());
}

void PaintOnBarBackground(QWidget* w) {
    QPalette palette = w->palette();
    palette.setColor(QPalette::Window, BAR_BACKGROUND);
    palette.setColor(QPalette::Base, BAR_BACKGROUND);
    w->setPalette(palette);
}

// Leaves an unchanged field alone, and keeps the caret where the user was typing.
void ShowText(QLineEdit* edit, const std::string& text) {
    const QString shown = QString::fromStdString(text);
    if (edit->text() == shown) {
        return;
    }
    const int caret = edit->cursorPosition();
    edit->setText(shown);
    // Read-only fields show their start.
    edit->setCursorPosition(edit->isReadOnly() ? 0 : std::min<int>(caret, shown.size()));
}

}  // namespace

CReadingsBar::CReadingsBar(CReadingsLogic& logic, const DisplayUnits& units, QWidget* parent)
    : QWidget(parent), m_logic(logic), m_units(units) {
    m_bBlinkToggle.fill(true);
    m_squareColor.fill(INDICATOR_OFF);
    setAttribute(Qt::WA_OpaquePaintEvent);
    PaintOnBarBackground(this);
    for (int ch = 0; ch < READING_CHANNELS; ++ch) {
        BuildRow(ch);
    }
    RefreshFromMembers();
}

CReadingsBar::~CReadingsBar() {
    // Closing the window takes the focus from an edit, which would commit into a bar that
    // is already half gone.
    for (int ch = 0; ch < READING_CHANNELS; ++ch) {
        m_hiEdit[ch]->disconnect(this);
        m_lowEdit[ch]->disconnect(this);
    }
}

void CReadingsBar::BuildRow(int ch) {
    const QFont labelFont = DialogLabelFont(14);
    const auto label = [&](const Column& c, const char* text, const QFont& font) {
        auto* l = new QLabel(QString::fromLatin1(text), this);
        l->setFont(font);
        l->setGeometry(Cell(c, ch));
        l->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    };
    const auto readOnly = [&](const Column& c) {
        auto* e = new QLineEdit(this);
        e->setReadOnly(true);
        e->setFocusPolicy(Qt::NoFocus);
        e->setFont(labelFont);
        e->setGeometry(Cell(c, ch));
        PaintOnBarBackground(e);
        return e;
    };
    const auto limit = [&](const Column& c, bool high) {
        auto* e = new CNumericEdit(this);
        e->setFont(RomanFont(12));
        e->setGeometry(Cell(c, ch));
        PaintOnBarBackground(e);
        auto* spin = new CSpinButton(this);
        spin->setGeometry(e->geometry().right() + 1, e->y(), SPIN_WIDTH, CONTROL_HEIGHT);
        // Typed text counts once it is committed: Enter, the focus leaving, or a spin step.
        // Checked per keystroke, "35" would pass through a clamped "3" and "-" would be 0.
        connect(e, &QLineEdit::editingFinished, this, [this, ch, high] { CommitLimit(ch, high); });
        connect(spin, &CSpinButton::stepped, this, [this, ch, high](int steps) {
            CommitLimit(ch, high);
            m_logic.StepLimit(ch, high, steps, m_units.m_fSpeedFactor);
            RefreshFromMembers();
        });
        (high ? m_hiEdit : m_lowEdit)[ch] = e;
        (high ? m_hiSpin : m_lowSpin)[ch] = spin;
    };

    label(CHANNEL_LABEL, CHANNEL_CAPTION[ch], ChannelFont());
    label(MAX_LABEL, "Max", labelFont);
    m_maxEdit[ch] = readOnly(MAX_EDIT);
    label(MIN_LABEL, "Min", labelFont);
    m_minEdit[ch] = readOnly(MIN_EDIT);
    label(ALARM_HI_LABEL, "Alarm Hi", labelFont);
    label(ALARM_LOW_LABEL, "Alarm Low", labelFont);
    label(HI_LIMIT_LABEL, "Hi Limit", labelFont);
    limit(HI_LIMIT_EDIT, true);
    label(LOW_LIMIT_LABEL, "Low Limit", labelFont);
    limit(LOW_LIMIT_EDIT, false);
}

QSize CReadingsBar::sizeHint() const {
    return QSize(431 * DLU, 100);
}

QRect CReadingsBar::IndicatorRect(int indicator) {
    const int x = indicator % 2 == 0 ? INDICATOR_HIGH_X : INDICATOR_LOW_X;
    const int y = (indicator / 2) * ROW_PITCH + INDICATOR_TOP;
    return QRect(x, y, INDICATOR_SIZE, INDICATOR_SIZE);
}

CNumericEdit* CReadingsBar::LimitEdit(int channel, bool high) const {
    return (high ? m_hiEdit : m_lowEdit).at(channel);
}

CSpinButton* CReadingsBar::LimitSpin(int channel, bool high) const {
    return (high ? m_hiSpin : m_lowSpin).at(channel);
}

void CReadingsBar::LoadLimits(const CConfigFile& file) {
    const Settings s = LoadSettings(file);
    m_logic.LoadLimits({s.m_strHiLimit[0], s.m_strHiLimit[1], s.m_strHiLimit[2]},
                       {s.m_strLowLimit[0], s.m_strLowLimit[1], s.m_strLowLimit[2]});
    RefreshFromMembers();
}

void CReadingsBar::StoreLimits(Settings& settings) const {
    for (int ch = 0; ch < READING_CHANNELS; ++ch) {
        settings.m_strHiLimit[ch] = m_logic.m_strHiLimit[ch];
        settings.m_strLowLimit[ch] = m_logic.m_strLowLimit[ch];
    }
}

void CReadingsBar::RefreshFromMembers() {
    for (int ch = 0; ch < READING_CHANNELS; ++ch) {
        ShowText(m_maxEdit[ch], m_logic.m_strMaxText[ch]);
        ShowText(m_minEdit[ch], m_logic.m_strMinText[ch]);
        // A limit being typed keeps its text until it is committed.
        if (!m_hiEdit[ch]->isModified()) {
            ShowText(m_hiEdit[ch], m_logic.m_strHiLimit[ch]);
        }
        if (!m_lowEdit[ch]->isModified()) {
            ShowText(m_lowEdit[ch], m_logic.m_strLowLimit[ch]);
        }
    }
}

void CReadingsBar::CommitLimit(int channel, bool high) {
    CNumericEdit* edit = LimitEdit(channel, high);
    if (!edit->isModified()) {
        return;
    }
    edit->setModified(false);
    m_logic.TypeLimit(channel, high, edit->text().toStdString());
    RefreshFromMembers();
}

void CReadingsBar::OnAlarmsChanged() {
    update();
}

void CReadingsBar::OnBlinkTick(int indicator) {
    if (indicator < 0 || indicator >= INDICATOR_COUNT) {
        return;
    }
    bool& toggle = m_bBlinkToggle[indicator];
    m_squareColor[indicator] = toggle ? INDICATOR_ON : BAR_BACKGROUND;
    toggle = !toggle;
    update(IndicatorRect(indicator));
}

void CReadingsBar::timerEvent(QTimerEvent* event) {
    for (int n = 0; n < INDICATOR_COUNT; ++n) {
        if (event->timerId() == m_blink[n].timerId()) {
            OnBlinkTick(n);
            return;
        }
    }
    QWidget::timerEvent(event);
}

void CReadingsBar::keyPressEvent(QKeyEvent* event) {
    if (!SwallowEnterEscape(event)) {
        QWidget::keyPressEvent(event);
    }
}

void CReadingsBar::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), BAR_BACKGROUND);
    for (int n = 0; n < INDICATOR_COUNT; ++n) {
        const int ch = n / 2;
        const bool alarm = n % 2 == 0 ? m_logic.m_bAlarmHi[ch] : m_logic.m_bAlarmLow[ch];
        if (!alarm) {
            m_squareColor[n] = INDICATOR_OFF;
            m_blink[n].stop();
        } else if (!m_blink[n].isActive()) {
            // Started only when idle, so that frequent repaints cannot hold the blink off.
            m_blink[n].start(BLINK_PERIOD_MS, this);
        }
        painter.fillRect(IndicatorRect(n), m_squareColor[n]);
    }
}

}  // namespace qf

// The readings and alarm bar: per channel (AirT, IRT, AirV) the running maximum and
// minimum, a blinking alarm-high and alarm-low square, and the two alarm limits, edited by
// typing or with spin buttons. The numbers and rules live in CReadingsLogic; this shows
// them and feeds edits back when they are committed (Enter, focus leaving, spin step).
#pragma once

#include <QBasicTimer>
#include <QColor>
#include <QWidget>
#include <array>

#include "live/ReadingsLogic.h"

class QLineEdit;

namespace qf {

class CConfigFile;
class CNumericEdit;
class CSpinButton;
struct Settings;

class CReadingsBar : public QWidget {
    Q_OBJECT
public:
    // Both references must outlive the bar. The alarm flags are read at paint time; the
    // units give the AirV spin step.
    CReadingsBar(CReadingsLogic& logic, const DisplayUnits& units, QWidget* parent = nullptr);
    ~CReadingsBar() override;

    // Limits as the settings file holds them, shown at once; not clamped.
    void LoadLimits(const CConfigFile& file);
    // The six limit texts as they stand, for writing at exit.
    void StoreLimits(Settings& settings) const;

    static constexpr int INDICATOR_COUNT = 6;
    static constexpr int BLINK_PERIOD_MS = 100;
    // Indicators in the order AirT high, AirT low, IRT high, IRT low, AirV high, AirV low.
    static int IndicatorIndex(int channel, bool high) { return 2 * channel + (high ? 0 : 1); }
    static QRect IndicatorRect(int indicator);

    CNumericEdit* LimitEdit(int channel, bool high) const;
    CSpinButton* LimitSpin(int channel, bool high) const;
    QLineEdit* MaxEdit(int channel) const { return m_maxEdit.at(channel); }
    QLineEdit* MinEdit(int channel) const { return m_minEdit.at(channel); }
    bool IsBlinking(int indicator) const { return m_blink.at(indicator).isActive(); }

    QSize sizeHint() const override;

public slots:
    // Shows the extremes and limits held by the logic in their fields.
    void RefreshFromMembers();
    // An alarm flag changed: repaint, and the indicators follow the flags.
    void OnAlarmsChanged();
    // One tick of an indicator's blink; public so that tests can drive it.
    void OnBlinkTick(int indicator);

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void timerEvent(QTimerEvent* event) override;

private:
    void BuildRow(int channel);
    // The text typed into a limit edit becomes the limit: parsed, clamped, one decimal.
    void CommitLimit(int channel, bool high);

    CReadingsLogic& m_logic;
    const DisplayUnits& m_units;

    std::array<QLineEdit*, READING_CHANNELS> m_maxEdit{};
    std::array<QLineEdit*, READING_CHANNELS> m_minEdit{};
    std::array<CNumericEdit*, READING_CHANNELS> m_hiEdit{};
    std::array<CNumericEdit*, READING_CHANNELS> m_lowEdit{};
    std::array<CSpinButton*, READING_CHANNELS> m_hiSpin{};
    std::array<CSpinButton*, READING_CHANNELS> m_lowSpin{};

    std::array<QBasicTimer, INDICATOR_COUNT> m_blink;
    std::array<bool, INDICATOR_COUNT> m_bBlinkToggle;
    // What each square shows between paints; a blinking square keeps its last tick's colour.
    std::array<QColor, INDICATOR_COUNT> m_squareColor;
};

}  // namespace qf

#include "live/ReadingsLogic.h"

#include <algorithm>
#include <utility>

#include "store/QFConstants.h"
#include "store/Settings.h"
#include "store/ValueText.h"

namespace qf {

namespace {

constexpr LimitRange CHANNEL_RANGE[READING_CHANNELS] = {
    {-10.0f, 140.0f}, {-60.0f, 940.0f}, {0.0f, 5900.0f}};
constexpr float IRT_TYPED_LOW_MAX = 500.0f;

bool ValidChannel(int channel) {
    return channel >= 0 && channel < READING_CHANNELS;
}

}  // namespace

CReadingsLogic::CReadingsLogic() {
    for (int ch = 0; ch < READING_CHANNELS; ++ch) {
        m_fMax[ch] = EXTREME_MAX_START;
        m_fMin[ch] = EXTREME_MIN_START;
    }
    LoadLimits({DEFAULT_HI_LIMIT[0], DEFAULT_HI_LIMIT[1], DEFAULT_HI_LIMIT[2]},
               {DEFAULT_LOW_LIMIT[0], DEFAULT_LOW_LIMIT[1], DEFAULT_LOW_LIMIT[2]});
}

void CReadingsLogic::LoadLimits(const std::array<std::string, 3>& hi,
                                const std::array<std::string, 3>& low) {
    for (int ch = 0; ch < READING_CHANNELS; ++ch) {
        m_strHiLimit[ch] = hi[ch];
        m_strLowLimit[ch] = low[ch];
        m_fHiLimit[ch] = ParseLimitFloat(hi[ch]);
        m_fLowLimit[ch] = ParseLimitFloat(low[ch]);
    }
}

bool CReadingsLogic::OnSample(float airT, float irt, float airV, const DisplayUnits& units) {
    const float values[READING_CHANNELS] = {airT, irt, airV};
    UpdateExtremes(values);
    UpdateExtremeTexts(units);
    return EvaluateAlarms(airT, irt, airV, units, m_bAlarmHi, m_bAlarmLow);
}

bool CReadingsLogic::ClearAlarms() {
    const std::array<bool, READING_CHANNELS> none{};
    const bool changed = m_bAlarmHi != none || m_bAlarmLow != none;
    m_bAlarmHi = none;
    m_bAlarmLow = none;
    return changed;
}

void CReadingsLogic::UpdateExtremes(const float values[READING_CHANNELS]) {
    for (int ch = 0; ch < READING_CHANNELS; ++ch) {
        const float v = values[ch];
        if (m_fMax[ch] <= v) {
            m_fMax[ch] = v;
        }
        if (m_fMin[ch] >= v && v > -100.0f) {
            m_fMin[ch] = v;
        }
    }
}

std::string CReadingsLogic::ExtremeText(int channel, float extreme,
                                        const DisplayUnits& units) const {
    if (channel == CH_AIRV) {
        if (units.m_fSpeedFactor == 1.0f) {
            return FormatFixed(extreme, 2) + units.m_strSpeedUnit;
        }
        const double s = double(extreme) * double(units.m_fSpeedFactor);
        return (s > 0.05 ? FormatCut(s, 1) : FormatFixed(s, 1)) + units.m_strSpeedUnit;
    }
    const bool fahrenheit = units.m_nTempUnit == 1;
    const double t = fahrenheit ? ToFahrenheit(extreme) : double(extreme);
    const char* suffix = fahrenheit ? " F" : " C";
    if (channel == CH_AIRT) {
        return FormatFixed(t, 1) + suffix;
    }
    if (extreme == IRT_STORED_OVER) {
        return "+OL";
    }
    if (extreme == IRT_STORED_UNDER) {
        return "-OL";
    }
    // IRT shows its tenth cut toward zero, like the meter.
    const bool cut = t > 0.05 || t < -0.05;
    return (cut ? FormatCut(t, 1) : FormatFixed(t, 1)) + suffix;
}

void CReadingsLogic::UpdateExtremeTexts(const DisplayUnits& units) {
    TextKey key{{m_fMax[0], m_fMax[1], m_fMax[2]},
                {m_fMin[0], m_fMin[1], m_fMin[2]},
                units.m_nTempUnit,
                units.m_fSpeedFactor,
                units.m_strSpeedUnit};
    if (m_bTextsMade && key == m_lastTextKey) {
        return;
    }
    m_lastTextKey = std::move(key);
    m_bTextsMade = true;
    for (int ch = 0; ch < READING_CHANNELS; ++ch) {
        if (m_fMax[ch] != EXTREME_MAX_START) {
            m_strMaxText[ch] = ExtremeText(ch, m_fMax[ch], units);
        }
        if (m_fMin[ch] != EXTREME_MIN_START) {
            m_strMinText[ch] = ExtremeText(ch, m_fMin[ch], units);
        }
    }
}

bool CReadingsLogic::EvaluateAlarms(float airT, float irt, float airV, const DisplayUnits& units,
                                    std::array<bool, 3>& alarmHi,
                                    std::array<bool, 3>& alarmLow) const {
    const bool fahrenheit = units.m_nTempUnit == 1;
    const double a = fahrenheit ? ToFahrenheit(airT) : double(airT);
    const double b = fahrenheit ? ToFahrenheit(irt) : double(irt);
    const double s = double(airV) * double(units.m_fSpeedFactor);
    const std::array<bool, 3> hi = {a >= m_fHiLimit[0], b >= m_fHiLimit[1], s >= m_fHiLimit[2]};
    const std::array<bool, 3> low = {-100.0 < a && a <= m_fLowLimit[0],
                                     -100.0 < b && b <= m_fLowLimit[1],
                                     0.0 <= s && s <= m_fLowLimit[2]};
    const bool changed = hi != alarmHi || low != alarmLow;
    alarmHi = hi;
    alarmLow = low;
    return changed;
}

LimitRange CReadingsLogic::Range(int channel, bool high, bool typed) {
    LimitRange r = CHANNEL_RANGE[ValidChannel(channel) ? channel : 0];
    if (channel == CH_IRT && !high && typed) {
        r.high = IRT_TYPED_LOW_MAX;
    }
    return r;
}

void CReadingsLogic::SetLimit(int channel, bool high, double value, bool typed) {
    const LimitRange r = Range(channel, high, typed);
    double v = std::clamp(value, double(r.low), double(r.high));
    // A high limit never goes below its low limit, nor a low limit above its high one.
    if (high) {
        v = std::max(v, double(m_fLowLimit[channel]));
        m_fHiLimit[channel] = static_cast<float>(v);
        m_strHiLimit[channel] = FormatFixed(m_fHiLimit[channel], 1);
    } else {
        v = std::min(v, double(m_fHiLimit[channel]));
        m_fLowLimit[channel] = static_cast<float>(v);
        m_strLowLimit[channel] = FormatFixed(m_fLowLimit[channel], 1);
    }
}

void CReadingsLogic::TypeLimit(int channel, bool high, const std::string& text) {
    if (!ValidChannel(channel)) {
        return;
    }
    SetLimit(channel, high, ParseLimitText(text), true);
}

void CReadingsLogic::StepLimit(int channel, bool high, int steps, float speedFactor) {
    if (!ValidChannel(channel)) {
        return;
    }
    double amount = steps;
    if (channel == CH_AIRV) {
        // 0.1 m/s in the current speed unit.
        amount = steps * double(speedFactor) * 0.1;
    }
    const float current = high ? m_fHiLimit[channel] : m_fLowLimit[channel];
    SetLimit(channel, high, double(current) + amount, false);
}

}  // namespace qf

// What the readings and alarm bar computes: running extremes with their texts, the six
// alarm conditions and the rules for editing the limits. The bar widget only shows it.
#pragma once

#include <array>
#include <string>

#include "store/DisplayUnits.h"

namespace qf {

inline constexpr int READING_CHANNELS = 3;  // AirT, IRT, AirV

inline constexpr float EXTREME_MAX_START = -300.0f;
inline constexpr float EXTREME_MIN_START = 6000.0f;

struct LimitRange {
    float low;
    float high;
};

class CReadingsLogic {
public:
    CReadingsLogic();

    // Limits as loaded: texts kept as they stand, values parsed, nothing clamped.
    void LoadLimits(const std::array<std::string, 3>& hi, const std::array<std::string, 3>& low);

    // Per valid frame: the stored AirT and IRT (C) and AirV (m/s) of the new sample.
    // Updates extremes and texts, then the alarm flags; true when any flag changed.
    bool OnSample(float airT, float irt, float airV, const DisplayUnits& units);
    // The link was lost: no alarm stands. True when a flag changed.
    bool ClearAlarms();

    void UpdateExtremes(const float values[READING_CHANNELS]);
    void UpdateExtremeTexts(const DisplayUnits& units);
    bool EvaluateAlarms(float airT, float irt, float airV, const DisplayUnits& units,
                        std::array<bool, 3>& alarmHi, std::array<bool, 3>& alarmLow) const;

    // A limit edit's text was committed: parse, clamp, show one decimal.
    void TypeLimit(int channel, bool high, const std::string& text);
    // A spin button reported `steps` clicks (signed).
    void StepLimit(int channel, bool high, int steps, float speedFactor);

    // The channel range a limit is clamped to; the IRT low limit is bounded by 500 when
    // typed but by 940 when stepped.
    static LimitRange Range(int channel, bool high, bool typed);

    float m_fHiLimit[READING_CHANNELS];
    float m_fLowLimit[READING_CHANNELS];
    std::string m_strHiLimit[READING_CHANNELS];
    std::string m_strLowLimit[READING_CHANNELS];
    std::string m_strMaxText[READING_CHANNELS];
    std::string m_strMinText[READING_CHANNELS];
    float m_fMax[READING_CHANNELS];
    float m_fMin[READING_CHANNELS];
    // Alarm flags, AirT, IRT, AirV.
    std::array<bool, READING_CHANNELS> m_bAlarmHi{};
    std::array<bool, READING_CHANNELS> m_bAlarmLow{};

private:
    // What the extreme texts were last made from; a frame that changes none of it
    // (the usual case) reformats nothing.
    struct TextKey {
        float max[READING_CHANNELS];
        float min[READING_CHANNELS];
        int tempUnit;
        float speedFactor;
        std::string speedUnit;
        bool operator==(const TextKey&) const = default;
    };
    TextKey m_lastTextKey{};
    bool m_bTextsMade = false;

    void SetLimit(int channel, bool high, double value, bool typed);
    std::string ExtremeText(int channel, float extreme, const DisplayUnits& units) const;
};

}  // namespace qf

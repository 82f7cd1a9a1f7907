#include <gtest/gtest.h>

#include "live/ReadingsLogic.h"
#include "store/QFConstants.h"

namespace {

using namespace qf;

DisplayUnits Units(int temp, int speed, const char* speedText, float factor) {
    DisplayUnits u;
    u.m_nTempUnit = temp;
    u.m_strTempUnit = temp ? "F" : "C";
    u.m_nSpeedUnit = speed;
    u.m_strSpeedUnit = speedText;
    u.m_fSpeedFactor = factor;
    return u;
}

const DisplayUnits MS = Units(0, 0, "m/s", 1.0f);
const DisplayUnits KMH = Units(0, 2, "km/h", 3.6f);
const DisplayUnits FTMIN_F = Units(1, 1, "ft/min", 196.87f);

struct ExtremeCase {
    const char* what;
    float airT, irt, airV;
    DisplayUnits units;
    const char *maxT, *maxI, *maxV;
};

TEST(ReadingsLogic, ExtremeTexts) {
    const ExtremeCase cases[] = {
        {"celsius", 23.46f, 23.46f, 1.236f, MS, "23.5 C", "23.4 C", "1.24m/s"},
        {"kmh cut", 20, 20, 1.236f, KMH, "20.0 C", "20.0 C", "4.4km/h"},
        {"shown digits kept", 25.0f, 25.0f, 1.5f, KMH, "25.0 C", "25.0 C", "5.4km/h"},
        {"fahrenheit", 20.0f, 20.0f, 1.5f, FTMIN_F, "68.0 F", "68.0 F", "295.3ft/min"},
        {"over range", 0, 510.0f, 0, FTMIN_F, "32.0 F", "+OL", "0.0ft/min"},
        {"under range", 0, -55.0f, 0, MS, "0.0 C", "-OL", "0.00m/s"},
        {"negative cut", -20.06f, -20.06f, 0, MS, "-20.1 C", "-20.0 C", "0.00m/s"},
    };
    for (const auto& c : cases) {
        CReadingsLogic r;
        r.OnSample(c.airT, c.irt, c.airV, c.units);
        EXPECT_EQ(r.m_strMaxText[0], c.maxT) << c.what;
        EXPECT_EQ(r.m_strMaxText[1], c.maxI) << c.what;
        EXPECT_EQ(r.m_strMaxText[2], c.maxV) << c.what;
        EXPECT_EQ(r.m_strMinText[0], c.maxT) << c.what;
    }
}

TEST(ReadingsLogic, ExtremesWidenAndSkipMissing) {
    CReadingsLogic r;
    r.OnSample(NO_VALUE, NO_VALUE, NO_VALUE, MS);
    for (int ch = 0; ch < 3; ++ch) {
        EXPECT_EQ(r.m_fMax[ch], EXTREME_MAX_START);
        EXPECT_EQ(r.m_fMin[ch], EXTREME_MIN_START);
        EXPECT_EQ(r.m_strMaxText[ch], "");
        EXPECT_EQ(r.m_strMinText[ch], "");
    }
    r.OnSample(20, -100, 3, MS);
    r.OnSample(25, 30, 1, MS);
    r.OnSample(22, 10, 2, MS);
    EXPECT_EQ(r.m_strMaxText[0], "25.0 C");
    EXPECT_EQ(r.m_strMinText[0], "20.0 C");
    EXPECT_EQ(r.m_strMinText[1], "10.0 C");  // -100 is never a minimum
    EXPECT_EQ(r.m_strMaxText[2], "3.00m/s");
    EXPECT_EQ(r.m_strMinText[2], "1.00m/s");
}

struct AlarmCase {
    const char* what;
    float airT, irt, airV;
    DisplayUnits units;
    std::array<bool, 3> hi, low;
};

TEST(ReadingsLogic, AlarmsWithDefaultLimits) {
    const AlarmCase cases[] = {
        {"quiet", 20, 20, 1, MS, {0, 0, 0}, {0, 0, 0}},
        {"still air", 20, 20, 0, MS, {0, 0, 0}, {0, 0, 1}},
        {"missing air", 20, 20, NO_VALUE, MS, {0, 0, 0}, {0, 0, 0}},
        {"at high limit", 140, 940, 5900, MS, {1, 1, 1}, {0, 0, 0}},
        {"freezing", 0, -5, 1, MS, {0, 0, 0}, {1, 1, 0}},
        {"too cold to count", -100, NO_VALUE, 1, MS, {0, 0, 0}, {0, 0, 0}},
        {"fahrenheit limit", 60.01f, 20, 1, FTMIN_F, {1, 0, 0}, {0, 0, 0}},
        {"fahrenheit below", 59.9f, 20, 1, FTMIN_F, {0, 0, 0}, {0, 0, 0}},
        {"fast in ft/min", 20, 20, 30, FTMIN_F, {0, 0, 1}, {0, 0, 0}},
    };
    for (const auto& c : cases) {
        CReadingsLogic r;
        r.OnSample(c.airT, c.irt, c.airV, c.units);
        EXPECT_EQ(r.m_bAlarmHi, c.hi) << c.what;
        EXPECT_EQ(r.m_bAlarmLow, c.low) << c.what;
    }
}

TEST(ReadingsLogic, TypedLimitsAreClampedAndShownWithOneDecimal) {
    struct Case {
        int ch;
        bool high;
        const char* text;
        float value;
        const char* shown;
    } cases[] = {
        {CH_IRT, false, "600", 500.0f, "500.0"},  // typed IRT low stops at 500
        {CH_AIRT, true, "25.56abc", 25.56f, "25.6"}, {CH_AIRT, true, "abc", 0.0f, "0.0"},
        {CH_AIRT, true, "-50", 0.0f, "0.0"},  // range -10, then not below the low limit 0
        {CH_AIRT, false, "-50", -10.0f, "-10.0"},    {CH_AIRV, true, "9999", 5900.0f, "5900.0"},
        {CH_AIRV, false, "7000", 5900.0f, "5900.0"}, {CH_IRT, true, "1e3", 940.0f, "940.0"},
        {CH_IRT, true, "nan", 0.0f, "0.0"},
    };
    for (const auto& c : cases) {
        CReadingsLogic r;
        r.TypeLimit(c.ch, c.high, c.text);
        const float v = c.high ? r.m_fHiLimit[c.ch] : r.m_fLowLimit[c.ch];
        const std::string& s = c.high ? r.m_strHiLimit[c.ch] : r.m_strLowLimit[c.ch];
        EXPECT_FLOAT_EQ(v, c.value) << c.text;
        EXPECT_EQ(s, c.shown) << c.text;
    }
}

TEST(ReadingsLogic, SpinSteps) {
    CReadingsLogic r;
    r.TypeLimit(CH_IRT, false, "600");
    r.StepLimit(CH_IRT, false, 1, 1.0f);
    EXPECT_EQ(r.m_strLowLimit[CH_IRT], "501.0");  // stepping may pass 500

    r.StepLimit(CH_AIRV, false, 1, 196.87f);
    EXPECT_FLOAT_EQ(r.m_fLowLimit[CH_AIRV], 19.687f);
    EXPECT_EQ(r.m_strLowLimit[CH_AIRV], "19.7");
    r.StepLimit(CH_AIRV, true, -1, 1.0f);
    EXPECT_FLOAT_EQ(r.m_fHiLimit[CH_AIRV], 5899.9f);

    r.StepLimit(CH_AIRT, true, 10, 1.0f);
    EXPECT_EQ(r.m_strHiLimit[CH_AIRT], "140.0");
    r.StepLimit(CH_AIRT, false, 500, 1.0f);  // not above the high limit
    EXPECT_EQ(r.m_strLowLimit[CH_AIRT], "140.0");
    r.StepLimit(7, true, 1, 1.0f);  // no such channel: ignored
}

TEST(ReadingsLogic, LoadedLimitsKeepTheirTexts) {
    CReadingsLogic r;
    r.LoadLimits({"25.50", "x", "6000"}, {"-40", "0.0", "0.0"});
    EXPECT_EQ(r.m_strHiLimit[0], "25.50");
    EXPECT_FLOAT_EQ(r.m_fHiLimit[0], 25.5f);
    EXPECT_EQ(r.m_fHiLimit[1], 0.0f);
    EXPECT_EQ(r.m_fHiLimit[2], 6000.0f);  // not clamped at load
    EXPECT_EQ(r.m_fLowLimit[0], -40.0f);
}

}  // namespace

#include "link/FrameDecoder.h"

#include <bit>
#include <cfloat>
#include <cmath>

#include "bars/PanelState.h"
#include "bars/ReadingsLogic.h"
#include "link/LiveFrame.h"
#include "store/CQFDoc.h"
#include "store/ValueText.h"

namespace qf {

namespace {

struct SpeedUnitInfo {
    int index;
    const char* text;
    float factor;
};

constexpr SpeedUnitInfo SPEED_MS{0, "m/s", 1.0f};
constexpr SpeedUnitInfo SPEED_FTMIN{1, "ft/min", 196.87f};
constexpr SpeedUnitInfo SPEED_KMH{2, "km/h", 3.6f};
constexpr SpeedUnitInfo SPEED_MPH{3, "MPH", 2.24f};
constexpr SpeedUnitInfo SPEED_KNOTS{4, "knots", 1.944f};

void SetSpeedUnit(DisplayUnits& u, const SpeedUnitInfo& info) {
    u.m_nSpeedUnit = info.index;
    u.m_strSpeedUnit = info.text;
    u.m_fSpeedFactor = info.factor;
}

// Readings that are not numbers (a corrupted frame) are stored as missing, so that no
// later computation sees them.
float Reading(const std::uint8_t* f, std::size_t offset) {
    const float v = ReadFloatLE(f + offset);
    return std::isfinite(v) ? v : NO_VALUE;
}

// A double result stored as float; missing when it is not a number or does not fit.
float StoreFlow(double v) {
    return std::fabs(v) <= double(FLT_MAX) ? static_cast<float>(v) : NO_VALUE;
}

// Flow is kept to the digits the meter shows, cut toward zero.
float QuantiseFlow(float stored) {
    double v = stored;
    if (v >= 0.0 && v < 10.0) {
        v = CutToDigits(v, 3);
    }
    if (v >= 10.0 && v < 100.0) {
        v = CutToDigits(v, 2);
    }
    if (v >= 100.0 && v < 1000.0) {
        v = CutToDigits(v, 1);
    }
    if (v >= 1000.0) {
        v = CutToDigits(v, 0);
    }
    return StoreFlow(v);
}

// First four characters of the whole part, as the meter's four-digit display shows it.
std::string FourDigits(float m) {
    return FormatCutInt(m).substr(0, 4);
}

std::string MainValueText(float m, const DisplayUnits& u, bool flow) {
    if (flow) {
        if (m >= 1000.0f) {
            return FourDigits(m);
        }
        if (m >= 100.0f) {
            return FormatCut(m, 1);
        }
        if (m >= 10.0f) {
            return FormatCut(m, 2);
        }
        return double(m) > 0.0005 ? FormatCut(m, 3) : FormatFixed(m, 3);
    }
    if (u.m_nSpeedUnit == 1 && m >= 1000.0f) {
        return FourDigits(m);
    }
    if (u.m_nSpeedUnit == 0) {
        return FormatFixed(m, 2);
    }
    return double(m) > 0.05 ? FormatCut(m, 1) : FormatFixed(m, 1);
}

// Leading zeros of the AREA display before a formatted number.
std::string Zeros(std::size_t count, const std::string& text) {
    std::string out(count, '0');
    out += text;
    return out;
}

// In AREA mode the main number carries a digit-position code in its thousands.
std::string AreaValueText(float m) {
    std::string text = FormatFixed(m, 3);
    if (m >= 10.0f && m < 1000.0f) {
        text = FormatFixed(m, 2);
    }
    if (m >= 100.0f && m < 1000.0f) {
        text = FormatFixed(m, 1);
    }
    if (m >= 1000.0f && m < 2000.0f) {
        m -= 1000.0f;
        text = m < 1.0f ? FormatFixed(m, 3) : Zeros(1, FormatFixed(m, 2));
        if (m >= 10.0f) {
            text = Zeros(1, FormatFixed(m, 1));
        }
    } else if (m >= 2000.0f && m < 3000.0f) {
        m -= 2000.0f;
        text = double(m) < 0.1 ? FormatFixed(m, 3) : Zeros(1, FormatFixed(m, 2));
        if (m >= 1.0f) {
            text = Zeros(2, FormatFixed(m, 1));
        }
    } else if (m >= 3000.0f) {
        m -= 3000.0f;
        if (double(m) < 0.01) {
            text = FormatFixed(double(m) < 0.002 ? double(m) : double(m) - 0.001, 3);
        } else {
            text = double(m) >= 0.1 ? Zeros(2, FormatFixed(m, 1)) : Zeros(1, FormatFixed(m, 2));
        }
    }
    if (m == -1.0f) {
        text = "0.000";
    } else if (m == -2.0f) {
        text = "00.00";
    } else if (m == -3.0f) {
        text = "000.0";
    }
    return text;
}

}  // namespace

DecodeOutcome CFrameDecoder::OnReceive(DecoderTargets& t, const std::uint8_t* data,
                                       std::size_t size, std::time_t now) {
    DecodeOutcome out;
    if (data != nullptr && IsValidFrame(data, size)) {
        DecodeValid(t, data, now, out);
    }
    // Runs for every chunk, valid or not: the recording ends at the record limit.
    if (t.view.m_nSampleIndex >= RECORD_LIMIT) {
        t.frame.m_bStopped = true;
        t.frame.m_bRecording = false;
        t.view.m_bLiveRecording = false;
        out.recordingEnded = true;
    }
    return out;
}

void CFrameDecoder::DecodeValid(DecoderTargets& t, const std::uint8_t* f, std::time_t now,
                                DecodeOutcome& out) {
    ViewLiveState& view = t.view;
    MainLinkState& frame = t.frame;
    DisplayUnits& units = view.units;
    auto& slot = t.panel.m_strSlot;
    const std::uint8_t a = f[OFS_FLAG_A], b = f[OFS_FLAG_B], c = f[OFS_FLAG_C], d = f[OFS_FLAG_D],
                       e = f[OFS_FLAG_E];
    out.valid = true;

    frame.m_bFrameSeen = true;
    view.m_bNewFrame = true;
    view.m_bLinkLost = false;

    if (frame.m_bStartPending && frame.m_bStopped) {
        frame.m_bStartPending = false;
        frame.m_bStopped = false;
        view.m_tmStart = now;
        view.m_nSampleIndex = 0;
        out.recordingStarted = true;
    }
    if (!frame.m_bRecording) {
        view.m_bLiveIdle = true;
    }

    // While frames arrive, the port choice is greyed out.
    frame.m_bComEnabled = {false, false, false, false};
    frame.AwaitFrame(frame.m_nPort) = false;
    frame.m_bOtherComEnabled = false;

    // Units: later checks win.
    if ((a & flag::A_FAHRENHEIT) || (d & flag::D_IR_FAHRENHEIT)) {
        units.m_nTempUnit = 1;
        units.m_strTempUnit = "F";
    }
    if ((a & flag::A_CELSIUS) || (c & flag::C_IR_CELSIUS)) {
        units.m_nTempUnit = 0;
        units.m_strTempUnit = "C";
    }
    if (d & flag::D_MS)
        SetSpeedUnit(units, SPEED_MS);
    if (d & flag::D_FTMIN)
        SetSpeedUnit(units, SPEED_FTMIN);
    if (d & flag::D_KMH)
        SetSpeedUnit(units, SPEED_KMH);
    if (e & flag::E_MPH)
        SetSpeedUnit(units, SPEED_MPH);
    if (c & flag::C_KNOTS)
        SetSpeedUnit(units, SPEED_KNOTS);

    static constexpr struct {
        std::uint8_t mask;
        const char* text;
    } MAIN_UNITS[] = {{flag::D_UNIT_CMM, "CMM"},
                      {flag::D_UNIT_CFM, "CFM"},
                      {flag::D_UNIT_FT, "ft"},
                      {flag::D_UNIT_M, "m"}};
    for (const auto& mu : MAIN_UNITS) {
        if (d & mu.mask) {
            if (units.m_nSpeedUnit == SPEED_UNIT_UNKNOWN) {
                SetSpeedUnit(units, SPEED_MS);
            }
            slot[LCD_MAIN_UNIT] = mu.text;
        }
    }

    const bool infrared = (c & flag::C_IR_CELSIUS) || (d & flag::D_IR_FAHRENHEIT);
    const bool area = c & flag::C_AREA;

    float airT = infrared ? NO_VALUE : Reading(f, OFS_AIRT);

    const float irtRaw = ReadFloatLE(f + OFS_IRT);
    float irt = std::isfinite(irtRaw) ? irtRaw : NO_VALUE;
    if (std::bit_cast<std::uint32_t>(irtRaw) == std::bit_cast<std::uint32_t>(IRT_OVER_RANGE)) {
        irt = IRT_STORED_OVER;
    } else if (std::bit_cast<std::uint32_t>(irtRaw) ==
               std::bit_cast<std::uint32_t>(IRT_UNDER_RANGE)) {
        irt = IRT_STORED_UNDER;
    }
    if (irt < -100.0f) {
        m_nIrtSettle = 0;
    }
    if (irt > -100.0f && m_nIrtSettle < 2) {
        irt = NO_VALUE;
        ++m_nIrtSettle;
    }

    float airV = infrared ? NO_VALUE : Reading(f, OFS_AIRV);

    // Annunciators: blank, then set; later bits win a shared slot.
    slot[LCD_MODE] = "    ";
    slot[LCD_IRTEMP] = "       ";
    slot[LCD_MAXMIN_TOP] = "   ";
    slot[LCD_MAXMIN_BOTTOM] = "   ";
    slot[LCD_RANGE] = "    ";
    slot[LCD_AVG] = "    ";
    slot[LCD_HOLD_TOP] = "    ";
    slot[LCD_HOLD_BOTTOM] = "    ";
    slot[LCD_REC_TOP] = "     ";
    slot[LCD_REC_BOTTOM] = "     ";
    slot[LCD_PCLINK] = "       ";
    if (b & flag::B_FLOW)
        slot[LCD_MODE] = "FLOW";
    if (b & flag::B_VEL)
        slot[LCD_MODE] = "VEL";
    if (b & flag::B_IRTEMP)
        slot[LCD_IRTEMP] = "IRTEMP";
    if (a & flag::A_MAX_TOP)
        slot[LCD_MAXMIN_TOP] = "MAX";
    if (e & flag::E_MIN_TOP)
        slot[LCD_MAXMIN_TOP] = "MIN";
    if (b & flag::B_MAX_BOTTOM)
        slot[LCD_MAXMIN_BOTTOM] = "MAX";
    if (b & flag::B_MIN_BOTTOM)
        slot[LCD_MAXMIN_BOTTOM] = "MIN";
    if (c & flag::C_X100)
        slot[LCD_RANGE] = "X100";
    if (c & flag::C_X10)
        slot[LCD_RANGE] = "X10";
    if (c & flag::C_AVG)
        slot[LCD_AVG] = "AVG";
    if (b & flag::B_HOLD_BOTTOM)
        slot[LCD_HOLD_BOTTOM] = "HOLD";
    if (e & flag::E_HOLD_TOP)
        slot[LCD_HOLD_TOP] = "HOLD";
    if (c & flag::C_PCLINK)
        slot[LCD_PCLINK] = "PC-LINK";
    if (a & flag::A_REC_TOP)
        slot[LCD_REC_TOP] = "REC";
    if (b & flag::B_REC_BOTTOM)
        slot[LCD_REC_BOTTOM] = "REC";

    const float upper = ReadFloatLE(f + OFS_UPPER);
    const float upper2 = ReadFloatLE(f + OFS_UPPER2);
    const float m = ReadFloatLE(f + OFS_MAIN);

    slot[LCD_UPPER_VALUE] = FormatFixed(upper, 1);
    slot[LCD_UPPER_UNIT] = units.m_strTempUnit;
    if (upper2 < 0.0f) {
        slot[LCD_UPPER_VALUE2] = "     ";
    } else {
        slot[LCD_UPPER_VALUE2] = FormatCutInt(upper2);
    }
    if (upper2 >= 0.0f) {
        // The second upper number replaces the IRT reading on the display.
        irt = NO_VALUE;
    }

    const bool flow = d & (flag::D_UNIT_CFM | flag::D_UNIT_CMM);
    slot[LCD_MAIN_VALUE] = MainValueText(m, units, flow);

    if (upper == UPPER_NO_READING) {
        slot[LCD_UPPER_VALUE] = "----";
        slot[LCD_MAIN_VALUE] = "----";
        airT = NO_VALUE;
        airV = NO_VALUE;
    }
    if (area) {
        slot[LCD_MAIN_VALUE] = AreaValueText(m);
    }
    if (!(d & flag::D_MAIN_UNITS)) {
        slot[LCD_MAIN_UNIT] = units.m_strSpeedUnit;
    }
    if (infrared) {
        slot[LCD_UPPER_VALUE] = "     ";
        slot[LCD_UPPER_VALUE2] = "     ";
        slot[LCD_UPPER_UNIT] = "  ";
        slot[LCD_MAIN_UNIT] = units.m_strTempUnit;
        slot[LCD_MAIN_VALUE] = double(m) > 0.05 ? FormatCut(m, 1) : FormatFixed(m, 1);
    }
    if (e & flag::E_UNDER)
        slot[LCD_MAIN_VALUE] = "-OL";
    if (e & flag::E_OVER)
        slot[LCD_MAIN_VALUE] = "+OL";
    if (area) {
        slot[LCD_UPPER_VALUE] = "     ";
        slot[LCD_UPPER_UNIT] = "  ";
        slot[LCD_MODE] = "AREA";
        t.panel.m_nAreaCode = f[OFS_AREA_CODE];
    }

    t.battery = (e & flag::E_BATTERY_LOW) ? BATTERY_LOW : BATTERY_NORMAL;
    t.panel.m_bBacklight = a & flag::A_BACKLIGHT;

    if (airT < -100.0f)
        airT = NO_VALUE;
    if (irt < -100.0f)
        irt = NO_VALUE;
    if (airV < 0.0f)
        airV = NO_VALUE;
    float cfm = NO_VALUE;
    float cmm = NO_VALUE;
    if (airV >= 0.0f) {
        cfm = StoreFlow(double(ReadFloatLE(f + OFS_AREA_FT2)) * airV * 196.87);
        cmm = StoreFlow(double(ReadFloatLE(f + OFS_AREA_M2)) * airV * 60.0);
    }
    cfm = QuantiseFlow(cfm);
    cmm = QuantiseFlow(cmm);

    const int i = view.m_nSampleIndex;
    if (i >= 0 && i < MAX_SAMPLES) {
        CQFDoc& doc = t.doc;
        doc.m_liveSamples[CH_AIRT][i] = airT;
        doc.m_liveSamples[CH_IRT][i] = irt;
        doc.m_liveSamples[CH_AIRV][i] = airV;
        doc.m_liveSamples[CH_CFM][i] = cfm;
        doc.m_liveSamples[CH_CMM][i] = cmm;
    }

    out.alarmsChanged =
        t.readings.OnSample(airT, irt, airV, units, frame.m_bAlarmHi, frame.m_bAlarmLow);
}

}  // namespace qf

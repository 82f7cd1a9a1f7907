// The meter's display texts from a frame, as the meter itself shows them.
#include "link/LiveFrame.h"
#include "link/LiveReading.h"
#include "live/PanelState.h"
#include "store/ValueText.h"

namespace qf {

namespace {

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

void SetAnnunciators(const LiveReading& r, PanelState& panel) {
    auto& slot = panel.m_strSlot;
    // Blank, then set; later bits win a shared slot.
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
    if (r.b & flag::B_FLOW)
        slot[LCD_MODE] = "FLOW";
    if (r.b & flag::B_VEL)
        slot[LCD_MODE] = "VEL";
    if (r.b & flag::B_IRTEMP)
        slot[LCD_IRTEMP] = "IRTEMP";
    if (r.a & flag::A_MAX_TOP)
        slot[LCD_MAXMIN_TOP] = "MAX";
    if (r.e & flag::E_MIN_TOP)
        slot[LCD_MAXMIN_TOP] = "MIN";
    if (r.b & flag::B_MAX_BOTTOM)
        slot[LCD_MAXMIN_BOTTOM] = "MAX";
    if (r.b & flag::B_MIN_BOTTOM)
        slot[LCD_MAXMIN_BOTTOM] = "MIN";
    if (r.c & flag::C_X100)
        slot[LCD_RANGE] = "X100";
    if (r.c & flag::C_X10)
        slot[LCD_RANGE] = "X10";
    if (r.c & flag::C_AVG)
        slot[LCD_AVG] = "AVG";
    if (r.b & flag::B_HOLD_BOTTOM)
        slot[LCD_HOLD_BOTTOM] = "HOLD";
    if (r.e & flag::E_HOLD_TOP)
        slot[LCD_HOLD_TOP] = "HOLD";
    if (r.c & flag::C_PCLINK)
        slot[LCD_PCLINK] = "PC-LINK";
    if (r.a & flag::A_REC_TOP)
        slot[LCD_REC_TOP] = "REC";
    if (r.b & flag::B_REC_BOTTOM)
        slot[LCD_REC_BOTTOM] = "REC";
}

// The unit beside the main number: the last main-display unit flag that is set.
const char* MainUnitText(std::uint8_t d) {
    const char* text = nullptr;
    if (d & flag::D_UNIT_CMM)
        text = "CMM";
    if (d & flag::D_UNIT_CFM)
        text = "CFM";
    if (d & flag::D_UNIT_FT)
        text = "ft";
    if (d & flag::D_UNIT_M)
        text = "m";
    return text;
}

}  // namespace

void UpdatePanel(const LiveReading& r, const DisplayUnits& units, PanelState& panel) {
    auto& slot = panel.m_strSlot;
    SetAnnunciators(r, panel);

    slot[LCD_UPPER_VALUE] = FormatFixed(r.upper, 1);
    slot[LCD_UPPER_UNIT] = units.m_strTempUnit;
    slot[LCD_UPPER_VALUE2] = r.upper2 < 0.0f ? "     " : FormatCutInt(r.upper2);
    slot[LCD_MAIN_VALUE] = MainValueText(r.main, units, r.Flow());
    if (r.upper == UPPER_NO_READING) {
        slot[LCD_UPPER_VALUE] = "----";
        slot[LCD_MAIN_VALUE] = "----";
    }
    if (r.Area()) {
        slot[LCD_MAIN_VALUE] = AreaValueText(r.main);
    }
    if (const char* unit = MainUnitText(r.d)) {
        slot[LCD_MAIN_UNIT] = unit;
    } else {
        slot[LCD_MAIN_UNIT] = units.m_strSpeedUnit;
    }
    if (r.Infrared()) {
        slot[LCD_UPPER_VALUE] = "     ";
        slot[LCD_UPPER_VALUE2] = "     ";
        slot[LCD_UPPER_UNIT] = "  ";
        slot[LCD_MAIN_UNIT] = units.m_strTempUnit;
        slot[LCD_MAIN_VALUE] =
            double(r.main) > 0.05 ? FormatCut(r.main, 1) : FormatFixed(r.main, 1);
    }
    if (r.e & flag::E_UNDER)
        slot[LCD_MAIN_VALUE] = "-OL";
    if (r.e & flag::E_OVER)
        slot[LCD_MAIN_VALUE] = "+OL";
    if (r.Area()) {
        slot[LCD_UPPER_VALUE] = "     ";
        slot[LCD_UPPER_UNIT] = "  ";
        slot[LCD_MODE] = "AREA";
        panel.m_nAreaCode = r.areaCode;
    }
    panel.m_strBattery = (r.e & flag::E_BATTERY_LOW) ? BATTERY_LOW : BATTERY_NORMAL;
    panel.m_bBacklight = r.a & flag::A_BACKLIGHT;
}

}  // namespace qf

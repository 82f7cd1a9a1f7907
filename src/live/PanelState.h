// Display state of the drawn meter, made from each valid frame by UpdatePanel.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace qf {

enum LcdSlot : int {
    LCD_UPPER_VALUE,
    LCD_UPPER_VALUE2,
    LCD_UPPER_UNIT,
    LCD_MAIN_VALUE,
    LCD_MAIN_UNIT,
    LCD_MODE,
    LCD_IRTEMP,
    LCD_PCLINK,
    LCD_REC_TOP,
    LCD_MAXMIN_TOP,
    LCD_HOLD_TOP,
    LCD_REC_BOTTOM,
    LCD_MAXMIN_BOTTOM,
    LCD_AVG,
    LCD_HOLD_BOTTOM,
    LCD_RANGE,
    LCD_SLOT_COUNT
};

// The constant name of a slot, e.g. "LCD_MAIN_VALUE".
const char* LcdSlotName(int slot);

inline constexpr const char* BATTERY_LOW = "Low";
inline constexpr const char* BATTERY_NORMAL = "Normal";

struct PanelState {
    std::array<std::string, LCD_SLOT_COUNT> m_strSlot;
    std::uint8_t m_nAreaCode = 0;
    bool m_bBacklight = false;
    std::string m_strBattery;  // shown by the real-time bar: BATTERY_LOW or BATTERY_NORMAL
};

struct LiveReading;
struct DisplayUnits;

// The display texts, annunciators, AREA digit code, backlight and battery of one frame;
// `units` are the frame's own (ApplyFrameUnits first). Slots a frame leaves alone keep
// their text.
void UpdatePanel(const LiveReading& reading, const DisplayUnits& units, PanelState& panel);

}  // namespace qf

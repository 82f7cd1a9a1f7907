// Display state of the drawn meter, written only by the frame decoder.
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

struct PanelState {
    std::array<std::string, LCD_SLOT_COUNT> m_strSlot;
    std::uint8_t m_nAreaCode = 0;
    bool m_bBacklight = false;
};

}  // namespace qf

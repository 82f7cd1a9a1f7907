#include "live/PanelState.h"

namespace qf {

const char* LcdSlotName(int slot) {
    static constexpr const char* NAMES[LCD_SLOT_COUNT] = {
        "LCD_UPPER_VALUE",   "LCD_UPPER_VALUE2", "LCD_UPPER_UNIT",  "LCD_MAIN_VALUE",
        "LCD_MAIN_UNIT",     "LCD_MODE",         "LCD_IRTEMP",      "LCD_PCLINK",
        "LCD_REC_TOP",       "LCD_MAXMIN_TOP",   "LCD_HOLD_TOP",    "LCD_REC_BOTTOM",
        "LCD_MAXMIN_BOTTOM", "LCD_AVG",          "LCD_HOLD_BOTTOM", "LCD_RANGE"};
    return slot >= 0 && slot < LCD_SLOT_COUNT ? NAMES[slot] : "";
}

}  // namespace qf

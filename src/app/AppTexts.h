// Fixed texts of the program's windows and messages.
#pragma once

namespace qf {

inline constexpr char APP_TITLE[] = "Thermo-Anemometer";

inline constexpr char TEXT_READY[] = "Ready";
inline constexpr char TEXT_SCROLL_LOCK[] = "SCRL";
// After the title and in the status bar while a simulated meter answers: its readings
// are not to be taken for real ones. Never written into a file.
inline constexpr char TEXT_DEMO[] = "(demo)";

inline constexpr char ASK_SAVE_BEFORE_RUN[] =
    "Do you want to save the existing graph data before continuing?";
inline constexpr char ASK_SAVE_BEFORE_CLOSE[] = "Do you want to save the data before closing?";

inline constexpr char MSG_ENTER_INTEGER[] = "Please enter an integer.";
inline constexpr char MSG_ENTER_POSITIVE_INTEGER[] = "Please enter a positive integer.";

inline constexpr char DATA_FILE_FILTER[] = "DataLogger Files (*.AsmDat)";
inline constexpr char DATA_FILE_SUFFIX[] = "AsmDat";
inline constexpr char ANY_FILE_FILTER[] = "All Files (*)";

inline constexpr char HELP_FILE_NAME[] = "help.html";

}  // namespace qf

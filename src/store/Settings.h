// The settings kept between runs: key names, defaults, and loading and saving them all.
#pragma once

#include <string>

#include "store/ConfigFile.h"

namespace qf {

inline constexpr char SEC_COM[] = "COMInfo";
inline constexpr char KEY_COM[] = "COM num";
inline constexpr char SEC_GAIN[] = "GainInfo";
inline constexpr char KEY_GAIN[] = "Gain";
inline constexpr char SEC_OFFSET[] = "OffsetInfo";
inline constexpr char KEY_OFFSET[] = "Offset";
// Device paths by port name ("COM3"); written only by the user.
inline constexpr char SEC_PORT_MAP[] = "PortMap";
// The folder the file dialogs start in: the one last used.
inline constexpr char SEC_FOLDERS[] = "Folders";
inline constexpr char KEY_LAST_FOLDER[] = "Last folder";

// Alarm limits, index 0..2 = AirT, IRT, AirV.
inline constexpr const char* SEC_HI_LIMIT[3] = {"Alarmhi1Info", "Alarmhi2Info", "Alarmhi3Info"};
inline constexpr const char* KEY_HI_LIMIT[3] = {"Hi1 limit", "Hi2 limit", "Hi3 limit"};
inline constexpr const char* SEC_LOW_LIMIT[3] = {"Alarmlow1Info", "Alarmlow2Info", "Alarmlow3Info"};
inline constexpr const char* KEY_LOW_LIMIT[3] = {"Low1 limit", "Low2 limit", "Low3 limit"};

inline constexpr int DEFAULT_PORT = 1;
inline constexpr int DEFAULT_Y_GAIN = 10;
inline constexpr int DEFAULT_Y_OFFSET = 0;
inline constexpr const char* DEFAULT_HI_LIMIT[3] = {"140.0", "940.0", "5900.0"};
inline constexpr const char* DEFAULT_LOW_LIMIT[3] = {"0.0", "0.0", "0.0"};

struct Settings {
    int m_nPort = DEFAULT_PORT;
    int m_nYGain = DEFAULT_Y_GAIN;
    int m_nYOffset = DEFAULT_Y_OFFSET;
    // Limit texts exactly as the user typed them; the file keeps them unformatted.
    std::string m_strHiLimit[3] = {DEFAULT_HI_LIMIT[0], DEFAULT_HI_LIMIT[1], DEFAULT_HI_LIMIT[2]};
    std::string m_strLowLimit[3] = {DEFAULT_LOW_LIMIT[0], DEFAULT_LOW_LIMIT[1],
                                    DEFAULT_LOW_LIMIT[2]};
};

Settings LoadSettings(const CConfigFile& file);

// Writes all nine keys: port, high limits 1..3, low limits 1..3, gain, offset. Failures
// are silent; the next run then reads the old values or the defaults.
void SaveSettings(CConfigFile& file, const Settings& settings);

// Numeric value of a limit text the way strtod reads it (leading blanks, the longest
// leading number, hexadecimal included) but always with '.' as the decimal point,
// whatever the user's locale. No number, "inf" and "nan" give 0; a number too large
// for a double gives +-HUGE_VAL.
double ParseLimitText(const std::string& text);

// ParseLimitText as a float; values beyond the float range become +-infinity rather
// than an undefined conversion.
float ParseLimitFloat(const std::string& text);

}  // namespace qf

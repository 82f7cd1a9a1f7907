#include "store/Settings.h"

#include <locale.h>

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <vector>

namespace qf {

Settings LoadSettings(const CConfigFile& file) {
    Settings s;
    s.m_nPort = file.ReadInt(SEC_COM, KEY_COM, DEFAULT_PORT);
    s.m_nYGain = file.ReadInt(SEC_GAIN, KEY_GAIN, DEFAULT_Y_GAIN);
    s.m_nYOffset = file.ReadInt(SEC_OFFSET, KEY_OFFSET, DEFAULT_Y_OFFSET);
    for (int i = 0; i < 3; ++i) {
        s.m_strHiLimit[i] = file.ReadText(SEC_HI_LIMIT[i], KEY_HI_LIMIT[i], DEFAULT_HI_LIMIT[i]);
    }
    for (int i = 0; i < 3; ++i) {
        s.m_strLowLimit[i] =
            file.ReadText(SEC_LOW_LIMIT[i], KEY_LOW_LIMIT[i], DEFAULT_LOW_LIMIT[i]);
    }
    return s;
}

void SaveSettings(CConfigFile& file, const Settings& s) {
    const std::string port = std::to_string(s.m_nPort);
    const std::string gain = std::to_string(s.m_nYGain);
    const std::string offset = std::to_string(s.m_nYOffset);
    // One rewrite for all nine: a large file would otherwise be read and written nine times.
    std::vector<ConfigValue> values = {{SEC_COM, KEY_COM, port}};
    for (int i = 0; i < 3; ++i) {
        values.push_back({SEC_HI_LIMIT[i], KEY_HI_LIMIT[i], s.m_strHiLimit[i]});
    }
    for (int i = 0; i < 3; ++i) {
        values.push_back({SEC_LOW_LIMIT[i], KEY_LOW_LIMIT[i], s.m_strLowLimit[i]});
    }
    values.push_back({SEC_GAIN, KEY_GAIN, gain});
    values.push_back({SEC_OFFSET, KEY_OFFSET, offset});
    file.WriteTexts(values);
}

double ParseLimitText(const std::string& text) {
    // The GUI toolkit sets the user's locale, where the decimal point may be a comma;
    // the file always uses '.', so parse under the "C" locale for this thread only.
    static const locale_t cLocale = ::newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0));
    const locale_t previous = cLocale ? ::uselocale(cLocale) : static_cast<locale_t>(0);
    const int savedErrno = errno;
    errno = 0;
    const double v = std::strtod(text.c_str(), nullptr);
    const bool overflow = errno == ERANGE;
    errno = savedErrno;
    if (previous) {
        ::uselocale(previous);
    }
    if (std::isnan(v) || (std::isinf(v) && !overflow)) {
        return 0.0;
    }
    return v;
}

float ParseLimitFloat(const std::string& text) {
    const double v = ParseLimitText(text);
    constexpr double FLOAT_MAX = std::numeric_limits<float>::max();
    if (v > FLOAT_MAX) {
        return std::numeric_limits<float>::infinity();
    }
    if (v < -FLOAT_MAX) {
        return -std::numeric_limits<float>::infinity();
    }
    return static_cast<float>(v);
}

}  // namespace qf

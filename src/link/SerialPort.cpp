#include "link/SerialPort.h"

namespace qf {

std::string SettingsText(const PortSettings& s) {
    static constexpr const char PARITY[] = {'n', 'e', 'o', 'm', 's'};
    static constexpr const char* STOP[] = {"1", "1.5", "2"};
    return std::to_string(s.baud) + ',' + PARITY[static_cast<int>(s.parity)] + ',' +
           std::to_string(s.dataBits) + ',' + STOP[static_cast<int>(s.stopBits)];
}

}  // namespace qf

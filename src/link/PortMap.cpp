#include "link/PortMap.h"

#include "store/ConfigFile.h"
#include "store/Settings.h"

namespace qf {

std::string PortDevice(int number, const CConfigFile& config) {
    if (number < 1) {
        return {};
    }
    const std::string name = "COM" + std::to_string(number);
#ifdef _WIN32
    (void)config;
    return name;
#else
    return config.ReadText(SEC_PORT_MAP, name, "/dev/ttyUSB" + std::to_string(number - 1));
#endif
}

std::string PortDevice(int number) {
    return PortDevice(number, CConfigFile(CConfigFile::DefaultPath()));
}

}  // namespace qf

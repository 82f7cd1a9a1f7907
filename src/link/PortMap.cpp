#include "link/PortMap.h"

#include "store/ConfigFile.h"
#include "store/Settings.h"

namespace qf {

PortMapping MapPort(int number, const CConfigFile& config) {
    if (number < 1) {
        return {};
    }
    const std::string name = "COM" + std::to_string(number);
#ifdef _WIN32
    (void)config;
    return {name, {}};
#else
    const std::string fallback = "/dev/ttyUSB" + std::to_string(number - 1);
    const auto entry = config.Find(SEC_PORT_MAP, name);
    if (!entry || entry->empty()) {
        return {fallback, {}};
    }
    if (entry->size() > CIniDocument::MAX_TEXT) {
        return {{},
                name + " in [PortMap] of " + config.Path() + " is longer than " +
                    std::to_string(CIniDocument::MAX_TEXT) + " characters"};
    }
    return {*entry, {}};
#endif
}

std::string PortDevice(int number, const CConfigFile& config) {
    return MapPort(number, config).device;
}

std::string PortDevice(int number) {
    return PortDevice(number, CConfigFile(CConfigFile::DefaultPath()));
}

}  // namespace qf

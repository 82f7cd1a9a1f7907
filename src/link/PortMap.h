// Which device a port number opens. On Linux COMn is the path under key "COMn" of
// section "PortMap" in the settings file, by default /dev/ttyUSB<n-1>; on Windows it is
// "COMn". The program only reads this section; the user writes it.
#pragma once

#include <string>

namespace qf {

class CConfigFile;

struct PortMapping {
    std::string device;   // empty when the number names no device
    std::string problem;  // why the entry cannot be used; the device is empty then
};

// The device for COMn. An empty entry means the default device; an entry longer than a
// settings text may be is refused, not cut to another path.
PortMapping MapPort(int number, const CConfigFile& config);

// The device alone; empty when the number names no device (below 1) or its entry is
// refused.
std::string PortDevice(int number, const CConfigFile& config);

// The same with the settings file at its default place.
std::string PortDevice(int number);

}  // namespace qf

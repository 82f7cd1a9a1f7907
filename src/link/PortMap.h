// Which device a port number opens. On Linux COMn is the path under key "COMn" of
// section "PortMap" in the settings file, by default /dev/ttyUSB<n-1>; on Windows it is
// "COMn". The program only reads this section; the user writes it.
#pragma once

#include <string>

namespace qf {

class CConfigFile;

// Empty when the number names no device (below 1).
std::string PortDevice(int number, const CConfigFile& config);

// The same with the settings file at its default place.
std::string PortDevice(int number);

}  // namespace qf

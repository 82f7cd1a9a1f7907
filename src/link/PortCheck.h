// What the port layer tells the user when a device will not do as the meter's port: a
// path that is no serial device, and who holds a port that is in use.
#pragma once

#include <string>

namespace qf {

// Why `device` is not a serial device, looked at without opening it ("a FIFO", "a
// folder", ...); empty when it may be one or does not exist.
std::string NotSerialDeviceReason(const std::string& device);

// The program holding `device`, "name (pid N)", from a serial lock file naming it or from
// the open files of the processes we may look at; empty when none is found.
std::string PortHolder(const std::string& device);

}  // namespace qf

// The serial port as the link uses it, each failure reported by a result. Callers swallow
// failures; nothing here throws.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace qf {

enum class Parity { None, Even, Odd, Mark, Space };
enum class StopBits { One, OneAndHalf, Two };

struct PortSettings {
    int baud = 9600;
    Parity parity = Parity::None;
    int dataBits = 8;
    StopBits stopBits = StopBits::One;
    bool operator==(const PortSettings&) const = default;
};

// The meter's line: "4800,n,8,1".
inline constexpr PortSettings LINK_SETTINGS{4800, Parity::None, 8, StopBits::One};

enum class PortEvent {
    Received,   // bytes wait to be read
    LineError,  // the device failed or hung up; the port has closed itself
};

class ISerialPort {
public:
    using EventHandler = std::function<void(PortEvent event)>;

    virtual ~ISerialPort() = default;

    // Opens `device` with `settings`. A port already open on that device is set up again
    // and stays open; open on another device, it moves there.
    virtual bool Open(const std::string& device, const PortSettings& settings) = 0;
    virtual bool IsOpen() const = 0;
    virtual void Close() = 0;
    // Drops bytes received and not yet read.
    virtual bool ClearInput() = 0;

    virtual bool Write(const std::uint8_t* data, std::size_t size) = 0;
    // All buffered bytes, removed from the buffer.
    virtual std::vector<std::uint8_t> ReadAll() = 0;

    // Called on the owner's thread for every event.
    virtual void SetEventHandler(EventHandler handler) = 0;
};

}  // namespace qf

// The serial port as the link uses it: the operations of a classic comm control, each
// reporting failure by its result. Callers swallow failures; nothing here throws.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace qf {

// Event codes passed to the event handler.
inline constexpr int COMM_EV_RECEIVE = 2;
// The device failed or hung up; the port has closed itself.
inline constexpr int COMM_EV_LINE_ERROR = 1000;

inline constexpr int INPUT_MODE_BINARY = 1;
inline constexpr char LINK_SETTINGS[] = "4800,n,8,1";
inline constexpr int RECEIVE_THRESHOLD = 50;

class ISerialPort {
public:
    using EventHandler = std::function<void(int event)>;

    virtual ~ISerialPort() = default;

    // Port number n selects device COMn. Changing it while open moves the open
    // connection to the new device.
    virtual bool SetPort(int number) = 0;
    virtual bool SetInputMode(int mode) = 0;
    // "baud,parity,data,stop", e.g. "4800,n,8,1".
    virtual bool SetSettings(const std::string& settings) = 0;
    virtual bool SetReceiveThreshold(int bytes) = 0;
    // 0: a read returns everything buffered.
    virtual bool SetInputLength(int bytes) = 0;
    virtual bool ClearInput() = 0;

    virtual bool IsOpen() const = 0;
    virtual bool Open() = 0;
    virtual void Close() = 0;

    virtual bool Write(const std::uint8_t* data, std::size_t size) = 0;
    // All buffered bytes, removed from the buffer.
    virtual std::vector<std::uint8_t> ReadAll() = 0;

    // Called on the owner's thread for every event.
    virtual void SetEventHandler(EventHandler handler) = 0;
};

}  // namespace qf

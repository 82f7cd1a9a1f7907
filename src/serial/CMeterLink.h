// The live link to the meter, without windows: opens the port and sends the start
// command, hands every received chunk on, answers frames with one acknowledgement per
// period and reopens the port when the meter falls silent. It is the only writer of the
// LinkState. Everything runs on the owner's thread, driven by the port's events and two
// timers.
#pragma once

#include <QObject>
#include <QTimer>
#include <cstdint>
#include <ctime>
#include <functional>
#include <string>
#include <vector>

#include "link/FrameAssembler.h"
#include "link/LinkState.h"
#include "link/MeterCommand.h"
#include "link/SerialPort.h"

namespace qf {

class ISerialPort;

struct LinkPeriods {
    int ackMs = 1000;       // acknowledgement timer
    int watchdogMs = 3000;  // a link without a valid frame for this long is lost
};

class CMeterLink : public QObject {
    Q_OBJECT
public:
    // Which device a port number opens; empty for none.
    using DeviceResolver = std::function<std::string(int number)>;

    CMeterLink(ISerialPort& port, DeviceResolver resolver, LinkPeriods periods = {},
               QObject* parent = nullptr);
    ~CMeterLink() override;

    const LinkState& State() const { return m_state; }
    // Start-up's port number, before Start.
    void SetPort(int number);

    // Start-up: opens port m_nPort, sends the start command and starts both timers.
    void Start();
    // Exit: stops the timers and closes the port.
    void Stop();

    // (Re)opens the port at m_nPort and sends the start command.
    void OpenPort();

    // COM1..COM4 menu items: the open port is closed first. Other numbers are ignored.
    void ChooseComPort(int n);
    // Other COM: 5..16 only; false, with nothing changed, for any other number.
    bool ChooseOtherCom(int n);

    void SendCommand(std::uint8_t code, std::uint8_t arg1, std::uint8_t arg2);
    void SendAck();

    // Timer and port event bodies; public so that tests can drive them directly.
    void OnAckTick();
    void OnWatchdogTick();
    void OnPortEvent(PortEvent event);

    // The device that port number n opens.
    std::string Device(int n) const { return m_resolver ? m_resolver(n) : std::string(); }

signals:
    // Every receive chunk: a whole frame or a run of bytes that is none, taken at `time`.
    // Valid frames have already been counted for the acknowledgement and the watchdog.
    void chunkReceived(const std::vector<std::uint8_t>& chunk, qint64 time);
    // The watchdog found no frame since its previous tick and reopened the port.
    void linkLost();
    // The COM menu's state changed: port choice, radio marks or enabling.
    void stateChanged();

private:
    void Write(const std::uint8_t* data, std::size_t size);
    // A valid frame: the port choice is greyed out while frames arrive.
    bool OnValidFrame();

    ISerialPort& m_port;
    DeviceResolver m_resolver;
    LinkState m_state;
    CFrameAssembler m_assembler;
    QTimer m_ackTimer;
    QTimer m_watchdog;
};

}  // namespace qf

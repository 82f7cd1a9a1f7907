// The live link to the meter, without windows: opens the port and sends the start
// command, turns received bytes into decoded frames, answers frames with one
// acknowledgement per period and reopens the port when the meter falls silent.
// Everything runs on the owner's thread, driven by the port's events and two timers.
#pragma once

#include <QObject>
#include <QTimer>
#include <cstdint>

#include "link/FrameAssembler.h"
#include "link/FrameDecoder.h"
#include "link/MeterCommand.h"

namespace qf {

class ISerialPort;

struct LinkPeriods {
    int ackMs = 1000;       // acknowledgement timer
    int watchdogMs = 3000;  // a link without a valid frame for this long is lost
};

class CMeterLink : public QObject {
    Q_OBJECT
public:
    CMeterLink(ISerialPort& port, const DecoderTargets& targets, LinkPeriods periods = {},
               QObject* parent = nullptr);
    ~CMeterLink() override;

    // Start-up: opens port m_nPort, sends the start command and starts both timers.
    void Start();
    // Exit: stops the timers and closes the port.
    void Stop();

    // (Re)configures and opens the port at m_nPort and sends the start command.
    void OpenPort();

    // COM1..COM4 menu items: the open port is closed first. Other numbers are ignored.
    void ChooseComPort(int n);
    // Other COM: 5..16 only; false, with nothing changed, for any other number.
    bool ChooseOtherCom(int n);

    void SendCommand(std::uint8_t code, std::uint8_t arg1, std::uint8_t arg2);
    void SendKeyPress(MeterKey key);
    void SendKeyDoubleClick(MeterKey key);
    void SendAck();

    // Timer and port event bodies; public so that window tests can drive them directly.
    void OnAckTick();
    void OnWatchdogTick();
    void OnCommEvent(int event);

    CFrameDecoder& Decoder() { return m_decoder; }

signals:
    // After every receive chunk handed to the decoder, valid or not.
    void frameDecoded(const qf::DecodeOutcome& outcome);
    // The watchdog found no frame since its previous tick and reopened the port.
    void linkLost();
    // A port menu choice took effect: views redraw.
    void portChosen();

private:
    void Write(const std::uint8_t* data, std::size_t size);

    ISerialPort& m_port;
    DecoderTargets m_targets;
    CFrameAssembler m_assembler;
    CFrameDecoder m_decoder;
    QTimer m_ackTimer;
    QTimer m_watchdog;
};

}  // namespace qf

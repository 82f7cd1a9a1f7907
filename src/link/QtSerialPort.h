// The serial port on QSerialPort. Qt 6.4 reports a hung-up device (unplugged adapter,
// closed pty master) as an endless stream of read errors while the port stays open, so
// the first such error closes the port here; the link's watchdog reopens it.
#pragma once

#include <QObject>
#include <QSerialPort>
#include <QSet>
#include <QString>
#include <functional>

#include "link/SerialPort.h"

namespace qf {

class CQtSerialPort : public QObject, public ISerialPort {
    Q_OBJECT
public:
    // Maps a port number to the device to open; by default the PortMap of the settings.
    using DeviceResolver = std::function<std::string(int number)>;

    explicit CQtSerialPort(DeviceResolver resolver = {}, QObject* parent = nullptr);
    ~CQtSerialPort() override;

    bool SetPort(int number) override;
    bool SetInputMode(int mode) override;
    bool SetSettings(const std::string& settings) override;
    // Accepted but not needed: every arrival is reported at once and the link
    // reassembles frames itself, so a frame is never held back for the next one.
    bool SetReceiveThreshold(int bytes) override;
    bool SetInputLength(int bytes) override;
    bool ClearInput() override;

    bool IsOpen() const override;
    bool Open() override;
    void Close() override;

    bool Write(const std::uint8_t* data, std::size_t size) override;
    std::vector<std::uint8_t> ReadAll() override;

    void SetEventHandler(EventHandler handler) override;

    int Port() const { return m_nPort; }
    QString Device() const { return m_port.portName(); }

signals:
    // Opening a device failed for lack of permission; once per device, so the program
    // can say how to get access without nagging.
    void permissionDenied(const QString& device);

private:
    void OnError(QSerialPort::SerialPortError error);
    void Raise(int event);

    QSerialPort m_port;
    DeviceResolver m_resolver;
    EventHandler m_handler;
    int m_nPort = 1;
    QSet<QString> m_deniedDevices;
};

// Parses "baud,parity,data,stop" (parity n/e/o/m/s, stop 1, 1.5 or 2).
struct PortSettings {
    qint32 baud = 0;
    QSerialPort::Parity parity = QSerialPort::NoParity;
    QSerialPort::DataBits dataBits = QSerialPort::Data8;
    QSerialPort::StopBits stopBits = QSerialPort::OneStop;
};
bool ParsePortSettings(const std::string& text, PortSettings& out);

}  // namespace qf

// The serial port on QSerialPort. Qt 6.4 reports a hung-up device (unplugged adapter,
// closed pty master) as an endless stream of read errors while the port stays open, so
// the first such error closes the port here; the link's watchdog reopens it.
#pragma once

#include <QObject>
#include <QSerialPort>
#include <QSet>
#include <QString>

#include "link/SerialPort.h"

namespace qf {

class CQtSerialPort : public QObject, public ISerialPort {
    Q_OBJECT
public:
    explicit CQtSerialPort(QObject* parent = nullptr);
    ~CQtSerialPort() override;

    bool Open(const std::string& device, const PortSettings& settings) override;
    bool IsOpen() const override;
    void Close() override;
    bool ClearInput() override;

    bool Write(const std::uint8_t* data, std::size_t size) override;
    std::vector<std::uint8_t> ReadAll() override;

    void SetEventHandler(EventHandler handler) override;

    // The device last asked for, open or not.
    QString Device() const { return m_port.portName(); }
    // Why the last operation failed, e.g. an Open.
    QSerialPort::SerialPortError Error() const { return m_port.error(); }
    QString ErrorText() const { return m_port.errorString(); }

signals:
    // Opening a device failed for lack of permission; once per device, so the program
    // can say how to get access without nagging.
    void permissionDenied(const QString& device);
    // The device to open does not exist; once per device, as above.
    void deviceMissing(const QString& device);

private:
    bool Apply(const PortSettings& settings);
    void OnError(QSerialPort::SerialPortError error);
    void Raise(PortEvent event);

    QSerialPort m_port;
    EventHandler m_handler;
    QSet<QString> m_deniedDevices;
    QSet<QString> m_missingDevices;
};

}  // namespace qf

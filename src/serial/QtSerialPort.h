// The serial port on QSerialPort. Qt 6.4 reports a hung-up device (unplugged adapter,
// closed pty master) as an endless stream of read errors while the port stays open, so
// the first such error closes the port here; the link's watchdog reopens it.
#pragma once

#include <QObject>
#include <QSerialPort>
#include <QSet>
#include <QString>
#include <string>

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
    // Why the last Open was refused where Qt's reason would mislead (a path that is no
    // serial device, a port in use); empty otherwise.
    const std::string& Refusal() const { return m_refusal; }

signals:
    // Opening a device failed for lack of permission; once per device, so the program
    // can say how to get access without nagging.
    void permissionDenied(const QString& device);
    // The device to open does not exist; once per device, as above.
    void deviceMissing(const QString& device);
    // The device is no serial device (`what` says what it is); once per device.
    void notSerialDevice(const QString& device, const QString& what);
    // Another program holds the port (`holder` names it when known); once per device.
    void portInUse(const QString& device, const QString& holder);

private:
    bool Apply(const PortSettings& settings);
    void OnError(QSerialPort::SerialPortError error);
    void Raise(PortEvent event);
    void RefuseNotSerial(const QString& name, const std::string& what);
    void RefuseInUse(const QString& name);

    QSerialPort m_port;
    EventHandler m_handler;
    QSet<QString> m_deniedDevices;
    QSet<QString> m_missingDevices;
    QSet<QString> m_toldDevices;
    std::string m_refusal;
};

}  // namespace qf

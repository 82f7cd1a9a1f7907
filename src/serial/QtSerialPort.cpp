#include "serial/QtSerialPort.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

#include "link/PortCheck.h"

namespace qf {

namespace {

QSerialPort::Parity ToQt(Parity p) {
    switch (p) {
        case Parity::Even:
            return QSerialPort::EvenParity;
        case Parity::Odd:
            return QSerialPort::OddParity;
        case Parity::Mark:
            return QSerialPort::MarkParity;
        case Parity::Space:
            return QSerialPort::SpaceParity;
        case Parity::None:
            break;
    }
    return QSerialPort::NoParity;
}

QSerialPort::StopBits ToQt(StopBits s) {
    switch (s) {
        case StopBits::OneAndHalf:
            return QSerialPort::OneAndHalfStop;
        case StopBits::Two:
            return QSerialPort::TwoStop;
        case StopBits::One:
            break;
    }
    return QSerialPort::OneStop;
}

}  // namespace

CQtSerialPort::CQtSerialPort(QObject* parent) : QObject(parent) {
    m_port.setFlowControl(QSerialPort::NoFlowControl);
    connect(&m_port, &QSerialPort::readyRead, this, [this] { Raise(PortEvent::Received); });
    connect(&m_port, &QSerialPort::errorOccurred, this, &CQtSerialPort::OnError);
}

CQtSerialPort::~CQtSerialPort() {
    // Closing here, not in QSerialPort's destructor, keeps its signals from reaching a
    // half-destroyed object.
    m_port.disconnect(this);
    m_port.close();
}

bool CQtSerialPort::Apply(const PortSettings& s) {
    const auto dataBits = static_cast<QSerialPort::DataBits>(s.dataBits);
    if (s.baud <= 0 || s.dataBits < 5 || s.dataBits > 8) {
        return false;
    }
    bool ok = m_port.setBaudRate(s.baud);
    ok = m_port.setParity(ToQt(s.parity)) && ok;
    ok = m_port.setDataBits(dataBits) && ok;
    ok = m_port.setStopBits(ToQt(s.stopBits)) && ok;
    return m_port.setFlowControl(QSerialPort::NoFlowControl) && ok;
}

bool CQtSerialPort::Open(const std::string& device, const PortSettings& settings) {
    if (device.empty()) {
        Close();
        return false;
    }
    const QString name = QString::fromStdString(device);
    if (m_port.isOpen() && m_port.portName() != name) {
        // Another port was chosen while this one is open: follow it at once rather than
        // keep talking to the old device until the watchdog notices.
        Close();
    }
    if (!Apply(settings)) {
        return false;
    }
    if (m_port.isOpen()) {
        return true;
    }
    m_refusal.clear();
    // Qt would open a FIFO or a file and then fail without a word on why.
    if (const std::string what = NotSerialDeviceReason(device); !what.empty()) {
        RefuseNotSerial(name, what);
        return false;
    }
    m_port.setPortName(name);
    if (m_port.open(QIODevice::ReadWrite)) {
        const int fd = int(m_port.handle());
        if (::isatty(fd) != 1) {
            m_port.close();
            RefuseNotSerial(name, "a device that is no terminal");
            return false;
        }
        // One program per meter, whatever name each opened it by; root passes Qt's
        // exclusive mode, not this.
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK) {
            m_port.close();
            RefuseInUse(name);
            return false;
        }
        return true;
    }
    // Qt fails on a device without terminal settings (/dev/null) and says only that.
    if (m_port.error() != QSerialPort::PermissionError &&
        m_port.error() != QSerialPort::DeviceNotFoundError) {
        const int fd = ::open(device.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
        const bool terminal = fd >= 0 && ::isatty(fd) == 1;
        if (fd >= 0) {
            ::close(fd);
        }
        if (fd >= 0 && !terminal) {
            RefuseNotSerial(name, "a device that is no terminal");
            return false;
        }
    }
    // Qt says "permission" also for a port whose lock another program holds.
    if (m_port.error() == QSerialPort::PermissionError &&
        ::access(device.c_str(), R_OK | W_OK) == 0) {
        RefuseInUse(name);
        return false;
    }
    if (m_port.error() == QSerialPort::PermissionError && !m_deniedDevices.contains(name)) {
        m_deniedDevices.insert(name);
        emit permissionDenied(name);
    }
    if (m_port.error() == QSerialPort::DeviceNotFoundError && !m_missingDevices.contains(name)) {
        m_missingDevices.insert(name);
        emit deviceMissing(name);
    }
    return false;
}

bool CQtSerialPort::ClearInput() {
    return m_port.isOpen() && m_port.clear(QSerialPort::Input);
}

bool CQtSerialPort::IsOpen() const {
    return m_port.isOpen();
}

void CQtSerialPort::Close() {
    if (m_port.isOpen()) {
        m_port.close();
    }
}

bool CQtSerialPort::Write(const std::uint8_t* data, std::size_t size) {
    if (!m_port.isOpen()) {
        return false;
    }
    const auto n = static_cast<qint64>(size);
    if (m_port.write(reinterpret_cast<const char*>(data), n) != n) {
        return false;
    }
    // Hand the bytes to the device now, so a close right after a write keeps them.
    m_port.flush();
    return true;
}

std::vector<std::uint8_t> CQtSerialPort::ReadAll() {
    if (!m_port.isOpen()) {
        return {};
    }
    const QByteArray bytes = m_port.readAll();
    return std::vector<std::uint8_t>(bytes.begin(), bytes.end());
}

void CQtSerialPort::SetEventHandler(EventHandler handler) {
    m_handler = std::move(handler);
}

void CQtSerialPort::OnError(QSerialPort::SerialPortError error) {
    if (error != QSerialPort::ReadError && error != QSerialPort::ResourceError) {
        return;
    }
    if (!m_port.isOpen()) {
        return;
    }
    Close();
    Raise(PortEvent::LineError);
}

void CQtSerialPort::RefuseNotSerial(const QString& name, const std::string& what) {
    m_refusal = name.toStdString() + " is " + what + ", not a serial device";
    if (!m_toldDevices.contains(name)) {
        m_toldDevices.insert(name);
        emit notSerialDevice(name, QString::fromStdString(what));
    }
}

void CQtSerialPort::RefuseInUse(const QString& name) {
    const std::string holder = PortHolder(name.toStdString());
    m_refusal = "in use by " + (holder.empty() ? std::string("another program") : holder);
    if (!m_toldDevices.contains(name)) {
        m_toldDevices.insert(name);
        emit portInUse(name, QString::fromStdString(holder));
    }
}

void CQtSerialPort::Raise(PortEvent event) {
    if (m_handler) {
        m_handler(event);
    }
}

}  // namespace qf

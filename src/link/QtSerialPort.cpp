#include "link/QtSerialPort.h"

#include <sstream>

#include "link/PortMap.h"

namespace qf {

bool ParsePortSettings(const std::string& text, PortSettings& out) {
    std::istringstream in(text);
    std::string baud, parity, data, stop, extra;
    if (!std::getline(in, baud, ',') || !std::getline(in, parity, ',') ||
        !std::getline(in, data, ',') || !std::getline(in, stop, ',') || std::getline(in, extra)) {
        return false;
    }
    PortSettings s;
    try {
        std::size_t used = 0;
        const int b = std::stoi(baud, &used);
        if (used != baud.size() || b <= 0) {
            return false;
        }
        s.baud = b;
    } catch (const std::exception&) {
        return false;
    }
    if (parity.size() != 1) {
        return false;
    }
    switch (parity[0] | 0x20) {
        case 'n':
            s.parity = QSerialPort::NoParity;
            break;
        case 'e':
            s.parity = QSerialPort::EvenParity;
            break;
        case 'o':
            s.parity = QSerialPort::OddParity;
            break;
        case 'm':
            s.parity = QSerialPort::MarkParity;
            break;
        case 's':
            s.parity = QSerialPort::SpaceParity;
            break;
        default:
            return false;
    }
    if (data == "5") {
        s.dataBits = QSerialPort::Data5;
    } else if (data == "6") {
        s.dataBits = QSerialPort::Data6;
    } else if (data == "7") {
        s.dataBits = QSerialPort::Data7;
    } else if (data == "8") {
        s.dataBits = QSerialPort::Data8;
    } else {
        return false;
    }
    if (stop == "1") {
        s.stopBits = QSerialPort::OneStop;
    } else if (stop == "1.5") {
        s.stopBits = QSerialPort::OneAndHalfStop;
    } else if (stop == "2") {
        s.stopBits = QSerialPort::TwoStop;
    } else {
        return false;
    }
    out = s;
    return true;
}

CQtSerialPort::CQtSerialPort(DeviceResolver resolver, QObject* parent)
    : QObject(parent), m_resolver(std::move(resolver)) {
    if (!m_resolver) {
        m_resolver = [](int number) { return PortDevice(number); };
    }
    m_port.setFlowControl(QSerialPort::NoFlowControl);
    connect(&m_port, &QSerialPort::readyRead, this, [this] { Raise(COMM_EV_RECEIVE); });
    connect(&m_port, &QSerialPort::errorOccurred, this, &CQtSerialPort::OnError);
}

CQtSerialPort::~CQtSerialPort() {
    // Closing here, not in QSerialPort's destructor, keeps its signals from reaching a
    // half-destroyed object.
    m_port.disconnect(this);
    m_port.close();
}

bool CQtSerialPort::SetPort(int number) {
    if (number == m_nPort) {
        return true;
    }
    m_nPort = number;
    if (!m_port.isOpen()) {
        return true;
    }
    // Other COM changes the number on an open port: follow it at once rather than
    // keep talking to the old device until the watchdog notices.
    Close();
    return Open();
}

bool CQtSerialPort::SetInputMode(int mode) {
    // Data always arrive as bytes; only the binary mode exists here.
    return mode == INPUT_MODE_BINARY;
}

bool CQtSerialPort::SetSettings(const std::string& settings) {
    PortSettings s;
    if (!ParsePortSettings(settings, s)) {
        return false;
    }
    bool ok = m_port.setBaudRate(s.baud);
    ok = m_port.setParity(s.parity) && ok;
    ok = m_port.setDataBits(s.dataBits) && ok;
    ok = m_port.setStopBits(s.stopBits) && ok;
    return m_port.setFlowControl(QSerialPort::NoFlowControl) && ok;
}

bool CQtSerialPort::SetReceiveThreshold(int bytes) {
    return bytes >= 0;
}

bool CQtSerialPort::SetInputLength(int bytes) {
    // Reads always return everything buffered.
    return bytes == 0;
}

bool CQtSerialPort::ClearInput() {
    return m_port.isOpen() && m_port.clear(QSerialPort::Input);
}

bool CQtSerialPort::IsOpen() const {
    return m_port.isOpen();
}

bool CQtSerialPort::Open() {
    if (m_port.isOpen()) {
        return true;
    }
    const std::string device = m_resolver(m_nPort);
    if (device.empty()) {
        return false;
    }
    const QString name = QString::fromStdString(device);
    m_port.setPortName(name);
    if (m_port.open(QIODevice::ReadWrite)) {
        return true;
    }
    if (m_port.error() == QSerialPort::PermissionError && !m_deniedDevices.contains(name)) {
        m_deniedDevices.insert(name);
        emit permissionDenied(name);
    }
    return false;
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
    Raise(COMM_EV_LINE_ERROR);
}

void CQtSerialPort::Raise(int event) {
    if (m_handler) {
        m_handler(event);
    }
}

}  // namespace qf

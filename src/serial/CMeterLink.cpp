#include "serial/CMeterLink.h"

#include "link/LiveFrame.h"
#include "link/SerialPort.h"

namespace qf {

CMeterLink::CMeterLink(ISerialPort& port, DeviceResolver resolver, LinkPeriods periods,
                       QObject* parent)
    : QObject(parent), m_port(port), m_resolver(std::move(resolver)) {
    m_ackTimer.setInterval(periods.ackMs);
    m_watchdog.setInterval(periods.watchdogMs);
    connect(&m_ackTimer, &QTimer::timeout, this, &CMeterLink::OnAckTick);
    connect(&m_watchdog, &QTimer::timeout, this, &CMeterLink::OnWatchdogTick);
    m_port.SetEventHandler([this](PortEvent event) { OnPortEvent(event); });
}

CMeterLink::~CMeterLink() {
    m_port.SetEventHandler({});
}

void CMeterLink::SetPort(int number) {
    m_state.m_nPort = number;
    for (int i = 0; i < 4; ++i) {
        m_state.m_bComRadio[i] = (number == i + 1);
    }
    m_state.m_bAwaitFrame.fill(false);
}

void CMeterLink::Start() {
    // Counts as an opening of the port, so a meter that never answers is noticed at the
    // first watchdog tick.
    m_state.AwaitFrame(m_state.m_nPort) = true;
    OpenPort();
    m_ackTimer.start();
    m_watchdog.start();
}

void CMeterLink::Stop() {
    m_ackTimer.stop();
    m_watchdog.stop();
    m_port.Close();
    m_assembler.Reset();
}

void CMeterLink::OpenPort() {
    // A partial frame from before belongs to another connection.
    m_assembler.Reset();
    if (m_port.Open(Device(m_state.m_nPort), LINK_SETTINGS)) {
        m_port.ClearInput();
        const CommandPacket start = CMD_START;
        m_port.Write(start.data(), start.size());
    }
}

void CMeterLink::ChooseComPort(int n) {
    if (n < 1 || n > 4) {
        return;
    }
    if (m_port.IsOpen()) {
        m_port.Close();
    }
    m_state.m_nPort = n;
    OpenPort();
    m_state.m_bAwaitFrame.fill(false);
    m_state.AwaitFrame(n) = true;
    for (int i = 0; i < 4; ++i) {
        m_state.m_bComRadio[i] = (i == n - 1);
    }
    emit stateChanged();
}

bool CMeterLink::ChooseOtherCom(int n) {
    if (n < 5 || n > 16) {
        return false;
    }
    m_state.m_bAwaitFrame.fill(false);
    m_state.m_nPort = n;
    m_state.AwaitFrame(n) = true;
    OpenPort();
    m_state.m_bComRadio.fill(false);
    emit stateChanged();
    return true;
}

void CMeterLink::SendCommand(std::uint8_t code, std::uint8_t arg1, std::uint8_t arg2) {
    const CommandPacket packet = BuildCommand(code, arg1, arg2);
    Write(packet.data(), packet.size());
}

void CMeterLink::SendAck() {
    const std::uint8_t ack = ACK_BYTE;
    Write(&ack, 1);
}

void CMeterLink::Write(const std::uint8_t* data, std::size_t size) {
    // A closed or failing port loses the bytes silently.
    m_port.Write(data, size);
}

void CMeterLink::OnAckTick() {
    if (m_state.m_bFrameSeen) {
        SendAck();
    }
    m_state.m_bFrameSeen = false;
}

void CMeterLink::OnWatchdogTick() {
    if (m_state.AwaitFrame(m_state.m_nPort)) {
        m_state.m_bComEnabled.fill(true);
        m_state.m_bOtherComEnabled = true;
        if (m_port.IsOpen()) {
            m_port.Close();
        }
        OpenPort();
        emit linkLost();
    }
    m_state.AwaitFrame(m_state.m_nPort) = true;
}

bool CMeterLink::OnValidFrame() {
    m_state.m_bFrameSeen = true;
    const bool changed = m_state.m_bComEnabled != std::array<bool, 4>{} ||
                         m_state.m_bOtherComEnabled || m_state.AwaitFrame(m_state.m_nPort);
    m_state.m_bComEnabled.fill(false);
    m_state.AwaitFrame(m_state.m_nPort) = false;
    m_state.m_bOtherComEnabled = false;
    return changed;
}

void CMeterLink::OnPortEvent(PortEvent event) {
    const std::time_t now = std::time(nullptr);
    if (event != PortEvent::Received) {
        m_port.ClearInput();
        m_assembler.Reset();
        return;
    }
    const std::vector<std::uint8_t> bytes = m_port.ReadAll();
    // Signals go out after the assembler is done: a slot may reopen the port.
    std::vector<std::vector<std::uint8_t>> chunks;
    m_assembler.Feed(bytes.data(), bytes.size(),
                     [&](const std::uint8_t* data, std::size_t size, bool /*isFrame*/) {
                         chunks.emplace_back(data, data + size);
                     });
    for (const auto& chunk : chunks) {
        if (IsValidFrame(chunk.data(), chunk.size()) && OnValidFrame()) {
            emit stateChanged();
        }
        emit chunkReceived(chunk, static_cast<qint64>(now));
    }
}

}  // namespace qf

#include "link/CMeterLink.h"

#include <ctime>
#include <vector>

#include "link/SerialPort.h"

namespace qf {

CMeterLink::CMeterLink(ISerialPort& port, const DecoderTargets& targets, LinkPeriods periods,
                       QObject* parent)
    : QObject(parent), m_port(port), m_targets(targets) {
    m_ackTimer.setInterval(periods.ackMs);
    m_watchdog.setInterval(periods.watchdogMs);
    connect(&m_ackTimer, &QTimer::timeout, this, &CMeterLink::OnAckTick);
    connect(&m_watchdog, &QTimer::timeout, this, &CMeterLink::OnWatchdogTick);
    m_port.SetEventHandler([this](int event) { OnCommEvent(event); });
}

CMeterLink::~CMeterLink() {
    m_port.SetEventHandler({});
}

void CMeterLink::Start() {
    // Counts as an opening of the port, so a meter that never answers is noticed at the
    // first watchdog tick.
    m_targets.frame.AwaitFrame(m_targets.frame.m_nPort) = true;
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
    m_port.SetPort(m_targets.frame.m_nPort);
    m_port.SetInputMode(INPUT_MODE_BINARY);
    m_port.SetSettings(LINK_SETTINGS);
    m_port.SetReceiveThreshold(RECEIVE_THRESHOLD);
    m_port.SetInputLength(0);
    m_port.ClearInput();
    // A partial frame from before belongs to another connection.
    m_assembler.Reset();
    const CommandPacket start = CMD_START;
    if (m_port.IsOpen() || m_port.Open()) {
        m_port.Write(start.data(), start.size());
    }
}

void CMeterLink::ChooseComPort(int n) {
    if (n < 1 || n > 4) {
        return;
    }
    MainLinkState& frame = m_targets.frame;
    if (m_port.IsOpen()) {
        m_port.Close();
    }
    frame.m_nPort = n;
    OpenPort();
    frame.m_bAwaitFrame.fill(false);
    frame.AwaitFrame(n) = true;
    for (int i = 0; i < 4; ++i) {
        frame.m_bComRadio[i] = (i == n - 1);
    }
    emit portChosen();
}

bool CMeterLink::ChooseOtherCom(int n) {
    if (n < 5 || n > 16) {
        return false;
    }
    MainLinkState& frame = m_targets.frame;
    frame.m_bAwaitFrame.fill(false);
    frame.m_nPort = n;
    frame.AwaitFrame(n) = true;
    OpenPort();
    frame.m_bComRadio.fill(false);
    emit portChosen();
    return true;
}

void CMeterLink::SendCommand(std::uint8_t code, std::uint8_t arg1, std::uint8_t arg2) {
    const CommandPacket packet = BuildCommand(code, arg1, arg2);
    Write(packet.data(), packet.size());
}

void CMeterLink::SendKeyPress(MeterKey key) {
    const CommandPacket packet = KeyPressPacket(key);
    Write(packet.data(), packet.size());
}

void CMeterLink::SendKeyDoubleClick(MeterKey key) {
    if (const auto packet = KeyDoubleClickPacket(key)) {
        Write(packet->data(), packet->size());
    }
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
    MainLinkState& frame = m_targets.frame;
    if (frame.m_bFrameSeen) {
        SendAck();
    }
    frame.m_bFrameSeen = false;
}

void CMeterLink::OnWatchdogTick() {
    MainLinkState& frame = m_targets.frame;
    ViewLiveState& view = m_targets.view;
    if (frame.AwaitFrame(frame.m_nPort)) {
        frame.m_bAlarmHi.fill(false);
        frame.m_bAlarmLow.fill(false);
        view.m_bLinkLost = true;
        view.m_bRecordTick = false;
        frame.m_bComEnabled.fill(true);
        frame.m_bOtherComEnabled = true;
        view.m_bLiveIdle = false;
        frame.m_bRecording = false;
        view.m_bLiveRecording = false;
        frame.m_bStopped = true;
        if (m_port.IsOpen()) {
            m_port.Close();
        }
        OpenPort();
        emit linkLost();
    }
    frame.AwaitFrame(frame.m_nPort) = true;
}

void CMeterLink::OnCommEvent(int event) {
    const std::time_t now = std::time(nullptr);
    if (event != COMM_EV_RECEIVE) {
        m_port.ClearInput();
        m_assembler.Reset();
        return;
    }
    const std::vector<std::uint8_t> bytes = m_port.ReadAll();
    // Signals go out after the assembler is done: a slot may reopen the port.
    std::vector<DecodeOutcome> outcomes;
    m_assembler.Feed(bytes.data(), bytes.size(),
                     [&](const std::uint8_t* data, std::size_t size, bool /*isFrame*/) {
                         outcomes.push_back(m_decoder.OnReceive(m_targets, data, size, now));
                     });
    for (const DecodeOutcome& outcome : outcomes) {
        emit frameDecoded(outcome);
    }
}

}  // namespace qf

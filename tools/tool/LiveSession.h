// What monitor and record share: the meter opened and kept as the program does (its link
// on a Qt serial port, feeding a live model), a clean end on SIGINT, SIGTERM or SIGHUP,
// one line on standard error for each lost link and each reconnection, and an optional
// status line kept in place on a terminal.
#pragma once

#include <QCoreApplication>
#include <QSocketNotifier>
#include <chrono>
#include <cstdint>
#include <ctime>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "link/FrameTrace.h"
#include "live/LiveModel.h"
#include "serial/CMeterLink.h"
#include "serial/QtSerialPort.h"

namespace qftool {

// The device --port names: "COMn" through the settings file's PortMap as the program
// opens it, anything else a path (a bare name found only in /dev, such as ttyUSB0, as
// Qt takes it). Empty when it names no port ("COM0"), or when its PortMap entry is
// refused: `problem` then says why.
std::string PortArgDevice(const std::string& arg, std::string* problem = nullptr);

// Local ISO 8601 time with milliseconds and the zone's offset, 2024-05-01T10:00:00.123+02:00.
std::string IsoTime(std::chrono::system_clock::time_point t);

class CLiveSession {
public:
    // After each receive chunk has gone through the live model.
    using FrameHook = std::function<void(const qf::DecodeOutcome& outcome,
                                         std::chrono::system_clock::time_point when)>;

    // `command` prefixes every message. Creates the application object, so it comes first.
    CLiveSession(const char* command, std::string device, qf::CLiveModel& live);
    ~CLiveSession();
    CLiveSession(const CLiveSession&) = delete;
    CLiveSession& operator=(const CLiveSession&) = delete;

    void OnFrame(FrameHook hook) { m_onFrame = std::move(hook); }
    // A signal asked to end; by default the session ends with 0.
    void OnInterrupt(std::function<void()> hook) { m_onInterrupt = std::move(hook); }
    // The watchdog found the meter silent; once until frames come again.
    void OnLinkLost(std::function<void()> hook) { m_onLinkLost = std::move(hook); }

    // Opens the port and sends the start command, as the program does at start-up. False,
    // after one line naming the device and the reason, when the port cannot be opened.
    bool Start();
    // Runs until Quit; its code.
    int Exec();
    void Quit(int code);

    // The watchdog found the meter silent and no frame has come since.
    bool LinkDown() const { return m_bLinkDown; }
    int Reconnections() const { return m_nReconnections; }
    const std::string& Device() const { return m_device; }

    // One line on standard error, "<command>: text".
    void Say(const std::string& text);
    // Kept on the last line of a terminal, redrawn after each message; nothing when
    // standard error is no terminal.
    void SetStatusLine(const std::string& text);
    void ClearStatusLine();

private:
    void OnChunk(const std::vector<std::uint8_t>& chunk, qint64 time);
    void LinkLost();
    void OnSignal();

    int m_argc = 1;
    char m_argv0[16] = "qf7720-tool";
    char* m_argv[2] = {m_argv0, nullptr};
    std::unique_ptr<QCoreApplication> m_app;
    std::string m_command;
    std::string m_device;
    qf::CLiveModel& m_live;
    std::unique_ptr<qf::CQtSerialPort> m_port;
    std::unique_ptr<qf::CMeterLink> m_link;
    std::unique_ptr<QSocketNotifier> m_signals;
    std::unique_ptr<qf::CFrameTrace> m_trace;
    FrameHook m_onFrame;
    std::function<void()> m_onInterrupt;
    std::function<void()> m_onLinkLost;
    bool m_bLinkDown = false;
    std::chrono::steady_clock::time_point m_lastFrame;
    int m_nReconnections = 0;
    bool m_bTerminal = false;
    std::string m_status;
};

}  // namespace qftool

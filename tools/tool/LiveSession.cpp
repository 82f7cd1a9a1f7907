#include "LiveSession.h"

#include <fcntl.h>
#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <clocale>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "common/WholeNumber.h"
#include "link/LiveFrame.h"
#include "link/PortMap.h"
#include "store/ConfigFile.h"
#include "store/ValueText.h"

namespace qftool {

namespace {

// Signals become bytes on a pipe, read by the event loop.
int g_signalPipe[2] = {-1, -1};
constexpr int END_SIGNALS[] = {SIGINT, SIGTERM, SIGHUP};

void OnEndSignal(int) {
    const int saved = errno;
    const char byte = 1;
    [[maybe_unused]] const auto n = write(g_signalPipe[1], &byte, 1);
    errno = saved;
}

}  // namespace

std::string PortArgDevice(const std::string& arg, std::string* problem) {
    if (arg.size() > 3 && (arg[0] == 'C' || arg[0] == 'c') && (arg[1] == 'O' || arg[1] == 'o') &&
        (arg[2] == 'M' || arg[2] == 'm') &&
        arg.find_first_not_of("0123456789", 3) == std::string::npos) {
        const auto n = ParseWholeNumber(std::string_view(arg).substr(3), 0, 1000000);
        if (!n) {
            return {};
        }
        const qf::PortMapping mapped =
            qf::MapPort(int(*n), qf::CConfigFile(qf::CConfigFile::DefaultPath()));
        if (problem != nullptr) {
            *problem = mapped.problem;
        }
        return mapped.device;
    }
    // Qt would look for a relative name under /dev: a path relative to the working folder
    // is meant, unless only /dev has it ("ttyUSB0").
    std::error_code ec;
    const std::filesystem::path path(arg);
    if (arg.empty() || path.is_absolute() ||
        (!std::filesystem::exists(path, ec) && std::filesystem::exists("/dev" / path, ec))) {
        return arg;
    }
    return std::filesystem::absolute(path, ec).string();
}

std::string IsoTime(std::chrono::system_clock::time_point t) {
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(t.time_since_epoch());
    const std::time_t seconds = std::time_t(ms.count() / 1000);
    std::tm parts{};
    localtime_r(&seconds, &parts);
    char date[32];
    char zone[8];
    std::strftime(date, sizeof date, "%Y-%m-%dT%H:%M:%S", &parts);
    std::strftime(zone, sizeof zone, "%z", &parts);
    // %z gives +0200; ISO 8601's extended form wants +02:00.
    const std::string z(zone);
    return qf::Format("%s.%03d%s:%s", date, int(ms.count() % 1000), z.substr(0, 3).c_str(),
                      z.substr(3).c_str());
}

CLiveSession::CLiveSession(const char* command, std::string device, qf::CLiveModel& live)
    : m_app(std::make_unique<QCoreApplication>(m_argc, m_argv)),
      m_command(command),
      m_device(std::move(device)),
      m_live(live),
      m_trace(qf::CFrameTrace::FromEnvironment()),
      m_bTerminal(isatty(STDERR_FILENO) == 1) {
    // Qt takes the locale from the environment; every number printed keeps its dot.
    std::setlocale(LC_ALL, "C");
    if (g_signalPipe[0] < 0 && pipe2(g_signalPipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        g_signalPipe[0] = g_signalPipe[1] = -1;
    }
    if (g_signalPipe[0] >= 0) {
        m_signals = std::make_unique<QSocketNotifier>(g_signalPipe[0], QSocketNotifier::Read);
        QObject::connect(m_signals.get(), &QSocketNotifier::activated, [this] { OnSignal(); });
        struct sigaction action {};
        action.sa_handler = OnEndSignal;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        for (const int s : END_SIGNALS) {
            sigaction(s, &action, nullptr);
        }
    }

    m_port = std::make_unique<qf::CQtSerialPort>();
    m_link = std::make_unique<qf::CMeterLink>(*m_port, [this](int) { return m_device; });
    m_link->SetPort(1);
    QObject::connect(
        m_link.get(), &qf::CMeterLink::chunkReceived,
        [this](const std::vector<std::uint8_t>& chunk, qint64 time) { OnChunk(chunk, time); });
    QObject::connect(m_link.get(), &qf::CMeterLink::linkLost, [this] { LinkLost(); });
}

CLiveSession::~CLiveSession() {
    for (const int s : END_SIGNALS) {
        std::signal(s, SIG_DFL);
    }
    m_link->Stop();
    m_link.reset();
    m_port.reset();
    m_signals.reset();
}

bool CLiveSession::Start() {
    // A first "reconnected" counts from here, not from the machine's start.
    m_lastFrame = std::chrono::steady_clock::now();
    m_link->Start();
    if (m_port->IsOpen()) {
        return true;
    }
    if (!m_port->Refusal().empty()) {
        Say("cannot open " + m_device + ": " + m_port->Refusal());
        m_link->Stop();
        return false;
    }
    std::string reason = m_port->ErrorText().toStdString();
    // Qt says "Permission denied" also for a port another program holds locked; only a
    // device we may not open ourselves calls for its group (dialout for serial adapters).
    struct stat st {};
    if (m_port->Error() == QSerialPort::PermissionError &&
        access(m_device.c_str(), R_OK | W_OK) != 0 && errno == EACCES &&
        stat(m_device.c_str(), &st) == 0 && st.st_gid != 0) {
        if (const group* g = getgrgid(st.st_gid)) {
            reason += qf::Format(
                " (add yourself to the %s group: sudo adduser $USER %s, then "
                "log in again)",
                g->gr_name, g->gr_name);
        }
    }
    Say("cannot open " + m_device + ": " + reason);
    m_link->Stop();
    return false;
}

int CLiveSession::Exec() {
    return QCoreApplication::exec();
}

void CLiveSession::Quit(int code) {
    m_link->Stop();
    QCoreApplication::exit(code);
}

void CLiveSession::OnChunk(const std::vector<std::uint8_t>& chunk, qint64 time) {
    const auto when = std::chrono::system_clock::now();
    const bool valid = qf::IsValidFrame(chunk.data(), chunk.size());
    if (valid && m_trace) {
        m_trace->Frame("recv", qf::FrameFingerprint(chunk.data(), chunk.size()),
                       qf::CFrameTrace::Now());
    }
    const qf::DecodeOutcome outcome =
        m_live.OnReceive(chunk.data(), chunk.size(), static_cast<std::time_t>(time));
    if (valid) {
        const auto now = std::chrono::steady_clock::now();
        if (m_bLinkDown) {
            m_bLinkDown = false;
            ++m_nReconnections;
            const double gap = std::chrono::duration<double>(now - m_lastFrame).count();
            Say(IsoTime(when) + " reconnected to " + m_device +
                qf::Format(" after %.1f s without frames", gap));
        }
        m_lastFrame = now;
    }
    if (m_onFrame) {
        m_onFrame(outcome, when);
    }
}

void CLiveSession::LinkLost() {
    if (m_bLinkDown) {
        return;  // still silent: the watchdog keeps reopening every period
    }
    m_bLinkDown = true;
    if (m_trace) {
        m_trace->Note("lost", m_device, qf::CFrameTrace::Now());
    }
    Say(IsoTime(std::chrono::system_clock::now()) + " link lost, reopening " + m_device);
    if (m_onLinkLost) {
        m_onLinkLost();
    }
}

void CLiveSession::OnSignal() {
    char drain[16];
    while (read(g_signalPipe[0], drain, sizeof drain) > 0) {
    }
    if (m_onInterrupt) {
        m_onInterrupt();
    } else {
        Quit(EXIT_SUCCESS);
    }
}

void CLiveSession::Say(const std::string& text) {
    if (m_bTerminal && !m_status.empty()) {
        std::fputs("\r\033[K", stderr);
    }
    std::fprintf(stderr, "%s: %s\n", m_command.c_str(), text.c_str());
    if (m_bTerminal && !m_status.empty()) {
        std::fputs(m_status.c_str(), stderr);
    }
    std::fflush(stderr);
}

void CLiveSession::SetStatusLine(const std::string& text) {
    if (!m_bTerminal) {
        return;
    }
    m_status = text;
    std::fprintf(stderr, "\r\033[K%s", m_status.c_str());
    std::fflush(stderr);
}

void CLiveSession::ClearStatusLine() {
    if (m_bTerminal && !m_status.empty()) {
        std::fputs("\r\033[K", stderr);
        std::fflush(stderr);
    }
    m_status.clear();
}

}  // namespace qftool

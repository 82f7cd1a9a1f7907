#include "sim/SimulatedMeter.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>

#include "link/FrameTrace.h"
#include "link/HexLine.h"
#include "store/RegularFile.h"

namespace qf {

namespace {

void MakeRaw(int fd) {
    termios t{};
    if (tcgetattr(fd, &t) == 0) {
        cfmakeraw(&t);
        tcsetattr(fd, TCSANOW, &t);
    }
}

// Points `link` at `target`, replacing an older link in one step. Refuses to replace
// anything that is not a symbolic link.
bool UpdateLink(const std::string& link, const std::string& target, std::string* error) {
    struct stat st {};
    if (lstat(link.c_str(), &st) == 0 && !S_ISLNK(st.st_mode)) {
        if (error) {
            *error = link + " exists and is not a symbolic link";
        }
        return false;
    }
    const std::string tmp = link + ".new" + std::to_string(getpid());
    unlink(tmp.c_str());
    if (symlink(target.c_str(), tmp.c_str()) != 0 || rename(tmp.c_str(), link.c_str()) != 0) {
        if (error) {
            *error = link + ": " + std::strerror(errno);
        }
        unlink(tmp.c_str());
        return false;
    }
    return true;
}

}  // namespace

bool LoadPlaylist(const std::string& path, std::vector<std::vector<std::uint8_t>>& out,
                  std::string& error) {
    // As a data file is read: a regular file only (a FIFO would block, /dev/zero never
    // end), and no bigger than a long playlist.
    constexpr off_t MAX_PLAYLIST = 16 * 1024 * 1024;
    struct stat info {};
    int openError = 0;
    const int fd = OpenRegularFile(path, info, openError);
    if (fd < 0) {
        error = path + ": " + FileErrorText(openError);
        return false;
    }
    ::close(fd);
    if (info.st_size > MAX_PLAYLIST) {
        error = path + ": larger than 16 MB";
        return false;
    }
    std::ifstream in(path);
    if (!in) {
        error = path + ": cannot be read";
        return false;
    }
    out.clear();
    std::string line;
    for (int lineNo = 1; std::getline(in, line); ++lineNo) {
        std::vector<std::uint8_t> bytes;
        if (line.find_first_not_of(" \t\r") == std::string::npos || IsHexComment(line)) {
            continue;
        }
        if (!ParseHexLine(line, bytes)) {
            error = path + ":" + std::to_string(lineNo) + ": not hex byte pairs";
            return false;
        }
        out.push_back(std::move(bytes));
    }
    if (out.empty()) {
        error = path + ": no frames";
        return false;
    }
    return true;
}

CSimulatedMeter::CSimulatedMeter(SimOptions options)
    : m_options(std::move(options)), m_model(m_options.model), m_random(m_options.seed) {
    m_options.framePeriodMs = std::max(1, m_options.framePeriodMs);
    m_options.faults.splitParts = std::max(1, m_options.faults.splitParts);
    m_options.faults.framesPerWrite = std::max(1, m_options.faults.framesPerWrite);
}

CSimulatedMeter::~CSimulatedMeter() {
    Stop();
}

bool CSimulatedMeter::Start(std::string* error) {
    if (m_thread.joinable()) {
        return true;
    }
    int pipeFds[2];
    if (pipe2(pipeFds, O_CLOEXEC | O_NONBLOCK) != 0) {
        if (error) {
            *error = std::string("pipe: ") + std::strerror(errno);
        }
        return false;
    }
    m_wakeRead = pipeFds[0];
    m_wakeWrite = pipeFds[1];
    if (!OpenPty(error)) {
        close(m_wakeRead);
        close(m_wakeWrite);
        m_wakeRead = m_wakeWrite = -1;
        return false;
    }
    m_started = Clock::now();
    m_nextFrame = m_started;
    m_bStop = false;
    m_thread = std::thread([this] { Run(); });
    return true;
}

void CSimulatedMeter::Stop() {
    if (m_thread.joinable()) {
        {
            std::lock_guard lock(m_mutex);
            m_bStop = true;
        }
        Wake();
        m_thread.join();
    }
    std::lock_guard lock(m_mutex);
    ClosePty();
    if (!m_options.linkPath.empty()) {
        unlink(m_options.linkPath.c_str());
    }
    if (m_wakeRead >= 0) {
        close(m_wakeRead);
        close(m_wakeWrite);
        m_wakeRead = m_wakeWrite = -1;
    }
}

bool CSimulatedMeter::OpenPty(std::string* error) {
    const int master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    char name[128] = {};
    if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0 ||
        ptsname_r(master, name, sizeof name) != 0) {
        if (error) {
            *error = std::string("pseudo-terminal: ") + std::strerror(errno);
        }
        if (master >= 0) {
            close(master);
        }
        return false;
    }
    const int slave = open(name, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (slave < 0) {
        if (error) {
            *error = std::string(name) + ": " + std::strerror(errno);
        }
        close(master);
        return false;
    }
    MakeRaw(master);
    MakeRaw(slave);
    fcntl(master, F_SETFL, fcntl(master, F_GETFL) | O_NONBLOCK);
    if (!m_options.linkPath.empty() && !UpdateLink(m_options.linkPath, name, error)) {
        close(slave);
        close(master);
        return false;
    }
    m_master = master;
    m_slaveKeep = slave;
    m_slavePath = name;
    return true;
}

void CSimulatedMeter::ClosePty() {
    if (m_master >= 0) {
        close(m_master);
        m_master = -1;
    }
    if (m_slaveKeep >= 0) {
        close(m_slaveKeep);
        m_slaveKeep = -1;
    }
    m_slavePath.clear();
}

std::string CSimulatedMeter::DevicePath() const {
    if (!m_options.linkPath.empty()) {
        return m_options.linkPath;
    }
    return SlavePath();
}

std::string CSimulatedMeter::SlavePath() const {
    std::lock_guard lock(m_mutex);
    return m_slavePath;
}

void CSimulatedMeter::SetSending(bool on) {
    {
        std::lock_guard lock(m_mutex);
        m_bSending = on;
        m_bSilentTimed = false;
    }
    Wake();
}

void CSimulatedMeter::InjectGarbage(std::size_t bytes) {
    {
        std::lock_guard lock(m_mutex);
        m_garbageRequest += bytes;
    }
    Wake();
}

void CSimulatedMeter::HangUp(int comeBackAfterMs) {
    {
        std::lock_guard lock(m_mutex);
        HangUpLocked(comeBackAfterMs, Clock::now());
    }
    Wake();
}

void CSimulatedMeter::SetSplit(int parts) {
    std::lock_guard lock(m_mutex);
    m_options.faults.splitParts = std::max(1, parts);
}

void CSimulatedMeter::SetFramesPerWrite(int frames) {
    std::lock_guard lock(m_mutex);
    m_options.faults.framesPerWrite = std::max(1, frames);
}

void CSimulatedMeter::PowerOn() {
    std::lock_guard lock(m_mutex);
    m_model.PowerOn();
}

void CSimulatedMeter::PressKey(MeterKey key, bool doubleClick) {
    std::lock_guard lock(m_mutex);
    if (doubleClick) {
        m_model.DoubleClickKey(key);
    } else {
        m_model.PressKey(key);
    }
}

SimStatus CSimulatedMeter::Status() const {
    std::lock_guard lock(m_mutex);
    SimStatus s = m_status;
    s.counters = m_model.Counters();
    s.state = m_model.State();
    s.hungUp = m_bHungUp;
    s.sending = m_bSending;
    s.slavePath = m_slavePath;
    return s;
}

std::vector<std::uint8_t> CSimulatedMeter::Received() const {
    std::lock_guard lock(m_mutex);
    return m_received;
}

std::vector<CSimulatedMeter::Clock::time_point> CSimulatedMeter::AckTimes() const {
    std::lock_guard lock(m_mutex);
    return m_ackTimes;
}

std::vector<CSimulatedMeter::Clock::time_point> CSimulatedMeter::StartTimes() const {
    std::lock_guard lock(m_mutex);
    return m_startTimes;
}

void CSimulatedMeter::Wake() {
    if (m_wakeWrite >= 0) {
        const char c = 0;
        [[maybe_unused]] const auto n = write(m_wakeWrite, &c, 1);
    }
}

void CSimulatedMeter::Log(std::string message) {
    if (m_options.log) {
        m_logQueue.push_back(std::move(message));
    }
}

void CSimulatedMeter::HangUpLocked(int comeBackAfterMs, Clock::time_point now) {
    if (m_bHungUp) {
        return;
    }
    ClosePty();
    // The pty's number is free for the next one opened anywhere; a link left behind
    // would lead the program to a stranger's terminal.
    if (!m_options.linkPath.empty()) {
        unlink(m_options.linkPath.c_str());
    }
    m_bHungUp = true;
    ++m_status.hangups;
    // A meter cut off leaves PC-link mode; the next connection starts over.
    m_model.State().linked = false;
    m_pending.clear();
    m_batch.clear();
    m_batchFrames = 0;
    m_batchPrints.clear();
    m_bComeBack = comeBackAfterMs >= 0;
    m_comeBackAt = now + std::chrono::milliseconds(std::max(0, comeBackAfterMs));
    Log("hang-up");
}

void CSimulatedMeter::OnReceivedLocked(const std::uint8_t* data, std::size_t size,
                                       Clock::time_point now) {
    m_received.insert(m_received.end(), data, data + size);
    for (std::size_t i = 0; i < size; ++i) {
        const MeterCounters before = m_model.Counters();
        m_model.Receive(data + i, 1);
        const MeterCounters& after = m_model.Counters();
        if (after.acks != before.acks) {
            m_ackTimes.push_back(now);
            Log("ack");
        }
        if (after.starts != before.starts) {
            m_startTimes.push_back(now);
        }
        if (after.starts != before.starts || after.keys != before.keys ||
            after.unknownCommands != before.unknownCommands) {
            Log(CMeterModel::DescribeCommand(after.lastCommand));
        }
    }
}

void CSimulatedMeter::ProduceFrameLocked(Clock::time_point now) {
    const SimFaults& faults = m_options.faults;
    std::vector<std::uint8_t> bytes;
    ++m_framesProduced;
    if (faults.garbageEvery > 0 && m_framesProduced % faults.garbageEvery == 0) {
        m_garbageRequest += std::size_t(std::max(0, faults.garbageBytes));
    }
    // Garbage never holds a start marker, so it cannot hide a frame.
    for (; m_garbageRequest > 0; --m_garbageRequest) {
        std::uint8_t b;
        do {
            b = std::uint8_t(m_random());
        } while (b == FRAME_START);
        bytes.push_back(b);
    }
    const std::size_t frameAt = bytes.size();
    if (!m_options.playlist.empty()) {
        const auto& entry = m_options.playlist[m_playIndex];
        m_playIndex = (m_playIndex + 1) % m_options.playlist.size();
        bytes.insert(bytes.end(), entry.begin(), entry.end());
    } else {
        const double t = std::chrono::duration<double>(now - m_started).count();
        const LiveFrameBytes frame = m_model.NextFrame(t);
        bytes.insert(bytes.end(), frame.begin(), frame.end());
    }
    if (m_options.frameWritten && bytes.size() - frameAt == FRAME_SIZE) {
        m_batchPrints.push_back(FrameFingerprint(bytes.data() + frameAt, FRAME_SIZE));
    }
    m_batch.insert(m_batch.end(), bytes.begin(), bytes.end());
    if (++m_batchFrames >= faults.framesPerWrite) {
        QueueWriteLocked(std::move(m_batch), m_batchFrames, std::move(m_batchPrints), now);
        m_batch.clear();
        m_batchFrames = 0;
        m_batchPrints.clear();
    }

    if (faults.stopAfterFrames > 0 && m_framesProduced == faults.stopAfterFrames) {
        m_bSending = false;
        m_bSilentTimed = faults.stopForMs >= 0;
        m_silentUntil = now + std::chrono::milliseconds(std::max(0, faults.stopForMs));
        Log("silent");
    }
    if (faults.hangupAfterFrames > 0 && !m_bAutoHangupDone &&
        m_framesProduced >= faults.hangupAfterFrames) {
        m_bAutoHangupDone = true;
        WriteDueLocked(now);
        HangUpLocked(faults.hangupForMs, now);
    }
}

void CSimulatedMeter::QueueWriteLocked(std::vector<std::uint8_t> bytes, int frames,
                                       std::vector<std::uint64_t> prints, Clock::time_point now) {
    const int parts = std::min<int>(m_options.faults.splitParts, int(bytes.size()));
    if (parts <= 1) {
        m_pending.push_back({now, std::move(bytes), frames, std::move(prints)});
        return;
    }
    std::size_t pos = 0;
    for (int i = 0; i < parts; ++i) {
        const std::size_t end = bytes.size() * std::size_t(i + 1) / std::size_t(parts);
        m_pending.push_back({now + std::chrono::milliseconds(m_options.faults.splitGapMs * i),
                             std::vector<std::uint8_t>(bytes.begin() + std::ptrdiff_t(pos),
                                                       bytes.begin() + std::ptrdiff_t(end)),
                             i + 1 == parts ? frames : 0,
                             i + 1 == parts ? prints : std::vector<std::uint64_t>{}});
        pos = end;
    }
}

void CSimulatedMeter::WriteDueLocked(Clock::time_point now) {
    while (!m_pending.empty() && m_pending.front().due <= now) {
        const PendingWrite w = std::move(m_pending.front());
        m_pending.pop_front();
        if (m_master < 0) {
            continue;
        }
        // Taken before the write: the reader may well have the bytes before it returns.
        const Clock::time_point written = w.prints.empty() ? Clock::time_point{} : Clock::now();
        // Nobody reading and the pty's buffer full: the bytes are lost, as on a wire.
        if (write(m_master, w.bytes.data(), w.bytes.size()) == ssize_t(w.bytes.size())) {
            m_status.framesSent += w.frames;
            for (const std::uint64_t print : w.prints) {
                m_options.frameWritten(print, written);
            }
        }
        ++m_status.writes;
    }
}

void CSimulatedMeter::Run() {
    const auto period = std::chrono::milliseconds(m_options.framePeriodMs);
    std::unique_lock lock(m_mutex);
    while (!m_bStop) {
        const Clock::time_point now = Clock::now();
        if (m_bHungUp && m_bComeBack && now >= m_comeBackAt) {
            std::string error;
            if (OpenPty(&error)) {
                m_bHungUp = false;
                Log("back on " + m_slavePath);
            } else {
                m_comeBackAt = now + std::chrono::milliseconds(500);
                Log("cannot come back: " + error);
            }
        }
        if (m_bSilentTimed && now >= m_silentUntil) {
            m_bSilentTimed = false;
            m_bSending = true;
            Log("sending again");
        }
        if (now >= m_nextFrame) {
            m_nextFrame += period;
            if (m_nextFrame <= now) {
                m_nextFrame = now + period;  // no burst after a stall
            }
            if (!m_bHungUp && m_bSending && m_model.IsSending()) {
                ProduceFrameLocked(now);
            }
        }
        WriteDueLocked(now);

        Clock::time_point wakeAt = m_nextFrame;
        if (!m_pending.empty()) {
            wakeAt = std::min(wakeAt, m_pending.front().due);
        }
        if (m_bHungUp && m_bComeBack) {
            wakeAt = std::min(wakeAt, m_comeBackAt);
        }
        if (m_bSilentTimed) {
            wakeAt = std::min(wakeAt, m_silentUntil);
        }
        const auto waitMs =
            std::chrono::ceil<std::chrono::milliseconds>(wakeAt - Clock::now()).count();
        pollfd fds[2] = {{m_wakeRead, POLLIN, 0}, {m_master, POLLIN, 0}};
        const nfds_t count = m_master >= 0 ? 2 : 1;
        std::vector<std::string> logs;
        logs.swap(m_logQueue);
        lock.unlock();
        for (const std::string& message : logs) {
            m_options.log(message);
        }
        poll(fds, count, int(std::clamp<long long>(waitMs, 0, 1000)));
        lock.lock();
        if (fds[0].revents & POLLIN) {
            char drain[64];
            while (read(m_wakeRead, drain, sizeof drain) > 0) {
            }
        }
        if (count == 2 && m_master >= 0 && (fds[1].revents & POLLIN)) {
            std::uint8_t buf[512];
            const ssize_t n = read(m_master, buf, sizeof buf);
            if (n > 0) {
                OnReceivedLocked(buf, std::size_t(n), Clock::now());
            }
        }
    }
    std::vector<std::string> logs;
    logs.swap(m_logQueue);
    lock.unlock();
    for (const std::string& message : logs) {
        m_options.log(message);
    }
}

}  // namespace qf

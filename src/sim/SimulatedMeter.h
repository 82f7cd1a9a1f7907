// The meter model on a pseudo-terminal, run by a background thread: the program opens
// the slave device as if it were the meter's serial adapter. Sends nothing until it has
// received the start command, then one frame per period. Faults can be injected at
// start-up or while running: silence, garbage bytes, frames split across writes,
// several frames in one write, and hang-up (the pty master closed, later a new pty).
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "sim/MeterModel.h"

namespace qf {

struct SimFaults {
    int garbageEvery = 0;       // garbage bytes before every Nth frame; 0: never
    int garbageBytes = 7;       // how many
    int splitParts = 1;         // each write goes out in this many pieces
    int splitGapMs = 3;         // pause between the pieces
    int framesPerWrite = 1;     // frames collected into one write
    int stopAfterFrames = 0;    // fall silent after this many frames; 0: never
    int stopForMs = -1;         // for this long; -1: for good
    int hangupAfterFrames = 0;  // hang up after this many frames; 0: never
    int hangupForMs = 2000;     // then come back on a new pty; -1: stay away
};

struct SimOptions {
    int framePeriodMs = 500;
    // A symbolic link to the slave device, kept pointing at the current pty.
    std::string linkPath;
    MeterModelOptions model;
    // Written in turn, one entry per frame period, instead of the model's frames.
    std::vector<std::vector<std::uint8_t>> playlist;
    SimFaults faults;
    unsigned seed = 1;  // garbage bytes
    // Called on the simulator's thread for each received command and each fault.
    std::function<void(const std::string&)> log;
    // Called on the simulator's thread after a write has put frames out in full: the
    // fingerprint (FrameFingerprint) of each, and when the write began.
    std::function<void(std::uint64_t fingerprint, std::chrono::steady_clock::time_point written)>
        frameWritten;
};

struct SimStatus {
    MeterCounters counters;
    MeterState state;
    int framesSent = 0;  // frames written in full
    int writes = 0;
    int hangups = 0;
    bool hungUp = false;
    bool sending = true;  // not silenced
    std::string slavePath;
};

// Reads a file of writes: one per line as hex byte pairs (blanks between pairs
// allowed), lines starting with '#' and empty lines skipped.
bool LoadPlaylist(const std::string& path, std::vector<std::vector<std::uint8_t>>& out,
                  std::string& error);

class CSimulatedMeter {
public:
    using Clock = std::chrono::steady_clock;

    explicit CSimulatedMeter(SimOptions options = {});
    ~CSimulatedMeter();
    CSimulatedMeter(const CSimulatedMeter&) = delete;
    CSimulatedMeter& operator=(const CSimulatedMeter&) = delete;

    // Opens the pty (and the link) and starts the thread.
    bool Start(std::string* error = nullptr);
    // Stops the thread, closes the pty and removes the link.
    void Stop();

    // The device to open: the link when there is one, else the slave.
    std::string DevicePath() const;
    std::string SlavePath() const;

    // Run-time controls, from any thread.
    void SetSending(bool on);
    void InjectGarbage(std::size_t bytes);
    void HangUp(int comeBackAfterMs);
    void SetSplit(int parts);
    void SetFramesPerWrite(int frames);
    void PressKey(MeterKey key, bool doubleClick = false);
    // Switches the meter on again after POWEROFF.
    void PowerOn();

    SimStatus Status() const;
    // Every byte received from the program, in order.
    std::vector<std::uint8_t> Received() const;
    // When each acknowledgement and each start command arrived.
    std::vector<Clock::time_point> AckTimes() const;
    std::vector<Clock::time_point> StartTimes() const;

private:
    struct PendingWrite {
        Clock::time_point due;
        std::vector<std::uint8_t> bytes;
        int frames = 0;                     // frames completed by this write
        std::vector<std::uint64_t> prints;  // their fingerprints, when traced
    };

    void Run();
    bool OpenPty(std::string* error);
    void ClosePty();
    void HangUpLocked(int comeBackAfterMs, Clock::time_point now);
    void ProduceFrameLocked(Clock::time_point now);
    void QueueWriteLocked(std::vector<std::uint8_t> bytes, int frames,
                          std::vector<std::uint64_t> prints, Clock::time_point now);
    void WriteDueLocked(Clock::time_point now);
    void OnReceivedLocked(const std::uint8_t* data, std::size_t size, Clock::time_point now);
    void Log(std::string message);
    void Wake();

    SimOptions m_options;
    mutable std::mutex m_mutex;
    std::thread m_thread;
    bool m_bStop = false;
    int m_wakeRead = -1;
    int m_wakeWrite = -1;

    int m_master = -1;
    int m_slaveKeep = -1;  // keeps the slave side alive while the program has it closed
    std::string m_slavePath;

    CMeterModel m_model;
    Clock::time_point m_started;
    Clock::time_point m_nextFrame;
    bool m_bSending = true;
    bool m_bSilentTimed = false;
    Clock::time_point m_silentUntil;
    bool m_bHungUp = false;
    bool m_bComeBack = false;
    Clock::time_point m_comeBackAt;
    bool m_bAutoHangupDone = false;
    std::size_t m_garbageRequest = 0;
    std::vector<std::uint8_t> m_batch;
    int m_batchFrames = 0;
    std::vector<std::uint64_t> m_batchPrints;
    std::deque<PendingWrite> m_pending;
    std::size_t m_playIndex = 0;
    int m_framesProduced = 0;
    SimStatus m_status;
    std::vector<std::uint8_t> m_received;
    std::vector<Clock::time_point> m_ackTimes;
    std::vector<Clock::time_point> m_startTimes;
    std::mt19937 m_random;
    std::vector<std::string> m_logQueue;
};

}  // namespace qf

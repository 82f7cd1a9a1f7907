// record --port DEV -o FILE.AsmDat [--interval S] [--count N]: the program's recording
// without a window. It starts with the first frame and commits one sample per interval
// as the real-time view does, but goes on through a lost link, with samples without a
// value for the gap. It saves the data file and its text export as Save does when it
// ends (count, the record limit, SIGINT, SIGTERM, SIGHUP) and once a minute before, so
// that not even a killed run loses more than a minute.
#include <QTimer>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>

#include "LiveSession.h"
#include "ToolCommands.h"
#include "common/WholeNumber.h"
#include "store/AtomicFile.h"
#include "store/CQFDoc.h"
#include "store/ConfigFile.h"
#include "store/QFConstants.h"
#include "store/SaveRecording.h"
#include "store/Settings.h"
#include "store/TextExport.h"
#include "store/ValueText.h"

namespace qftool {

namespace {

constexpr auto CHECKPOINT_PERIOD = std::chrono::seconds(60);

const char USAGE[] =
    "record: usage: record --port DEV -o FILE.AsmDat [--interval S] [--count N] [--force]\n";

// Both files can be created where they belong; checked before the meter is opened, not
// found out at the end of a night.
bool CanWrite(const std::string& path) {
    qf::AtomicFile data(path);
    qf::AtomicFile text(qf::TextExportPath(path));
    return data.Open() && text.Open();
}

// A recording of a night is not replaced by a slip of the command line.
std::optional<std::string> ExistingOutput(const std::string& path) {
    for (const std::string& p : {path, qf::TextExportPath(path)}) {
        std::error_code ec;
        if (std::filesystem::exists(std::filesystem::symlink_status(p, ec))) {
            return p;
        }
    }
    return std::nullopt;
}

std::string Samples(int n) {
    return qf::Format(n == 1 ? "%d sample" : "%d samples", n);
}

std::string Elapsed(std::chrono::steady_clock::duration d) {
    const long s = long(std::chrono::duration_cast<std::chrono::seconds>(d).count());
    return qf::Format("%02ld:%02ld:%02ld", s / 3600, s / 60 % 60, s % 60);
}

class CRecorder {
public:
    CRecorder(CLiveSession& session, qf::CLiveModel& live, std::string path, int limit,
              qf::Settings settings)
        : m_session(session),
          m_live(live),
          m_path(std::move(path)),
          m_limit(limit),
          m_settings(std::move(settings)) {
        // Precise: each tick is due one interval after the one before, with no drift over
        // a night's recording.
        m_tick.setTimerType(Qt::PreciseTimer);
        QObject::connect(&m_tick, &QTimer::timeout, [this] { OnTick(); });
    }

    void OnFrame(const qf::DecodeOutcome& outcome) {
        if (outcome.recordingStarted) {
            m_started = std::chrono::steady_clock::now();
            m_lastSave = m_started;
            m_tick.start(m_live.Recording().m_nIntervalMs);
        }
        if (outcome.recordingEnded) {
            Finish();
            return;
        }
        if (outcome.valid && m_live.Recording().m_bRecording) {
            ShowProgress();
        }
    }

    // A tick without a frame commits nothing, as in the real-time view; while the link is
    // lost, it commits a sample without a value, so that the samples after the gap keep
    // their times.
    void OnTick() {
        bool committed = m_live.OnSamplingTick();
        if (committed) {
            m_nSilentTicks = 0;
        } else if (m_session.LinkDown()) {
            committed = CommitMissing();
        } else if (m_live.Recording().m_bRecording) {
            ++m_nSilentTicks;
        }
        if (committed) {
            AfterCommit();
        }
    }

    // The ticks since the last frame turn out to have been the start of the gap.
    void OnLinkLost() {
        bool committed = false;
        for (; m_nSilentTicks > 0 && !m_bFinished; --m_nSilentTicks) {
            committed = CommitMissing() || committed;
            if (m_live.Recording().m_nSampleIndex >= m_limit) {
                break;
            }
        }
        m_nSilentTicks = 0;
        if (committed) {
            AfterCommit();
        }
    }

    // The recording ends, is saved, and the session with it.
    void Finish() {
        if (m_bFinished) {
            return;
        }
        m_bFinished = true;
        m_tick.stop();
        const bool started = !m_live.Recording().m_bStartPending;
        if (m_live.Recording().m_bRecording) {
            m_live.Stop();
        }
        m_session.ClearStatusLine();
        if (!started) {
            m_session.Say("no frame arrived from " + m_session.Device() + ": nothing saved");
            m_session.Quit(EXIT_REFUSED);
            return;
        }
        const qf::RecordingState& rec = m_live.Recording();
        if (!Save()) {
            m_session.Say("could not save " + m_path + " and " + qf::TextExportPath(m_path));
            m_session.Quit(EXIT_REFUSED);
            return;
        }
        std::string summary = Samples(rec.m_nSampleIndex) +
                              qf::Format(", %d s apart, from ", rec.m_nIntervalMs / 1000) +
                              IsoTime(std::chrono::system_clock::from_time_t(rec.m_tmStart));
        if (m_nMissing > 0) {
            summary += qf::Format(" (%d without a value: link lost)", m_nMissing);
        }
        m_session.Say(summary + ", saved to " + m_path + " and " + qf::TextExportPath(m_path));
        m_session.Quit(EXIT_OK);
    }

private:
    bool CommitMissing() {
        if (!m_live.OnSamplingTickWithoutLink()) {
            return false;
        }
        ++m_nMissing;
        return true;
    }

    void AfterCommit() {
        ShowProgress();
        if (m_live.Recording().m_nSampleIndex >= m_limit) {
            Finish();
        } else if (std::chrono::steady_clock::now() - m_lastSave >= CHECKPOINT_PERIOD) {
            m_lastSave = std::chrono::steady_clock::now();
            // Said also where no status line shows: a long interval is otherwise silent.
            const int n = m_live.Recording().m_nSampleIndex;
            m_session.Say(Save()
                              ? "saved " + Samples(n) + " to " + m_path
                              : "could not save " + m_path + " and " + qf::TextExportPath(m_path));
        }
    }

    bool Save() {
        return qf::SaveRecording(m_path, m_live.Doc(), m_live.Recording(), m_live.Units(),
                                 m_settings.m_nYGain, m_settings.m_nYOffset) == qf::SaveStatus::Ok;
    }

    void ShowProgress() {
        const qf::RecordingState& rec = m_live.Recording();
        const qf::DisplayUnits& u = m_live.Units();
        // The latest frame's readings, in the slot the next tick commits.
        const int slot = rec.m_nSampleIndex;
        const auto& s = m_live.Doc().m_liveSamples;
        std::string line = qf::Format("%d of %d samples, ", rec.m_nSampleIndex, m_limit) +
                           Elapsed(std::chrono::steady_clock::now() - m_started);
        if (!m_session.LinkDown()) {
            line += ", AirT " + qf::TemperatureText(s[qf::CH_AIRT][slot], u.m_nTempUnit, false) +
                    u.m_strTempUnit;
            line += ", IRT " + qf::TemperatureText(s[qf::CH_IRT][slot], u.m_nTempUnit, true) +
                    u.m_strTempUnit;
            line += ", AirV " + qf::SpeedText(s[qf::CH_AIRV][slot], u.m_fSpeedFactor) +
                    u.m_strSpeedUnit;
        } else {
            line += ", link lost";
        }
        m_session.SetStatusLine(line);
    }

    CLiveSession& m_session;
    qf::CLiveModel& m_live;
    std::string m_path;
    int m_limit;
    qf::Settings m_settings;
    QTimer m_tick;
    std::chrono::steady_clock::time_point m_started;
    std::chrono::steady_clock::time_point m_lastSave;
    int m_nMissing = 0;      // samples without a value
    int m_nSilentTicks = 0;  // ticks without a frame since the last sample
    bool m_bFinished = false;
};

}  // namespace

int RunRecord(const Args& args) {
    std::string port, path;
    bool force = false;
    long long interval = 1;
    long long count = qf::RECORD_LIMIT;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const bool hasValue = i + 1 < args.size();
        if (a == "--port" && hasValue) {
            port = args[++i];
        } else if ((a == "-o" || a == "--output") && hasValue) {
            path = args[++i];
        } else if (a == "--force") {
            force = true;
        } else if (const auto n = hasValue && a == "--interval"
                                      ? ParseWholeNumber(args[i + 1], 1, qf::MAX_INTERVAL_SEC)
                                      : std::nullopt) {
            interval = *n;
            ++i;
        } else if (const auto n = hasValue && a == "--count"
                                      ? ParseWholeNumber(args[i + 1], 1, qf::RECORD_LIMIT)
                                      : std::nullopt) {
            count = *n;
            ++i;
        } else {
            std::fputs(USAGE, stderr);
            return EXIT_USAGE;
        }
    }
    if (path.empty()) {
        std::fputs(USAGE, stderr);
        return EXIT_USAGE;
    }
    // The data file's ending, as Save gives it.
    path = qf::DataFilePath(path);
    const std::string device = PortArgDevice(port);
    if (device.empty()) {
        std::fprintf(stderr, "record: --port needs a device or a port name COM1, COM2, ...\n");
        return EXIT_USAGE;
    }
    if (const auto existing = force ? std::nullopt : ExistingOutput(path)) {
        std::fprintf(stderr, "record: %s exists; give --force to replace it\n", existing->c_str());
        return EXIT_REFUSED;
    }
    if (!CanWrite(path)) {
        std::fprintf(stderr, "record: cannot write %s and %s\n", path.c_str(),
                     qf::TextExportPath(path).c_str());
        return EXIT_REFUSED;
    }

    auto doc = std::make_unique<qf::CQFDoc>();
    qf::CLiveModel live(*doc);
    CLiveSession session("record", device, live);
    // The graph's Y gain and offset go into the file as the program's Save writes them.
    CRecorder recorder(session, live, path, int(count),
                       qf::LoadSettings(qf::CConfigFile(qf::CConfigFile::DefaultPath())));
    session.OnFrame([&](const qf::DecodeOutcome& outcome, auto) { recorder.OnFrame(outcome); });
    session.OnInterrupt([&] { recorder.Finish(); });
    session.OnLinkLost([&] { recorder.OnLinkLost(); });
    // Run with the interval accepted: the first valid frame starts the recording.
    const int seconds = int(interval);
    live.Run(&seconds);
    if (!session.Start()) {
        return EXIT_REFUSED;
    }
    return session.Exec();
}

}  // namespace qftool

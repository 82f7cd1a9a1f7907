// record --port DEV -o FILE.AsmDat [--interval S] [--count N]: the program's recording
// without a window. It starts with the first frame and commits one sample per interval
// as the real-time view does, but goes on through a lost link, with samples without a
// value for the gap. It saves the data file and its text export as Save does when it
// ends (count, the record limit, SIGINT, SIGTERM, SIGHUP) and once a minute before, so
// that not even a killed run loses more than a minute.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/statvfs.h>
#include <unistd.h>
#include <QStandardPaths>
#include <QTimer>

#include <cerrno>
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
#include "store/KeptRecording.h"
#include "store/QFConstants.h"
#include "store/RegularFile.h"
#include "store/SaveRecording.h"
#include "store/Settings.h"
#include "store/TextExport.h"
#include "store/ValueText.h"

namespace qftool {

namespace {

// Once a minute; QF_RECORD_SAVE_SECONDS shortens it for the tests of a failing save.
std::chrono::seconds CheckpointPeriod() {
    const char* text = std::getenv("QF_RECORD_SAVE_SECONDS");
    const auto n = text != nullptr ? ParseWholeNumber(text, 1, 3600) : std::nullopt;
    return std::chrono::seconds(n ? *n : 60);
}
// Room a sample takes in the data file and in its table, with margin.
constexpr long long BYTES_PER_SAMPLE = 160;

const char USAGE[] =
    "record: usage: record --port DEV -o FILE.AsmDat [--interval S] [--count N] [--force]\n";

std::string Reason(int error) {
    return qf::FileErrorText(error);
}

// Both files can be created where they belong; checked before the meter is opened, not
// found out at the end of a night. 0, or why not.
int WriteError(const qf::OutputFile& out) {
    qf::AtomicFile data(out);
    if (!data.Open()) {
        return data.Error();
    }
    qf::AtomicFile text(out.Sibling(qf::TextExportPath(out.name)));
    return text.Open() ? 0 : text.Error();
}

// A recording of a night is not replaced by a slip of the command line.
std::optional<std::string> ExistingOutput(const qf::OutputFile& out) {
    for (const std::string& name : {out.name, qf::TextExportPath(out.name)}) {
        struct stat info {};
        if (::fstatat(out.folder->Fd(), name.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0) {
            return out.Sibling(name).path;
        }
    }
    return std::nullopt;
}

// While a run records into a file, it holds a lock beside it: a second run on the same
// file would replace the first one's data with its own at every save.
class COutputLock {
public:
    // False, with the other run's pid when it wrote one, when another run holds it.
    bool Take(const qf::OutputFile& out, long& holder, int& error) {
        m_folder = out.folder;
        m_name = "." + out.name + ".lock";
        for (int attempt = 0; attempt < 4; ++attempt) {
            m_fd = ::openat(m_folder->Fd(), m_name.c_str(),
                            O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
            if (m_fd < 0) {
                error = errno;
                return false;
            }
            if (::flock(m_fd, LOCK_EX | LOCK_NB) != 0) {
                error = errno;
                char text[32] = {};
                holder = ::pread(m_fd, text, sizeof text - 1, 0) > 0 ? std::atol(text) : 0;
                Close();
                return false;
            }
            // The lock file a finishing run removed is no lock: take the one there now.
            struct stat held {};
            struct stat there {};
            if (::fstat(m_fd, &held) == 0 &&
                ::fstatat(m_folder->Fd(), m_name.c_str(), &there, AT_SYMLINK_NOFOLLOW) == 0 &&
                held.st_ino == there.st_ino && held.st_dev == there.st_dev) {
                const std::string pid = std::to_string(::getpid()) + "\n";
                [[maybe_unused]] const int t = ::ftruncate(m_fd, 0);
                [[maybe_unused]] const ssize_t n = ::pwrite(m_fd, pid.data(), pid.size(), 0);
                return true;
            }
            Close();
        }
        error = EAGAIN;
        return false;
    }
    ~COutputLock() {
        if (m_fd >= 0) {
            ::unlinkat(m_folder->Fd(), m_name.c_str(), 0);
            Close();
        }
    }

private:
    void Close() {
        ::close(m_fd);
        m_fd = -1;
    }
    std::shared_ptr<const qf::COpenFolder> m_folder;
    std::string m_name;
    int m_fd = -1;
};

// The places a recording is kept when its own file cannot be written.
std::vector<qf::KeptPlace> KeptPlaces() {
    return qf::KeptPlaces(
        QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation).toStdString());
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
    CRecorder(CLiveSession& session, qf::CLiveModel& live, qf::OutputFile out, int limit,
              qf::Settings settings)
        : m_session(session),
          m_live(live),
          m_out(std::move(out)),
          m_path(m_out.path),
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
        if (const int error = Save()) {
            // Kept where the program keeps a recording at a signal, not thrown away.
            const std::string said = "could not save " + m_path + ": " + Reason(error);
            const qf::KeptOutcome kept = Keep();
            m_session.Say(kept.path.empty() ? said + "; nor keep it in " + kept.failedIn + ": " +
                                                  Reason(kept.error)
                                            : said + "; the recording was kept in " + kept.path +
                                                  " and " + qf::TextExportPath(kept.path));
            m_session.Quit(EXIT_REFUSED);
            return;
        }
        DropKept();
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
        } else if (std::chrono::steady_clock::now() - m_lastSave >= m_period) {
            m_lastSave = std::chrono::steady_clock::now();
            // Said also where no status line shows: a long interval is otherwise silent.
            const int n = m_live.Recording().m_nSampleIndex;
            if (const int error = Save()) {
                // Said at once, and each period until it works again; meanwhile the
                // samples are kept elsewhere, so that a killed run still leaves them.
                const qf::KeptOutcome kept = Keep();
                m_session.Say("could not save " + Samples(n) + " to " + m_path + ": " +
                              Reason(error) +
                              (kept.path.empty() ? std::string("; trying again each minute")
                                                 : "; kept meanwhile in " + kept.path));
                m_bSaveFailed = true;
            } else {
                m_session.Say("saved " + Samples(n) + " to " + m_path +
                              (m_bSaveFailed ? " (saving works again)" : ""));
                m_bSaveFailed = false;
                DropKept();
            }
        }
    }

    // 0, or why the save failed.
    int Save() {
        int error = 0;
        const qf::SaveStatus status =
            qf::SaveRecording(m_out, m_live.Doc(), m_live.Recording(), m_live.Units(),
                              m_settings.m_nYGain, m_settings.m_nYOffset, &error);
        return status == qf::SaveStatus::Ok ? 0 : error != 0 ? error : EIO;
    }

    // The recording in the first kept-recording place that takes it; the same file at
    // each later try.
    qf::KeptOutcome Keep() {
        const auto save = [this](const std::string& dataPath) {
            int error = 0;
            const qf::SaveStatus status =
                qf::SaveRecording(dataPath, m_live.Doc(), m_live.Recording(), m_live.Units(),
                                  m_settings.m_nYGain, m_settings.m_nYOffset, &error);
            return status == qf::SaveStatus::Ok ? 0 : error != 0 ? error : EIO;
        };
        if (!m_kept.empty() && save(m_kept) == 0) {
            return {m_kept, {}, 0};
        }
        std::string name = m_out.name.substr(0, m_out.name.size() - 7);
        qf::KeptOutcome kept = qf::KeepRecording(KeptPlaces(), name, save);
        if (!kept.path.empty()) {
            m_kept = kept.path;
        }
        return kept;
    }

    // The recording reached its own file: a copy kept meanwhile is no longer needed.
    void DropKept() {
        if (m_kept.empty()) {
            return;
        }
        std::error_code ec;
        std::filesystem::remove(m_kept, ec);
        std::filesystem::remove(qf::TextExportPath(m_kept), ec);
        qf::ForgetKept(KeptPlaces(), m_kept);
        m_kept.clear();
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
    qf::OutputFile m_out;
    std::string m_path;
    std::string m_kept;  // a copy kept while the output could not be written
    int m_limit;
    qf::Settings m_settings;
    QTimer m_tick;
    std::chrono::steady_clock::time_point m_started;
    std::chrono::steady_clock::time_point m_lastSave;
    int m_nMissing = 0;      // samples without a value
    int m_nSilentTicks = 0;  // ticks without a frame since the last sample
    bool m_bFinished = false;
    bool m_bSaveFailed = false;
    std::chrono::seconds m_period = CheckpointPeriod();
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
    std::string problem;
    const std::string device = PortArgDevice(port, &problem);
    if (!problem.empty()) {
        std::fprintf(stderr, "%s: %s\n", "record", problem.c_str());
        return EXIT_REFUSED;
    }
    if (device.empty()) {
        std::fprintf(stderr, "record: --port needs a device or a port name COM1, COM2, ...\n");
        return EXIT_USAGE;
    }
    // Resolved once: a link at the output re-pointed during the run changes nothing.
    int error = 0;
    const auto out = qf::ResolveOutput(path, error);
    if (!out) {
        std::fprintf(stderr, "record: cannot write %s: %s\n", path.c_str(), Reason(error).c_str());
        return EXIT_REFUSED;
    }
    COutputLock lock;
    if (long holder = 0; !lock.Take(*out, holder, error)) {
        if (error == EWOULDBLOCK) {
            std::fprintf(stderr, "record: %s is being recorded by another run%s\n",
                         out->path.c_str(),
                         holder > 0 ? qf::Format(" (pid %ld)", holder).c_str() : "");
        } else {
            std::fprintf(stderr, "record: cannot write %s: %s\n", out->path.c_str(),
                         Reason(error).c_str());
        }
        return EXIT_REFUSED;
    }
    if (const auto existing = force ? std::nullopt : ExistingOutput(*out)) {
        std::fprintf(stderr, "record: %s exists; give --force to replace it\n", existing->c_str());
        return EXIT_REFUSED;
    }
    if (const int e = WriteError(*out)) {
        std::fprintf(
            stderr, "record: cannot write %s: %s\n", out->path.c_str(),
            Reason(e == qf::NOT_REGULAR_FILE && std::filesystem::is_directory(out->path) ? EISDIR
                                                                                         : e)
                .c_str());
        return EXIT_REFUSED;
    }
    // A full disk is said now, not an hour later: each save needs room for the new files
    // beside the old ones.
    if (struct statvfs fsInfo{}; ::fstatvfs(out->folder->Fd(), &fsInfo) == 0) {
        const long long free = (long long)fsInfo.f_bavail * (long long)fsInfo.f_frsize;
        const long long need = 2 * count * BYTES_PER_SAMPLE + 8192;
        if (free < need) {
            std::fprintf(stderr, "record: only %lld kB free on %s; %s need about %lld kB\n",
                         free / 1024,
                         out->folder->Path().empty() ? "." : out->folder->Path().c_str(),
                         Samples(int(count)).c_str(), need / 1024);
            return EXIT_REFUSED;
        }
    }

    auto doc = std::make_unique<qf::CQFDoc>();
    qf::CLiveModel live(*doc);
    CLiveSession session("record", device, live);
    // The graph's Y gain and offset go into the file as the program's Save writes them.
    CRecorder recorder(session, live, *out, int(count),
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

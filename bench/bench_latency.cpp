// Frame-to-screen latency of the main window over a real pseudo-terminal: from the write
// of a frame at the meter's end to the end of the window update that painted it on the
// meter panel's LCD, as CPaintProbe sees it. The manual time of an iteration is that
// latency; the counters give its median and 99th percentile.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <QApplication>
#include <algorithm>
#include <chrono>
#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <vector>

#include "BenchApp.h"
#include "app/CMainFrame.h"
#include "app/CPaintProbe.h"
#include "link/FrameTrace.h"
#include "link/LiveFrame.h"
#include "store/CQFDoc.h"
#include "view/CQFView.h"

// Outside any namespace, as the resource macro needs.
void InitResources() {
    Q_INIT_RESOURCE(app);
}

namespace {

using namespace qf;
using Clock = std::chrono::steady_clock;

void MakeRaw(int fd) {
    termios t{};
    if (tcgetattr(fd, &t) == 0) {
        cfmakeraw(&t);
        tcsetattr(fd, TCSANOW, &t);
    }
}

// The main window on a settings file of its own, its port the slave of a pty whose
// master this end writes the frames to.
struct Rig {
    std::filesystem::path dir =
        std::filesystem::temp_directory_path() / ("qf7720-bench-" + std::to_string(getpid()));
    qfbench::SilentPrompts prompts;
    std::unique_ptr<CQFDoc> doc = std::make_unique<CQFDoc>();
    std::unique_ptr<CMainFrame> frame;
    std::unique_ptr<CPaintProbe> probe;
    int master = -1;
    std::uint64_t shown = 0;  // fingerprint of the frame last shown

    Rig() {
        qfbench::EnsureApp(InitResources);
        std::filesystem::create_directories(dir);
        master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
        char name[128] = {};
        if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0 ||
            ptsname_r(master, name, sizeof name) != 0) {
            return;
        }
        MakeRaw(master);
        fcntl(master, F_SETFL, fcntl(master, F_GETFL) | O_NONBLOCK);
        FrameOptions options;
        options.prompts = &prompts;
        options.configPath = (dir / "QF7720config.ini").string();
        options.resolver = [device = std::string(name)](int) { return device; };
        frame = std::make_unique<CMainFrame>(*doc, std::move(options));
        frame->View().OnInitialUpdate();
        frame->resize(1024, 768);
        frame->show();
        probe = std::make_unique<CPaintProbe>(
            *frame, [this](const char* event, std::uint64_t fingerprint, std::int64_t) {
                if (std::string_view(event) == "shown") {
                    shown = fingerprint;
                }
            });
    }

    ~Rig() {
        probe.reset();
        frame.reset();
        if (master >= 0) {
            close(master);
        }
        std::filesystem::remove_all(dir);
    }

    // Start command and acknowledgements: read and dropped.
    void Drain() const {
        char buf[256];
        while (read(master, buf, sizeof buf) > 0) {
        }
    }

    // Writes one frame and waits until it is on the screen; its latency, or nothing.
    std::optional<Clock::duration> Show(int n) {
        LiveFrameFields f;
        f.a = flag::A_CELSIUS;
        f.d = flag::D_MS;
        f.airT = 20.0f + float(n % 1000) * 0.01f;
        f.upper = f.airT;
        f.airV = 1.0f + float(n % 997) * 0.01f;
        f.main = f.airV;
        const LiveFrameBytes bytes = BuildLiveFrame(f);
        const std::uint64_t print = FrameFingerprint(bytes.data(), bytes.size());
        const Clock::time_point start = Clock::now();
        if (write(master, bytes.data(), bytes.size()) != ssize_t(bytes.size())) {
            return std::nullopt;
        }
        while (shown != print) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
            if (Clock::now() - start > std::chrono::seconds(2)) {
                return std::nullopt;
            }
        }
        return Clock::now() - start;
    }
};

void BM_FrameToScreen(benchmark::State& state) {
    Rig rig;
    if (!rig.frame) {
        state.SkipWithError("no pseudo-terminal");
        return;
    }
    // The port is open and the first frame is shown: the start is not measured.
    for (int i = 0; i < 3; ++i) {
        rig.Show(-1 - i);
    }
    std::vector<double> ms;
    int n = 0;
    for (auto _ : state) {
        rig.Drain();
        const auto latency = rig.Show(n++);
        if (!latency) {
            state.SkipWithError("a frame never reached the screen");
            return;
        }
        const double seconds = std::chrono::duration<double>(*latency).count();
        state.SetIterationTime(seconds);
        ms.push_back(seconds * 1000.0);
    }
    std::sort(ms.begin(), ms.end());
    if (!ms.empty()) {
        state.counters["p50_ms"] = ms[(ms.size() - 1) / 2];
        state.counters["p99_ms"] = ms[std::min(ms.size() - 1, ms.size() * 99 / 100)];
    }
}
BENCHMARK(BM_FrameToScreen)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(500);

}  // namespace

// qf7720-meter-sim: the meter on a pseudo-terminal, for trying the program without one.
#include <poll.h>
#include <strings.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>

#include "common/WholeNumber.h"
#include "link/FrameTrace.h"
#include "sim/SimulatedMeter.h"
#include "store/Version.h"

namespace {

std::atomic<bool> g_quit{false};

void OnSignal(int) {
    g_quit = true;
}

const char USAGE[] =
    "usage: qf7720-meter-sim [OPTIONS]\n"
    "Runs the meter on a pseudo-terminal and prints the device to open. Nothing is sent\n"
    "until the start command arrives; then one frame per period.\n"
    "\n"
    "  --link PATH          keep a symbolic link PATH pointing at the device\n"
    "  --period MS          frame period (default 500)\n"
    "  --pattern NAME       readings: steady, wave (default) or ramp (sweeps through and\n"
    "                       beyond every range: over-range, under-range, no reading)\n"
    "  --values T,V,IR      base readings: air temperature C, air speed m/s, IR temp C\n"
    "  --cycle S            seconds per wave or ramp (default 60)\n"
    "  --area FT2           duct area in square feet (default 1)\n"
    "  --battery-low        report a low battery\n"
    "  --wake-on-start      a start command switches the meter on after POWEROFF\n"
    "  --frames FILE        write the lines of FILE in turn instead of the model's frames\n"
    "                       (hex byte pairs, one write per line, '#' comments)\n"
    "faults:\n"
    "  --stop-after N       fall silent after N frames\n"
    "  --stop-for MS        ... for MS, then send again (default: for good)\n"
    "  --garbage-every N    garbage bytes before every Nth frame\n"
    "  --garbage-bytes N    how many (default 7)\n"
    "  --split N            write each frame in N pieces\n"
    "  --split-gap MS       pause between the pieces (default 3)\n"
    "  --batch N            N frames in one write\n"
    "  --hangup-after N     hang up (close the pty master) after N frames\n"
    "  --hangup-for MS      then come back on a new pty after MS (default 2000, -1 never);\n"
    "                       use --link so that the program finds it\n"
    "  -v, --verbose        log what arrives and every fault on standard error\n"
    "  --version            print the version\n"
    "\n"
    "Commands on standard input while running, one per line:\n"
    "  stop | send | garbage [N] | hangup [MS] | split N | batch N |\n"
    "  key NAME [double]   (NAME: MAX/MINUP AVG HOLDUP UNITS HOLDD MAXMIND AREA POWEROFF IRT;\n"
    "                      POWER is POWEROFF)\n"
    "  on                  switch the meter on again after POWEROFF, as 'key POWER' does;\n"
    "                      it then sends once the program's next start command arrives\n"
    "  status | quit\n";

bool ParseFloat(const std::string& text, float& out) {
    char* end = nullptr;
    const float v = std::strtof(text.c_str(), &end);
    if (end == text.c_str() || *end != '\0') {
        return false;
    }
    out = v;
    return true;
}

std::optional<qf::MeterKey> KeyByName(const std::string& name) {
    // The key is marked with the power sign; "POWEROFF" is only its name in the layout.
    if (strcasecmp(name.c_str(), "POWER") == 0) {
        return qf::MeterKey::POWER_OFF;
    }
    for (int k = 0; k < qf::METER_KEY_COUNT; ++k) {
        const auto key = static_cast<qf::MeterKey>(k);
        if (strcasecmp(qf::KeyInfo(key).name, name.c_str()) == 0) {
            return key;
        }
    }
    return std::nullopt;
}

void PrintStatus(const qf::CSimulatedMeter& sim) {
    const qf::SimStatus s = sim.Status();
    std::printf(
        "device %s%s; %s; frames %d in %d writes; starts %d, acks %d, keys %d, unknown %d, "
        "bad bytes %d, hang-ups %d\n",
        s.hungUp ? "(hung up)" : s.slavePath.c_str(), s.state.poweredOn ? "" : ", off",
        s.state.linked ? (s.sending ? "sending" : "silenced") : "waiting for start", s.framesSent,
        s.writes, s.counters.starts, s.counters.acks, s.counters.keys, s.counters.unknownCommands,
        s.counters.badBytes, s.hangups);
    std::fflush(stdout);
}

// Commands on standard input that take a number. A count out of its range is refused:
// "garbage -1" would otherwise ask for 2^64 - 1 bytes.
struct CountCommand {
    const char* name;
    bool optional;  // the number may be left out, giving `def`
    int def;
    int min;
    int max;
    const char* usage;
    void (*apply)(qf::CSimulatedMeter&, int);
};

constexpr CountCommand COUNT_COMMANDS[] = {
    {"garbage", true, 7, 0, 1 << 20, "garbage [N]: N bytes from 0 to 1048576 (default 7)",
     [](qf::CSimulatedMeter& sim, int n) { sim.InjectGarbage(std::size_t(n)); }},
    {"hangup", true, 2000, -1, 86400000,
     "hangup [MS]: back after MS from 0 to 86400000, -1 never (default 2000)",
     [](qf::CSimulatedMeter& sim, int n) { sim.HangUp(n); }},
    {"split", false, 0, 1, 1000, "split N: each write in N pieces, N from 1 to 1000",
     [](qf::CSimulatedMeter& sim, int n) { sim.SetSplit(n); }},
    {"batch", false, 0, 1, 1000, "batch N: N frames in one write, N from 1 to 1000",
     [](qf::CSimulatedMeter& sim, int n) { sim.SetFramesPerWrite(n); }},
};

// One command line from standard input; false to quit.
bool RunCommand(qf::CSimulatedMeter& sim, const std::string& line) {
    std::istringstream in(line);
    std::string cmd, arg, arg2;
    in >> cmd >> arg >> arg2;
    if (cmd.empty()) {
        return true;
    }
    if (cmd == "quit" || cmd == "exit") {
        return false;
    }
    for (const CountCommand& c : COUNT_COMMANDS) {
        if (cmd != c.name) {
            continue;
        }
        std::optional<long long> n;
        if (!arg.empty()) {
            n = qftool::ParseWholeNumber(arg, c.min, c.max);
        } else if (c.optional) {
            n = c.def;
        }
        if (!n) {
            std::fprintf(stderr, "usage: %s\n", c.usage);
        } else {
            c.apply(sim, int(*n));
        }
        return true;
    }
    if (cmd == "stop") {
        sim.SetSending(false);
    } else if (cmd == "send") {
        sim.SetSending(true);
    } else if (cmd == "key" && KeyByName(arg)) {
        sim.PressKey(*KeyByName(arg), arg2 == "double");
    } else if (cmd == "on") {
        sim.PowerOn();
    } else if (cmd == "status") {
        PrintStatus(sim);
    } else {
        std::fprintf(stderr, "unknown command: %s\n", line.c_str());
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    qf::SimOptions opt;
    bool verbose = false;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        const char* v = i + 1 < argc ? argv[i + 1] : nullptr;
        // Each option within what makes sense: a period of 0 would spin, a batch of 0 send
        // nothing.
        auto intArg = [&](int& out, long long min = 0, long long max = 1000000000) {
            const auto n = v ? qftool::ParseWholeNumber(v, min, max) : std::nullopt;
            if (!n) {
                std::fprintf(stderr,
                             "qf7720-meter-sim: %s needs a whole number from %lld to %lld\n",
                             a.c_str(), min, max);
                std::exit(1);
            }
            out = int(*n);
            ++i;
        };
        auto textArg = [&]() -> std::string {
            if (!v) {
                std::fprintf(stderr, "qf7720-meter-sim: %s needs a value\n", a.c_str());
                std::exit(1);
            }
            ++i;
            return v;
        };
        if (a == "--help" || a == "-h") {
            std::fputs(USAGE, stdout);
            return 0;
        } else if (a == "--version") {
            std::printf("qf7720-meter-sim %s\n", qf::QF_VERSION);
            return 0;
        } else if (a == "--link") {
            opt.linkPath = textArg();
        } else if (a == "--period") {
            intArg(opt.framePeriodMs, 10, 3600000);
        } else if (a == "--pattern") {
            const std::string p = textArg();
            if (p == "steady") {
                opt.model.pattern = qf::ReadingPattern::Steady;
            } else if (p == "wave") {
                opt.model.pattern = qf::ReadingPattern::Wave;
            } else if (p == "ramp") {
                opt.model.pattern = qf::ReadingPattern::Ramp;
            } else {
                std::fprintf(stderr, "qf7720-meter-sim: unknown pattern %s\n", p.c_str());
                return 1;
            }
        } else if (a == "--values") {
            std::istringstream in(textArg());
            std::string t, s, r;
            if (!std::getline(in, t, ',') || !std::getline(in, s, ',') || !std::getline(in, r) ||
                !ParseFloat(t, opt.model.base.airT) || !ParseFloat(s, opt.model.base.airV) ||
                !ParseFloat(r, opt.model.base.irt)) {
                std::fprintf(stderr, "qf7720-meter-sim: --values needs T,V,IR\n");
                return 1;
            }
        } else if (a == "--cycle") {
            int s = 0;
            intArg(s, 1, 86400);
            opt.model.cycleSec = s;
        } else if (a == "--area") {
            if (!ParseFloat(textArg(), opt.model.areaFt2) || opt.model.areaFt2 < 0) {
                std::fprintf(stderr, "qf7720-meter-sim: --area needs a number\n");
                return 1;
            }
        } else if (a == "--battery-low") {
            opt.model.batteryLow = true;
        } else if (a == "--wake-on-start") {
            opt.model.wakeOnStart = true;
        } else if (a == "--frames") {
            std::string error;
            if (!qf::LoadPlaylist(textArg(), opt.playlist, error)) {
                std::fprintf(stderr, "qf7720-meter-sim: %s\n", error.c_str());
                return 2;
            }
        } else if (a == "--stop-after") {
            intArg(opt.faults.stopAfterFrames);
        } else if (a == "--stop-for") {
            intArg(opt.faults.stopForMs, -1, 86400000);
        } else if (a == "--garbage-every") {
            intArg(opt.faults.garbageEvery);
        } else if (a == "--garbage-bytes") {
            intArg(opt.faults.garbageBytes, 0, 1048576);
        } else if (a == "--split") {
            intArg(opt.faults.splitParts, 1, 1000);
        } else if (a == "--split-gap") {
            intArg(opt.faults.splitGapMs, 0, 60000);
        } else if (a == "--batch") {
            intArg(opt.faults.framesPerWrite, 1, 1000);
        } else if (a == "--hangup-after") {
            intArg(opt.faults.hangupAfterFrames);
        } else if (a == "--hangup-for") {
            intArg(opt.faults.hangupForMs, -1, 86400000);
        } else if (a == "-v" || a == "--verbose") {
            verbose = true;
        } else {
            std::fprintf(stderr, "qf7720-meter-sim: unknown option %s\n%s", a.c_str(), USAGE);
            return 1;
        }
    }
    // For measurements: every frame written, every fault and every command, with the time.
    const std::unique_ptr<qf::CFrameTrace> trace = qf::CFrameTrace::FromEnvironment();
    if (verbose || trace) {
        opt.log = [verbose, t = trace.get()](const std::string& message) {
            if (verbose) {
                std::fprintf(stderr, "meter-sim: %s\n", message.c_str());
            }
            if (t) {
                t->Note("sim", message, qf::CFrameTrace::Now());
            }
        };
    }
    if (trace) {
        opt.frameWritten = [t = trace.get()](std::uint64_t print, auto written) {
            t->Frame(
                "write", print,
                std::chrono::duration_cast<std::chrono::nanoseconds>(written.time_since_epoch())
                    .count());
        };
    }

    qf::CSimulatedMeter sim(opt);
    std::string error;
    if (!sim.Start(&error)) {
        std::fprintf(stderr, "qf7720-meter-sim: %s\n", error.c_str());
        return 2;
    }
    std::signal(SIGINT, OnSignal);
    std::signal(SIGTERM, OnSignal);
    std::signal(SIGHUP, OnSignal);
    std::printf("%s\n", sim.SlavePath().c_str());
    if (!opt.linkPath.empty()) {
        std::printf("link %s\n", opt.linkPath.c_str());
    }
    std::fflush(stdout);

    bool stdinOpen = true;
    std::string pending;
    while (!g_quit) {
        pollfd fd{STDIN_FILENO, POLLIN, 0};
        if (!stdinOpen || poll(&fd, 1, 200) <= 0) {
            if (!stdinOpen) {
                usleep(200 * 1000);
            }
            continue;
        }
        char buf[256];
        const ssize_t n = read(STDIN_FILENO, buf, sizeof buf);
        if (n <= 0) {
            stdinOpen = false;  // keep running without commands, e.g. in the background
            continue;
        }
        pending.append(buf, std::size_t(n));
        std::size_t eol;
        while ((eol = pending.find('\n')) != std::string::npos) {
            const std::string line = pending.substr(0, eol);
            pending.erase(0, eol + 1);
            if (trace) {
                trace->Note("cmd", line, qf::CFrameTrace::Now());
            }
            if (!RunCommand(sim, line)) {
                g_quit = true;
            }
        }
    }
    sim.Stop();
    return 0;
}

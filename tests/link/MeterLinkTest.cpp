// The live link: first its bookkeeping against a port in memory (the order of the
// opening steps, the port choices, the watchdog's effects, the acknowledgement rule),
// then its behaviour on real pseudo-terminals with the simulated meter at the far end.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTest>
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <memory>

#include "FakeSerialPort.h"
#include "helpers/TempDir.h"
#include "link/PortMap.h"
#include "live/LiveModel.h"
#include "serial/CMeterLink.h"
#include "serial/QtSerialPort.h"
#include "sim/SimulatedMeter.h"
#include "store/CQFDoc.h"
#include "store/ConfigFile.h"
#include "store/Settings.h"

namespace {

using namespace qf;
using qftest::FakeSerialPort;

QCoreApplication& App() {
    static int argc = 1;
    static char name[] = "meter_link_tests";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    return app;
}

// ---- against a port in memory -------------------------------------------------------

const char START_WRITE[] = "Write FF AA 55 63 63 00 00 00 C6 00 FF";

std::string FakeDevice(int n) {
    return "COM" + std::to_string(n);
}

std::vector<std::string> OpenSteps(int port) {
    return {"Open " + FakeDevice(port) + " 4800,n,8,1", "ClearInput", START_WRITE};
}

struct FakeLink {
    FakeSerialPort port;
    CMeterLink link{port, FakeDevice, LinkPeriods{100000, 100000}};
    std::vector<std::vector<std::uint8_t>> chunks;
    int lost = 0;

    FakeLink() {
        App();
        link.SetPort(1);
        QObject::connect(
            &link, &CMeterLink::chunkReceived,
            [this](const std::vector<std::uint8_t>& c, qint64) { chunks.push_back(c); });
        QObject::connect(&link, &CMeterLink::linkLost, [this] { ++lost; });
    }
    void Frame() {
        const auto bytes = BuildLiveFrame(LiveFrameFields{});
        port.Deliver(bytes.data(), bytes.size());
    }
    int ValidChunks() const {
        return int(std::count_if(chunks.begin(), chunks.end(),
                                 [](const auto& c) { return IsValidFrame(c.data(), c.size()); }));
    }
    const LinkState& State() const { return link.State(); }
};

TEST(MeterLink, OpenPortOpensThenSendsTheStartCommand) {
    FakeLink f;
    f.link.Start();
    EXPECT_EQ(f.port.log, OpenSteps(1));
    EXPECT_EQ(f.port.openings, 1);

    // Already open: set up again and the start command resent, not reopened.
    f.port.log.clear();
    f.link.OpenPort();
    EXPECT_EQ(f.port.log, OpenSteps(1));
    EXPECT_EQ(f.port.openings, 1);

    // Opening fails: nothing is written, and nothing is said.
    FakeLink g;
    g.port.failOpen = true;
    g.link.Start();
    EXPECT_EQ(g.port.writes.size(), 0u);
    EXPECT_FALSE(g.port.open);
}

TEST(MeterLink, PortChoices) {
    struct Case {
        const char* name;
        bool other;  // Other COM instead of COM1..COM4
        int number;
        int port;  // m_nPort afterwards
        std::array<bool, 4> radio;
        int awaited;  // the one m_bAwaitFrame entry set; -1: unchanged
        std::vector<std::string> log;
        int openings;  // closed ports opened
    };
    auto close = [](std::vector<std::string> steps) {
        steps.insert(steps.begin(), "Close");
        return steps;
    };
    const std::array<bool, 4> none{}, startRadio{true, false, false, false};
    const Case cases[] = {
        {"COM2 closes COM1 first",
         false,
         2,
         2,
         {false, true, false, false},
         2,
         close(OpenSteps(2)),
         2},
        {"COM4", false, 4, 4, {false, false, false, true}, 4, close(OpenSteps(4)), 2},
        {"Other COM 5 moves the open port", true, 5, 5, none, 5, OpenSteps(5), 2},
        {"Other COM 16", true, 16, 16, none, 16, OpenSteps(16), 2},
        {"Other COM 4 is refused", true, 4, 1, startRadio, -1, {}, 1},
        {"Other COM 17 is refused", true, 17, 1, startRadio, -1, {}, 1},
        {"COM5 is no menu item", false, 5, 1, startRadio, -1, {}, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeLink f;
        int changes = 0;
        QObject::connect(&f.link, &CMeterLink::stateChanged, [&] { ++changes; });
        f.link.Start();
        f.port.log.clear();
        const auto awaitBefore = f.State().m_bAwaitFrame;
        if (c.other) {
            EXPECT_EQ(f.link.ChooseOtherCom(c.number), c.awaited >= 0);
        } else {
            f.link.ChooseComPort(c.number);
        }
        EXPECT_EQ(f.port.log, c.log);
        EXPECT_EQ(f.port.openings, c.openings);
        EXPECT_EQ(changes, c.awaited >= 0 ? 1 : 0);
        EXPECT_EQ(f.State().m_nPort, c.port);
        EXPECT_EQ(f.State().m_bComRadio, c.radio);
        if (c.awaited < 0) {
            EXPECT_EQ(f.State().m_bAwaitFrame, awaitBefore);
        } else {
            for (int i = 0; i < AWAIT_FRAME_SLOTS; ++i) {
                EXPECT_EQ(f.State().m_bAwaitFrame[std::size_t(i)], i == c.awaited) << i;
            }
        }
    }
}

TEST(MeterLink, WatchdogReopensOnlyWhenNoFrameCameAndFreesThePortMenu) {
    FakeLink f;
    f.link.Start();
    f.Frame();
    EXPECT_FALSE(f.State().m_bComEnabled[0]);
    EXPECT_FALSE(f.State().m_bOtherComEnabled);
    EXPECT_FALSE(f.State().AwaitFrame(1));

    f.port.log.clear();
    f.link.OnWatchdogTick();  // a frame came since the start: alive
    EXPECT_EQ(f.lost, 0);
    EXPECT_TRUE(f.port.log.empty());
    EXPECT_FALSE(f.State().m_bComEnabled[0]);

    f.link.OnWatchdogTick();  // nothing since the last tick: lost
    EXPECT_EQ(f.lost, 1);
    EXPECT_EQ(f.port.log, [] {
        auto s = OpenSteps(1);
        s.insert(s.begin(), "Close");
        return s;
    }());
    EXPECT_EQ(f.State().m_bComEnabled, (std::array<bool, 4>{true, true, true, true}));
    EXPECT_TRUE(f.State().m_bOtherComEnabled);
    EXPECT_TRUE(f.State().AwaitFrame(1));

    f.Frame();
    EXPECT_FALSE(f.State().m_bComEnabled[3]);
    EXPECT_FALSE(f.State().AwaitFrame(1));
}

// Only the configuration file can hold such numbers; they must not reach outside the
// twenty awaiting-frame entries, and the watchdog still works.
TEST(MeterLink, PortNumbersOutsideTheMenuStayInBounds) {
    for (const int port : {0, -3, 99}) {
        SCOPED_TRACE(port);
        FakeLink f;
        f.link.SetPort(port);
        f.link.Start();
        f.link.OnWatchdogTick();
        EXPECT_EQ(f.lost, 1);
        f.Frame();
        f.link.OnWatchdogTick();
        EXPECT_EQ(f.lost, 1);
        f.link.OnWatchdogTick();
        EXPECT_EQ(f.lost, 2);
        for (int i = 1; i < AWAIT_FRAME_SLOTS; ++i) {
            EXPECT_FALSE(f.State().m_bAwaitFrame[std::size_t(i)]) << i;
        }
    }
}

TEST(MeterLink, AcknowledgesOnlyATickThatSawAFrame) {
    FakeLink f;
    f.link.Start();
    f.port.writes.clear();
    f.link.OnAckTick();
    EXPECT_TRUE(f.port.writes.empty());
    f.Frame();
    f.Frame();
    f.link.OnAckTick();
    f.link.OnAckTick();
    ASSERT_EQ(f.port.writes.size(), 1u);
    EXPECT_EQ(f.port.writes[0], std::vector<std::uint8_t>{ACK_BYTE});

    // A failing write still clears the flag.
    f.Frame();
    f.port.open = false;
    f.link.OnAckTick();
    EXPECT_FALSE(f.State().m_bFrameSeen);
}

TEST(MeterLink, ReceivedBytesBecomeWholeFramesAndALineErrorDropsAPartOne) {
    FakeLink f;
    f.link.Start();
    const auto frame = BuildLiveFrame(LiveFrameFields{});
    std::vector<std::uint8_t> three;
    for (int i = 0; i < 3; ++i) {
        three.insert(three.end(), frame.begin(), frame.end());
    }
    f.port.Deliver(three.data(), 60);
    f.port.Deliver(three.data() + 60, three.size() - 60);
    EXPECT_EQ(f.ValidChunks(), 3);

    f.port.Deliver(frame.data(), 20);
    f.port.handler(PortEvent::LineError);
    EXPECT_EQ(f.port.log.back(), "ClearInput");
    f.port.Deliver(frame.data() + 20, frame.size() - 20);
    f.port.Deliver(frame.data(), frame.size());
    EXPECT_EQ(f.ValidChunks(), 4);
    EXPECT_EQ(f.chunks.size(), 5u);  // the orphaned tail
}

// ---- the port layer ------------------------------------------------------------------

TEST(SerialPortLayer, PortNumbersMapToDevices) {
    qftest::TempDir dir;
    CConfigFile config(dir.file("QF7720config.ini"));
    config.WriteText("portmap", "com2", " /dev/ttyACM0 ");
    config.WriteText(SEC_PORT_MAP, "COM99", "/tmp/meter");
    config.WriteText(SEC_PORT_MAP, "COM3", "");
    config.WriteText(SEC_PORT_MAP, "COM4", "/dev/" + std::string(300, 'x'));
    const std::pair<int, std::string> cases[] = {
        {1, "/dev/ttyUSB0"},
        {2, "/dev/ttyACM0"},
        {3, "/dev/ttyUSB2"},  // empty: the default
        {4, ""},              // too long: refused, not cut to another path
        {16, "/dev/ttyUSB15"},
        {99, "/tmp/meter"},
        {0, ""},
        {-3, ""},
    };
    for (const auto& [number, device] : cases) {
        EXPECT_EQ(PortDevice(number, config), device) << number;
        EXPECT_EQ(MapPort(number, config).problem.empty(), number != 4) << number;
    }
}

// A path that is no serial device is refused with what it is, told once; Qt would open a
// FIFO or /dev/null and say nothing.
TEST(SerialPortLayer, aPathThatIsNoSerialDeviceIsRefusedWithWhatItIs) {
    App();
    qftest::TempDir dir;
    ASSERT_EQ(::mkfifo(dir.file("fifo").c_str(), 0600), 0);
    qftest::WriteAll(dir.file("file"), "x");
    const std::pair<std::string, std::string> cases[] = {
        {dir.file("fifo"), "a FIFO"},
        {dir.file("file"), "a regular file"},
        {dir.path().string(), "a folder"},
        {"/dev/null", "a device that is no terminal"},
    };
    for (const auto& [device, what] : cases) {
        CQtSerialPort port;
        int told = 0;
        QObject::connect(&port, &CQtSerialPort::notSerialDevice,
                         [&](const QString&, const QString& w) {
                             EXPECT_EQ(w.toStdString(), what);
                             ++told;
                         });
        for (int attempt = 0; attempt < 2; ++attempt) {
            EXPECT_FALSE(port.Open(device, PortSettings{}));
        }
        EXPECT_EQ(port.Refusal(), device + " is " + what + ", not a serial device");
        EXPECT_EQ(told, 1) << device;
    }
}

// ---- on pseudo-terminals, the simulated meter at the far end -----------------------

// A tenth of the real periods: acknowledgement 1 s, watchdog 3 s, a frame every 0.3 s.
constexpr LinkPeriods FAST{100, 300};
constexpr int FRAME_MS = 30;

using SteadyClock = std::chrono::steady_clock;

std::vector<std::uint8_t> StartBytes(int times) {
    std::vector<std::uint8_t> out;
    for (int i = 0; i < times; ++i) {
        out.insert(out.end(), CMD_START.begin(), CMD_START.end());
    }
    return out;
}

long long MsBetween(SteadyClock::time_point a, SteadyClock::time_point b) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(b - a).count();
}

SimOptions Meter(int periodMs = FRAME_MS) {
    SimOptions o;
    o.framePeriodMs = periodMs;
    return o;
}

// Counts real openings and closings, the port's own close on a hang-up included.
class CountingPort : public CQtSerialPort {
public:
    bool Open(const std::string& device, const PortSettings& settings) override {
        const bool wasOpen = IsOpen() && Device() == QString::fromStdString(device);
        const bool ok = CQtSerialPort::Open(device, settings);
        opens += ok && !wasOpen;
        return ok;
    }
    void Close() override {
        closes += IsOpen();
        CQtSerialPort::Close();
    }
    int opens = 0;
    int closes = 0;
};

// Simulated meters behind COM1.., a Qt port and the link, with the settings file in a
// temporary folder.
class PtyBench {
public:
    PtyBench() {
        App();
        setenv("XDG_CONFIG_HOME", m_dir.path().c_str(), 1);
    }
    ~PtyBench() {
        link.reset();
        port.reset();
        meters.clear();
    }

    CSimulatedMeter& AddMeter(SimOptions o = Meter()) {
        const int number = int(meters.size()) + 1;
        o.linkPath = m_dir.file("meter" + std::to_string(number));
        meters.push_back(std::make_unique<CSimulatedMeter>(o));
        std::string error;
        EXPECT_TRUE(meters.back()->Start(&error)) << error;
        CConfigFile(CConfigFile::DefaultPath())
            .WriteText(SEC_PORT_MAP, "COM" + std::to_string(number), o.linkPath);
        return *meters.back();
    }

    // The link feeds a live model, as in the program.
    void StartLink(LinkPeriods periods = FAST) {
        port = std::make_unique<CountingPort>();
        link = std::make_unique<CMeterLink>(
            *port, [](int n) { return PortDevice(n); }, periods);
        QObject::connect(link.get(), &CMeterLink::chunkReceived,
                         [this](const std::vector<std::uint8_t>& c, qint64 time) {
                             const DecodeOutcome o = live.OnReceive(c.data(), c.size(), time);
                             if (o.valid) {
                                 ++valid;
                                 sinceFrame.restart();
                                 menuGreyedAtFirstFrame = menuGreyedAtFirstFrame || MenuGreyed();
                             } else {
                                 ++invalid;
                             }
                         });
        QObject::connect(link.get(), &CMeterLink::linkLost, [this] { live.OnLinkLost(); });
        link->Start();
    }
    bool LinkLost() const { return live.Recording().m_bLinkLost; }

    bool MenuGreyed() const {
        const LinkState& m = link->State();
        return !m.m_bComEnabled[0] && !m.m_bComEnabled[1] && !m.m_bComEnabled[2] &&
               !m.m_bComEnabled[3] && !m.m_bOtherComEnabled;
    }
    bool MenuUsable() const {
        const LinkState& m = link->State();
        return m.m_bComEnabled[0] && m.m_bComEnabled[1] && m.m_bComEnabled[2] &&
               m.m_bComEnabled[3] && m.m_bOtherComEnabled;
    }

    template <typename Pred>
    bool WaitFor(Pred pred, int ms) {
        QElapsedTimer t;
        t.start();
        while (!pred()) {
            if (t.elapsed() > ms) {
                return false;
            }
            QTest::qWait(5);
        }
        return true;
    }

    std::unique_ptr<CQFDoc> doc = std::make_unique<CQFDoc>();
    CLiveModel live{*doc};
    std::vector<std::unique_ptr<CSimulatedMeter>> meters;
    std::unique_ptr<CountingPort> port;
    std::unique_ptr<CMeterLink> link;
    int valid = 0;
    int invalid = 0;
    bool menuGreyedAtFirstFrame = false;
    QElapsedTimer sinceFrame;

private:
    qftest::TempDir m_dir;
};

TEST(MeterLinkOnPty, EveryOpeningSendsOneStartPacket) {
    PtyBench b;
    CSimulatedMeter& sim = b.AddMeter();
    sim.SetSending(false);
    b.StartLink(LinkPeriods{100, 100000});
    ASSERT_TRUE(b.WaitFor([&] { return sim.Received().size() >= CMD_START.size(); }, 2000));
    QTest::qWait(100);
    EXPECT_EQ(sim.Received(), StartBytes(1));

    b.link->ChooseComPort(1);
    ASSERT_TRUE(b.WaitFor([&] { return sim.Received().size() >= 2 * CMD_START.size(); }, 2000));
    QTest::qWait(100);
    EXPECT_EQ(sim.Received(), StartBytes(2));
    EXPECT_EQ(b.port->opens, 2);
    EXPECT_EQ(b.port->closes, 1);
}

TEST(MeterLinkOnPty, OneAcknowledgementPerPeriodWhileFramesArriveAndNoneWithout) {
    PtyBench b;
    CSimulatedMeter& sim = b.AddMeter();
    b.StartLink();
    ASSERT_TRUE(b.WaitFor([&] { return b.valid > 0; }, 2000));
    const auto from = SteadyClock::now();
    QTest::qWait(1000);
    const auto acks = sim.AckTimes();
    const auto inWindow =
        std::count_if(acks.begin(), acks.end(), [&](auto t) { return t >= from; });
    EXPECT_GE(inWindow, 9);
    EXPECT_LE(inWindow, 11);
    for (std::size_t i = 1; i < acks.size(); ++i) {
        EXPECT_GE(MsBetween(acks[i - 1], acks[i]), 50) << "two acknowledgements in one period";
    }

    sim.SetSending(false);
    QTest::qWait(2 * FAST.ackMs + 20);  // the last frame's acknowledgement may still go
    const std::size_t settled = sim.AckTimes().size();
    QTest::qWait(500);
    EXPECT_EQ(sim.AckTimes().size(), settled);
}

TEST(MeterLinkOnPty, SilentMeterIsReopenedEveryWatchdogPeriodAndTheMenuStaysUsable) {
    PtyBench b;
    CSimulatedMeter& sim = b.AddMeter();
    sim.SetSending(false);
    b.StartLink();
    bool alwaysUsable = true;
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < 3 * FAST.watchdogMs + 150) {
        alwaysUsable = alwaysUsable && b.MenuUsable();
        QTest::qWait(10);
    }
    EXPECT_TRUE(alwaysUsable);
    EXPECT_TRUE(b.LinkLost());
    const auto starts = sim.StartTimes();
    ASSERT_EQ(starts.size(), 4u) << "at start-up and at each of three watchdog ticks";
    for (std::size_t i = 1; i < starts.size(); ++i) {
        EXPECT_NEAR(double(MsBetween(starts[i - 1], starts[i])), FAST.watchdogMs, 100.0);
    }
    EXPECT_EQ(b.port->closes, 3);
    EXPECT_EQ(b.port->opens, 4);
    EXPECT_EQ(sim.Received(), StartBytes(4));
}

TEST(MeterLinkOnPty, FramesGreyThePortMenuAndSilenceFreesItOneToTwoPeriodsLater) {
    PtyBench b;
    CSimulatedMeter& sim = b.AddMeter();
    b.StartLink();
    ASSERT_TRUE(b.WaitFor([&] { return b.valid >= 5; }, 2000));
    EXPECT_TRUE(b.menuGreyedAtFirstFrame);
    EXPECT_TRUE(b.MenuGreyed());

    sim.SetSending(false);
    ASSERT_TRUE(b.WaitFor([&] { return b.MenuUsable(); }, 3 * FAST.watchdogMs));
    const qint64 silentMs = b.sinceFrame.elapsed();
    EXPECT_GE(silentMs, FAST.watchdogMs - 30);
    EXPECT_LE(silentMs, 2 * FAST.watchdogMs + 60);
    EXPECT_TRUE(b.LinkLost());

    sim.SetSending(true);
    ASSERT_TRUE(b.WaitFor([&] { return b.MenuGreyed(); }, 3 * FAST.watchdogMs));
    EXPECT_FALSE(b.LinkLost());
}

TEST(MeterLinkOnPty, HangUpClosesThePortOnceWithoutSpinningAndTheLinkComesBack) {
    PtyBench b;
    CSimulatedMeter& sim = b.AddMeter();
    b.StartLink();
    ASSERT_TRUE(b.WaitFor([&] { return b.valid >= 3; }, 2000));
    ASSERT_EQ(b.port->closes, 0);

    sim.HangUp(800);
    const std::clock_t cpuFrom = std::clock();
    QTest::qWait(600);
    const double cpuSec = double(std::clock() - cpuFrom) / CLOCKS_PER_SEC;
    EXPECT_LT(cpuSec, 0.15) << "busy loop after the hang-up";
    EXPECT_FALSE(b.port->IsOpen());
    EXPECT_EQ(b.port->closes, 1);

    const int before = b.valid;
    ASSERT_TRUE(b.WaitFor([&] { return b.valid > before + 3; }, 2000));
    EXPECT_EQ(b.port->closes, 1);
    EXPECT_TRUE(b.port->IsOpen());
    EXPECT_EQ(sim.Status().hangups, 1);
}

TEST(MeterLinkOnPty, GarbageSplitAndBatchedFramesAllArrive) {
    struct Case {
        const char* name;
        SimFaults faults;
    };
    const auto faults = [](int garbageEvery, int split, int batch) {
        SimFaults f;
        f.garbageEvery = garbageEvery;
        f.splitParts = split;
        f.framesPerWrite = batch;
        return f;
    };
    const Case cases[] = {
        {"garbage", faults(2, 1, 1)},
        {"split", faults(0, 4, 1)},
        {"batched", faults(0, 1, 3)},
        {"all together", faults(3, 3, 2)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PtyBench b;
        SimOptions o = Meter(20);
        o.faults = c.faults;
        CSimulatedMeter& sim = b.AddMeter(o);
        b.StartLink();
        ASSERT_TRUE(b.WaitFor([&] { return sim.Status().framesSent >= 24; }, 3000));
        sim.SetSending(false);
        QTest::qWait(80);
        EXPECT_EQ(b.valid, sim.Status().framesSent);
        EXPECT_EQ(b.invalid > 0, c.faults.garbageEvery > 0);
        EXPECT_FALSE(b.LinkLost());
    }
}

}  // namespace

// The live link: first its bookkeeping against a port in memory (the order of the
// opening steps, the port choices, the watchdog's effects, the acknowledgement rule),
// then its behaviour on real pseudo-terminals with the simulated meter at the far end.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTest>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <memory>

#include "FakeSerialPort.h"
#include "helpers/TempDir.h"
#include "link/CMeterLink.h"
#include "link/LiveStateSet.h"
#include "link/PortMap.h"
#include "link/QtSerialPort.h"
#include "link/SimulatedMeter.h"
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

using LiveTargets = LiveStateSet;

// ---- against a port in memory -------------------------------------------------------

const char START_WRITE[] = "Write FF AA 55 63 63 00 00 00 C6 00 FF";

std::vector<std::string> OpenSteps(int port) {
    return {"SetPort " + std::to_string(port),
            "SetInputMode 1",
            "SetSettings 4800,n,8,1",
            "SetReceiveThreshold 50",
            "SetInputLength 0",
            "ClearInput",
            "Open",
            START_WRITE};
}

struct FakeLink {
    LiveTargets live;
    FakeSerialPort port;
    CMeterLink link{port, live.targets, LinkPeriods{100000, 100000}};

    FakeLink() { App(); }
    void Frame() {
        const auto bytes = BuildLiveFrame(LiveFrameFields{});
        port.Deliver(bytes.data(), bytes.size());
    }
};

TEST(MeterLink, OpenPortConfiguresOpensThenSendsTheStartCommand) {
    FakeLink f;
    f.link.Start();
    EXPECT_EQ(f.port.log, OpenSteps(1));

    // Already open: configured again and the start command resent, not reopened.
    f.port.log.clear();
    f.link.OpenPort();
    auto steps = OpenSteps(1);
    steps.erase(steps.end() - 2);
    EXPECT_EQ(f.port.log, steps);

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
         close(OpenSteps(2))},
        {"COM4", false, 4, 4, {false, false, false, true}, 4, close(OpenSteps(4))},
        {"Other COM 5 keeps the port open", true, 5, 5, none, 5,
         [] {
             auto s = OpenSteps(5);
             s.erase(s.end() - 2);
             return s;
         }()},
        {"Other COM 16", true, 16, 16, none, 16,
         [] {
             auto s = OpenSteps(16);
             s.erase(s.end() - 2);
             return s;
         }()},
        {"Other COM 4 is refused", true, 4, 1, startRadio, -1, {}},
        {"Other COM 17 is refused", true, 17, 1, startRadio, -1, {}},
        {"COM5 is no menu item", false, 5, 1, startRadio, -1, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeLink f;
        f.live.frame.m_bComRadio = startRadio;
        f.link.Start();
        f.port.log.clear();
        const auto awaitBefore = f.live.frame.m_bAwaitFrame;
        if (c.other) {
            EXPECT_EQ(f.link.ChooseOtherCom(c.number), c.awaited >= 0);
        } else {
            f.link.ChooseComPort(c.number);
        }
        EXPECT_EQ(f.port.log, c.log);
        EXPECT_EQ(f.live.frame.m_nPort, c.port);
        EXPECT_EQ(f.live.frame.m_bComRadio, c.radio);
        if (c.awaited < 0) {
            EXPECT_EQ(f.live.frame.m_bAwaitFrame, awaitBefore);
        } else {
            for (int i = 0; i < AWAIT_FRAME_SLOTS; ++i) {
                EXPECT_EQ(f.live.frame.m_bAwaitFrame[std::size_t(i)], i == c.awaited) << i;
            }
        }
    }
}

TEST(MeterLink, WatchdogEndsTheRecordingAndReopensOnlyWhenNoFrameCame) {
    FakeLink f;
    int lost = 0;
    QObject::connect(&f.link, &CMeterLink::linkLost, [&] { ++lost; });
    f.link.Start();
    f.Frame();
    EXPECT_FALSE(f.live.frame.m_bComEnabled[0]);
    EXPECT_FALSE(f.live.frame.m_bOtherComEnabled);

    f.port.log.clear();
    f.link.OnWatchdogTick();  // a frame came since the start: alive
    EXPECT_EQ(lost, 0);
    EXPECT_TRUE(f.port.log.empty());

    MainLinkState& m = f.live.frame;
    ViewLiveState& v = f.live.view;
    m.m_bRecording = true;
    m.m_bStopped = false;
    m.m_bStartPending = true;
    m.m_bAlarmHi = {true, true, true};
    m.m_bAlarmLow = {true, false, true};
    v.m_bLiveRecording = true;
    v.m_bLiveIdle = true;
    v.m_bRecordTick = true;
    f.link.OnWatchdogTick();  // nothing since the last tick: lost
    EXPECT_EQ(lost, 1);
    EXPECT_EQ(f.port.log, [] {
        auto s = OpenSteps(1);
        s.insert(s.begin(), "Close");
        return s;
    }());
    EXPECT_TRUE(v.m_bLinkLost);
    EXPECT_FALSE(m.m_bRecording);
    EXPECT_TRUE(m.m_bStopped);
    EXPECT_TRUE(m.m_bStartPending) << "a lost link leaves a pending start alone";
    EXPECT_FALSE(v.m_bLiveRecording);
    EXPECT_FALSE(v.m_bLiveIdle);
    EXPECT_FALSE(v.m_bRecordTick);
    EXPECT_EQ(m.m_bAlarmHi, (std::array<bool, 3>{}));
    EXPECT_EQ(m.m_bAlarmLow, (std::array<bool, 3>{}));
    EXPECT_EQ(m.m_bComEnabled, (std::array<bool, 4>{true, true, true, true}));
    EXPECT_TRUE(m.m_bOtherComEnabled);
    EXPECT_TRUE(m.AwaitFrame(1));

    f.Frame();
    EXPECT_FALSE(v.m_bLinkLost);
}

// Only the configuration file can hold such numbers; they must not reach outside the
// twenty awaiting-frame entries, and the watchdog still works.
TEST(MeterLink, PortNumbersOutsideTheMenuStayInBounds) {
    for (const int port : {0, -3, 99}) {
        SCOPED_TRACE(port);
        FakeLink f;
        int lost = 0;
        QObject::connect(&f.link, &CMeterLink::linkLost, [&] { ++lost; });
        f.live.frame.m_nPort = port;
        f.link.Start();
        f.link.OnWatchdogTick();
        EXPECT_EQ(lost, 1);
        f.Frame();
        f.link.OnWatchdogTick();
        EXPECT_EQ(lost, 1);
        f.link.OnWatchdogTick();
        EXPECT_EQ(lost, 2);
        for (int i = 1; i < AWAIT_FRAME_SLOTS; ++i) {
            EXPECT_FALSE(f.live.frame.m_bAwaitFrame[std::size_t(i)]) << i;
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
    EXPECT_FALSE(f.live.frame.m_bFrameSeen);
}

TEST(MeterLink, ReceivedBytesBecomeWholeFramesAndALineErrorDropsAPartOne) {
    FakeLink f;
    int valid = 0, invalid = 0;
    QObject::connect(&f.link, &CMeterLink::frameDecoded,
                     [&](const DecodeOutcome& o) { ++(o.valid ? valid : invalid); });
    f.link.Start();
    const auto frame = BuildLiveFrame(LiveFrameFields{});
    std::vector<std::uint8_t> three;
    for (int i = 0; i < 3; ++i) {
        three.insert(three.end(), frame.begin(), frame.end());
    }
    f.port.Deliver(three.data(), 60);
    f.port.Deliver(three.data() + 60, three.size() - 60);
    EXPECT_EQ(valid, 3);

    f.port.Deliver(frame.data(), 20);
    f.port.handler(COMM_EV_LINE_ERROR);
    EXPECT_EQ(f.port.log.back(), "ClearInput");
    f.port.Deliver(frame.data() + 20, frame.size() - 20);
    f.port.Deliver(frame.data(), frame.size());
    EXPECT_EQ(valid, 4);
    EXPECT_EQ(invalid, 1);  // the orphaned tail
}

TEST(MeterLink, KeyCommandsAreWrittenAsPackets) {
    FakeLink f;
    f.link.Start();
    f.port.writes.clear();
    f.link.SendKeyPress(MeterKey::AREA);
    f.link.SendKeyDoubleClick(MeterKey::AREA);
    f.link.SendKeyDoubleClick(MeterKey::IRT);  // has none
    ASSERT_EQ(f.port.writes.size(), 2u);
    const auto press = KeyPressPacket(MeterKey::AREA);
    EXPECT_EQ(f.port.writes[0], std::vector<std::uint8_t>(press.begin(), press.end()));
    EXPECT_EQ(f.port.writes[1][4], 0x4D);

    f.port.open = false;
    f.link.SendKeyPress(MeterKey::UNITS);  // closed port: silently lost
    EXPECT_EQ(f.port.writes.size(), 2u);
}

// ---- the port layer ------------------------------------------------------------------

TEST(SerialPortLayer, PortNumbersMapToDevices) {
    qftest::TempDir dir;
    CConfigFile config(dir.file("QF7720config.ini"));
    config.WriteText("portmap", "com2", " /dev/ttyACM0 ");
    config.WriteText(SEC_PORT_MAP, "COM99", "/tmp/meter");
    const std::pair<int, std::string> cases[] = {
        {1, "/dev/ttyUSB0"},
        {2, "/dev/ttyACM0"},
        {16, "/dev/ttyUSB15"},
        {99, "/tmp/meter"},
        {0, ""},
        {-3, ""},
    };
    for (const auto& [number, device] : cases) {
        EXPECT_EQ(PortDevice(number, config), device) << number;
    }
}

TEST(SerialPortLayer, SettingsText) {
    struct Case {
        const char* text;
        qint32 baud;
        QSerialPort::Parity parity;
        QSerialPort::DataBits data;
        QSerialPort::StopBits stop;
    };
    const Case good[] = {
        {"4800,n,8,1", 4800, QSerialPort::NoParity, QSerialPort::Data8, QSerialPort::OneStop},
        {"9600,E,7,2", 9600, QSerialPort::EvenParity, QSerialPort::Data7, QSerialPort::TwoStop},
        {"19200,o,5,1.5", 19200, QSerialPort::OddParity, QSerialPort::Data5,
         QSerialPort::OneAndHalfStop},
    };
    for (const Case& c : good) {
        SCOPED_TRACE(c.text);
        PortSettings s;
        ASSERT_TRUE(ParsePortSettings(c.text, s));
        EXPECT_EQ(s.baud, c.baud);
        EXPECT_EQ(s.parity, c.parity);
        EXPECT_EQ(s.dataBits, c.data);
        EXPECT_EQ(s.stopBits, c.stop);
    }
    for (const char* bad :
         {"", "4800,n,8", "4800,n,8,1,1", "4800,x,8,1", "4800,n,9,1", "48oo,n,8,1", "0,n,8,1"}) {
        PortSettings s;
        EXPECT_FALSE(ParsePortSettings(bad, s)) << bad;
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
    bool Open() override {
        const bool ok = CQtSerialPort::Open();
        opens += ok;
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

    void StartLink(LinkPeriods periods = FAST) {
        port = std::make_unique<CountingPort>();
        link = std::make_unique<CMeterLink>(*port, live.targets, periods);
        QObject::connect(link.get(), &CMeterLink::frameDecoded, [this](const DecodeOutcome& o) {
            if (o.valid) {
                ++valid;
                sinceFrame.restart();
                menuGreyedAtFirstFrame = menuGreyedAtFirstFrame || MenuGreyed();
            } else {
                ++invalid;
            }
        });
        link->Start();
    }

    bool MenuGreyed() const {
        const MainLinkState& m = live.frame;
        return !m.m_bComEnabled[0] && !m.m_bComEnabled[1] && !m.m_bComEnabled[2] &&
               !m.m_bComEnabled[3] && !m.m_bOtherComEnabled;
    }
    bool MenuUsable() const {
        const MainLinkState& m = live.frame;
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

    LiveTargets live;
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
    EXPECT_TRUE(b.live.view.m_bLinkLost);
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
    EXPECT_TRUE(b.live.view.m_bLinkLost);

    sim.SetSending(true);
    ASSERT_TRUE(b.WaitFor([&] { return b.MenuGreyed(); }, 3 * FAST.watchdogMs));
    EXPECT_FALSE(b.live.view.m_bLinkLost);
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
        EXPECT_FALSE(b.live.view.m_bLinkLost);
    }
}

}  // namespace

// Recordings against the simulated meter on a pseudo-terminal: the command states through
// every recording state, the sampling tick, the record limit and a meter falling silent.
#include <QElapsedTimer>

#include "app/AppTestSupport.h"
#include "store/QFConstants.h"
#include "ui/CommandIds.h"

using namespace qf;
using namespace qftest;

namespace {

constexpr int WAIT_MS = 5000;

struct RecordingRig : MeterRig {
    CMainFrame& StartWithMeter(int framePeriodMs) {
        SimOptions options;
        options.framePeriodMs = framePeriodMs;
        return MeterRig::StartWithMeter(options);
    }

    // Run with a sampling interval given in milliseconds, as a test can wait for it.
    void Run(int intervalMs) {
        prompts.dialogs.push_back(TypeAndOk({"1"}));
        frame->OnRun();
        EditRecording(frame->Live(), [&](RecordingState& r) { r.m_nIntervalMs = intervalMs; });
        // The view's next paint restarts the sampling timer with it.
        ASSERT_TRUE(QTest::qWaitFor([this] { return !frame->View().m_bRunRequested; }, WAIT_MS));
        ASSERT_EQ(frame->View().SampleTimer().interval(), intervalMs);
    }
};

struct Expected {
    const char* state;
    bool run, stop, save, com;
};

void ExpectCommands(CMainFrame& frame, const Expected& e) {
    SCOPED_TRACE(e.state);
    frame.UpdateCommandStates();
    EXPECT_EQ(frame.Action(ID_RUN)->isEnabled(), e.run);
    EXPECT_EQ(frame.Action(ID_STOP)->isEnabled(), e.stop);
    EXPECT_EQ(frame.Action(ID_SAVE)->isEnabled(), e.save);
    EXPECT_EQ(frame.Action(ID_FILE_PRINT)->isEnabled(), e.save);
    for (int id : {ID_COM1, ID_COM2, ID_COM3, ID_COM4, ID_OTHER_COM}) {
        EXPECT_EQ(frame.Action(id)->isEnabled(), e.com) << id;
    }
    EXPECT_TRUE(frame.Action(ID_OPEN_LOGGER)->isEnabled());
    EXPECT_FALSE(frame.Action(ID_UNDO_ZOOM)->isEnabled());
}

}  // namespace

TEST(Recording, commandStatesFollowEveryRecordingState) {
    RecordingRig rig;
    CMainFrame& frame = rig.StartWithMeter(40);
    CQFView& view = frame.View();
    ExpectCommands(frame, {"no frame yet", false, false, false, true});
    ASSERT_TRUE(QTest::qWaitFor([&] { return view.Live().Recording().m_bLiveIdle; }, WAIT_MS));
    ExpectCommands(frame, {"idle, frames arriving", true, false, false, false});

    rig.prompts.dialogs.push_back(TypeAndOk({"1"}));
    frame.OnRun();
    EXPECT_TRUE(frame.Live().Recording().m_bStartPending);
    ExpectCommands(frame, {"start pending", false, true, false, false});

    EditRecording(view.Live(), [](RecordingState& r) { r.m_nIntervalMs = 60; });
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return view.Live().Recording().m_nSampleIndex >= 2; }, WAIT_MS));
    EXPECT_FALSE(frame.Live().Recording().m_bStartPending);
    ExpectCommands(frame, {"recording", false, true, true, false});

    frame.OnStop();
    const int kept = view.Live().Recording().m_nSampleIndex;
    ExpectCommands(frame, {"stopped", false, false, true, false});
    QTest::qWait(200);
    EXPECT_EQ(view.Live().Recording().m_nSampleIndex, kept);
    ExpectCommands(frame, {"stopped, frames arriving", true, false, true, false});

    rig.meter->SetSending(false);
    ASSERT_TRUE(QTest::qWaitFor([&] { return view.Live().Recording().m_bLinkLost; }, 7000));
    ExpectCommands(frame, {"link lost", false, false, true, true});
}

TEST(Recording, oneSampleIsCommittedPerIntervalOnlyWhenAFrameArrived) {
    const struct {
        int framePeriodMs;
        int intervalMs;
        int perSampleMs;  // the slower of the two
    } cases[] = {{20, 100, 100}, {250, 100, 250}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.framePeriodMs);
        RecordingRig rig;
        CMainFrame& frame = rig.StartWithMeter(c.framePeriodMs);
        CQFView& view = frame.View();
        ASSERT_TRUE(QTest::qWaitFor([&] { return view.Live().Recording().m_bLiveIdle; }, WAIT_MS));
        rig.Run(c.intervalMs);
        ASSERT_TRUE(
            QTest::qWaitFor([&] { return view.Live().Recording().m_nSampleIndex >= 1; }, WAIT_MS));
        const int first = view.Live().Recording().m_nSampleIndex;
        QElapsedTimer clock;
        clock.start();
        QTest::qWait(2000);
        const double expected = double(clock.elapsed()) / c.perSampleMs;
        const int got = view.Live().Recording().m_nSampleIndex - first;
        // Loose below, for a loaded machine; tight above, where double commits would show.
        EXPECT_GE(got, expected * 0.5);
        EXPECT_LE(got, expected * 1.15 + 1);
        EXPECT_EQ(view.RealTimeBar().SampleCount(),
                  std::to_string(view.Live().Recording().m_nSampleIndex));
    }
}

TEST(Recording, endsAtTheRecordLimit) {
    RecordingRig rig;
    CMainFrame& frame = rig.StartWithMeter(10);
    CQFView& view = frame.View();
    ASSERT_TRUE(QTest::qWaitFor([&] { return view.Live().Recording().m_bLiveIdle; }, WAIT_MS));
    rig.Run(20);
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return view.Live().Recording().m_nSampleIndex >= 1; }, WAIT_MS));
    // Skip the first 4990 samples rather than wait for them.
    EditRecording(view.Live(), [&](RecordingState& r) { r.m_nSampleIndex = RECORD_LIMIT - 10; });
    ASSERT_TRUE(QTest::qWaitFor([&] { return !frame.Live().Recording().m_bRecording; }, WAIT_MS));
    QTest::qWait(100);
    EXPECT_EQ(view.Live().Recording().m_nSampleIndex, RECORD_LIMIT);
    EXPECT_TRUE(frame.Live().Recording().m_bStopped);
    frame.UpdateCommandStates();
    EXPECT_FALSE(frame.Action(ID_STOP)->isEnabled());
}

TEST(Recording, aSilentMeterEndsTheRecordingWithinSixSeconds) {
    RecordingRig rig;
    CMainFrame& frame = rig.StartWithMeter(50);
    CQFView& view = frame.View();
    ASSERT_TRUE(QTest::qWaitFor([&] { return view.Live().Recording().m_bLiveIdle; }, WAIT_MS));
    rig.Run(100);
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return view.Live().Recording().m_nSampleIndex >= 2; }, WAIT_MS));

    rig.meter->SetSending(false);
    QElapsedTimer clock;
    clock.start();
    QTest::qWait(300);
    const int atSilence = view.Live().Recording().m_nSampleIndex;
    ASSERT_TRUE(QTest::qWaitFor([&] { return !frame.Live().Recording().m_bRecording; }, 8000));
    EXPECT_LE(clock.elapsed(), 6500);
    EXPECT_LE(view.Live().Recording().m_nSampleIndex, atSilence + 1);
    EXPECT_TRUE(view.Live().Recording().m_bLinkLost);
    frame.UpdateCommandStates();
    EXPECT_FALSE(frame.Action(ID_RUN)->isEnabled());
    EXPECT_FALSE(frame.Action(ID_STOP)->isEnabled());
}

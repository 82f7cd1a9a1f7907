// The recording's bookkeeping through its operations, in the orders the program calls them.
#include "store/Recording.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "store/QFConstants.h"

namespace {

using qf::CRecording;
using qf::RecordingState;

void Accept(CRecording& r, int seconds) {
    r.Run(&seconds);
}

// Frames arrive, nothing records: the state the program is in before Run.
CRecording Idle() {
    CRecording r;
    r.OnValidFrame(100);
    return r;
}

TEST(Recording, OperationsMoveTheFlagsAsTheCommandsExpect) {
    struct Case {
        const char* what;
        std::function<void(CRecording&)> steps;
        std::function<void(const RecordingState&)> check;
    };
    const Case cases[] = {
        {"run accepted while idle waits for a frame", [](CRecording& r) { Accept(r, 3); },
         [](const RecordingState& s) {
             EXPECT_TRUE(s.m_bStartPending);
             EXPECT_TRUE(s.m_bRecording);
             EXPECT_TRUE(s.m_bHasGraphData);
             EXPECT_TRUE(s.m_bLiveRecording);
             EXPECT_FALSE(s.m_bLiveIdle);
             EXPECT_EQ(s.m_nIntervalMs, 3000);
         }},
        {"run cancelled changes nothing", [](CRecording& r) { r.Run(nullptr); },
         [](const RecordingState& s) {
             EXPECT_FALSE(s.m_bStartPending);
             EXPECT_FALSE(s.m_bRecording);
             EXPECT_FALSE(s.m_bHasGraphData);
             EXPECT_TRUE(s.m_bLiveIdle);
         }},
        {"the next frame starts at index 0 with its time",
         [](CRecording& r) {
             Accept(r, 1);
             EXPECT_TRUE(r.OnValidFrame(4242));
             EXPECT_FALSE(r.OnValidFrame(4243));
         },
         [](const RecordingState& s) {
             EXPECT_FALSE(s.m_bStartPending);
             EXPECT_FALSE(s.m_bStopped);
             EXPECT_EQ(s.m_tmStart, 4242);
             EXPECT_EQ(s.m_nSampleIndex, 0);
         }},
        {"a tick commits only a slot a frame wrote since the last one",
         [](CRecording& r) {
             Accept(r, 1);
             EXPECT_FALSE(r.OnSamplingTick()) << "start pending";
             r.OnValidFrame(1);
             EXPECT_TRUE(r.OnSamplingTick());
             EXPECT_FALSE(r.OnSamplingTick()) << "no new frame";
             r.OnValidFrame(2);
             EXPECT_TRUE(r.OnSamplingTick());
         },
         [](const RecordingState& s) {
             EXPECT_EQ(s.m_nSampleIndex, 2);
             EXPECT_TRUE(s.m_bRecordTick);
             EXPECT_FALSE(s.m_bNewFrame);
         }},
        {"stop keeps a pending start",
         [](CRecording& r) {
             Accept(r, 1);
             r.Stop();
         },
         [](const RecordingState& s) {
             EXPECT_TRUE(s.m_bStartPending);
             EXPECT_TRUE(s.m_bStopped);
             EXPECT_FALSE(s.m_bRecording);
             EXPECT_FALSE(s.m_bLiveRecording);
         }},
        {"a lost link ends the recording",
         [](CRecording& r) {
             Accept(r, 1);
             r.OnValidFrame(1);
             r.OnValidFrame(2);
             r.OnSamplingTick();
             r.OnLinkLost();
         },
         [](const RecordingState& s) {
             EXPECT_TRUE(s.m_bLinkLost);
             EXPECT_TRUE(s.m_bStopped);
             EXPECT_FALSE(s.m_bRecording);
             EXPECT_FALSE(s.m_bLiveIdle);
             EXPECT_FALSE(s.m_bLiveRecording);
             EXPECT_FALSE(s.m_bRecordTick);
             EXPECT_EQ(s.m_nSampleIndex, 1);
         }},
        {"a sample without a value is committed only while a recording runs",
         [](CRecording& r) {
             EXPECT_FALSE(r.CommitMissingSample()) << "nothing records";
             Accept(r, 1);
             EXPECT_FALSE(r.CommitMissingSample()) << "start pending";
             r.OnValidFrame(1);
             EXPECT_TRUE(r.OnSamplingTick());
             EXPECT_TRUE(r.CommitMissingSample());
             EXPECT_TRUE(r.CommitMissingSample());
             r.OnValidFrame(5);
             EXPECT_TRUE(r.OnSamplingTick()) << "frames again: the usual tick";
         },
         [](const RecordingState& s) {
             EXPECT_EQ(s.m_nSampleIndex, 4);
             EXPECT_TRUE(s.m_bRecording);
             EXPECT_FALSE(s.m_bStopped);
         }},
        {"intervals are whole seconds from 1 to the largest that fits",
         [](CRecording& r) {
             Accept(r, 0);
             EXPECT_EQ(r.State().m_nIntervalMs, 1000);
             Accept(r, -4);
             EXPECT_EQ(r.State().m_nIntervalMs, 1000);
             Accept(r, 99999999);
         },
         [](const RecordingState& s) { EXPECT_EQ(s.m_nIntervalMs, 2147483000); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CRecording r = Idle();
        c.steps(r);
        c.check(r.State());
    }
}

TEST(Recording, TheRecordLimitEndsItAndTheLastSlotIsNeverPassed) {
    CRecording r = Idle();
    Accept(r, 1);
    r.OnValidFrame(1);
    RecordingState s = r.State();
    s.m_nSampleIndex = qf::RECORD_LIMIT - 1;
    r.Preset(s);
    EXPECT_FALSE(r.CheckRecordLimit());
    r.OnValidFrame(2);
    EXPECT_TRUE(r.OnSamplingTick());
    EXPECT_TRUE(r.CheckRecordLimit());
    EXPECT_FALSE(r.State().m_bRecording);
    EXPECT_TRUE(r.State().m_bStopped);

    // Whatever the index, a tick never moves it past the last slot a frame may write.
    s = r.State();
    s.m_bRecording = true;
    s.m_bNewFrame = true;
    s.m_nSampleIndex = qf::MAX_SAMPLES - 1;
    r.Preset(s);
    EXPECT_FALSE(r.OnSamplingTick());
    EXPECT_FALSE(r.CommitMissingSample());
    EXPECT_EQ(r.State().m_nSampleIndex, qf::MAX_SAMPLES - 1);
}

}  // namespace

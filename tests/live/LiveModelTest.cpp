// What the live model tells its observer: every change it makes, once, with what changed.
#include "live/LiveModel.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "helpers/LiveFeed.h"
#include "store/CQFDoc.h"

namespace {

using namespace qf;

struct Observed {
    std::unique_ptr<CQFDoc> doc = std::make_unique<CQFDoc>();
    CLiveModel live{*doc};
    std::vector<unsigned> told;

    Observed() {
        live.SetObserver([this](unsigned c) { told.push_back(c); });
    }
    unsigned Last() const { return told.empty() ? 0u : told.back(); }
};

TEST(LiveModel, EachChangeIsToldWithWhatChanged) {
    Observed o;
    const std::uint8_t garbage[] = {1, 2, 3};
    o.live.OnReceive(garbage, sizeof garbage, 1);
    EXPECT_EQ(o.Last(), unsigned(LIVE_CHUNK));

    qftest::FeedFrame(o.live);
    EXPECT_EQ(o.Last(), unsigned(LIVE_CHUNK | LIVE_FRAME | LIVE_ALARMS))
        << "still air is below the low AirV limit";

    o.live.Run(nullptr);
    EXPECT_EQ(o.Last(), unsigned(LIVE_RUN));
    const int seconds = 2;
    o.live.Run(&seconds);
    EXPECT_EQ(o.Last(), unsigned(LIVE_RUN | LIVE_INTERVAL));

    qftest::FeedFrame(o.live);
    EXPECT_EQ(o.Last(), unsigned(LIVE_CHUNK | LIVE_FRAME | LIVE_RECORDING_STARTED));

    const std::size_t before = o.told.size();
    EXPECT_TRUE(o.live.OnSamplingTick());
    EXPECT_EQ(o.Last(), unsigned(LIVE_SAMPLE));
    EXPECT_FALSE(o.live.OnSamplingTick());
    EXPECT_EQ(o.told.size(), before + 1) << "a tick that commits nothing says nothing";

    o.live.OnLinkLost();
    EXPECT_EQ(o.Last(), unsigned(LIVE_LINK_LOST | LIVE_ALARMS));
    EXPECT_EQ(o.live.Readings().m_bAlarmLow, (std::array<bool, 3>{}));
    o.live.OnLinkLost();
    EXPECT_EQ(o.Last(), unsigned(LIVE_LINK_LOST)) << "no alarm left to clear";

    o.live.Stop();
    EXPECT_EQ(o.Last(), unsigned(LIVE_STOP));
}

TEST(LiveModel, ATickWithoutLinkCommitsASampleWithNoValueInEveryChannel) {
    Observed o;
    const int seconds = 1;
    o.live.Run(&seconds);
    qftest::FeedFrame(o.live);
    ASSERT_TRUE(o.live.OnSamplingTick());
    // The slot the next frame would write holds this frame's readings until committed.
    qftest::FeedFrame(o.live);
    ASSERT_TRUE(o.live.OnSamplingTick());
    ASSERT_TRUE(o.live.OnSamplingTickWithoutLink());
    EXPECT_EQ(o.Last(), unsigned(LIVE_SAMPLE));
    EXPECT_EQ(o.live.Recording().m_nSampleIndex, 3);
    for (int c = 0; c < NUM_CHANNELS; ++c) {
        EXPECT_NE(o.doc->m_liveSamples[c][1], NO_VALUE) << c;
        EXPECT_EQ(o.doc->m_liveSamples[c][2], NO_VALUE) << c;
    }

    o.live.Stop();
    const std::size_t before = o.told.size();
    EXPECT_FALSE(o.live.OnSamplingTickWithoutLink());
    EXPECT_EQ(o.told.size(), before);
    EXPECT_EQ(o.live.Recording().m_nSampleIndex, 3);
}

}  // namespace

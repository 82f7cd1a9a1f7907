#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "link/LiveFrame.h"
#include "live/LiveModel.h"
#include "store/CQFDoc.h"

namespace {

using namespace qf;

// The live path with all the state it writes, as at program start.
struct Live {
    std::unique_ptr<CQFDoc> doc = std::make_unique<CQFDoc>();
    CLiveModel model{*doc};

    DecodeOutcome Feed(const LiveFrameFields& f, std::time_t now = 1000) {
        const auto bytes = BuildLiveFrame(f);
        return model.OnReceive(bytes.data(), bytes.size(), now);
    }
    DecodeOutcome Chunk(const std::vector<std::uint8_t>& bytes) {
        return model.OnReceive(bytes.data(), bytes.size(), 1);
    }
    float Sample(int ch) const { return doc->m_liveSamples[ch][model.Recording().m_nSampleIndex]; }
    const std::string& Slot(int s) const { return model.Panel().m_strSlot[s]; }
    const DisplayUnits& Units() const { return model.Units(); }
    const RecordingState& Rec() const { return model.Recording(); }
    void SetIndex(int index) {
        RecordingState s = model.Recording();
        s.m_nSampleIndex = index;
        model.RecordingForTest().Preset(s);
    }
    // Run accepted at one second: a recording waits for the next frame.
    void RunOneSecond() {
        const int seconds = 1;
        model.Run(&seconds);
    }
};

LiveFrameFields Fields(std::uint8_t a, std::uint8_t b, std::uint8_t c, std::uint8_t d,
                       std::uint8_t e) {
    LiveFrameFields f;
    f.a = a;
    f.b = b;
    f.c = c;
    f.d = d;
    f.e = e;
    return f;
}

struct UnitCase {
    std::uint8_t a, c, d, e;
    int tempUnit;
    const char* tempText;
    int speedUnit;
    const char* speedText;
    float factor;
};

TEST(FrameDecoder, UnitBitsLaterChecksWin) {
    const UnitCase cases[] = {
        {0x04 | 0x08, 0, 0, 0, 0, "C", 10, "", 1.0f},
        {0x08, 0, 0, 0, 1, "F", 10, "", 1.0f},
        {0, 0x80, 0x02, 0, 0, "C", 10, "", 1.0f},
        {0, 0, 0x02, 0, 1, "F", 10, "", 1.0f},
        {0, 0, 0x20, 0, 0, "", 0, "m/s", 1.0f},
        {0, 0, 0x40, 0, 0, "", 1, "ft/min", 196.87f},
        {0, 0, 0x80, 0, 0, "", 2, "km/h", 3.6f},
        {0, 0, 0x20, 0x10, 0, "", 3, "MPH", 2.24f},
        {0, 0x08, 0xE0, 0x10, 0, "", 4, "knots", 1.944f},
        // A main unit bit while the speed unit is unknown means m/s.
        {0, 0, 0x01, 0, 0, "", 0, "m/s", 1.0f},
    };
    for (const auto& c : cases) {
        Live live;
        live.Feed(Fields(c.a, 0, c.c, c.d, c.e));
        const auto& u = live.Units();
        EXPECT_EQ(u.m_nTempUnit, c.tempUnit) << int(c.a) << "/" << int(c.d);
        EXPECT_EQ(u.m_strTempUnit, c.tempText);
        EXPECT_EQ(u.m_nSpeedUnit, c.speedUnit) << int(c.c) << "/" << int(c.d);
        EXPECT_EQ(u.m_strSpeedUnit, c.speedText);
        EXPECT_EQ(u.m_fSpeedFactor, c.factor);
    }
}

TEST(FrameDecoder, UnitsPersistUntilAFrameChangesThem) {
    Live live;
    live.Feed(Fields(0x08, 0, 0, 0x80, 0));
    live.Feed(Fields(0, 0, 0, 0x01, 0));
    EXPECT_EQ(live.Units().m_strTempUnit, "F");
    EXPECT_EQ(live.Units().m_strSpeedUnit, "km/h");
    EXPECT_EQ(live.Slot(LCD_MAIN_UNIT), "m");
}

struct MainCase {
    std::uint8_t c, d, e;
    float m;
    const char* text;
};

TEST(FrameDecoder, MainDisplayText) {
    const MainCase cases[] = {
        {0, 0x80, 0, 1.5f, "1.5"},  // km/h: the shown digit stays
        {0, 0x80, 0, 23.4f, "23.4"},         {0, 0x80, 0, 4.4496f, "4.4"},
        {0, 0x80, 0, 0.04f, "0.0"},          {0, 0x80, 0, -5.37f, "-5.4"},
        {0, 0x20, 0, 1.236f, "1.24"},  // m/s shows two decimals, rounded
        {0, 0x40, 0, 1234.5f, "1234"},       {0, 0x40, 0, 12345.0f, "1234"},
        {0, 0x40, 0, 999.97f, "999.9"},      {0, 0x28, 0, 9.9996f, "9.999"},  // flow
        {0, 0x28, 0, 12.345f, "12.34"},      {0, 0x28, 0, 10.0f, "10.00"},
        {0, 0x30, 0, 123.45f, "123.4"},      {0, 0x30, 0, 1234.5f, "1234"},
        {0, 0x28, 0, 0.0004f, "0.000"},      {0x40, 0x20, 0, 1000.5f, "0.500"},  // AREA digit codes
        {0x40, 0x20, 0, 1012.5f, "012.5"},   {0x40, 0x20, 0, 2001.5f, "001.5"},
        {0x40, 0x20, 0, 2000.05f, "0.050"},  {0x40, 0x20, 0, 2000.5f, "00.50"},
        {0x40, 0x20, 0, 3000.05f, "00.05"},  {0x40, 0x20, 0, 3000.5f, "000.5"},
        {0x40, 0x20, 0, 3000.005f, "0.004"}, {0x40, 0x20, 0, 3000.001f, "0.001"},
        {0x40, 0x20, 0, 5.5f, "5.500"},      {0x40, 0x20, 0, 55.5f, "55.50"},
        {0x40, 0x20, 0, 555.5f, "555.5"},    {0x40, 0x20, 0, -1.0f, "0.000"},
        {0x40, 0x20, 0, -2.0f, "00.00"},     {0x40, 0x20, 0, -3.0f, "000.0"},
        {0x80, 0, 0, 23.46f, "23.4"},  // infrared
        {0x80, 0, 0, 25.0f, "25.0"},         {0x80, 0, 0x40, 25.0f, "-OL"},
        {0x80, 0, 0x60, 25.0f, "+OL"},
    };
    for (const auto& c : cases) {
        Live live;
        LiveFrameFields f = Fields(0, 0, c.c, c.d, c.e);
        f.main = c.m;
        live.Feed(f);
        EXPECT_EQ(live.Slot(LCD_MAIN_VALUE), c.text)
            << c.m << " c=" << int(c.c) << " d=" << int(c.d);
    }
}

TEST(FrameDecoder, AnnunciatorsBlankThenSet) {
    Live live;
    live.Feed(Fields(0x03, 0xDF, 0x17, 0, 0x06));
    EXPECT_EQ(live.Slot(LCD_REC_TOP), "REC");
    EXPECT_EQ(live.Slot(LCD_MAXMIN_TOP), "MIN");
    EXPECT_EQ(live.Slot(LCD_REC_BOTTOM), "REC");
    EXPECT_EQ(live.Slot(LCD_MAXMIN_BOTTOM), "MIN");
    EXPECT_EQ(live.Slot(LCD_HOLD_BOTTOM), "HOLD");
    EXPECT_EQ(live.Slot(LCD_HOLD_TOP), "HOLD");
    EXPECT_EQ(live.Slot(LCD_IRTEMP), "IRTEMP");
    EXPECT_EQ(live.Slot(LCD_MODE), "VEL");
    EXPECT_EQ(live.Slot(LCD_AVG), "AVG");
    EXPECT_EQ(live.Slot(LCD_RANGE), "X10");
    EXPECT_EQ(live.Slot(LCD_PCLINK), "PC-LINK");

    live.Feed(Fields(0, 0, 0, 0, 0));
    const std::pair<int, std::size_t> blanks[] = {
        {LCD_MODE, 4},    {LCD_IRTEMP, 7},     {LCD_MAXMIN_TOP, 3}, {LCD_MAXMIN_BOTTOM, 3},
        {LCD_RANGE, 4},   {LCD_AVG, 4},        {LCD_HOLD_TOP, 4},   {LCD_HOLD_BOTTOM, 4},
        {LCD_REC_TOP, 5}, {LCD_REC_BOTTOM, 5}, {LCD_PCLINK, 7}};
    for (const auto& [s, n] : blanks) {
        EXPECT_EQ(live.Slot(s), std::string(n, ' ')) << LcdSlotName(s);
    }
}

TEST(FrameDecoder, UpperDisplayAndModes) {
    Live live;
    LiveFrameFields f = Fields(0x04, 0, 0, 0x08 | 0x10, 0x08);
    f.upper = 23.45f;
    f.upper2 = 12.7f;
    live.Feed(f);
    EXPECT_EQ(live.Slot(LCD_UPPER_VALUE), "23.5");
    EXPECT_EQ(live.Slot(LCD_UPPER_VALUE2), "12");
    EXPECT_EQ(live.Slot(LCD_UPPER_UNIT), "C");
    EXPECT_EQ(live.Slot(LCD_MAIN_UNIT), "CFM");
    EXPECT_EQ(live.model.Panel().m_strBattery, "Low");
    EXPECT_FALSE(live.model.Panel().m_bBacklight);

    f = Fields(0x10, 0, 0x40, 0x80, 0);
    f.areaCode = 3;
    live.Feed(f);
    EXPECT_EQ(live.Slot(LCD_UPPER_VALUE), "     ");
    EXPECT_EQ(live.Slot(LCD_UPPER_UNIT), "  ");
    EXPECT_EQ(live.Slot(LCD_UPPER_VALUE2), "     ");
    EXPECT_EQ(live.Slot(LCD_MODE), "AREA");
    EXPECT_EQ(live.Slot(LCD_MAIN_UNIT), "km/h");
    EXPECT_EQ(live.model.Panel().m_nAreaCode, 3);
    EXPECT_EQ(live.model.Panel().m_strBattery, "Normal");
    EXPECT_TRUE(live.model.Panel().m_bBacklight);

    f = Fields(0x08, 0, 0, 0x02, 0);
    f.upper = 5;
    f.upper2 = 7;
    live.Feed(f);
    EXPECT_EQ(live.Slot(LCD_UPPER_VALUE), "     ");
    EXPECT_EQ(live.Slot(LCD_UPPER_VALUE2), "     ");
    EXPECT_EQ(live.Slot(LCD_UPPER_UNIT), "  ");
    EXPECT_EQ(live.Slot(LCD_MAIN_UNIT), "F");

    f = Fields(0, 0, 0, 0x20, 0);
    f.upper = UPPER_NO_READING;
    live.Feed(f);
    EXPECT_EQ(live.Slot(LCD_UPPER_VALUE), "----");
    EXPECT_EQ(live.Slot(LCD_MAIN_VALUE), "----");
}

struct SampleCase {
    const char* what;
    LiveFrameFields f;
    float airT, irt, airV, cfm, cmm;
};

LiveFrameFields Readings(std::uint8_t c, std::uint8_t d, float airT, float irt, float airV,
                         float ft2 = 1.0f, float m2 = 1.0f, float upper = 0, float upper2 = -1) {
    LiveFrameFields f = Fields(0, 0, c, d, 0);
    f.airT = airT;
    f.irt = irt;
    f.airV = airV;
    f.areaFt2 = ft2;
    f.areaM2 = m2;
    f.upper = upper;
    f.upper2 = upper2;
    return f;
}

TEST(FrameDecoder, StoredSamples) {
    const float N = NO_VALUE;
    const SampleCase cases[] = {
        {"plain", Readings(0, 0x20, 21.5f, 30.25f, 2.0f, 0.5f, 0.25f), 21.5f, 30.25f, 2.0f, 196.8f,
         30.0f},
        {"infrared", Readings(0x80, 0, 21.5f, 30.25f, 2.0f), N, 30.25f, N, N, N},
        {"over range", Readings(0, 0, 20, 99999.0f, 0), 20, 510.0f, 0, 0, 0},
        {"under range", Readings(0, 0, 20, -99999.0f, 0), 20, -55.0f, 0, 0, 0},
        {"second upper", Readings(0, 0, 20, 30, 1, 1, 1, 0, 0.0f), 20, N, 1, 196.8f, 60},
        {"no reading", Readings(0, 0, 20, 30, 1, 1, 1, -1000.0f), N, 30, N, N, N},
        {"still air", Readings(0, 0, 20, 30, 0.0f), 20, 30, 0, 0, 0},
        {"negative air", Readings(0, 0, 20, 30, -0.1f), 20, 30, N, N, N},
        {"cold air", Readings(0, 0, -100.5f, -101, 1, 0.001f, 0.001f), N, N, 1, 0.196f, 0.06f},
        {"flow cut", Readings(0, 0, 0, 0, 1.0f, 12.3456f / 196.87f, 0.20576f), 0, 0, 1, 12.34f,
         12.34f},
        {"big flow", Readings(0, 0, 0, 0, 10.0f, 1.23456f, 2.5f), 0, 0, 10, 2430.0f, 1500.0f},
        {"not a number", Readings(0, 0, NAN, INFINITY, NAN), N, N, N, N, N},
        {"huge area", Readings(0, 0, 0, 0, 1e30f, 1e30f, NAN), 0, 0, 1e30f, N, N},
        {"negative area", Readings(0, 0, 0, 0, 1, -2, -2), 0, 0, 1, -393.74f, -120.0f},
    };
    for (const auto& c : cases) {
        Live live;
        live.Feed(c.f);
        EXPECT_EQ(live.Sample(CH_AIRT), c.airT) << c.what;
        EXPECT_EQ(live.Sample(CH_IRT), c.irt) << c.what;
        EXPECT_EQ(live.Sample(CH_AIRV), c.airV) << c.what;
        EXPECT_FLOAT_EQ(live.Sample(CH_CFM), c.cfm) << c.what;
        EXPECT_FLOAT_EQ(live.Sample(CH_CMM), c.cmm) << c.what;
    }
}

TEST(FrameDecoder, IrtSettlesAfterUnderRange) {
    Live live;
    const float irt[] = {25, -200, 20, 21, 22, -150, 23};
    const float stored[] = {25, NO_VALUE, NO_VALUE, NO_VALUE, 22, NO_VALUE, NO_VALUE};
    for (std::size_t i = 0; i < std::size(irt); ++i) {
        live.Feed(Readings(0, 0, 0, irt[i], 0));
        EXPECT_EQ(live.Sample(CH_IRT), stored[i]) << "reading " << i;
    }
}

TEST(FrameDecoder, ValidFrameDrivesRecordingAndLinkFlags) {
    Live live;
    live.RunOneSecond();
    live.SetIndex(17);
    const DecodeOutcome out = live.Feed(Fields(0, 0, 0, 0, 0), 4242);
    EXPECT_TRUE(out.valid);
    EXPECT_TRUE(out.recordingStarted);
    EXPECT_FALSE(live.Rec().m_bStartPending);
    EXPECT_FALSE(live.Rec().m_bStopped);
    EXPECT_EQ(live.Rec().m_tmStart, 4242);
    EXPECT_EQ(live.Rec().m_nSampleIndex, 0);
    EXPECT_FALSE(live.Rec().m_bLiveIdle);
    EXPECT_TRUE(live.Rec().m_bNewFrame);

    // Not recording: the live view is idle; a second frame starts nothing.
    live.model.Stop();
    EXPECT_FALSE(live.Feed(Fields(0, 0, 0, 0, 0)).recordingStarted);
    EXPECT_TRUE(live.Rec().m_bLiveIdle);
}

TEST(FrameDecoder, InvalidChunksChangeNothingButCanEndARecording) {
    Live live;
    auto bytes = BuildLiveFrame(Readings(0, 0, 21, 22, 1));
    std::vector<std::vector<std::uint8_t>> bad = {
        {}, {0xAA}, std::vector<std::uint8_t>(bytes.begin(), bytes.end() - 1)};
    for (int i : {0, 1, 4, 48}) {
        auto b = std::vector<std::uint8_t>(bytes.begin(), bytes.end());
        b[i] ^= 0xFF;
        bad.push_back(b);
    }
    for (const auto& b : bad) {
        const DecodeOutcome out = live.Chunk(b);
        EXPECT_FALSE(out.valid);
        EXPECT_FALSE(live.Rec().m_bNewFrame);
        EXPECT_EQ(live.doc->m_liveSamples[CH_AIRT][0], NO_VALUE);
    }
    live.Feed(Fields(0, 0, 0, 0, 0));  // idle
    live.RunOneSecond();
    live.Feed(Fields(0, 0, 0, 0, 0));  // started
    ASSERT_TRUE(live.Rec().m_bRecording);
    ASSERT_TRUE(live.Rec().m_bLiveRecording);
    live.SetIndex(RECORD_LIMIT);
    EXPECT_TRUE(live.model.OnReceive(nullptr, 0, 1).recordingEnded);
    EXPECT_FALSE(live.Rec().m_bRecording);
    EXPECT_TRUE(live.Rec().m_bStopped);
    EXPECT_FALSE(live.Rec().m_bLiveRecording);
}

TEST(FrameDecoder, TrailingBytesAreIgnoredAndIndexesStayInBounds) {
    Live live;
    const auto frame = BuildLiveFrame(Readings(0, 0, 21, 22, 1));
    std::vector<std::uint8_t> longer(frame.begin(), frame.end());
    longer.resize(5000, 0xAA);
    EXPECT_TRUE(live.Chunk(longer).valid);
    EXPECT_EQ(live.Sample(CH_AIRT), 21);

    // A frame at the end of the arrays writes nothing.
    live.SetIndex(MAX_SAMPLES);
    EXPECT_TRUE(live.Feed(Readings(0, 0, 21, 22, 1)).valid);
    for (int index : {-1, MAX_SAMPLES, 1 << 30}) {
        live.doc->StoreLiveSample(index, {1, 2, 3, 4, 5});
    }
    EXPECT_EQ(live.doc->m_liveSamples[CH_CMM][MAX_SAMPLES - 1], NO_VALUE);
}

TEST(FrameDecoder, HandsReadingsToTheAlarmBar) {
    Live live;
    live.model.Readings().LoadLimits({"30.0", "940.0", "5900.0"}, {"0.0", "0.0", "0.0"});
    DecodeOutcome out = live.Feed(Readings(0, 0x20, 31.0f, 20.0f, 0.0f));
    EXPECT_TRUE(out.alarmsChanged);
    EXPECT_TRUE(live.model.Readings().m_bAlarmHi[0]);
    EXPECT_TRUE(live.model.Readings().m_bAlarmLow[2]);
    EXPECT_EQ(live.model.Readings().m_strMaxText[0], "31.0 C");
    out = live.Feed(Readings(0, 0x20, 32.0f, 20.0f, 0.0f));
    EXPECT_FALSE(out.alarmsChanged);
}

}  // namespace

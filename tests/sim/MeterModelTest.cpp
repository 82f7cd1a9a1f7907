// The meter model, judged by what the program's own decoder makes of its frames.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "live/LiveModel.h"
#include "sim/MeterModel.h"
#include "store/CQFDoc.h"

namespace {

using namespace qf;

struct Decoded {
    std::unique_ptr<CQFDoc> doc = std::make_unique<CQFDoc>();
    CLiveModel live{*doc};
    const PanelState& panel = live.Panel();

    void Feed(const LiveFrameBytes& bytes) { live.OnReceive(bytes.data(), bytes.size(), 1000); }
    const std::string& Slot(int s) const { return panel.m_strSlot[std::size_t(s)]; }
    float Sample(int ch) const { return doc->m_liveSamples[ch][0]; }
};

MeterModelOptions Steady(float airT = 22.5f, float airV = 3.2f, float irt = 25.0f) {
    MeterModelOptions o;
    o.pattern = ReadingPattern::Steady;
    o.base = {airT, airV, irt};
    return o;
}

void Send(CMeterModel& m, const std::vector<std::uint8_t>& bytes) {
    m.Receive(bytes.data(), bytes.size());
}

std::vector<std::uint8_t> Bytes(const CommandPacket& p) {
    return {p.begin(), p.end()};
}

TEST(MeterModel, SendsOnlyAfterTheStartCommandAndCountsWhatArrives) {
    const auto start = Bytes(CMD_START);
    // Its checksum byte is 0x11, which must not count as an acknowledgement.
    const auto ackInChecksum = Bytes(BuildCommand(0x6B, 0xA6, 0x00));
    auto corrupt = start;
    corrupt[8] ^= 1;
    struct Case {
        const char* name;
        std::vector<std::vector<std::uint8_t>> pieces;
        int starts, acks, keys, unknown;
        bool sending;
    };
    const Case cases[] = {
        {"nothing", {}, 0, 0, 0, 0, false},
        {"acks alone", {{0x11, 0x11}}, 0, 2, 0, 0, false},
        {"start in three writes",
         {{start.begin(), start.begin() + 2},
          {start.begin() + 2, start.begin() + 9},
          {start.begin() + 9, start.end()}},
         1,
         0,
         0,
         0,
         true},
        {"garbage, then start", {{0x00, 0xFF, 0x12, 0xFF, 0xAA}, start}, 1, 0, 0, 0, true},
        {"bad checksum, then start", {corrupt, start}, 1, 0, 0, 0, true},
        {"0x11 inside a packet", {ackInChecksum, {0x11}}, 0, 1, 0, 1, false},
        {"key before start", {Bytes(KeyPressPacket(MeterKey::UNITS))}, 0, 0, 1, 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CMeterModel m;
        for (const auto& piece : c.pieces) {
            Send(m, piece);
        }
        EXPECT_EQ(m.Counters().starts, c.starts);
        EXPECT_EQ(m.Counters().acks, c.acks);
        EXPECT_EQ(m.Counters().keys, c.keys);
        EXPECT_EQ(m.Counters().unknownCommands, c.unknown);
        EXPECT_EQ(m.IsSending(), c.sending);
    }
}

struct KeyStep {
    MeterKey key;
    bool dbl = false;
};

struct KeyCase {
    const char* name;
    std::vector<KeyStep> keys;
    std::vector<std::pair<int, std::string>> slots;
};

TEST(MeterModel, KeysChangeTheDisplayAsOnTheMeter) {
    using K = MeterKey;
    const auto units = [](int n) { return std::vector<KeyStep>(std::size_t(n), {K::UNITS}); };
    const KeyCase cases[] = {
        {"start", {}, {{LCD_MAIN_UNIT, "m/s"}, {LCD_MODE, "VEL"}, {LCD_PCLINK, "PC-LINK"}}},
        {"units 1", units(1), {{LCD_MAIN_UNIT, "ft/min"}}},
        {"units 2", units(2), {{LCD_MAIN_UNIT, "km/h"}}},
        {"units 3", units(3), {{LCD_MAIN_UNIT, "MPH"}}},
        {"units 4", units(4), {{LCD_MAIN_UNIT, "knots"}, {LCD_MODE, "VEL"}}},
        {"units 5", units(5), {{LCD_MAIN_UNIT, "CFM"}, {LCD_MODE, "FLOW"}}},
        {"units 6", units(6), {{LCD_MAIN_UNIT, "CMM"}, {LCD_MODE, "FLOW"}}},
        {"units 7", units(7), {{LCD_MAIN_UNIT, "m/s"}, {LCD_MODE, "VEL"}}},
        {"fahrenheit", {{K::UNITS, true}}, {{LCD_UPPER_UNIT, "F"}, {LCD_UPPER_VALUE, "72.5"}}},
        {"infrared",
         {{K::IRT}},
         {{LCD_IRTEMP, "IRTEMP"},
          {LCD_MAIN_UNIT, "C"},
          {LCD_MAIN_VALUE, "25.0"},
          {LCD_MODE, "    "}}},
        {"infrared F", {{K::IRT}, {K::UNITS, true}}, {{LCD_MAIN_UNIT, "F"}}},
        {"infrared off", {{K::IRT}, {K::IRT}}, {{LCD_IRTEMP, "       "}, {LCD_MODE, "VEL"}}},
        {"hold up", {{K::HOLD_UP}}, {{LCD_HOLD_TOP, "HOLD"}, {LCD_HOLD_BOTTOM, "    "}}},
        {"hold down", {{K::HOLD_DOWN}}, {{LCD_HOLD_BOTTOM, "HOLD"}, {LCD_HOLD_TOP, "    "}}},
        {"max/min up 1", {{K::MAXMIN_UP}}, {{LCD_REC_TOP, "REC"}, {LCD_MAXMIN_TOP, "   "}}},
        {"max/min up 2", {{K::MAXMIN_UP}, {K::MAXMIN_UP}}, {{LCD_MAXMIN_TOP, "MAX"}}},
        {"max/min up 3",
         {{K::MAXMIN_UP}, {K::MAXMIN_UP}, {K::MAXMIN_UP}},
         {{LCD_MAXMIN_TOP, "MIN"}, {LCD_REC_TOP, "REC"}}},
        {"max/min up off",
         {{K::MAXMIN_UP}, {K::MAXMIN_UP, true}},
         {{LCD_MAXMIN_TOP, "   "}, {LCD_REC_TOP, "     "}}},
        {"max/min down 2",
         {{K::MAXMIN_DOWN}, {K::MAXMIN_DOWN}},
         {{LCD_REC_BOTTOM, "REC"}, {LCD_MAXMIN_BOTTOM, "MAX"}}},
        {"max/min down 3",
         {{K::MAXMIN_DOWN}, {K::MAXMIN_DOWN}, {K::MAXMIN_DOWN}},
         {{LCD_MAXMIN_BOTTOM, "MIN"}}},
        {"max/min down off",
         {{K::MAXMIN_DOWN}, {K::MAXMIN_DOWN, true}},
         {{LCD_MAXMIN_BOTTOM, "   "}, {LCD_REC_BOTTOM, "     "}}},
        {"average", {{K::AVG}}, {{LCD_AVG, "AVG"}, {LCD_UPPER_VALUE2, "1"}}},
        {"average off", {{K::AVG}, {K::AVG}}, {{LCD_AVG, "    "}, {LCD_UPPER_VALUE2, "     "}}},
        {"area",
         {{K::AREA}},
         {{LCD_MODE, "AREA"}, {LCD_MAIN_UNIT, "ft"}, {LCD_MAIN_VALUE, "1.000"}}},
        {"area metric", {{K::AREA}, {K::UNITS}}, {{LCD_MAIN_UNIT, "m"}}},
        {"area left", {{K::AREA}, {K::AREA, true}}, {{LCD_MODE, "VEL"}}},
    };
    for (const KeyCase& c : cases) {
        SCOPED_TRACE(c.name);
        CMeterModel m(Steady());
        Send(m, Bytes(CMD_START));
        for (const KeyStep& k : c.keys) {
            const auto packet = k.dbl ? *KeyDoubleClickPacket(k.key) : KeyPressPacket(k.key);
            Send(m, Bytes(packet));
        }
        Decoded d;
        d.Feed(m.NextFrame(0.0));
        for (const auto& [slot, text] : c.slots) {
            EXPECT_EQ(d.Slot(slot), text) << LcdSlotName(slot);
        }
    }
}

TEST(MeterModel, BacklightBatteryAndPower) {
    MeterModelOptions o = Steady();
    o.batteryLow = true;
    CMeterModel m(o);
    Send(m, Bytes(CMD_START));
    Send(m, Bytes(*KeyDoubleClickPacket(MeterKey::HOLD_UP)));
    Decoded d;
    d.Feed(m.NextFrame(0.0));
    EXPECT_TRUE(d.panel.m_bBacklight);
    EXPECT_EQ(d.panel.m_strBattery, "Low");

    Send(m, Bytes(KeyPressPacket(MeterKey::POWER_OFF)));
    EXPECT_FALSE(m.IsSending());
    Send(m, Bytes(CMD_START));
    EXPECT_FALSE(m.IsSending()) << "a meter switched off does not answer";

    o.wakeOnStart = true;
    CMeterModel demo(o);
    Send(demo, Bytes(KeyPressPacket(MeterKey::POWER_OFF)));
    Send(demo, Bytes(CMD_START));
    EXPECT_TRUE(demo.IsSending());
}

// After POWEROFF the program's packets cannot wake the meter; its own power key (or the
// simulator's "on") can, and the meter then links at the next start command.
TEST(MeterModel, OnlyThePowerKeySwitchesAMeterOnAgain) {
    const struct {
        const char* name;
        std::function<void(CMeterModel&)> wake;
        bool on;
    } cases[] = {
        {"power key", [](CMeterModel& m) { m.PressKey(MeterKey::POWER_OFF); }, true},
        {"power on", [](CMeterModel& m) { m.PowerOn(); }, true},
        {"another key", [](CMeterModel& m) { m.PressKey(MeterKey::UNITS); }, false},
        {"power key packet",
         [](CMeterModel& m) { Send(m, Bytes(KeyPressPacket(MeterKey::POWER_OFF))); }, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CMeterModel m(Steady());
        Send(m, Bytes(CMD_START));
        m.PressKey(MeterKey::HOLD_DOWN);
        m.PressKey(MeterKey::POWER_OFF);
        c.wake(m);
        EXPECT_EQ(m.State().poweredOn, c.on);
        EXPECT_EQ(m.State().speedUnit, 0) << "keys do nothing while the meter is off";
        EXPECT_FALSE(m.IsSending()) << "not before a start command";
        Send(m, Bytes(CMD_START));
        EXPECT_EQ(m.IsSending(), c.on);
        if (c.on) {
            EXPECT_FALSE(m.State().holdBottom) << "switched on, the meter shows live readings";
        }
    }
}

TEST(MeterModel, HoldFreezesAndMaxMinFollowsTheExtremes) {
    MeterModelOptions o;
    o.pattern = ReadingPattern::Ramp;
    o.cycleSec = 100.0;  // air speed rises 0.35 m/s per second
    CMeterModel m(o);
    Send(m, Bytes(CMD_START));
    auto mainAt = [&](double t) {
        Decoded d;
        d.Feed(m.NextFrame(t));
        return d.Slot(LCD_MAIN_VALUE);
    };
    EXPECT_EQ(mainAt(10.0), "3.50");
    m.PressKey(MeterKey::HOLD_DOWN);
    EXPECT_EQ(mainAt(20.0), "3.50");
    m.PressKey(MeterKey::HOLD_DOWN);
    EXPECT_EQ(mainAt(20.0), "7.00");

    m.PressKey(MeterKey::MAXMIN_DOWN);  // REC: shows the reading, notes extremes
    EXPECT_EQ(mainAt(30.0), "10.50");
    EXPECT_EQ(mainAt(10.0), "3.50");
    m.PressKey(MeterKey::MAXMIN_DOWN);
    EXPECT_EQ(mainAt(20.0), "10.50");
    m.PressKey(MeterKey::MAXMIN_DOWN);
    EXPECT_EQ(mainAt(20.0), "3.50");

    CMeterModel avg(Steady());
    avg.PressKey(MeterKey::AVG);
    Decoded d;
    for (int i = 1; i <= 3; ++i) {
        d.Feed(avg.NextFrame(0.0));
    }
    EXPECT_EQ(d.Slot(LCD_UPPER_VALUE2), "3");
    EXPECT_EQ(d.Slot(LCD_MAIN_VALUE), "3.20");
}

TEST(MeterModel, ReadingsBeyondTheRangesShowAsOnTheMeter) {
    struct Case {
        const char* name;
        MeterModelOptions options;
        std::vector<MeterKey> keys;
        int slot;
        std::string text;
    };
    MeterModelOptions bigDuct = Steady(22.5f, 10.0f);
    bigDuct.areaFt2 = 20.0f;  // 39374 CFM
    MeterModelOptions hugeDuct = Steady(22.5f, 10.0f);
    hugeDuct.areaFt2 = 200.0f;  // 393740 CFM
    const auto cfm = std::vector<MeterKey>(5, MeterKey::UNITS);
    const Case cases[] = {
        {"air too fast", Steady(22.5f, 35.0f), {}, LCD_MAIN_VALUE, "+OL"},
        {"surface too hot", Steady(22.5f, 3.0f, 600.0f), {MeterKey::IRT}, LCD_MAIN_VALUE, "+OL"},
        {"surface too cold", Steady(22.5f, 3.0f, -60.0f), {MeterKey::IRT}, LCD_MAIN_VALUE, "-OL"},
        {"no air temperature", Steady(-20.0f), {}, LCD_UPPER_VALUE, "----"},
        {"flow x10", bigDuct, cfm, LCD_RANGE, "X10"},
        {"flow x10 value", bigDuct, cfm, LCD_MAIN_VALUE, "3937"},
        {"flow x100", hugeDuct, cfm, LCD_RANGE, "X100"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CMeterModel m(c.options);
        for (MeterKey k : c.keys) {
            m.PressKey(k);
        }
        Decoded d;
        d.Feed(m.NextFrame(0.0));
        EXPECT_EQ(d.Slot(c.slot), c.text);
    }

    Decoded d;
    d.Feed(CMeterModel(Steady(22.5f, 3.0f, 600.0f)).NextFrame(0.0));
    EXPECT_EQ(d.Sample(CH_IRT), IRT_STORED_OVER);
}

// Every four-digit area with every point position reads back exactly.
TEST(MeterModel, AreaDigitsShowExactlyOnTheDisplay) {
    CMeterModel m(Steady());
    m.PressKey(MeterKey::AREA);
    Decoded d;
    int failures = 0;
    for (int point = 1; point <= 3; ++point) {
        for (int n = 0; n < 10000 && failures < 5; ++n) {
            std::array<int, 4> digits = {n / 1000, n / 100 % 10, n / 10 % 10, n % 10};
            std::string expected;
            for (int i = 0; i < 4; ++i) {
                expected += char('0' + digits[std::size_t(i)]);
                if (i + 1 == point) {
                    expected += '.';
                }
            }
            m.State().areaDigits = digits;
            m.State().areaPoint = point;
            d.Feed(m.NextFrame(0.0));
            if (d.Slot(LCD_MAIN_VALUE) != expected) {
                ADD_FAILURE() << expected << " shows as " << d.Slot(LCD_MAIN_VALUE);
                ++failures;
            }
        }
    }
}

TEST(MeterModel, AreaEditingSetsTheDuctArea) {
    CMeterModel m(Steady());
    const auto press = [&](MeterKey k, int times = 1) {
        for (int i = 0; i < times; ++i) {
            m.PressKey(k);
        }
    };
    press(MeterKey::AREA);          // 1.000 ft2, first digit blinking
    press(MeterKey::MAXMIN_UP, 2);  // 3.000
    press(MeterKey::AREA);          // second digit
    press(MeterKey::MAXMIN_DOWN);   // 3.900
    press(MeterKey::HOLD_UP);       // 39.00
    Decoded d;
    d.Feed(m.NextFrame(0.0));
    EXPECT_EQ(d.Slot(LCD_MAIN_VALUE), "39.00");
    EXPECT_EQ(d.panel.m_nAreaCode, 1);

    m.DoubleClickKey(MeterKey::AREA);
    EXPECT_FLOAT_EQ(m.State().areaFt2, 39.0f);
    EXPECT_NEAR(m.State().areaM2, 39.0f * FT2_TO_M2, 1e-4);
    d.Feed(m.NextFrame(0.0));
    EXPECT_EQ(d.Slot(LCD_MODE), "VEL");
    // The program derives its flow from the new area.
    EXPECT_NEAR(d.Sample(CH_CFM), 39.0 * 3.2 * 196.87, 1.0);
}

}  // namespace

#include "store/Settings.h"

#include <gtest/gtest.h>

#include <cmath>

#include "helpers/TempDir.h"

namespace qf {
namespace {

using qftest::ReadAll;
using qftest::TempDir;
using qftest::WriteAll;

const char ALL_DEFAULTS[] =
    "[COMInfo]\nCOM num=1\n"
    "[Alarmhi1Info]\nHi1 limit=140.0\n[Alarmhi2Info]\nHi2 limit=940.0\n"
    "[Alarmhi3Info]\nHi3 limit=5900.0\n"
    "[Alarmlow1Info]\nLow1 limit=0.0\n[Alarmlow2Info]\nLow2 limit=0.0\n"
    "[Alarmlow3Info]\nLow3 limit=0.0\n"
    "[GainInfo]\nGain=10\n[OffsetInfo]\nOffset=0\n";

TEST(Settings, FirstRunUsesDefaultsAndWritesAllNineKeys) {
    TempDir dir;
    ::setenv("XDG_CONFIG_HOME", dir.file("cfg").c_str(), 1);  // folder made on first write
    CConfigFile file(CConfigFile::DefaultPath());
    const Settings s = LoadSettings(file);
    EXPECT_EQ(s.m_nPort, 1);
    EXPECT_EQ(s.m_nYGain, 10);
    EXPECT_EQ(s.m_nYOffset, 0);
    EXPECT_EQ(s.m_strHiLimit[2], "5900.0");
    EXPECT_EQ(s.m_strLowLimit[0], "0.0");

    SaveSettings(file, s);
    EXPECT_EQ(ReadAll(dir.file("cfg/QF7720config.ini")), ALL_DEFAULTS);
    ::unsetenv("XDG_CONFIG_HOME");
}

TEST(Settings, RoundTripKeepsTextsAndForeignSections) {
    TempDir dir;
    const std::string path = dir.file("c.ini");
    WriteAll(path, "[PortMap]\r\nCOM3=/dev/ttyACM0\r\n[gaininfo]\r\ngain=abc\r\n");
    CConfigFile file(path);
    Settings s = LoadSettings(file);
    EXPECT_EQ(s.m_nYGain, 0);

    s.m_nPort = 3;
    s.m_nYGain = 25;
    s.m_nYOffset = -40;
    s.m_strHiLimit[0] = "25.50";
    s.m_strLowLimit[2] = "1e1";
    SaveSettings(file, s);

    const Settings back = LoadSettings(file);
    EXPECT_EQ(back.m_nPort, 3);
    EXPECT_EQ(back.m_nYGain, 25);
    EXPECT_EQ(back.m_nYOffset, -40);
    EXPECT_EQ(back.m_strHiLimit[0], "25.50");
    EXPECT_EQ(back.m_strLowLimit[2], "1e1");
    const std::string text = ReadAll(path);
    EXPECT_EQ(text.rfind("[PortMap]\r\nCOM3=/dev/ttyACM0\r\n[gaininfo]\r\ngain=25\r\n", 0), 0u)
        << text;
    EXPECT_EQ(text.find("\n\n"), std::string::npos) << "line endings mixed: " << text;
}

TEST(Settings, ParseLimitTextReadsLikeStrtod) {
    const struct {
        const char* text;
        double expected;
    } cases[] = {
        {"25.50", 25.5}, {"  -12.5xyz", -12.5}, {"+.5", 0.5},          {"7.", 7.0},
        {"1e", 1.0},     {"-3e2", -300.0},      {"0x10", 16.0},        {"1,5", 1.0},
        {"", 0.0},       {"abc", 0.0},          {"inf", 0.0},          {"-Infinity", 0.0},
        {"nan", 0.0},    {"1e999", HUGE_VAL},   {"-1e999", -HUGE_VAL},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ParseLimitText(c.text), c.expected) << c.text;
    }
    EXPECT_EQ(ParseLimitFloat("1e300"), HUGE_VALF);
    EXPECT_EQ(ParseLimitFloat("-1e300"), -HUGE_VALF);
    EXPECT_EQ(ParseLimitFloat("25.5"), 25.5f);
}

}  // namespace
}  // namespace qf

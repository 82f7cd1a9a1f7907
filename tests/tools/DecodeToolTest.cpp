// decode, run through the built tool: one JSON line per input line, the state carried
// from line to line as in the program.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <vector>

#include "helpers/TempDir.h"
#include "link/LiveFrame.h"

namespace {

const std::string TOOL = QF_BINARY_DIR "/tools/qf7720-tool";

struct DecodeRun {
    int exit = -1;
    std::vector<std::string> lines;
    std::string err;
};

DecodeRun Decode(const std::string& input, const std::string& args = "") {
    qftest::TempDir dir;
    qftest::WriteAll(dir.file("in"), input);
    const std::string cmd = "'" + TOOL + "' decode " + args + " <'" + dir.file("in") + "' >'" +
                            dir.file("out") + "' 2>'" + dir.file("err") + "'";
    const int status = std::system(cmd.c_str());
    DecodeRun r;
    r.exit = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    std::istringstream out(qftest::ReadAll(dir.file("out")));
    for (std::string line; std::getline(out, line);) {
        r.lines.push_back(line);
    }
    r.err = qftest::ReadAll(dir.file("err"));
    return r;
}

std::string Hex(const qf::LiveFrameBytes& bytes) {
    std::string out;
    char buf[4];
    for (auto b : bytes) {
        std::snprintf(buf, sizeof buf, "%02x ", b);
        out += buf;
    }
    return out;
}

TEST(DecodeTool, PrintsTheWholeStateOfEveryChunk) {
    qf::LiveFrameFields f;
    f.a = qf::flag::A_CELSIUS | qf::flag::A_BACKLIGHT;
    f.b = qf::flag::B_VEL;
    f.c = qf::flag::C_PCLINK;
    f.d = qf::flag::D_KMH;
    f.e = qf::flag::E_BATTERY_LOW;
    f.airT = 21.5f;
    f.airV = 1.5f;
    f.irt = 30.0f;
    f.upper = 21.5f;
    f.main = 5.4f;
    f.areaFt2 = 1.0f;
    f.areaM2 = 0.1f;
    const DecodeRun r = Decode("# a comment\n" + Hex(qf::BuildLiveFrame(f)) + "\n\naa 61\n",
                               "--limits 20,940,5900,0,0,0");
    ASSERT_EQ(r.exit, 0) << r.err;
    ASSERT_EQ(r.lines.size(), 3u);
    EXPECT_EQ(r.lines[0],
              "{\"valid\":true,\"tempUnit\":0,\"tempUnitText\":\"C\",\"speedUnit\":2,"
              "\"speedUnitText\":\"km/h\",\"speedFactor\":3.5999999,\"samples\":{\"AirT\":21.5,"
              "\"IRT\":30,\"AirV\":1.5,\"CFM\":295.299988,\"CMM\":9},\"lcd\":{"
              "\"LCD_UPPER_VALUE\":\"21.5\",\"LCD_UPPER_VALUE2\":\"     \","
              "\"LCD_UPPER_UNIT\":\"C\",\"LCD_MAIN_VALUE\":\"5.4\",\"LCD_MAIN_UNIT\":\"km/h\","
              "\"LCD_MODE\":\"VEL\",\"LCD_IRTEMP\":\"       \",\"LCD_PCLINK\":\"PC-LINK\","
              "\"LCD_REC_TOP\":\"     \",\"LCD_MAXMIN_TOP\":\"   \",\"LCD_HOLD_TOP\":\"    \","
              "\"LCD_REC_BOTTOM\":\"     \",\"LCD_MAXMIN_BOTTOM\":\"   \",\"LCD_AVG\":\"    \","
              "\"LCD_HOLD_BOTTOM\":\"    \",\"LCD_RANGE\":\"    \"},\"areaCode\":0,"
              "\"backlight\":1,\"battery\":\"Low\",\"maxText\":[\"21.5 C\",\"30.0 C\","
              "\"5.4km/h\"],\"minText\":[\"21.5 C\",\"30.0 C\",\"5.4km/h\"],"
              "\"alarmHi\":[1,0,0],\"alarmLow\":[0,0,0]}");
    // An empty chunk and a partial frame are invalid and change nothing.
    const std::string rest = r.lines[0].substr(std::string("{\"valid\":true").size());
    EXPECT_EQ(r.lines[1], "{\"valid\":false" + rest);
    EXPECT_EQ(r.lines[2], "{\"valid\":false" + rest);
}

// No line grows without limit, and a read error is no end of input.
TEST(DecodeTool, RefusesOverlongLinesAndUnreadableInput) {
    qftest::TempDir dir;
    const std::string longLine(std::size_t(1) << 20, 'a');
    const struct {
        const char* name;
        std::string input;
        std::string args;
        std::size_t lines;  // printed before the refusal
        std::string err;
    } cases[] = {
        {"longest line", "aa\n" + longLine + "\n", "", 2, ""},
        {"one character more", "aa\n" + longLine + "a\n", "", 1,
         "decode: line 2 is longer than 1048576 characters\n"},
        {"endless line", "", "/dev/zero", 0, "decode: line 1 is longer than 1048576 characters\n"},
        {"folder", "", "'" + dir.path().string() + "'", 0,
         "decode: cannot read '" + dir.path().string() + "': Is a directory\n"},
        {"missing file", "", "'" + dir.file("absent") + "'", 0,
         "decode: cannot open '" + dir.file("absent") + "': No such file or directory\n"},
    };
    for (const auto& c : cases) {
        const DecodeRun r = Decode(c.input, c.args);
        EXPECT_EQ(r.exit, c.err.empty() ? 0 : 2) << c.name;
        EXPECT_EQ(r.lines.size(), c.lines) << c.name;
        EXPECT_EQ(r.err, c.err) << c.name;
    }
}

TEST(DecodeTool, RefusesWhatIsNotHexAndBadLimits) {
    const DecodeRun bad = Decode("aa 6\n");
    EXPECT_EQ(bad.exit, 2);
    EXPECT_EQ(bad.err, "decode: line 1 is not hex byte pairs\n");
    EXPECT_EQ(Decode("", "--limits 1,2,3").exit, 1);
    EXPECT_EQ(Decode("", "--bogus").exit, 1);
}

}  // namespace

// The simulator's commands on standard input, run through the built simulator.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <cstdlib>
#include <string>

#include "helpers/TempDir.h"

namespace {

const std::string SIM = QF_BINARY_DIR "/tools/qf7720-meter-sim";

// A count out of its range is refused with the command's usage, not taken as a huge
// unsigned number; the simulator keeps running and takes the next command.
TEST(MeterSimCommands, countsOutOfRangeAreRefusedWithTheirUsage) {
    const std::string garbage = "usage: garbage [N]: N bytes from 0 to 1048576 (default 7)\n";
    const std::string hangup =
        "usage: hangup [MS]: back after MS from 0 to 86400000, -1 never (default 2000)\n";
    const std::string split = "usage: split N: each write in N pieces, N from 1 to 1000\n";
    const std::string batch = "usage: batch N: N frames in one write, N from 1 to 1000\n";
    const struct {
        const char* line;
        std::string err;  // empty: taken
    } cases[] = {
        {"garbage -1", garbage}, {"garbage 1048577", garbage}, {"garbage x", garbage},
        {"garbage", ""},         {"garbage 1048576", ""},      {"split 0", split},
        {"split", split},        {"split 1001", split},        {"batch -2", batch},
        {"hangup -2", hangup},   {"hangup 86400001", hangup},  {"hangup -1", ""},
    };
    std::string input;
    std::string expected;
    for (const auto& c : cases) {
        input += std::string(c.line) + "\n";
        expected += c.err;
    }
    qftest::TempDir dir;
    qftest::WriteAll(dir.file("in"), input + "quit\n");
    const int status = std::system(("'" + SIM + "' <'" + dir.file("in") + "' >'" + dir.file("out") +
                                    "' 2>'" + dir.file("err") + "'")
                                       .c_str());
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(qftest::ReadAll(dir.file("err")), expected);
}

// Options out of their range end the simulator at once with one line, rather than a
// period of 0 spinning or a batch of 0 sending nothing; --frames reads a regular file only.
TEST(MeterSimCommands, optionsOutOfRangeAndAFifoOfFramesAreRefused) {
    qftest::TempDir dir;
    ASSERT_EQ(::mkfifo(dir.file("fifo").c_str(), 0600), 0);
    const struct {
        std::string args;
        int exit;
        std::string err;
    } cases[] = {
        {"--period 0", 1, "--period needs a whole number from 10 to 3600000"},
        {"--batch 0", 1, "--batch needs a whole number from 1 to 1000"},
        {"--frames '" + dir.file("fifo") + "'", 2, dir.file("fifo") + ": not a regular file"},
    };
    for (const auto& c : cases) {
        const int status = std::system(
            ("'" + SIM + "' " + c.args + " </dev/null >/dev/null 2>'" + dir.file("err") + "'")
                .c_str());
        ASSERT_TRUE(WIFEXITED(status)) << c.args;
        EXPECT_EQ(WEXITSTATUS(status), c.exit) << c.args;
        EXPECT_EQ(qftest::ReadAll(dir.file("err")), "qf7720-meter-sim: " + c.err + "\n");
    }
}

}  // namespace

// The simulator's standard input switches a meter on again after POWEROFF.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

namespace {

// The "status" lines the simulator printed for commands fed on its standard input.
std::vector<std::string> StatusLines(const std::string& commands) {
    const std::string cmd =
        "printf '" + commands + "' | '" QF_BINARY_DIR "/tools/qf7720-meter-sim' --period 1000";
    std::vector<std::string> lines;
    if (FILE* p = popen(cmd.c_str(), "r")) {
        char buf[512];
        while (std::fgets(buf, sizeof buf, p) != nullptr) {
            if (std::string(buf).rfind("device ", 0) == 0) {
                lines.push_back(buf);
            }
        }
        EXPECT_EQ(pclose(p), 0);
    }
    return lines;
}

TEST(MeterSim, powerKeyAndOnCommandSwitchTheMeterOnAgain) {
    const std::vector<std::string> lines = StatusLines(
        "key POWEROFF\\nstatus\\nkey POWER\\nstatus\\n"
        "key POWEROFF\\nkey UNITS\\nstatus\\non\\nstatus\\nquit\\n");
    ASSERT_EQ(lines.size(), 4u);
    const bool off[] = {true, false, true, false};
    for (std::size_t i = 0; i < lines.size(); ++i) {
        EXPECT_EQ(lines[i].find(", off;") != std::string::npos, off[i]) << lines[i];
    }
}

}  // namespace

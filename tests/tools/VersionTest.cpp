// Every executable names itself and the one project version.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <string>

#include "store/Version.h"

namespace {

std::string Output(const std::string& cmd, int& exitCode) {
    std::string out;
    if (FILE* p = popen(cmd.c_str(), "r")) {
        char buf[256];
        while (std::fgets(buf, sizeof buf, p) != nullptr) {
            out += buf;
        }
        const int status = pclose(p);
        exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    return out;
}

// Without any display, as help2man and a shell over ssh run them.
const std::string NO_DISPLAY = "env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb ";

TEST(Version, everyExecutableAnswersVersionAndHelpWithoutADisplay) {
    const struct {
        const char* path;
        const char* name;
    } executables[] = {
        {QF_BINARY_DIR "/tools/qf7720-tool", "qf7720-tool"},
        {QF_BINARY_DIR "/tools/qf7720-meter-sim", "qf7720-meter-sim"},
        {QF_BINARY_DIR "/src/qf7720", "qf7720"},
    };
    for (const auto& e : executables) {
        SCOPED_TRACE(e.name);
        int exitCode = -1;
        const std::string out = Output(NO_DISPLAY + "'" + e.path + "' --version", exitCode);
        EXPECT_EQ(exitCode, 0);
        EXPECT_EQ(out, std::string(e.name) + " " + qf::QF_VERSION + "\n");
        const std::string help = Output(NO_DISPLAY + "'" + e.path + "' --help", exitCode);
        EXPECT_EQ(exitCode, 0);
        EXPECT_NE(help.find("sage: "), std::string::npos) << help;
    }
}

}  // namespace

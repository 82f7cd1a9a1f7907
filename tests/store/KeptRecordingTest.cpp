#include "store/KeptRecording.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "helpers/TempDir.h"

namespace {

namespace fs = std::filesystem;

TEST(KeptRecording, folderFollowsTheStateHome) {
    const char* savedState = std::getenv("XDG_STATE_HOME");
    const std::string keepState = savedState ? savedState : "";
    const std::string home = std::getenv("HOME") ? std::getenv("HOME") : "";
    const struct {
        const char* state;  // nullptr: unset
        std::string folder;
    } cases[] = {
        {"/var/tmp/st", "/var/tmp/st/qf7720"},
        {nullptr, home + "/.local/state/qf7720"},
        {"", home + "/.local/state/qf7720"},
        {"relative/st", home + "/.local/state/qf7720"},  // only absolute paths count
    };
    for (const auto& c : cases) {
        if (c.state) {
            setenv("XDG_STATE_HOME", c.state, 1);
        } else {
            unsetenv("XDG_STATE_HOME");
        }
        EXPECT_EQ(qf::KeptRecordingFolder(), c.folder) << (c.state ? c.state : "unset");
    }
    if (savedState) {
        setenv("XDG_STATE_HOME", keepState.c_str(), 1);
    } else {
        unsetenv("XDG_STATE_HOME");
    }
}

TEST(KeptRecording, aKeptFileNeverReplacesAnotherAndTheNoteIsReadOnce) {
    qftest::TempDir dir;
    const std::string folder = dir.file("state/qf7720");
    ASSERT_TRUE(qf::CreateKeptFolder(folder));
    EXPECT_EQ(fs::status(folder).permissions() & fs::perms::all, fs::perms::owner_all);

    EXPECT_EQ(qf::FreeKeptPath(folder, "26-12-08 09.11.25"), folder + "/26-12-08 09.11.25.AsmDat");
    qftest::WriteAll(folder + "/26-12-08 09.11.25.AsmDat", "x");
    EXPECT_EQ(qf::FreeKeptPath(folder, "26-12-08 09.11.25"),
              folder + "/26-12-08 09.11.25 (2).AsmDat");
    // A lone table also holds the name.
    qftest::WriteAll(folder + "/26-12-08 09.11.25 (2).txt", "x");
    EXPECT_EQ(qf::FreeKeptPath(folder, "26-12-08 09.11.25"),
              folder + "/26-12-08 09.11.25 (3).AsmDat");

    EXPECT_FALSE(qf::TakeKeptNote(folder).has_value());
    ASSERT_TRUE(qf::WriteKeptNote(folder, folder + "/a b.AsmDat"));
    EXPECT_EQ(qf::TakeKeptNote(folder), folder + "/a b.AsmDat");
    EXPECT_FALSE(qf::TakeKeptNote(folder).has_value());
}

}  // namespace

#include "store/KeptRecording.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

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
}

// A note stays until the recording is forgotten; one naming a file no longer there is
// passed over, and a note that is not a regular file is never read (a FIFO would block
// the start for good, /dev/zero would fill the memory).
TEST(KeptRecording, notesNameWhatIsStillThereAndOnlyRegularNotesAreRead) {
    qftest::TempDir dir;
    const std::vector<qf::KeptPlace> places{{dir.file("a"), false}, {dir.file("docs"), true}};
    ASSERT_TRUE(qf::CreateKeptFolder(dir.file("a")));
    fs::create_directory(dir.file("docs"));
    const std::string one = dir.file("a/one.AsmDat");
    const std::string two = dir.file("docs/two.AsmDat");
    qftest::WriteAll(one, "x");
    qftest::WriteAll(two, "x");
    ASSERT_TRUE(qf::AddKeptNote(places[0], one));
    ASSERT_TRUE(qf::AddKeptNote(places[0], one));
    ASSERT_TRUE(qf::AddKeptNote(places[0], dir.file("a/gone.AsmDat")));
    ASSERT_TRUE(qf::AddKeptNote(places[1], two));
    EXPECT_EQ(qf::ReadKeptNotes(places), (std::vector<std::string>{one, two}));
    EXPECT_EQ(qf::ReadKeptNotes(places), (std::vector<std::string>{one, two}));
    qf::ForgetKept(places, one);
    EXPECT_EQ(qf::ReadKeptNotes(places), (std::vector<std::string>{two}));

    fs::remove(dir.file("docs/.qf7720-kept-recording"));
    ASSERT_EQ(::mkfifo(dir.file("docs/.qf7720-kept-recording").c_str(), 0600), 0);
    fs::remove(dir.file("a/kept-recording"));
    fs::create_symlink("/dev/zero", dir.file("a/kept-recording"));
    EXPECT_TRUE(qf::ReadKeptNotes(places).empty());
}

// An unusable place (a file, a dangling link, a link planted to another folder) is passed
// over for the next one, and the refusal of the first is what is told.
TEST(KeptRecording, aRecordingGoesToTheFirstPlaceThatTakesIt) {
    qftest::TempDir dir;
    fs::create_directory(dir.file("elsewhere"));
    qftest::WriteAll(dir.file("file"), "x");
    fs::create_symlink(dir.file("nowhere"), dir.file("dangling"));
    fs::create_symlink(dir.file("elsewhere"), dir.file("planted"));
    for (const char* unusable : {"file", "dangling", "planted"}) {
        SCOPED_TRACE(unusable);
        const std::vector<qf::KeptPlace> places{{dir.file(unusable), false},
                                                {dir.file("fallback"), false}};
        const qf::KeptOutcome kept =
            qf::KeepRecording(places, std::string("run ") + unusable, [](const std::string& p) {
                qftest::WriteAll(p, "data");
                return 0;
            });
        EXPECT_EQ(kept.path, dir.file("fallback/run ") + unusable + ".AsmDat");
        EXPECT_EQ(kept.failedIn, dir.file(unusable));
        EXPECT_NE(kept.error, 0);
        EXPECT_EQ(qf::ReadKeptNotes(places).back(), kept.path);
    }
    EXPECT_TRUE(fs::is_empty(dir.file("elsewhere")));
    EXPECT_EQ(fs::status(dir.file("fallback")).permissions() & fs::perms::all,
              fs::perms::owner_all);
}

}  // namespace

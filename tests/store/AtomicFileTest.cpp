#include "store/AtomicFile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "helpers/TempDir.h"
#include "helpers/TestLive.h"
#include "store/RegularFile.h"
#include "store/SaveRecording.h"

namespace {

namespace fs = std::filesystem;

// A rename over a device or a FIFO would turn it into a plain file; it is refused and
// the node stays as it was, also when reached through a link.
TEST(AtomicFile, onlyARegularFileIsReplaced) {
    qftest::TempDir dir;
    ASSERT_EQ(::mkfifo(dir.file("fifo").c_str(), 0600), 0);
    fs::create_symlink(dir.file("fifo"), dir.file("link-to-fifo"));
    fs::create_directory(dir.file("folder"));
    std::vector<std::string> targets = {dir.file("fifo"), dir.file("link-to-fifo"),
                                        dir.file("folder")};
    // A device node of our own: a regression must not replace the real /dev/null.
    if (::mknod(dir.file("null").c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0) {
        targets.push_back(dir.file("null"));
    }
    for (const std::string& target : targets) {
        const fs::file_type before = fs::status(target).type();
        int error = 0;
        EXPECT_FALSE(qf::WriteFileAtomically(target, "text", &error)) << target;
        EXPECT_EQ(error, qf::NOT_REGULAR_FILE) << target;
        EXPECT_EQ(fs::status(target).type(), before) << target;
    }
    // No temporary file is left behind.
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), {}),
              static_cast<std::ptrdiff_t>(targets.size()));
}

TEST(AtomicFile, aLinkToARegularFileStaysALinkAndItsFileIsReplaced) {
    qftest::TempDir dir;
    qftest::WriteAll(dir.file("real.txt"), "old");
    fs::create_symlink("real.txt", dir.file("link.txt"));
    int error = -7;
    EXPECT_TRUE(qf::WriteFileAtomically(dir.file("link.txt"), "new", &error));
    EXPECT_EQ(error, 0);
    EXPECT_TRUE(fs::is_symlink(dir.file("link.txt")));
    EXPECT_EQ(qftest::ReadAll(dir.file("real.txt")), "new");
}

// Save goes through the same rule for both of its files.
TEST(AtomicFile, saveLeavesAFifoInPlaceOfEitherFile) {
    qftest::TempDir dir;
    auto doc = std::make_unique<qf::CQFDoc>();
    const qftest::TestLive live;
    ASSERT_EQ(::mkfifo(dir.file("a.AsmDat").c_str(), 0600), 0);
    EXPECT_EQ(qftest::Save(dir.file("a.AsmDat"), *doc, live, 10, 0),
              qf::SaveStatus::DataFileFailed);
    ASSERT_EQ(::mkfifo(dir.file("b.txt").c_str(), 0600), 0);
    EXPECT_EQ(qftest::Save(dir.file("b.AsmDat"), *doc, live, 10, 0),
              qf::SaveStatus::TextFileFailed);
    EXPECT_TRUE(fs::is_fifo(dir.file("a.AsmDat")));
    EXPECT_TRUE(fs::is_fifo(dir.file("b.txt")));
    EXPECT_FALSE(fs::exists(dir.file("b.AsmDat")));
}

// The output is resolved once: a link re-pointed between two saves does not send the
// second save to the file it points to now, and the table stays beside the real file.
TEST(AtomicFile, aLinkRepointedBetweenTwoSavesIsNotFollowedAgain) {
    qftest::TempDir dir;
    fs::create_directory(dir.file("real"));
    qftest::WriteAll(dir.file("victim.conf"), "mine");
    qftest::WriteAll(dir.file("real/run.AsmDat"), "an earlier run");
    fs::create_symlink(dir.file("real/run.AsmDat"), dir.file("out.AsmDat"));
    int error = 0;
    const auto out = qf::ResolveOutput(dir.file("out.AsmDat"), error);
    ASSERT_TRUE(out.has_value());
    auto doc = std::make_unique<qf::CQFDoc>();
    const qftest::TestLive live;
    for (int save = 0; save < 2; ++save) {
        EXPECT_EQ(qf::SaveRecording(*out, *doc, live, live.units, 10, 0), qf::SaveStatus::Ok);
        fs::remove(dir.file("out.AsmDat"));
        fs::create_symlink(dir.file("victim.conf"), dir.file("out.AsmDat"));
    }
    EXPECT_EQ(qftest::ReadAll(dir.file("victim.conf")), "mine");
    EXPECT_EQ(qftest::ReadAll(dir.file("real/run.AsmDat")), qftest::Encode(*doc, live, 10, 0));
    EXPECT_TRUE(fs::exists(dir.file("real/run.txt")));
    EXPECT_FALSE(fs::exists(dir.file("out.txt")));
}

// In a shared sticky folder a link another user planted is not followed: saving there
// is refused and the file it points to stays as it was.
TEST(AtomicFile, aLinkAnotherUserPlantedInASharedFolderIsNotFollowed) {
    qftest::TempDir dir;
    const std::string shared = dir.file("shared");
    fs::create_directory(shared);
    ASSERT_EQ(::chmod(shared.c_str(), 01777), 0);
    qftest::WriteAll(dir.file("victim.conf"), "mine");
    fs::create_symlink(dir.file("victim.conf"), shared + "/out.AsmDat");
    if (::lchown((shared + "/out.AsmDat").c_str(), 54321, 54321) != 0) {
        GTEST_SKIP() << "a link of another user needs root";
    }
    int error = 0;
    EXPECT_FALSE(qf::WriteFileAtomically(shared + "/out.AsmDat", "binary", &error));
    EXPECT_EQ(error, EACCES);
    EXPECT_EQ(qftest::ReadAll(dir.file("victim.conf")), "mine");
}

// A save killed halfway leaves its temporary; the next save of that target removes it
// once its writer is gone, and nothing else.
TEST(AtomicFile, staleTemporariesOfADeadWriterAreRemovedOnTheNextSave) {
    qftest::TempDir dir;
    const pid_t dead = fork();
    if (dead == 0) {
        _exit(0);
    }
    ASSERT_GT(dead, 0);
    waitpid(dead, nullptr, 0);
    const std::string stale = ".x.AsmDat." + std::to_string(dead) + "-123.tmp";
    const std::vector<std::string> kept = {
        ".x.AsmDat." + std::to_string(getppid()) + "-5.tmp",  // its writer runs
        ".y.AsmDat." + std::to_string(dead) + "-5.tmp",       // another target's
        ".x.AsmDat.77.tmp",                                   // no writer named
    };
    qftest::WriteAll(dir.file(stale), "half");
    for (const std::string& name : kept) {
        qftest::WriteAll(dir.file(name), "half");
    }
    ASSERT_TRUE(qf::WriteFileAtomically(dir.file("x.AsmDat"), "whole"));
    EXPECT_FALSE(fs::exists(dir.file(stale)));
    for (const std::string& name : kept) {
        EXPECT_TRUE(fs::exists(dir.file(name))) << name;
    }
}

}  // namespace

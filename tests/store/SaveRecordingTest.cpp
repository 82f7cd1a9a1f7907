#include "store/SaveRecording.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <functional>
#include <memory>
#include <set>

#include "helpers/TempDir.h"
#include "helpers/TestLive.h"
#include "store/DataFile.h"
#include "store/TextExport.h"

namespace {

namespace fs = std::filesystem;
using qf::SaveStatus;

class SaveRecordingTest : public ::testing::Test {
protected:
    qftest::TempDir m_dir;
    std::unique_ptr<qf::CQFDoc> m_doc = std::make_unique<qf::CQFDoc>();
    qftest::TestLive m_live;

    void SetUp() override {
        m_live.units = {0, "C", 0, "m/s", 1.0f};
        m_live.m_tmStart = 1388485230;
        m_live.m_nIntervalMs = 1000;
        m_live.m_nSampleIndex = 100;
        for (int i = 0; i < 100; ++i) {
            for (int c = 0; c < qf::NUM_CHANNELS; ++c) {
                m_doc->m_liveSamples[c][i] = 0.25f * i + c;
            }
        }
    }

    SaveStatus Save(const std::string& path) { return qftest::Save(path, *m_doc, m_live, 20, -2); }

    std::set<std::string> Names() const {
        std::set<std::string> names;
        for (const auto& e : fs::directory_iterator(m_dir.path())) {
            names.insert(e.path().filename().string());
        }
        return names;
    }
};

TEST_F(SaveRecordingTest, writesTheTextExportBesideTheDataFile) {
    const std::string data = m_dir.file("13-12-31 10.20.30.AsmDat");
    qftest::WriteAll(data, std::string(50000, 'x'));  // an older, longer file is replaced
    ASSERT_EQ(Save(data), SaveStatus::Ok);
    EXPECT_EQ(qftest::ReadAll(data), qftest::Encode(*m_doc, m_live, 20, -2));
    EXPECT_EQ(qftest::ReadAll(m_dir.file("13-12-31 10.20.30.txt")),
              qf::BuildTextExport(qftest::LiveExport(*m_doc, m_live)));
    EXPECT_EQ(Names(),
              (std::set<std::string>{"13-12-31 10.20.30.AsmDat", "13-12-31 10.20.30.txt"}));
    EXPECT_EQ(m_doc->m_strSignature, "QF7720");
}

TEST(SavePaths, theDataFileAlwaysEndsInItsOwnExtension) {
    const struct {
        const char* chosen;
        const char* data;
    } cases[] = {
        {"/d/26-12-08 09.11.25", "/d/26-12-08 09.11.25.AsmDat"},  // ".25" is no extension
        {"/d/run.AsmDat", "/d/run.AsmDat"},
        {"/d/run.ASMDAT", "/d/run.ASMDAT"},
        {"/d/run.txt", "/d/run.txt.AsmDat"},
        {"/d/run", "/d/run.AsmDat"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(qf::DataFilePath(c.chosen), c.data) << c.chosen;
    }
}

// Each case prepares the folder; a failed save must leave "rec.AsmDat" and "rec.txt" as
// they were and no file of its own behind.
TEST_F(SaveRecordingTest, failedSaveChangesNoFile) {
    struct Case {
        const char* name;
        std::string path;
        std::function<void()> prepare;
        SaveStatus status;
        int error;  // errno the caller can name
    };
    const std::string rec = m_dir.file("rec.AsmDat");
    const Case cases[] = {
        {"missing folder", m_dir.file("missing/rec.AsmDat"), [] {}, SaveStatus::DataFileFailed,
         ENOENT},
        {"parent is a file", m_dir.file("plain/rec.AsmDat"),
         [&] { qftest::WriteAll(m_dir.file("plain"), "p"); }, SaveStatus::DataFileFailed, ENOTDIR},
        {"data path is a folder", m_dir.file("folder.AsmDat"),
         [&] { fs::create_directory(m_dir.file("folder.AsmDat")); }, SaveStatus::DataFileFailed,
         EISDIR},
        {"text path is a folder", rec,
         [&] {
             fs::remove(m_dir.file("rec.txt"));
             fs::create_directory(m_dir.file("rec.txt"));
         },
         SaveStatus::TextFileFailed, EISDIR},
        {"file size limit", rec,
         [] {
             rlimit limit;
             getrlimit(RLIMIT_FSIZE, &limit);
             limit.rlim_cur = 4096;  // the text export of 100 samples is larger
             setrlimit(RLIMIT_FSIZE, &limit);
         },
         SaveStatus::WriteFailed, EFBIG},
    };
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit saved;
    getrlimit(RLIMIT_FSIZE, &saved);
    for (const Case& c : cases) {
        for (const auto& e : fs::directory_iterator(m_dir.path())) {
            fs::remove_all(e.path());
        }
        qftest::WriteAll(rec, "old data");
        qftest::WriteAll(m_dir.file("rec.txt"), "old text");
        c.prepare();
        const std::set<std::string> before = Names();
        int error = -1;
        const SaveStatus status =
            qf::SaveRecording(c.path, *m_doc, m_live, m_live.units, 20, -2, &error);
        setrlimit(RLIMIT_FSIZE, &saved);
        EXPECT_EQ(status, c.status) << c.name;
        EXPECT_EQ(error, c.error) << c.name << ": " << std::strerror(error);
        EXPECT_EQ(Names(), before) << c.name;
        EXPECT_EQ(qftest::ReadAll(rec), "old data") << c.name;
        if (fs::is_regular_file(m_dir.file("rec.txt"))) {
            EXPECT_EQ(qftest::ReadAll(m_dir.file("rec.txt")), "old text") << c.name;
        }
    }
    std::signal(SIGXFSZ, oldHandler);
}

// Permission bits do not stop root, so these run only for an ordinary user.
TEST_F(SaveRecordingTest, readOnlyFileOrFolderIsNotReplaced) {
    if (geteuid() == 0) {
        GTEST_SKIP() << "permission bits do not apply to root";
    }
    const std::string rec = m_dir.file("rec.AsmDat");
    qftest::WriteAll(rec, "old data");
    fs::permissions(rec, fs::perms::owner_read);
    int error = 0;
    EXPECT_EQ(qf::SaveRecording(rec, *m_doc, m_live, m_live.units, 20, -2, &error),
              SaveStatus::DataFileFailed);
    EXPECT_EQ(error, EACCES);
    EXPECT_EQ(qftest::ReadAll(rec), "old data");

    const fs::path locked = m_dir.path() / "locked";
    fs::create_directory(locked);
    fs::permissions(locked, fs::perms::owner_read | fs::perms::owner_exec);
    EXPECT_EQ(Save((locked / "rec.AsmDat").string()), SaveStatus::DataFileFailed);
    EXPECT_TRUE(fs::is_empty(locked));
}

}  // namespace

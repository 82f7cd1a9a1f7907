// info, export and samples, run through the built tool.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>

#include <bit>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <vector>

#include "helpers/TempDir.h"
#include "helpers/TestLive.h"
#include "store/SaveRecording.h"

namespace {

namespace fs = std::filesystem;

const std::string TOOL = QF_BINARY_DIR "/tools/qf7720-tool";
const std::string CORPUS = QF_SOURCE_DIR "/tests/fuzz/corpus/datafile/";

struct ToolRun {
    int exit = -1;
    std::string out;
    std::string err;
};

class ToolFilesTest : public ::testing::Test {
protected:
    qftest::TempDir m_dir;
    std::string m_saved;  // data file written by the program's Save

    void SetUp() override {
        // The tool inherits the zone; a fixed one makes the stamps and the date known.
        setenv("TZ", "UTC0", 1);
        tzset();
        auto doc = std::make_unique<qf::CQFDoc>();
        const float samples[3][5] = {{23.5f, 20.06f, 1.5f, 1234.0f, 9.999f},
                                     {qf::NO_VALUE, qf::NO_VALUE, qf::NO_VALUE, -1.0f, 0.297f},
                                     {20.0f, std::bit_cast<float>(0x7FC00001u), 0.0f, 0.0f, 0.0f}};
        for (int i = 0; i < 3; ++i) {
            for (int c = 0; c < qf::NUM_CHANNELS; ++c) {
                doc->m_liveSamples[c][i] = samples[i][c];
            }
        }
        qftest::TestLive live;
        live.units = {1, "F", 1, "ft/min", 196.87f};
        live.m_nSampleIndex = 3;
        live.m_tmStart = 1388485230;
        live.m_nIntervalMs = 2000;
        fs::create_directory(m_dir.path() / "saved");
        m_saved = (m_dir.path() / "saved" / "rec.AsmDat").string();
        ASSERT_EQ(qftest::Save(m_saved, *doc, live, 20, -2), qf::SaveStatus::Ok);
    }

    // `input`: a shell command piped into the tool; `to`: where standard output goes
    // instead of a file that is read back.
    ToolRun Tool(const std::string& args, const std::string& input = "",
                 const std::string& to = "") const {
        const std::string out = to.empty() ? m_dir.file("stdout") : to;
        const std::string err = m_dir.file("stderr");
        const std::string pipe = input.empty() ? "" : input + " | ";
        const int status = std::system(
            (pipe + "'" + TOOL + "' " + args + " >'" + out + "' 2>'" + err + "'").c_str());
        ToolRun r;
        r.exit = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        r.out = to.empty() ? qftest::ReadAll(out) : "";
        r.err = qftest::ReadAll(err);
        return r;
    }
    static std::string Quote(const std::string& s) { return "'" + s + "'"; }
};

TEST_F(ToolFilesTest, infoPrintsTheHeaderFields) {
    const ToolRun r = Tool("info " + Quote(m_saved));
    EXPECT_EQ(r.exit, 0) << r.err;
    EXPECT_EQ(r.out,
              "{\"signature\":\"QF7720\",\"count\":3,\"tempUnit\":1,\"speedUnit\":1,\"year\":2013,"
              "\"month\":12,\"day\":31,\"hour\":10,\"minute\":20,\"second\":30,\"interval\":2,"
              "\"speedFactor\":196.869995,\"tempUnitText\":\"F\",\"speedUnitText\":\"ft/min\","
              "\"yGain\":20,\"yOffset\":-2}\n");
}

TEST_F(ToolFilesTest, samplesPrintsTheStoredFloats) {
    const ToolRun r = Tool("samples " + Quote(m_saved));
    EXPECT_EQ(r.exit, 0) << r.err;
    EXPECT_EQ(r.out,
              "[23.5,20.0599995,1.5,1234,9.9989996]\n"
              "[-9000,-9000,-9000,-1,0.296999991]\n"
              "[20,\"NaN\",0,0,0]\n");
}

TEST_F(ToolFilesTest, exportGivesWhatSaveWroteBesideTheFile) {
    const std::string expected = qftest::ReadAll(m_dir.file("saved/rec.txt"));
    ASSERT_FALSE(expected.empty());
    fs::create_directory(m_dir.path() / "copy");
    const std::string copy = m_dir.file("copy/rec.AsmDat");
    fs::copy_file(m_saved, copy);

    const ToolRun byDefault = Tool("export " + Quote(copy));
    EXPECT_EQ(byDefault.exit, 0) << byDefault.err;
    EXPECT_EQ(qftest::ReadAll(m_dir.file("copy/rec.txt")), expected);

    const ToolRun named = Tool("export " + Quote(copy) + " " + Quote(m_dir.file("copy/named.out")));
    EXPECT_EQ(named.exit, 0) << named.err;
    EXPECT_EQ(qftest::ReadAll(m_dir.file("copy/named.out")), expected);

    const ToolRun toStdout = Tool("export " + Quote(copy) + " -");
    EXPECT_EQ(toStdout.exit, 0) << toStdout.err;
    EXPECT_EQ(toStdout.out, expected);
}

// From 0:02 on: samples 1 and 2. Full precision in display units, null without a reading.
TEST_F(ToolFilesTest, statsPrintsTheSpanAsJson) {
    const ToolRun r = Tool("stats " + Quote(m_saved) + " --format json --from 0:02");
    EXPECT_EQ(r.exit, 0) << r.err;
    const std::string at32 = "\"2013-12-31T10:20:32+00:00\"";
    const std::string at34 = "\"2013-12-31T10:20:34+00:00\"";
    const auto channel = [&](const char* head, const char* min, const char* max, const char* mean,
                             const std::string& minTime, const std::string& maxTime) {
        return std::string("{\"name\":") + head + ",\"min\":" + min + ",\"max\":" + max +
               ",\"mean\":" + mean + ",\"min_time\":" + minTime + ",\"max_time\":" + maxTime + "}";
    };
    const char* f = "67.99999904632568";
    EXPECT_EQ(
        r.out,
        "{\"file\":\"" + m_saved + "\",\"start\":" + at32 + ",\"end\":" + at34 +
            ",\"interval_s\":2,\"samples\":2,\"channels\":[" +
            channel("\"AirT\",\"unit\":\"F\",\"valid\":1", f, f, f, at34, at34) + "," +
            channel("\"IRT\",\"unit\":\"F\",\"valid\":0", "null", "null", "null", "null", "null") +
            "," + channel("\"AirV\",\"unit\":\"ft/min\",\"valid\":1", "0", "0", "0", at34, at34) +
            "," + channel("\"CFM\",\"unit\":\"CFM\",\"valid\":1", "0", "0", "0", at34, at34) + "," +
            channel("\"CMM\",\"unit\":\"CMM\",\"valid\":2", "0", "0.296999990940094",
                    "0.148499995470047", at34, at32) +
            "]}\n");
}

// The .txt table's digits without units, empty cells where it shows "----" (or "nan").
TEST_F(ToolFilesTest, exportWritesTheCsvOfASpanBesideTheFile) {
    const std::string header = "time,elapsed_s,AirT (F),IRT (F),AirV (ft/min),CFM,CMM\r\n";
    const std::string rows[] = {
        "2013-12-31T10:20:30+00:00,0,74.3,68.1,295.3,1234,9.999\r\n",
        "2013-12-31T10:20:32+00:00,2,,,,,0.297\r\n",
        "2013-12-31T10:20:34+00:00,4,68.0,,0.0,0.000,0.000\r\n",
    };
    const ToolRun whole = Tool("export " + Quote(m_saved) + " --format csv");
    EXPECT_EQ(whole.exit, 0) << whole.err;
    EXPECT_EQ(qftest::ReadAll(m_dir.file("saved/rec.csv")), header + rows[0] + rows[1] + rows[2]);

    const ToolRun span = Tool("export " + Quote(m_saved) + " - --format csv --from 1 --to 3");
    EXPECT_EQ(span.exit, 0) << span.err;
    EXPECT_EQ(span.out, header + rows[1]);
}

TEST_F(ToolFilesTest, refusedInputsExitWithOneLineReason) {
    struct Case {
        std::string args;
        int exit;
    };
    const Case cases[] = {
        {"info " + CORPUS + "wrong-signature", 2},
        {"samples " + CORPUS + "count-6001", 2},
        {"export " + CORPUS + "truncated-samples " + Quote(m_dir.file("never.txt")), 2},
        {"info " + CORPUS + "wide-unit-text", 2},
        {"info " + Quote(m_dir.file("absent.AsmDat")), 2},
        {"export " + Quote(m_saved) + " " + Quote(m_dir.file("no/folder.txt")), 2},
        {"info", 1},
        {"samples a b", 1},
        {"export a b c", 1},
        {"stats " + Quote(m_saved) + " --from 6", 1},
        {"stats " + Quote(m_saved) + " --from 4 --to 2", 1},
        {"stats " + Quote(m_saved) + " --to 1:5", 1},
        {"export " + Quote(m_saved) + " --from 2", 1},
    };
    for (const Case& c : cases) {
        const ToolRun r = Tool(c.args);
        EXPECT_EQ(r.exit, c.exit) << c.args;
        EXPECT_EQ(r.out, "") << c.args;
        ASSERT_FALSE(r.err.empty()) << c.args;
        EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << c.args << ": " << r.err;
    }
    EXPECT_FALSE(fs::exists(m_dir.file("never.txt")));
}

// Nothing but a regular file is read as a data file or replaced by an export, and no
// export takes the place of its own data file; each refusal says why.
TEST_F(ToolFilesTest, filesThatAreNoRegularFilesOrTheInputItselfAreRefusedWithTheReason) {
    const std::string dir = m_dir.path().string();
    const std::string fifo = m_dir.file("fifo");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    fs::create_symlink(m_saved, m_dir.file("link.AsmDat"));
    const std::string saved = qftest::ReadAll(m_saved);
    struct Case {
        std::string args;
        std::string input;
        std::string err;
    };
    std::vector<Case> cases = {
        {"info " + Quote(fifo), "", "info: '" + fifo + "' is not a regular file\n"},
        {"info /dev/stdin", "printf '\\377\\377\\377\\377\\377\\377\\377'",
         "info: '/dev/stdin' is not a regular file\n"},
        {"samples " + Quote(dir), "", "samples: '" + dir + "' is not a regular file\n"},
        {"info " + Quote(dir + "/absent"), "",
         "info: cannot open '" + dir + "/absent': No such file or directory\n"},
        {"export " + Quote(m_saved) + " " + Quote(fifo), "",
         "export: '" + fifo + "' is not a regular file\n"},
        {"export " + Quote(m_saved) + " " + Quote(m_saved), "",
         "export: '" + m_saved + "' is the data file itself\n"},
        {"export " + Quote(m_saved) + " " + Quote(dir + "/saved/../saved/rec.AsmDat"), "",
         "export: '" + dir + "/saved/../saved/rec.AsmDat' is the data file itself\n"},
        {"export " + Quote(m_saved) + " " + Quote(m_dir.file("link.AsmDat")), "",
         "export: '" + m_dir.file("link.AsmDat") + "' is the data file itself\n"},
        {"export " + Quote(m_saved) + " " + Quote(dir + "/no/x.txt"), "",
         "export: cannot write '" + dir + "/no/x.txt': No such file or directory\n"},
    };
    // A device node of our own, where the system lets us make one.
    const std::string null = m_dir.file("null");
    if (::mknod(null.c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0) {
        cases.push_back({"export " + Quote(m_saved) + " " + Quote(null), "",
                         "export: '" + null + "' is not a regular file\n"});
    }
    for (const Case& c : cases) {
        const ToolRun r = Tool(c.args, c.input);
        EXPECT_EQ(r.exit, 2) << c.args;
        EXPECT_EQ(r.err, c.err) << c.args;
        EXPECT_EQ(r.out, "") << c.args;
    }
    EXPECT_TRUE(fs::is_fifo(fifo));
    EXPECT_EQ(qftest::ReadAll(m_saved), saved);
    EXPECT_TRUE(fs::is_symlink(m_dir.file("link.AsmDat")));
    if (fs::exists(null)) {
        EXPECT_TRUE(fs::is_character_file(null));
    }
}

// Output lost to a full disk is a failure, whatever the command.
TEST_F(ToolFilesTest, anUnwritableStandardOutputExitsWithTheReason) {
    if (!fs::is_character_file("/dev/full")) {
        GTEST_SKIP() << "no /dev/full";
    }
    const std::string full = ": No space left on device\n";
    const struct {
        std::string args;
        std::string input;
        std::string err;
    } cases[] = {
        {"info " + Quote(m_saved), "", "qf7720-tool: cannot write standard output" + full},
        {"samples " + Quote(m_saved), "", "qf7720-tool: cannot write standard output" + full},
        {"decode", "yes aa | head -n 20000", "qf7720-tool: cannot write standard output" + full},
        {"export " + Quote(m_saved) + " -", "", "export: cannot write to standard output" + full},
        {"--version", "", "qf7720-tool: cannot write standard output" + full},
    };
    for (const auto& c : cases) {
        const ToolRun r = Tool(c.args, c.input, "/dev/full");
        EXPECT_EQ(r.exit, 2) << c.args;
        EXPECT_EQ(r.err, c.err) << c.args;
    }
}

}  // namespace

// monitor and record, run through the built tool against simulated meters on
// pseudo-terminals: what they print for known frames, how they live through a silent or
// hung-up meter, how they end, and what they refuse.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <optional>
#include <regex>
#include <sstream>
#include <thread>
#include <vector>

#include "helpers/TempDir.h"
#include "link/LiveFrame.h"
#include "sim/SimulatedMeter.h"
#include "store/ConfigFile.h"
#include "store/QFConstants.h"
#include "store/Settings.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;

using namespace qf;
using namespace std::chrono_literals;

const std::string TOOL = QF_BINARY_DIR "/tools/qf7720-tool";

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        out.push_back(line);
    }
    return out;
}

// The tool in the background, its output in files.
class ToolProcess {
public:
    ToolProcess(const std::vector<std::string>& args, const std::string& out,
                const std::string& err)
        : m_out(out), m_err(err) {
        std::vector<std::string> all{TOOL};
        all.insert(all.end(), args.begin(), args.end());
        std::vector<char*> argv;
        for (std::string& a : all) {
            argv.push_back(a.data());
        }
        argv.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, out.c_str(),
                                         O_WRONLY | O_CREAT | O_TRUNC, 0644);
        posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, err.c_str(),
                                         O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (posix_spawn(&m_pid, TOOL.c_str(), &actions, nullptr, argv.data(), environ) != 0) {
            m_pid = -1;
        }
        posix_spawn_file_actions_destroy(&actions);
    }
    ~ToolProcess() {
        if (m_pid > 0) {
            kill(m_pid, SIGKILL);
            waitpid(m_pid, nullptr, 0);
        }
    }

    void Signal(int sig) const { kill(m_pid, sig); }
    std::vector<std::string> Out() const { return Lines(qftest::ReadAll(m_out)); }
    std::vector<std::string> Err() const { return Lines(qftest::ReadAll(m_err)); }

    // The exit status; -1 when it ended by a signal or did not end within `timeout`
    // (then it is killed).
    int Wait(std::chrono::milliseconds timeout = 20s) {
        const auto until = std::chrono::steady_clock::now() + timeout;
        int status = 0;
        while (m_pid > 0) {
            if (waitpid(m_pid, &status, WNOHANG) == m_pid) {
                m_pid = -1;
                return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
            }
            if (std::chrono::steady_clock::now() > until) {
                kill(m_pid, SIGKILL);
                waitpid(m_pid, nullptr, 0);
                m_pid = -1;
                return -1;
            }
            std::this_thread::sleep_for(10ms);
        }
        return -1;
    }

    template <typename Pred>
    bool WaitUntil(Pred pred, std::chrono::milliseconds timeout = 15s) const {
        const auto until = std::chrono::steady_clock::now() + timeout;
        while (!pred()) {
            if (std::chrono::steady_clock::now() > until) {
                return false;
            }
            std::this_thread::sleep_for(20ms);
        }
        return true;
    }

private:
    pid_t m_pid = -1;
    std::string m_out, m_err;
};

// One JSON member of a monitor line: a number, null or a string, as text.
std::optional<std::string> Member(const std::string& line, const std::string& key) {
    const std::string tag = "\"" + key + "\":";
    const std::size_t at = line.find(tag);
    if (at == std::string::npos) {
        return std::nullopt;
    }
    std::size_t from = at + tag.size();
    if (line[from] == '"') {
        return line.substr(from + 1, line.find('"', from + 1) - from - 1);
    }
    return line.substr(from, line.find_first_of(",}", from) - from);
}

std::vector<std::string> CsvFields(const std::string& line) {
    std::vector<std::string> out;
    std::istringstream in(line);
    for (std::string f; std::getline(in, f, ',');) {
        out.push_back(f);
    }
    if (!line.empty() && line.back() == ',') {
        out.emplace_back();
    }
    return out;
}

class LiveToolTest : public ::testing::Test {
protected:
    qftest::TempDir m_dir;
    std::vector<std::unique_ptr<CSimulatedMeter>> m_meters;

    void SetUp() override {
        setenv("XDG_CONFIG_HOME", m_dir.path().c_str(), 1);
        // The tools write local times; in this zone they read back with timegm.
        setenv("TZ", "UTC0", 1);
        unsetenv("QF_FRAME_TRACE");
    }

    // A meter behind COMn of the settings file, n counting from 1.
    CSimulatedMeter& AddMeter(SimOptions o = {}) {
        const int n = int(m_meters.size()) + 1;
        o.linkPath = m_dir.file("meter" + std::to_string(n));
        if (o.framePeriodMs == SimOptions{}.framePeriodMs) {
            o.framePeriodMs = 100;
        }
        m_meters.push_back(std::make_unique<CSimulatedMeter>(o));
        std::string error;
        EXPECT_TRUE(m_meters.back()->Start(&error)) << error;
        CConfigFile(CConfigFile::DefaultPath())
            .WriteText(SEC_PORT_MAP, "COM" + std::to_string(n), o.linkPath);
        return *m_meters.back();
    }

    ToolProcess Run(const std::vector<std::string>& args, const std::string& tag = "tool") {
        return ToolProcess(args, m_dir.file(tag + ".out"), m_dir.file(tag + ".err"));
    }

    std::vector<std::string> Tool(const std::vector<std::string>& args, int& exit) {
        ToolProcess p = Run(args, "once");
        exit = p.Wait();
        return p.Out();
    }
};

// Frames with known readings and units, played in turn.
struct FrameCase {
    const char* what;
    LiveFrameFields fields;
    // AirT, IRT, AirV, CFM, CMM as shown; nullopt where there is no value.
    std::optional<double> readings[NUM_CHANNELS];
    const char* tempUnit;
    const char* speedUnit;
};

std::vector<FrameCase> FrameCases() {
    LiveFrameFields celsius;
    celsius.a = flag::A_CELSIUS;
    celsius.d = flag::D_MS;
    celsius.airT = 20.0f;
    celsius.irt = 25.0f;
    celsius.airV = 1.5f;
    celsius.upper = 20.0f;
    celsius.main = 1.5f;
    celsius.areaFt2 = 2.0f;
    celsius.areaM2 = 0.2f;

    LiveFrameFields fahrenheit = celsius;
    fahrenheit.a = flag::A_FAHRENHEIT;
    fahrenheit.d = flag::D_FTMIN;
    fahrenheit.irt = 100.0f;
    fahrenheit.airV = 1.0f;
    fahrenheit.main = 196.87f;

    // The speed unit persists from the frame before; infrared mode blanks AirT and AirV.
    LiveFrameFields infrared = celsius;
    infrared.c = flag::C_IR_CELSIUS;
    infrared.d = 0;
    infrared.irt = 300.0f;
    infrared.main = 300.0f;

    LiveFrameFields noReading = celsius;
    noReading.upper = UPPER_NO_READING;

    return {
        {"Celsius and m/s", celsius, {20.0, 25.0, 1.5, 590.6, 18.0}, "C", "m/s"},
        {"Fahrenheit and ft/min", fahrenheit, {68.0, 212.0, 196.87, 393.7, 12.0}, "F", "ft/min"},
        {"infrared", infrared, {{}, 300.0, {}, {}, {}}, "C", "ft/min"},
        {"no reading", noReading, {{}, 25.0, {}, {}, {}}, "C", "m/s"},
    };
}

std::string Hex(const LiveFrameBytes& bytes) {
    std::string out;
    char buf[4];
    for (const auto b : bytes) {
        std::snprintf(buf, sizeof buf, "%02x", b);
        out += buf;
    }
    return out;
}

TEST_F(LiveToolTest, monitorPrintsEachFrameInItsDisplayUnitsInBothFormats) {
    const auto cases = FrameCases();
    SimOptions o;
    std::string hex;
    for (const FrameCase& c : cases) {
        const LiveFrameBytes bytes = BuildLiveFrame(c.fields);
        o.playlist.emplace_back(bytes.begin(), bytes.end());
        hex += Hex(bytes) + "\n";
    }
    AddMeter(o);
    const std::string count = std::to_string(cases.size());

    int exit = -1;
    const auto json = Tool({"monitor", "--port", "COM1", "--count", count}, exit);
    EXPECT_EQ(exit, 0);
    ASSERT_EQ(json.size(), cases.size());
    // The main display's texts as the program's decoder makes them.
    qftest::WriteAll(m_dir.file("frames.hex"), hex);
    const auto decoded = Tool({"decode", m_dir.file("frames.hex")}, exit);
    ASSERT_EQ(decoded.size(), cases.size());

    const std::regex isoTime(R"(\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\.\d{3}[+-]\d\d:\d\d)");
    const char* names[NUM_CHANNELS] = {"AirT", "IRT", "AirV", "CFM", "CMM"};
    for (std::size_t i = 0; i < cases.size(); ++i) {
        const FrameCase& c = cases[i];
        const std::string& line = json[i];
        SCOPED_TRACE(std::string(c.what) + ": " + line);
        EXPECT_TRUE(std::regex_match(Member(line, "time").value_or(""), isoTime));
        for (int ch = 0; ch < NUM_CHANNELS; ++ch) {
            const std::string value = Member(line, names[ch]).value_or("absent");
            if (c.readings[ch]) {
                EXPECT_NEAR(std::strtod(value.c_str(), nullptr), *c.readings[ch],
                            1e-4 * std::fabs(*c.readings[ch]) + 0.01)
                    << names[ch];
            } else {
                EXPECT_EQ(value, "null") << names[ch];
            }
        }
        EXPECT_EQ(Member(line, "tempUnitText"), c.tempUnit);
        EXPECT_EQ(Member(line, "speedUnitText"), c.speedUnit);
        EXPECT_EQ(Member(line, "mainText"), Member(decoded[i], "LCD_MAIN_VALUE"));
        EXPECT_EQ(Member(line, "mainUnitText"), Member(decoded[i], "LCD_MAIN_UNIT"));
    }
    // Each float as the shortest text that reads back as it: 196.87, not 196.869995.
    EXPECT_EQ(Member(json[1], "AirV"), "196.87");
    EXPECT_EQ(Member(json[1], "IRT"), "212");

    // CSV: a header, then the same fields, numbers with a dot whatever the locale; a
    // German one, where the system can make it, writes a decimal comma.
    AddMeter(o);
    const std::string locales = m_dir.file("locales");
    std::filesystem::create_directory(locales);
    if (std::system(("localedef -i de_DE -f UTF-8 '" + locales + "/de_DE.UTF-8' >/dev/null 2>&1")
                        .c_str()) == 0) {
        setenv("LOCPATH", locales.c_str(), 1);
        setenv("LC_ALL", "de_DE.UTF-8", 1);
    }
    const auto csv = Tool(
        {"monitor", "--port", m_dir.file("meter2"), "--format", "csv", "--count", count}, exit);
    unsetenv("LC_ALL");
    unsetenv("LOCPATH");
    EXPECT_EQ(exit, 0);
    ASSERT_EQ(csv.size(), cases.size() + 1);
    EXPECT_EQ(csv[0],
              "time,AirT,IRT,AirV,CFM,CMM,tempUnitText,speedUnitText,mainText,"
              "mainUnitText");
    const char* members[] = {"time", "AirT",         "IRT",           "AirV",     "CFM",
                             "CMM",  "tempUnitText", "speedUnitText", "mainText", "mainUnitText"};
    for (std::size_t i = 0; i < cases.size(); ++i) {
        SCOPED_TRACE(csv[i + 1]);
        const auto fields = CsvFields(csv[i + 1]);
        ASSERT_EQ(fields.size(), std::size(members));
        for (std::size_t f = 1; f < fields.size(); ++f) {
            const std::string inJson = Member(json[i], members[f]).value_or("absent");
            EXPECT_EQ(fields[f], inJson == "null" ? "" : inJson) << members[f];
        }
    }
}

TEST_F(LiveToolTest, monitorLivesThroughASilentMeterAndSaysSoOnceEachWay) {
    // Silent after some frames, or from the start: the gap told is the silence, never
    // the time since the machine started.
    for (const bool silentFromStart : {false, true}) {
        SCOPED_TRACE(silentFromStart ? "silent from the start" : "silent after frames");
        CSimulatedMeter& meter = AddMeter();
        const std::string link = m_dir.file("meter" + std::to_string(m_meters.size()));
        meter.SetSending(!silentFromStart);
        ToolProcess monitor = Run({"monitor", "--port", "COM" + std::to_string(m_meters.size())});
        if (!silentFromStart) {
            ASSERT_TRUE(monitor.WaitUntil([&] { return monitor.Out().size() >= 3; }));
        }
        // Silent for longer than two watchdog periods: the link is lost for certain.
        meter.SetSending(false);
        std::this_thread::sleep_for(7s);
        const std::size_t before = monitor.Out().size();
        meter.SetSending(true);
        ASSERT_TRUE(monitor.WaitUntil([&] { return monitor.Out().size() >= before + 3; }));
        monitor.Signal(SIGTERM);
        EXPECT_EQ(monitor.Wait(), 0);

        const auto err = monitor.Err();
        ASSERT_EQ(err.size(), 2u) << qftest::ReadAll(m_dir.file("tool.err"));
        EXPECT_NE(err[0].find("link lost, reopening " + link), std::string::npos);
        EXPECT_NE(err[1].find("reconnected to " + link), std::string::npos);
        const double gap = std::atof(err[1].substr(err[1].find(" after ") + 7).c_str());
        EXPECT_GT(gap, 5.0) << err[1];
        EXPECT_LT(gap, 20.0) << err[1];
        // The watchdog reopened the port and sent the start command again.
        EXPECT_GE(meter.Status().counters.starts, 2);
    }
}

TEST_F(LiveToolTest, recordSavesWhatItTookHoweverItEnds) {
    struct Case {
        const char* what;
        const char* name;  // given to -o; the data file ends in .AsmDat whatever it is
        std::vector<std::string> extra;
        int signal;   // 0: it ends by itself
        int samples;  // exactly; -1: at least 2
    };
    const Case cases[] = {
        {"the count reached", "rec-count", {"--count", "1"}, 0, 1},
        {"--force replaces it", "rec-count.AsmDat", {"--count", "3", "--force"}, 0, 3},
        {"SIGINT", "rec-int.AsmDat", {}, SIGINT, -1},
        {"SIGTERM", "rec-term.AsmDat", {"--interval", "1"}, SIGTERM, -1},
        {"SIGHUP", "rec-hup.AsmDat", {}, SIGHUP, -1},
    };
    // The graph settings go into the file as the program's Save writes them.
    CConfigFile config(CConfigFile::DefaultPath());
    config.WriteText(SEC_GAIN, KEY_GAIN, "17");
    config.WriteText(SEC_OFFSET, KEY_OFFSET, "-3");
    AddMeter();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string name = c.name;
        const std::string data = m_dir.file(name.ends_with(".AsmDat") ? name : name + ".AsmDat");
        std::vector<std::string> args{"record", "--port", "COM1", "-o", m_dir.file(c.name)};
        args.insert(args.end(), c.extra.begin(), c.extra.end());
        ToolProcess record = Run(args);
        if (c.signal != 0) {
            std::this_thread::sleep_for(3500ms);
            record.Signal(c.signal);
        }
        EXPECT_EQ(record.Wait(), 0);
        const auto err = record.Err();
        ASSERT_EQ(err.size(), 1u) << "the summary alone when standard error is a file";
        EXPECT_NE(err[0].find("saved to " + data), std::string::npos) << err[0];
        EXPECT_EQ(err[0].rfind(c.samples == 1 ? "record: 1 sample, " : "record: ", 0), 0u)
            << err[0];

        int exit = -1;
        const auto info = Tool({"info", data}, exit);
        ASSERT_EQ(exit, 0);
        ASSERT_EQ(info.size(), 1u);
        const int count = std::atoi(Member(info[0], "count").value_or("-1").c_str());
        if (c.samples >= 0) {
            EXPECT_EQ(count, c.samples);
        } else {
            EXPECT_GE(count, 2);
        }
        EXPECT_EQ(Member(info[0], "interval"), "1");
        EXPECT_EQ(Member(info[0], "yGain"), "17");
        EXPECT_EQ(Member(info[0], "yOffset"), "-3");
        EXPECT_EQ(Member(info[0], "speedUnitText"), "m/s");
        // The text export beside it is what the export of the data file gives.
        const std::string text = data.substr(0, data.size() - 7) + ".txt";
        const auto exported = Tool({"export", data, "-"}, exit);
        EXPECT_EQ(exit, 0);
        EXPECT_EQ(exported, Lines(qftest::ReadAll(text)));
        EXPECT_EQ(int(exported.size()), count + 1);
    }
}

TEST_F(LiveToolTest, recordKeepsTheTimesAcrossAHangUpWithSamplesWithoutValue) {
    CSimulatedMeter& meter = AddMeter();
    const std::string data = m_dir.file("gap.AsmDat");
    ToolProcess record = Run({"record", "--port", "COM1", "-o", data});
    std::this_thread::sleep_for(2500ms);
    // Away long enough for the watchdog to find it, then back on a new pty.
    meter.HangUp(6000);
    std::this_thread::sleep_for(10s);
    const std::time_t end = std::time(nullptr);
    record.Signal(SIGINT);
    EXPECT_EQ(record.Wait(), 0);

    int exit = -1;
    const auto info = Tool({"info", data}, exit);
    ASSERT_EQ(info.size(), 1u);
    std::tm start{};
    for (auto [key, field] : {std::pair{"year", &start.tm_year},
                              {"month", &start.tm_mon},
                              {"day", &start.tm_mday},
                              {"hour", &start.tm_hour},
                              {"minute", &start.tm_min},
                              {"second", &start.tm_sec}}) {
        *field = std::atoi(Member(info[0], key).value_or("0").c_str());
    }
    start.tm_year -= 1900;
    start.tm_mon -= 1;
    const auto samples = Tool({"samples", data}, exit);
    ASSERT_EQ(exit, 0);
    int missing = 0;
    int lastMissing = -1;
    for (std::size_t i = 0; i < samples.size(); ++i) {
        if (samples[i].rfind("[-9000,-9000,-9000,-9000,-9000]", 0) == 0) {
            ++missing;
            lastMissing = int(i);
        }
    }
    // Away from the hang-up until the watchdog reopens the port some 6 to 9 s later:
    // samples without a value, and samples with values after them.
    EXPECT_GE(missing, 5);
    EXPECT_LT(lastMissing + 1, int(samples.size()));
    // One sample a second from the first frame to the end: the gap did not shorten the
    // time line (both times cut to whole seconds).
    EXPECT_NEAR(double(samples.size()), double(end - timegm(&start)), 1.0);
    const auto err = record.Err();
    ASSERT_FALSE(err.empty());
    EXPECT_NE(err.back().find("without a value"), std::string::npos) << err.back();
}

// A save that fails (the folder removed, the disk full) is said at once with its reason
// and tried again; what cannot be saved at the end is kept and the run ends with 2. A
// disk already full is said at start.
TEST_F(LiveToolTest, recordKeepsWhatItCannotSaveAndSaysWhy) {
    setenv("QF_RECORD_SAVE_SECONDS", "2", 1);
    setenv("XDG_STATE_HOME", m_dir.file("state").c_str(), 1);
    AddMeter();
    const struct {
        const char* what;
        std::string reason;
    } cases[] = {
        {"removed", std::strerror(ENOENT)},
        {"full", std::strerror(ENOSPC)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string folder = m_dir.file(c.what);
        fs::create_directory(folder);
        struct Unmount {
            std::string at;
            ~Unmount() {
                if (!at.empty()) {
                    umount2(at.c_str(), MNT_DETACH);
                }
            }
        } unmount;
        const auto fill = [&] {
            std::ofstream filler(folder + "/filler", std::ios::app);
            const std::string block(4096, 'x');
            for (int i = 0; i < 64 && filler.write(block.data(), block.size()); ++i) {
            }
        };
        if (c.what == std::string("full")) {
            if (mount("tmpfs", folder.c_str(), "tmpfs", 0, "size=128k") != 0) {
                std::cout << "no tmpfs mount here: the full disk is not tried\n";
                continue;
            }
            unmount.at = folder;
            fill();
            ToolProcess refused = Run({"record", "--port", "COM1", "-o", folder + "/run"}, "full");
            EXPECT_EQ(refused.Wait(), 2);
            ASSERT_EQ(refused.Err().size(), 1u);
            EXPECT_NE(refused.Err()[0].find("kB free on " + folder), std::string::npos);
            fs::remove(folder + "/filler");
        }
        ToolProcess record =
            Run({"record", "--port", "COM1", "-o", folder + "/run", "--count", "200"}, c.what);
        const auto said = [&](const std::string& text) {
            return record.WaitUntil([&] {
                const auto err = record.Err();
                return !err.empty() && err.back().find(text) != std::string::npos;
            });
        };
        ASSERT_TRUE(said("saved ")) << qftest::ReadAll(m_dir.file(std::string(c.what) + ".err"));
        if (c.what == std::string("full")) {
            fill();
        } else {
            fs::remove_all(folder);
        }
        ASSERT_TRUE(
            said(": " + c.reason + "; kept meanwhile in " + m_dir.file("state/qf7720/run")));
        if (c.what == std::string("full")) {
            // Room again: said so, and the copy kept meanwhile goes; then full for good. (A
            // folder made again under the removed one's name is another folder: not used.)
            fs::remove(folder + "/filler");
            ASSERT_TRUE(said("(saving works again)"));
            EXPECT_FALSE(fs::exists(m_dir.file("state/qf7720/run.AsmDat")));
            fill();
            ASSERT_TRUE(said("; kept meanwhile in "));
        }
        record.Signal(SIGINT);
        EXPECT_EQ(record.Wait(), 2);
        const std::string kept = m_dir.file("state/qf7720/run.AsmDat");
        EXPECT_EQ(record.Err().back(), "record: could not save " + folder + "/run.AsmDat: " +
                                           c.reason + "; the recording was kept in " + kept +
                                           " and " + m_dir.file("state/qf7720/run.txt"));
        int exit = -1;
        const auto info = Tool({"info", kept}, exit);
        ASSERT_EQ(exit, 0);
        EXPECT_GE(std::atoi(Member(info[0], "count").value_or("0").c_str()), 3);
        fs::remove_all(m_dir.file("state"));
    }
    unsetenv("QF_RECORD_SAVE_SECONDS");
    unsetenv("XDG_STATE_HOME");
}

// While a run records, a second one on the same output, or on the same meter under
// another name, is refused at once with one line naming why; the first goes on.
TEST_F(LiveToolTest, aSecondRunOnTheSameOutputOrMeterIsRefused) {
    CSimulatedMeter& meter = AddMeter();
    ToolProcess first = Run({"record", "--port", "COM1", "-o", m_dir.file("a")}, "first");
    std::this_thread::sleep_for(1500ms);
    const struct {
        std::vector<std::string> args;
        std::string line;
    } cases[] = {
        {{"record", "--port", "COM1", "-o", m_dir.file("a"), "--force"},
         "record: " + m_dir.file("a.AsmDat") + " is being recorded by another run (pid "},
        {{"record", "--port", meter.DevicePath(), "-o", m_dir.file("b")},
         "record: cannot open " + meter.DevicePath() + ": in use by qf7720-tool (pid "},
        {{"monitor", "--port", "COM1"},
         "monitor: cannot open " + m_dir.file("meter1") + ": in use by qf7720-tool (pid "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args[0]);
        ToolProcess second = Run(c.args, "second");
        EXPECT_EQ(second.Wait(), 2);
        const auto err = second.Err();
        ASSERT_EQ(err.size(), 1u);
        EXPECT_EQ(err[0].rfind(c.line, 0), 0u) << err[0];
    }
    EXPECT_FALSE(fs::exists(m_dir.file("b.AsmDat")));
    first.Signal(SIGINT);
    EXPECT_EQ(first.Wait(), 0);
    int exit = -1;
    Tool({"info", m_dir.file("a.AsmDat")}, exit);
    EXPECT_EQ(exit, 0);
}

TEST_F(LiveToolTest, refusedPortsAndArgumentsExitWithOneLine) {
    CConfigFile(CConfigFile::DefaultPath())
        .WriteText(SEC_PORT_MAP, "COM9", m_dir.file("absent-device"));
    const std::string data = m_dir.file("x.AsmDat");
    qftest::WriteAll(m_dir.file("taken.AsmDat"), "a night's recording");
    fs::create_directory(m_dir.file("adir.AsmDat"));
    struct Case {
        std::vector<std::string> args;
        int exit;
        std::string names;  // the line names this
    };
    const Case cases[] = {
        {{"monitor", "--port", m_dir.file("absent")}, 2, m_dir.file("absent")},
        {{"monitor", "--port", "COM9"}, 2, m_dir.file("absent-device")},
        {{"monitor", "--port", m_dir.path().string()}, 2, m_dir.path().string()},
        {{"record", "--port", "COM9", "-o", data}, 2, m_dir.file("absent-device")},
        {{"record", "--port", "COM9", "-o", m_dir.file("no/folder.AsmDat")},
         2,
         "no/folder.AsmDat: " + std::string(std::strerror(ENOENT))},
        {{"record", "--port", "COM9", "-o", m_dir.file("adir"), "--force"},
         2,
         "adir.AsmDat: " + std::string(std::strerror(EISDIR))},
        {{"record", "--port", "COM9", "-o", m_dir.file("taken")}, 2, m_dir.file("taken.AsmDat")},
        {{"monitor"}, 1, "--port"},
        {{"monitor", "--port", "COM0"}, 1, "--port"},
        {{"monitor", "--port", "COM9", "--format", "xml"}, 1, "usage"},
        {{"monitor", "--port", "COM9", "--count", "0"}, 1, "usage"},
        {{"record", "--port", "COM9"}, 1, "usage"},
        {{"record", "--port", "COM9", "-o", data, "--interval", "0"}, 1, "usage"},
        {{"record", "--port", "COM9", "-o", data, "--count", "5001"}, 1, "usage"},
    };
    for (const Case& c : cases) {
        std::string joined;
        for (const std::string& a : c.args) {
            joined += a + " ";
        }
        SCOPED_TRACE(joined);
        ToolProcess p = Run(c.args);
        EXPECT_EQ(p.Wait(), c.exit);
        EXPECT_TRUE(p.Out().empty());
        const auto err = p.Err();
        ASSERT_EQ(err.size(), 1u);
        EXPECT_NE(err[0].find(c.names), std::string::npos) << err[0];
    }
    EXPECT_FALSE(std::filesystem::exists(data));
    EXPECT_EQ(qftest::ReadAll(m_dir.file("taken.AsmDat")), "a night's recording");
}

}  // namespace

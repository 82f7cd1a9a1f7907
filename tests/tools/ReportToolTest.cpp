// qf7720-tool report, run through the built tool and read back with poppler's tools.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <regex>
#include <string>
#include <vector>

#include "helpers/TempDir.h"
#include "store/DataFile.h"

namespace {

namespace fs = std::filesystem;

const std::string TOOL = QF_BINARY_DIR "/tools/qf7720-tool";
const std::string CORPUS = QF_SOURCE_DIR "/tests/fuzz/corpus/datafile/";
const std::string ENV = "TZ=UTC0 SOURCE_DATE_EPOCH=1796738580 ";  // 2026-12-08 14:03:00

// Page units of 0.1 mm at 254 dpi are pixels. The printable area of an A4 report ends
// 10 mm inside the paper, so page (x, y) is page pixel (2000 + x, 2870 - y); the raster
// covers page pixels from (CROP_X, CROP_Y).
constexpr int CROP_X = 1200, CROP_Y = 1700, CROP_W = 800, CROP_H = 1200;

struct Rgb {
    int r, g, b;
    bool operator==(const Rgb&) const = default;
};

// Traces at heights between the grid lines: AirT 15 (y 320), IRT 35 (480), AirV 55 (640),
// CFM 75 (800), CMM 95 (960) on the file's own scale 0..100.
struct Trace {
    const char* name;
    float value;
    int y;
    Rgb colour;
};
const Trace TRACES[] = {
    {"AirT", 15.0f, 320, {55, 0, 0}},  {"IRT", 35.0f, 480, {55, 55, 0}},
    {"AirV", 55.0f, 640, {0, 55, 55}}, {"CFM", 75.0f, 800, {55, 0, 55}},
    {"CMM", 95.0f, 960, {0, 55, 0}},
};

void AppendInt(std::string& out, std::int32_t v) {
    for (int k = 0; k < 4; ++k) {
        out += static_cast<char>((static_cast<std::uint32_t>(v) >> (8 * k)) & 0xFF);
    }
}
void AppendFloat(std::string& out, float v) {
    std::int32_t bits;
    std::memcpy(&bits, &v, 4);
    AppendInt(out, bits);
}

// A data file of n samples of the five traces, started 2026-12-08 14:03:00, 2 s apart.
std::string DataFile(int n, int yGain, int yOffset) {
    std::string out;
    qf::AppendDataFileString(out, "QF7720");
    AppendInt(out, n);
    for (int i = 0; i < n; ++i) {
        for (const Trace& t : TRACES) {
            AppendFloat(out, t.value);
        }
    }
    out += '\0';  // Celsius
    out += '\0';  // m/s
    for (int v : {2026, 12, 8, 14, 3, 0, 2}) {
        AppendInt(out, v);
    }
    AppendFloat(out, 1.0f);
    qf::AppendDataFileString(out, "C");
    qf::AppendDataFileString(out, "m/s");
    AppendInt(out, yGain);
    AppendInt(out, yOffset);
    return out;
}

struct ShellRun {
    int exit = -1;
    std::string out, err;
};

class ReportToolTest : public ::testing::Test {
protected:
    qftest::TempDir m_dir;
    std::string m_file;

    void SetUp() override {
        m_file = m_dir.file("rec.AsmDat");
        qftest::WriteAll(m_file, DataFile(10, 10, 0));
    }

    ShellRun Shell(const std::string& command) const {
        const std::string out = m_dir.file("stdout"), err = m_dir.file("stderr");
        const int status = std::system((command + " >'" + out + "' 2>'" + err + "'").c_str());
        ShellRun r;
        r.exit = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        r.out = qftest::ReadAll(out);
        r.err = qftest::ReadAll(err);
        return r;
    }
    ShellRun Tool(const std::string& args, const std::string& env = ENV) const {
        return Shell(env + "'" + TOOL + "' report " + args);
    }
    // The page text with every run of blanks made one space.
    std::string Text(const std::string& pdf) const {
        const ShellRun r = Shell("pdftotext -raw '" + pdf + "' -");
        return std::regex_replace(r.out, std::regex("[ \t]+"), " ");
    }
    // The chart corner of the page at 254 dpi, without smoothing, as RGB rows.
    std::vector<Rgb> Raster(const std::string& pdf) const {
        const std::string prefix = m_dir.file("page");
        const ShellRun r =
            Shell("pdftoppm -r 254 -aa no -aaVector no -singlefile -x " + std::to_string(CROP_X) +
                  " -y " + std::to_string(CROP_Y) + " -W " + std::to_string(CROP_W) + " -H " +
                  std::to_string(CROP_H) + " '" + pdf + "' '" + prefix + "'");
        const std::string ppm = qftest::ReadAll(prefix + ".ppm");
        const std::string header =
            "P6\n" + std::to_string(CROP_W) + " " + std::to_string(CROP_H) + "\n255\n";
        std::vector<Rgb> pixels;
        if (r.exit != 0 || ppm.compare(0, header.size(), header) != 0 ||
            ppm.size() != header.size() + std::size_t(CROP_W) * CROP_H * 3) {
            ADD_FAILURE() << "no raster: " << r.err;
            return pixels;
        }
        for (std::size_t k = header.size(); k + 2 < ppm.size(); k += 3) {
            pixels.push_back({static_cast<unsigned char>(ppm[k]),
                              static_cast<unsigned char>(ppm[k + 1]),
                              static_cast<unsigned char>(ppm[k + 2])});
        }
        return pixels;
    }
    // Pixels of `colour` on page rows y-2..y+2 across the chart, x -720..-20.
    static int CountOnRow(const std::vector<Rgb>& pixels, int y, Rgb colour) {
        int n = 0;
        for (int py = 2870 - y - 2; py <= 2870 - y + 2; ++py) {
            for (int px = 2000 - 720; px <= 2000 - 20; ++px) {
                const std::size_t k = std::size_t(py - CROP_Y) * CROP_W + std::size_t(px - CROP_X);
                n += k < pixels.size() && pixels[k] == colour ? 1 : 0;
            }
        }
        return n;
    }
};

TEST_F(ReportToolTest, reportIsOnePageWithTheChosenTracesLabelsAndDate) {
    const std::string pdf = m_dir.file("out.pdf");
    const ShellRun r = Tool("'" + m_file + "' -o '" + pdf + "' --traces airt,flow");
    ASSERT_EQ(r.exit, 0) << r.err;
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "");

    const ShellRun info = Shell("TZ=UTC0 pdfinfo '" + pdf + "'");
    EXPECT_NE(info.out.find("Pages:           1\n"), std::string::npos) << info.out;
    EXPECT_NE(info.out.find("(A4)"), std::string::npos) << info.out;
    EXPECT_NE(info.out.find("Title:           client   print\n"), std::string::npos);
    EXPECT_NE(info.out.find("CreationDate:    Tue Dec  8 14:03:00 2026 UTC"), std::string::npos);

    const std::string text = Text(pdf);
    std::vector<std::string> expected = {"Test Report", "AirT CFM CMM",
                                         "14:03:00 14:03:04 14:03:08 14:03:12 14:03:16",
                                         "2026-12-08 14:03"};
    for (int i = 0; i <= 10; ++i) {
        expected.push_back("\n" + std::to_string(10 * i) + ".0\n");
    }
    for (const std::string& e : expected) {
        EXPECT_NE(text.find(e), std::string::npos) << e << " in\n" << text;
    }
    EXPECT_EQ(text.find("IRT"), std::string::npos);
    EXPECT_EQ(text.find("AirV"), std::string::npos);

    const std::vector<Rgb> pixels = Raster(pdf);
    for (const Trace& t : TRACES) {
        const bool shown = std::strcmp(t.name, "IRT") != 0 && std::strcmp(t.name, "AirV") != 0;
        const int n = CountOnRow(pixels, t.y, t.colour);
        if (shown) {
            EXPECT_GT(n, 600) << t.name;
        } else {
            EXPECT_EQ(n, 0) << t.name;
        }
    }
}

TEST_F(ReportToolTest, defaultsTakeTheFileScaleAllTracesAndAPdfBesideIt) {
    ShellRun r = Tool("'" + m_file + "'");
    ASSERT_EQ(r.exit, 0) << r.err;
    EXPECT_NE(Text(m_dir.file("rec.pdf")).find("AirT IRT AirV CFM CMM"), std::string::npos);

    const std::string scaled = m_dir.file("scaled.pdf");
    r = Tool("--page letter --y-gain 2 --y-offset -5 -o '" + scaled + "' '" + m_file + "'");
    ASSERT_EQ(r.exit, 0) << r.err;
    EXPECT_NE(Shell("pdfinfo '" + scaled + "'").out.find("(letter)"), std::string::npos);
    const std::string text = Text(scaled);
    for (const char* label : {"\n-10.0\n", "\n-2.0\n", "\n0.0\n", "\n10.0\n"}) {
        EXPECT_NE(text.find(label), std::string::npos) << label << " in\n" << text;
    }
    // Every gain the logger window draws: 0 (here the file's) on 10, a negative one as is.
    qftest::WriteAll(m_dir.file("flat.AsmDat"), DataFile(3, 0, 0));
    for (const auto& [args, top] : {std::pair{"'" + m_dir.file("flat.AsmDat") + "'", "\n100.0\n"},
                                    {"'" + m_file + "' --y-gain -10", "\n-100.0\n"}}) {
        r = Tool(args + " -o '" + scaled + "'");
        ASSERT_EQ(r.exit, 0) << args << ": " << r.err;
        EXPECT_NE(Text(scaled).find(top), std::string::npos) << args;
    }
}

TEST_F(ReportToolTest, refusedInputsExitWithOneLineAndNoPdf) {
    qftest::WriteAll(m_dir.file("empty.AsmDat"), DataFile(0, 10, 0));
    qftest::WriteAll(m_dir.file("note.txt"), "hello\n");
    const std::string out = " -o '" + m_dir.file("never.pdf") + "'";
    const std::string file = "'" + m_file + "'";
    struct Case {
        std::string args;
        int exit;
        std::string says = "";  // the line holds this
        std::string env = ENV;
    };
    const Case cases[] = {
        {"'" + m_dir.file("empty.AsmDat") + "'" + out, 2},
        {CORPUS + "wrong-signature" + out, 2, "Invalid Format!"},
        // Too short for the signature: not a data file, as the window says.
        {"'" + m_dir.file("note.txt") + "'" + out, 2, "Invalid Format!"},
        {CORPUS + "truncated-samples" + out, 2, "ends early"},
        {"'" + m_dir.file("absent.AsmDat") + "'" + out, 2},
        {file + " -o '" + m_dir.file("no/folder.pdf") + "'", 2},
        {file + out, 2, "", "TZ=UTC0 SOURCE_DATE_EPOCH=yesterday "},
        {out, 1},
        {file + " " + file + out, 1},
        {file + " --traces airt,wind" + out, 1, "'airt,wind': give one or more of airt, irt"},
        {file + " --traces ''" + out, 1, "''"},
        {file + " --page a5" + out, 1},
        {file + " --y-gain 1.5" + out, 1},
        {file + " --y-offset", 1},
        {file + " --colour red" + out, 1},
    };
    for (const Case& c : cases) {
        const ShellRun r = Tool(c.args, c.env);
        EXPECT_EQ(r.exit, c.exit) << c.args;
        EXPECT_EQ(r.out, "") << c.args;
        ASSERT_FALSE(r.err.empty()) << c.args;
        EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << c.args << ": " << r.err;
        EXPECT_NE(r.err.find(c.says), std::string::npos) << c.args << ": " << r.err;
    }
    EXPECT_FALSE(fs::exists(m_dir.file("never.pdf")));
    EXPECT_FALSE(fs::exists(m_dir.file("rec.pdf")));
}

TEST_F(ReportToolTest, sameInputAndDateGiveTheSameBytes) {
    const std::string a = m_dir.file("a.pdf"), b = m_dir.file("b.pdf");
    ASSERT_EQ(Tool("'" + m_file + "' -o '" + a + "'").exit, 0);
    qftest::WriteAll(b, "an older file, replaced whole");
    ASSERT_EQ(Tool("'" + m_file + "' -o '" + b + "'").exit, 0);
    EXPECT_EQ(qftest::ReadAll(a), qftest::ReadAll(b));
}

TEST_F(ReportToolTest, summaryLayoutPrintsTitleNotesAndTheSpansStatistics) {
    const std::string pdf = m_dir.file("summary.pdf");
    const ShellRun r = Tool("'" + m_file + "' --layout summary -o '" + pdf +
                            "' --title 'Duct 7 north' --notes 'Fan at 80 %' --from 0:02 --to 10 "
                            "--traces airt,flow --page letter");
    ASSERT_EQ(r.exit, 0) << r.err;
    EXPECT_EQ(r.err, "");
    const ShellRun info = Shell("pdfinfo '" + pdf + "'");
    EXPECT_NE(info.out.find("Pages:           1\n"), std::string::npos) << info.out;
    EXPECT_NE(info.out.find("(letter)"), std::string::npos) << info.out;
    EXPECT_NE(info.out.find("Title:           Duct 7 north\n"), std::string::npos) << info.out;
    // Samples 1..5 of the span; AirT is 15 and CFM 75 throughout.
    const std::string text = Text(pdf);
    for (const char* e :
         {"Duct 7 north", "Fan at 80 %", "rec.AsmDat", "AirT 15.0C 14:03:02 15.0C", "75.00 CFM",
          "5 of 5", "14:03:02 to 14:03:10", "Printed 2026-12-08 14:03", "1 / 1"}) {
        EXPECT_NE(text.find(e), std::string::npos) << e << " in\n" << text;
    }
    EXPECT_EQ(text.find("IRT"), std::string::npos) << text;

    const std::string file = "'" + m_file + "' -o '" + m_dir.file("never.pdf") + "' ";
    const std::pair<std::string, int> refused[] = {
        {file + "--layout summary --y-gain 2", 1},
        {file + "--title 'classic has none'", 1},
        {file + "--layout fancy", 1},
        {file + "--layout summary --from 9:99", 1},
        {file + "--layout summary --from 100", 1},
        {CORPUS + "wrong-signature -o '" + m_dir.file("never.pdf") + "' --layout summary", 2},
    };
    for (const auto& [args, exit] : refused) {
        const ShellRun bad = Tool(args);
        EXPECT_EQ(bad.exit, exit) << args << ": " << bad.err;
        EXPECT_EQ(bad.err.find('\n'), bad.err.size() - 1) << args << ": " << bad.err;
    }
    EXPECT_FALSE(fs::exists(m_dir.file("never.pdf")));
}

}  // namespace

// Print Summary as the windows call it: the summary dialog, the print dialog, the page on
// the PDF printer a machine without printers has; and the layout in the real fonts.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QPdfWriter>
#include <QRadioButton>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <regex>
#include <vector>

#include "helpers/TempDir.h"
#include "printing/PrintSummary.h"
#include "printing/SummaryPainter.h"
#include "ui/IUserPrompts.h"

namespace {

using namespace qf;

constexpr std::time_t START = 1796738580;  // 2026-12-08 14:03:00 UTC

QApplication& App() {
    static int argc = 1;
    static char name[] = "report_qt_tests";
    static char* argv[] = {name, nullptr};
    static QApplication* app = new QApplication(argc, argv);
    return *app;
}

// Answers each dialog with the next script; asks nothing else.
struct ScriptedPrompts : IUserPrompts {
    std::vector<std::function<bool(QDialog&)>> dialogs;
    QStringList titles, messages;

    bool AskYesNo(QWidget*, const QString&) override { return false; }
    void ShowMessage(QWidget*, const QString& text) override { messages << text; }
    std::optional<QString> AskSaveFile(QWidget*, const QString&, const QString&,
                                       const QString&) override {
        return std::nullopt;
    }
    std::optional<QString> AskOpenFile(QWidget*, const QString&) override { return std::nullopt; }
    QStringList AskOpenFiles(QWidget*, const QString&) override { return {}; }
    bool RunDialog(QDialog& dialog) override {
        titles << dialog.windowTitle();
        if (dialogs.empty()) {
            return false;
        }
        auto script = dialogs.front();
        dialogs.erase(dialogs.begin());
        return script(dialog);
    }
};

StoredRecord Record(int n) {
    StoredRecord r;
    r.count = n;
    r.tempUnit = 1;
    r.tempUnitText = "F";
    r.speedUnitText = "ft/min";
    r.speedFactor = 196.87f;
    r.start = START;
    r.intervalSec = 1;
    for (int i = 0; i < n; ++i) {
        const float t = float(i) * 0.05f;
        r.samples.push_back(
            {20.0f + std::sin(t), 30.0f, 2.0f + std::cos(t), 450.0f + 50 * std::sin(t), 12.5f});
    }
    return r;
}

class SummaryPrintTest : public ::testing::Test {
protected:
    qftest::TempDir m_dir;

    void SetUp() override {
        setenv("TZ", "UTC0", 1);
        tzset();
        setenv("HOME", m_dir.path().c_str(), 1);
        setenv("XDG_CONFIG_HOME", m_dir.file("config").c_str(), 1);
        App();
    }
    std::string Run(const std::string& command) const {
        const std::string out = m_dir.file("command.out");
        if (std::system((command + " >'" + out + "' 2>&1").c_str()) != 0) {
            return "failed: " + command;
        }
        return qftest::ReadAll(out);
    }
};

TEST_F(SummaryPrintTest, dialogChoiceReachesThePageOnTheProposedPdf) {
    SummaryRequest request;
    request.record = Record(600);
    request.viewSpan = {60, 119};
    request.fileName = "duct.AsmDat";
    ScriptedPrompts prompts;
    prompts.dialogs.push_back([](QDialog& d) {
        auto& summary = dynamic_cast<CSummaryDlg&>(d);
        EXPECT_EQ(summary.TitleEdit()->text(), "Airflow test report");
        summary.TitleEdit()->setText("  Plant room  ");
        summary.NotesEdit()->setText("after the damper was opened");
        summary.VisibleSpanButton()->setChecked(true);
        return true;
    });
    prompts.dialogs.push_back([](QDialog&) { return true; });  // the print dialog, as it came
    ASSERT_TRUE(PrintSummary(request, nullptr, prompts));
    EXPECT_EQ(prompts.messages, QStringList());
    ASSERT_EQ(prompts.titles.size(), 2);

    std::vector<std::filesystem::path> pdfs;
    for (const auto& e : std::filesystem::recursive_directory_iterator(m_dir.path())) {
        if (e.path().extension() == ".pdf") {
            pdfs.push_back(e.path());
        }
    }
    ASSERT_EQ(pdfs.size(), 1u);
    EXPECT_EQ(pdfs[0].filename().string().rfind("QF7720 report ", 0), 0u) << pdfs[0];
    const std::string text = Run("pdftotext -layout '" + pdfs[0].string() + "' -");
    for (const char* e : {"Plant room", "after the damper was opened", "duct.AsmDat",
                          "14:04:00 to 14:04:59 (60 samples)", "60 of 60"}) {
        EXPECT_NE(text.find(e), std::string::npos) << e << " in\n" << text;
    }
    // The margins are measured from the paper's edge, not the printable area's.
    const std::string box = Run("pdftotext -bbox '" + pdfs[0].string() + "' -");
    std::smatch m;
    ASSERT_TRUE(
        std::regex_search(box, m, std::regex("xMin=\"([0-9.]+)\" yMin=\"([0-9.]+)\"[^>]*>Plant<")))
        << box;
    EXPECT_NEAR(std::stod(m[1]), 15.0 * 72 / 25.4, 1.0);
    EXPECT_NEAR(std::stod(m[2]), 15.0 * 72 / 25.4, 3.0);
    // Cancelling the summary dialog prints nothing and asks no more.
    ScriptedPrompts cancel;
    EXPECT_FALSE(PrintSummary(request, nullptr, cancel));
    EXPECT_EQ(cancel.titles.size(), 1);
}

TEST_F(SummaryPrintTest, textsInLiberationSansNeitherOverlapNorLeaveTheMargins) {
    QPdfWriter device(m_dir.file("measure.pdf").c_str());
    const SummaryMeasure measure = SummaryMeasureOn(device);
    const StoredRecord record = Record(6000);
    for (const SummaryPaper paper : {SUMMARY_A4, SUMMARY_LETTER}) {
        SummaryInput in;
        in.record = &record;
        in.span = WholeRecord(record);
        in.title = std::string(30, 'W') + " Mechanical room, supply duct 7, north wing";
        in.notes = std::string(400, 'm');
        in.fileName = std::string(120, 'f') + ".AsmDat";
        in.program = "qf7720 1.1";
        in.printed = START;
        in.paper = paper;
        const SummaryLayout page = LayoutSummary(in, measure);
        for (std::size_t a = 0; a < page.texts.size(); ++a) {
            const SummaryText& t = page.texts[a];
            EXPECT_GE(t.x, SUMMARY_MARGIN) << t.text;
            EXPECT_LE(t.x + t.width, paper.width - SUMMARY_MARGIN + 1e-9) << t.text;
            EXPECT_LE(t.y + t.height, paper.height - SUMMARY_MARGIN + 1e-9) << t.text;
            for (std::size_t b = a + 1; b < page.texts.size(); ++b) {
                const SummaryText& u = page.texts[b];
                EXPECT_FALSE(t.x < u.x + u.width && u.x < t.x + t.width && t.y < u.y + u.height &&
                             u.y < t.y + t.height)
                    << t.text << " | " << u.text;
            }
        }
    }
}

}  // namespace

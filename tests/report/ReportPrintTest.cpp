// The Qt side of the report: the renderer on an image, the print job on a PDF printer and
// the proposed PDF name.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDateTime>
#include <QImage>
#include <QPainter>
#include <QPrinter>
#include <cstdlib>
#include <filesystem>
#include <vector>

#include "helpers/TempDir.h"
#include "printing/ReportPainter.h"
#include "printing/TestReport.h"

namespace {

using namespace qf;

constexpr std::time_t START = 1796738580;  // 2026-12-08 14:03:00 UTC

QApplication& App() {
    static int argc = 1;
    static char name[] = "report_qt_tests";
    static char* argv[] = {name, nullptr};
    // Never destroyed: tearing the GUI down among other exit-time destructors crashes.
    static QApplication* app = new QApplication(argc, argv);
    return *app;
}

class ReportPrintTest : public ::testing::Test {
protected:
    qftest::TempDir m_dir;
    std::vector<float> m_values;
    ReportSource m_source;

    void SetUp() override {
        setenv("TZ", "UTC0", 1);
        tzset();
        App();
        // Two samples of constant traces on the scale 0 .. 100 (y = v x 8 + 200): AirT above
        // the chart, IRT below it, CFM at mid-height.
        m_values = {120.0f, -10.0f, 0.0f, 50.0f, 0.0f, 120.0f, -10.0f, 0.0f, 50.0f, 0.0f};
        m_source.count = 2;
        m_source.samples = SampleMajorSamples(m_values.data(), 2);
        m_source.labels = ReportLabels(0, 10);
        m_source.start = START;
        m_source.traces.m_bShowAirV = false;
    }

    // The page on an image of 254 dpi, one pixel per page unit: page (x, y) is pixel
    // (width + x, height - y).
    static QImage Image(int width, int height) {
        QImage image(width, height, QImage::Format_RGB32);
        image.setDotsPerMeterX(10000);
        image.setDotsPerMeterY(10000);
        image.fill(Qt::white);
        return image;
    }

    std::string Run(const std::string& command) const {
        const std::string out = m_dir.file("command.out");
        if (std::system((command + " >'" + out + "' 2>&1").c_str()) != 0) {
            return "failed: " + command;
        }
        return qftest::ReadAll(out);
    }
};

int CountWhere(const QImage& image, const QRect& area, bool (*test)(QColor)) {
    int n = 0;
    const QRect r = area.intersected(image.rect());
    for (int y = r.top(); y <= r.bottom(); ++y) {
        for (int x = r.left(); x <= r.right(); ++x) {
            n += test(image.pixelColor(x, y)) ? 1 : 0;
        }
    }
    return n;
}

int CountColour(const QImage& image, const QRect& area, QColor colour) {
    int n = 0;
    const QRect r = area.intersected(image.rect());
    for (int y = r.top(); y <= r.bottom(); ++y) {
        for (int x = r.left(); x <= r.right(); ++x) {
            n += image.pixelColor(x, y) == colour ? 1 : 0;
        }
    }
    return n;
}

bool IsDark(QColor c) {
    return c.red() < 100 && c.green() < 100 && c.blue() < 100;
}
bool IsNotWhite(QColor c) {
    return c != QColor(Qt::white);
}

// Page rectangle left..right, bottom..top on an image whose bottom-right corner is page (0, 0).
QRect PageRect(const QImage& image, int left, int bottom, int right, int top) {
    return QRect(QPoint(image.width() + left, image.height() - top),
                 QPoint(image.width() + right, image.height() - bottom));
}

TEST_F(ReportPrintTest, rendererPutsPageUnitsUpFromTheBottomRightCorner) {
    QImage image = Image(1000, 1300);
    {
        QPainter painter(&image);
        PaintTestReport(painter, m_source, START);
    }
    const QColor cfm(55, 0, 55), airT(55, 0, 0), irt(55, 55, 0);
    // CFM at y 600, across the chart.
    EXPECT_GT(CountColour(image, PageRect(image, -600, 598, -400, 602), cfm), 200);
    // AirT (y 1160) and IRT (y 120) lie under the white bands.
    EXPECT_EQ(CountColour(image, PageRect(image, -729, 1001, -11, 1299), airT), 0);
    EXPECT_EQ(CountColour(image, PageRect(image, -729, 1, -11, 199), irt), 0);
    // The frame is drawn over the curve's ends.
    EXPECT_EQ(image.pixelColor(image.width() - 730, image.height() - 600), QColor(Qt::black));
    EXPECT_EQ(image.pixelColor(image.width() - 10, image.height() - 600), QColor(Qt::black));
    // Texts hang down from their top-left corner: the title fills its 40-unit cell.
    EXPECT_GT(CountWhere(image, PageRect(image, -540, 1080, -340, 1120), IsDark), 100);
    EXPECT_EQ(CountWhere(image, PageRect(image, -560, 1121, -300, 1200), IsDark), 0);
    // The date in its 15-unit cell.
    EXPECT_GT(CountWhere(image, PageRect(image, -200, 85, -60, 100), IsDark), 20);
    EXPECT_EQ(CountWhere(image, PageRect(image, -220, 101, -40, 180), IsDark), 0);
}

TEST_F(ReportPrintTest, aSmallPrintableAreaClipsWhatFallsOutside) {
    QImage image = Image(1000, 1300);
    const ReportDevice small{500, 600, 254.0, 254.0};
    {
        QPainter painter(&image);
        DrawReport(painter, LayoutReport(m_source, small, START), small);
    }
    const int outside = CountWhere(image, QRect(500, 0, 500, 1300), IsNotWhite) +
                        CountWhere(image, QRect(0, 600, 500, 700), IsNotWhite);
    EXPECT_EQ(outside, 0);
    EXPECT_GT(CountWhere(image, QRect(0, 0, 500, 600), IsNotWhite), 1000);
}

TEST_F(ReportPrintTest, printJobWritesOnePageNamedForTheJob) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    const std::string pdf = m_dir.file("job.pdf");
    printer.setOutputFileName(QString::fromStdString(pdf));
    EXPECT_EQ(TestReport(printer, m_source, START), ReportPrintStatus::Ok);
    const std::string info = Run("pdfinfo '" + pdf + "'");
    EXPECT_NE(info.find("Pages:           1\n"), std::string::npos) << info;
    EXPECT_NE(info.find("Title:           client   print\n"), std::string::npos) << info;
    EXPECT_NE(Run("pdftotext '" + pdf + "' -").find("Test Report"), std::string::npos);
}

TEST_F(ReportPrintTest, failedJobsSayWhyAndLeaveNothing) {
    struct Case {
        const char* what;
        int count;
        std::string file;
        bool busy;
        ReportPrintStatus status;
        const char* text;
    };
    const Case cases[] = {
        {"no samples", 0, m_dir.file("none.pdf"), false, ReportPrintStatus::NoSamples, nullptr},
        {"the job cannot start", 2, m_dir.file("missing/folder.pdf"), false,
         ReportPrintStatus::InitError, "Initial error!"},
        {"the printer is printing", 2, m_dir.file("busy.pdf"), true, ReportPrintStatus::PrinterBusy,
         "Printer is busy!"},
    };
    for (const Case& c : cases) {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromStdString(c.file));
        m_source.count = c.count;
        QPainter other;
        if (c.busy) {
            ASSERT_TRUE(other.begin(&printer));
        }
        const ReportPrintStatus status = TestReport(printer, m_source, START);
        EXPECT_EQ(status, c.status) << c.what;
        const char* text = ReportPrintStatusText(status);
        EXPECT_EQ(text ? std::string(text) : "(none)", c.text ? c.text : "(none)") << c.what;
        if (c.busy) {
            other.end();
        } else {
            EXPECT_FALSE(std::filesystem::exists(c.file)) << c.what;
        }
    }
    EXPECT_STREQ(ReportPrintStatusText(ReportPrintStatus::CantStartPage), "Can't start printing!");
    EXPECT_EQ(ReportPrintStatusText(ReportPrintStatus::Ok), nullptr);
}

TEST_F(ReportPrintTest, pdfIsProposedInTheDocumentsFolder) {
    const QString home = QString::fromStdString(m_dir.path().string());
    setenv("HOME", m_dir.path().c_str(), 1);
    setenv("XDG_CONFIG_HOME", m_dir.file("config").c_str(), 1);
    const QDateTime now(QDate(2026, 12, 8), QTime(14, 3, 59));

    // No documents folder yet: the home folder.
    EXPECT_EQ(DefaultReportPdfPath(now), home + "/QF7720 report 2026-12-08 14-03.pdf");
    std::filesystem::create_directory(m_dir.path() / "Documents");
    const QString proposed = home + "/Documents/QF7720 report 2026-12-08 14-03.pdf";
    EXPECT_EQ(DefaultReportPdfPath(now), proposed);

    QPrinter toFile;
    toFile.setOutputFormat(QPrinter::PdfFormat);
    PrepareReportPrinter(toFile, now);
    EXPECT_EQ(toFile.outputFileName(), proposed);
    EXPECT_EQ(toFile.docName(), QStringLiteral("client   print"));

    QPrinter named;
    named.setOutputFileName(home + "/chosen.pdf");
    PrepareReportPrinter(named, now);
    EXPECT_EQ(named.outputFileName(), home + "/chosen.pdf");
}

}  // namespace

// report FILE [-o OUT.pdf] [--traces LIST] [--y-gain G] [--y-offset O] [--page a4|letter]:
// the logger window's test report of a data file as a one-page PDF, drawn offscreen by the
// program's own layout and renderer. With --layout summary the summary page instead
// ([--title TEXT] [--notes TEXT] [--from T] [--to T]).
#include <QGuiApplication>
#include <QPageSize>
#include <QtGlobal>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <limits>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "SpanArgs.h"
#include "ToolCommands.h"
#include "analysis/SpanTime.h"
#include "common/WholeNumber.h"
#include "printing/ReportPdf.h"
#include "printing/SummaryPdf.h"
#include "report/ReportSource.h"
#include "report/SummaryLayout.h"
#include "store/AtomicFile.h"
#include "store/DataFile.h"
#include "store/TextExport.h"
#include "store/Version.h"

namespace qftool {

namespace {

constexpr char USAGE[] =
    "report: usage: report FILE [-o OUT.pdf] [--layout classic|summary] "
    "[--traces airt,irt,airv,flow] [--page a4|letter] [--y-gain G] [--y-offset O] "
    "[--title TEXT] [--notes TEXT] [--from T] [--to T]\n";

struct ReportOptions {
    std::string file;
    std::string out;
    bool traces[4] = {true, true, true, true};  // AirT, IRT, AirV, Flow
    std::optional<int> yGain;
    std::optional<int> yOffset;
    QPageSize::PageSizeId page = QPageSize::A4;
    bool summary = false;
    std::optional<std::string> title;
    std::string notes;
    SpanArgs span;  // --from and --to
    bool notesGiven = false;
    std::string error;  // a usage error that says more than the usage line
};

bool ParseTraces(std::string_view list, bool (&traces)[4]) {
    static constexpr std::string_view NAMES[4] = {"airt", "irt", "airv", "flow"};
    bool chosen[4] = {};
    while (true) {
        const std::size_t comma = list.find(',');
        const std::string_view name = list.substr(0, comma);
        bool known = false;
        for (int t = 0; t < 4; ++t) {
            if (name == NAMES[t]) {
                chosen[t] = known = true;
            }
        }
        if (!known) {
            return false;
        }
        if (comma == std::string_view::npos) {
            break;
        }
        list.remove_prefix(comma + 1);
    }
    std::copy(std::begin(chosen), std::end(chosen), std::begin(traces));
    return true;
}

bool ParseOptions(const Args& args, ReportOptions& o) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const bool takesValue = a == "-o" || a == "--traces" || a == "--y-gain" ||
                                a == "--y-offset" || a == "--page" || a == "--layout" ||
                                a == "--title" || a == "--notes" || a == "--from" || a == "--to";
        if (takesValue) {
            if (i + 1 == args.size()) {
                return false;
            }
            const std::string& v = args[++i];
            if (a == "-o") {
                o.out = v;
                if (v.empty()) {
                    return false;
                }
            } else if (a == "--traces") {
                if (!ParseTraces(v, o.traces)) {
                    o.error = "report: --traces '" + v +
                              "': give one or more of airt, irt, airv, flow, separated by "
                              "commas\n";
                    return false;
                }
            } else if (a == "--layout") {
                if (v != "classic" && v != "summary") {
                    return false;
                }
                o.summary = v == "summary";
            } else if (a == "--title") {
                o.title = v;
            } else if (a == "--notes") {
                o.notes = v;
                o.notesGiven = true;
            } else if (a == "--from" || a == "--to") {
                const std::optional<long long> t = qf::ParseSpanTime(v);
                if (!t) {
                    o.error = "report: " + a + " '" + v + "' is not seconds, M:SS or H:MM:SS\n";
                    return false;
                }
                (a == "--from" ? o.span.from : o.span.to.emplace()) = *t;
                o.span.spanGiven = true;
            } else if (a == "--page") {
                if (v == "a4") {
                    o.page = QPageSize::A4;
                } else if (v == "letter") {
                    o.page = QPageSize::Letter;
                } else {
                    return false;
                }
            } else {
                const auto n = ParseWholeNumber(v, std::numeric_limits<int>::min(),
                                                std::numeric_limits<int>::max());
                if (!n) {
                    return false;
                }
                (a == "--y-gain" ? o.yGain : o.yOffset) = int(*n);
            }
        } else if (a.size() > 1 && a[0] == '-') {
            return false;
        } else if (o.file.empty() && !a.empty()) {
            o.file = a;
        } else {
            return false;
        }
    }
    // Each layout has options of its own: the classic page keeps the graph's scale, the
    // summary scales itself and has a title, notes and a span.
    if (o.summary && (o.yGain || o.yOffset)) {
        o.error = "report: --y-gain and --y-offset are for --layout classic\n";
        return false;
    }
    if (!o.summary && (o.title || o.notesGiven || o.span.spanGiven)) {
        o.error = "report: --title, --notes, --from and --to need --layout summary\n";
        return false;
    }
    return !o.file.empty();
}

std::string PdfPathFor(const std::string& dataPath) {
    std::filesystem::path p(dataPath);
    p.replace_extension(".pdf");
    // A data file that already ends in ".pdf" must not be overwritten by its own report.
    return p.string() == dataPath ? dataPath + ".pdf" : p.string();
}

// The printing date: SOURCE_DATE_EPOCH when set, so that a report can be made again
// byte for byte; otherwise now.
bool PrintingTime(std::time_t& now, bool& fromEnvironment) {
    const char* epoch = std::getenv("SOURCE_DATE_EPOCH");
    fromEnvironment = epoch != nullptr;
    if (!epoch) {
        now = std::time(nullptr);
        return true;
    }
    const auto v = ParseWholeNumber(epoch, 0, std::numeric_limits<long long>::max());
    if (!v) {
        return false;
    }
    now = static_cast<std::time_t>(*v);
    return true;
}

// Qt's notes about the environment (no runtime folder, fonts) are not the tool's output;
// only its errors reach standard error, one line each.
void QtMessage(QtMsgType type, const QMessageLogContext&, const QString& text) {
    if (type == QtCriticalMsg || type == QtFatalMsg) {
        std::fprintf(stderr, "report: %s\n", qPrintable(text.simplified()));
    }
}

}  // namespace

int RunReport(const Args& args) {
    ReportOptions o;
    if (!ParseOptions(args, o)) {
        std::fputs(o.error.empty() ? USAGE : o.error.c_str(), stderr);
        return EXIT_USAGE;
    }
    std::time_t now = 0;
    bool reproducible = false;
    if (!PrintingTime(now, reproducible)) {
        std::fprintf(stderr, "report: SOURCE_DATE_EPOCH is not a whole number of seconds\n");
        return EXIT_REFUSED;
    }
    auto doc = std::make_unique<qf::CQFDoc>();
    qf::FileViewState view;
    if (const int rc = LoadDataFileOrRefuse("report", o.file, *doc, view); rc != EXIT_OK) {
        return rc;
    }
    if (doc->m_file.count < 1) {
        std::fprintf(stderr, "report: '%s': the file holds no samples\n", o.file.c_str());
        return EXIT_REFUSED;
    }
    qf::TraceFlags traces;
    traces.m_bShowAirT = o.traces[0];
    traces.m_bShowIrt = o.traces[1];
    traces.m_bShowAirV = o.traces[2];
    traces.m_bShowFlow = o.traces[3];
    qf::SummaryInput summary;
    if (o.summary) {
        if (!ChooseSpan("report", doc->m_file, o.span, summary.span)) {
            return EXIT_USAGE;
        }
        summary.record = &doc->m_file;
        summary.traces = traces;
        summary.title = o.title.value_or(qf::SUMMARY_DEFAULT_TITLE);
        summary.notes = o.notes;
        summary.fileName = std::filesystem::path(o.file).filename().string();
        summary.program = std::string("qf7720 ") + qf::QF_VERSION;
        summary.printed = now;
        summary.paper = o.page == QPageSize::Letter ? qf::SUMMARY_LETTER : qf::SUMMARY_A4;
    }
    // Any gain the logger window draws: ReportLabels takes 0 as the default gain.
    const int gain = o.yGain.value_or(doc->m_file.yGain);
    const int offset = o.yOffset.value_or(doc->m_file.yOffset);

    qf::ReportSource source = qf::FileReportSource(doc->m_file, qf::ReportLabels(offset, gain));
    source.traces = traces;

    // Opened before drawing, so an unwritable target is refused at once; the PDF replaces
    // the target only when complete.
    const std::string out = o.out.empty() ? PdfPathFor(o.file) : o.out;
    qf::AtomicFile file(out);
    if (!file.Open()) {
        std::fprintf(stderr, "report: cannot write '%s'\n", out.c_str());
        return EXIT_REFUSED;
    }

    // No display is needed: the page is drawn offscreen unless the caller chose a platform.
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    qInstallMessageHandler(QtMessage);
    static int argc = 1;
    static char name[] = "qf7720-tool";
    static char* argv[] = {name, nullptr};
    QGuiApplication app(argc, argv);
    QByteArray pdf =
        o.summary ? qf::SummaryPdf(summary) : qf::ReportPdf(source, QPageSize(o.page), now);
    if (pdf.isEmpty()) {
        std::fprintf(stderr, "report: the page could not be drawn\n");
        return EXIT_REFUSED;
    }
    if (reproducible) {
        qf::SetPdfCreationDate(pdf, now);
    }
    if (!file.Write(std::string_view(pdf.constData(), static_cast<std::size_t>(pdf.size()))) ||
        !file.Finish() || !file.Commit()) {
        std::fprintf(stderr, "report: cannot write '%s'\n", out.c_str());
        return EXIT_REFUSED;
    }
    return EXIT_OK;
}

}  // namespace qftool

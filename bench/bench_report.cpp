// The test report and the summary page of a full 6000-sample record: the page layout alone,
// the page drawn into a PDF in memory, and qf7720-tool report as a whole process.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "analysis/SpanStatistics.h"
#include "report/ReportLayout.h"
#include "report/SummaryLayout.h"
#include "store/DataFile.h"

#if __has_include(<QGuiApplication>)
#include <QGuiApplication>
#include <QPageSize>

#include "printing/ReportPdf.h"
#include "printing/SummaryPdf.h"
#define QF_BENCH_QT 1
#endif

namespace {

using namespace qf;

struct Record {
    std::vector<float> values = std::vector<float>(MAX_SAMPLES * NUM_CHANNELS);
    ReportSource source;

    Record() {
        for (int i = 0; i < MAX_SAMPLES; ++i) {
            const float t = float(i) * 0.01f;
            float* s = &values[std::size_t(i) * NUM_CHANNELS];
            s[CH_AIRT] = 22.0f + 3.0f * std::sin(t);
            s[CH_IRT] = 25.0f + 4.0f * std::cos(t);
            s[CH_AIRV] = i % 97 == 0 ? NO_VALUE : 3.0f + std::sin(t * 3.0f);
            s[CH_CFM] = 40.0f + 10.0f * std::sin(t * 2.0f);
            s[CH_CMM] = 1.2f + 0.3f * std::cos(t * 2.0f);
        }
        source.count = MAX_SAMPLES;
        source.samples = SampleMajorSamples(values.data(), MAX_SAMPLES);
        source.tempUnit = 1;
        source.labels = ReportLabels(0, 10);
        source.start = 1796738580;
    }
};

void BM_LayoutReport(benchmark::State& state) {
    Record rec;
    const ReportDevice printer{4800, 6600, 600.0, 600.0};
    for (auto _ : state) {
        benchmark::DoNotOptimize(LayoutReport(rec.source, printer, 1796738580));
    }
}
BENCHMARK(BM_LayoutReport)->Unit(benchmark::kMicrosecond);

StoredRecord SummaryRecord(const Record& rec) {
    StoredRecord r;
    r.count = MAX_SAMPLES;
    for (int i = 0; i < MAX_SAMPLES; ++i) {
        StoredSample s;
        std::memcpy(s.data(), &rec.values[std::size_t(i) * NUM_CHANNELS], sizeof s);
        r.samples.push_back(s);
    }
    r.tempUnit = 1;
    r.tempUnitText = "F";
    r.speedUnitText = "m/s";
    r.speedFactor = 1.0f;
    r.start = 1796738580;
    r.intervalSec = 1;
    return r;
}

SummaryInput SummaryOf(const StoredRecord& record) {
    SummaryInput in;
    in.record = &record;
    in.span = WholeRecord(record);
    in.fileName = "rec.AsmDat";
    in.program = "qf7720";
    in.printed = 1796738580;
    return in;
}

void BM_LayoutSummary(benchmark::State& state) {
    const StoredRecord record = SummaryRecord(Record());
    const SummaryMeasure measure = [](SummaryFont, std::string_view s) {
        return 1.5 * double(s.size());
    };
    for (auto _ : state) {
        benchmark::DoNotOptimize(LayoutSummary(SummaryOf(record), measure));
    }
}
BENCHMARK(BM_LayoutSummary)->Unit(benchmark::kMicrosecond);

#ifdef QF_BENCH_QT
void BM_ReportPdf(benchmark::State& state) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    static int argc = 1;
    static char name[] = "bench_report";
    static char* argv[] = {name, nullptr};
    static QGuiApplication* app = new QGuiApplication(argc, argv);
    (void)app;
    Record rec;
    for (auto _ : state) {
        benchmark::DoNotOptimize(ReportPdf(rec.source, QPageSize(QPageSize::A4), 1796738580));
    }
}
BENCHMARK(BM_ReportPdf)->Unit(benchmark::kMillisecond);

void BM_SummaryPdf(benchmark::State& state) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    static int argc = 1;
    static char name[] = "bench_report";
    static char* argv[] = {name, nullptr};
    static QGuiApplication* app = new QGuiApplication(argc, argv);
    (void)app;
    const StoredRecord record = SummaryRecord(Record());
    for (auto _ : state) {
        benchmark::DoNotOptimize(SummaryPdf(SummaryOf(record)));
    }
}
BENCHMARK(BM_SummaryPdf)->Unit(benchmark::kMillisecond);
#endif

void AppendInt(std::string& out, std::int32_t v) {
    for (int k = 0; k < 4; ++k) {
        out += static_cast<char>((static_cast<std::uint32_t>(v) >> (8 * k)) & 0xFF);
    }
}

// Start-up, reading the file, drawing and writing the PDF, as a user runs it; the layout's
// options follow the file.
void ToolReportProcess(benchmark::State& state, const std::string& options) {
    const std::filesystem::path dir = std::filesystem::temp_directory_path() /
                                      ("qf7720-bench-report-" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    Record rec;
    std::string file;
    AppendDataFileString(file, "QF7720");
    AppendInt(file, MAX_SAMPLES);
    for (const float v : rec.values) {
        std::int32_t bits;
        std::memcpy(&bits, &v, 4);
        AppendInt(file, bits);
    }
    file += std::string("\x01\x00", 2);
    for (const int v : {2026, 12, 8, 14, 3, 0, 1, 0x3F800000}) {
        AppendInt(file, v);
    }
    AppendDataFileString(file, "F");
    AppendDataFileString(file, "m/s");
    AppendInt(file, 10);
    AppendInt(file, 0);
    const std::string data = (dir / "rec.AsmDat").string();
    if (std::FILE* f = std::fopen(data.c_str(), "wb")) {
        std::fwrite(file.data(), 1, file.size(), f);
        std::fclose(f);
    }
    const std::string command =
        "'" QF_BINARY_DIR "/tools/qf7720-tool' report '" + data + "'" + options;
    for (auto _ : state) {
        if (std::system(command.c_str()) != 0) {
            state.SkipWithError("qf7720-tool report failed");
            break;
        }
    }
    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
}

void BM_ToolReportProcess(benchmark::State& state) {
    ToolReportProcess(state, "");
}
BENCHMARK(BM_ToolReportProcess)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ToolSummaryProcess(benchmark::State& state) {
    ToolReportProcess(state, " --layout summary");
}
BENCHMARK(BM_ToolSummaryProcess)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

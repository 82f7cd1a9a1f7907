// Data file write and read of a full 5000-sample recording, through a real file.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <memory>

#include "helpers/TestLive.h"
#include "store/DataFile.h"
#include "store/SaveRecording.h"
#include "store/TextExport.h"

namespace {

// A scratch folder of this process, removed at the end of the benchmark.
class ScratchDir {
public:
    ScratchDir()
        : m_path(std::filesystem::temp_directory_path() /
                 ("qf7720-bench-" + std::to_string(getpid()))) {
        std::filesystem::create_directories(m_path);
    }
    ~ScratchDir() {
        std::error_code ec;
        std::filesystem::remove_all(m_path, ec);
    }
    std::string file(const std::string& name) const { return (m_path / name).string(); }

private:
    std::filesystem::path m_path;
};

struct Recording {
    std::unique_ptr<qf::CQFDoc> doc = std::make_unique<qf::CQFDoc>();
    qftest::TestLive live;

    Recording() {
        live.units = {0, "C", 0, "m/s", 1.0f};
        live.m_nSampleIndex = qf::RECORD_LIMIT;
        live.m_tmStart = 1388485230;
        for (int c = 0; c < qf::NUM_CHANNELS; ++c) {
            for (int i = 0; i < qf::RECORD_LIMIT; ++i) {
                doc->m_liveSamples[c][i] = 0.01f * i + c;
            }
        }
    }
};

// Each iteration writes a new file, as Save does through its temporary file; rewriting
// one file in place would measure the file system's truncate handling instead.
void BM_WriteDataFile(benchmark::State& state) {
    Recording rec;
    ScratchDir dir;
    int n = 0;
    for (auto _ : state) {
        const std::string bytes = qftest::Encode(*rec.doc, rec.live, 10, 0);
        std::FILE* f = std::fopen(dir.file(std::to_string(n++) + ".AsmDat").c_str(), "wb");
        std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fclose(f);
    }
}
BENCHMARK(BM_WriteDataFile)->Unit(benchmark::kMicrosecond);

void BM_EncodeDataFile(benchmark::State& state) {
    Recording rec;
    for (auto _ : state) {
        benchmark::DoNotOptimize(qftest::Encode(*rec.doc, rec.live, 10, 0));
    }
}
BENCHMARK(BM_EncodeDataFile)->Unit(benchmark::kMicrosecond);

void BM_ReadDataFile(benchmark::State& state) {
    Recording rec;
    ScratchDir dir;
    const std::string path = dir.file("rec.AsmDat");
    std::FILE* f = std::fopen(path.c_str(), "wb");
    const std::string bytes = qftest::Encode(*rec.doc, rec.live, 10, 0);
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
    qf::FileViewState view;
    for (auto _ : state) {
        if (qf::ReadDataFile(path, *rec.doc, view) != qf::DataFileStatus::Ok) {
            state.SkipWithError("read failed");
        }
        benchmark::DoNotOptimize(rec.doc->m_file.samples[4999][4]);
    }
}
BENCHMARK(BM_ReadDataFile)->Unit(benchmark::kMicrosecond);

void BM_BuildTextExport(benchmark::State& state) {
    Recording rec;
    for (auto _ : state) {
        benchmark::DoNotOptimize(qf::BuildTextExport(qftest::LiveExport(*rec.doc, rec.live)));
    }
}
BENCHMARK(BM_BuildTextExport)->Unit(benchmark::kMicrosecond);

// The whole Save: text export and data file, each through a temporary file and a rename.
void BM_SaveRecording(benchmark::State& state) {
    Recording rec;
    ScratchDir dir;
    const std::string path = dir.file("rec.AsmDat");
    for (auto _ : state) {
        if (qftest::Save(path, *rec.doc, rec.live, 10, 0) != qf::SaveStatus::Ok) {
            state.SkipWithError("save failed");
        }
    }
}
BENCHMARK(BM_SaveRecording)->Unit(benchmark::kMillisecond);

}  // namespace

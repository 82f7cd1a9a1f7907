// Statistics and CSV of a whole recording of MAX_SAMPLES samples: what the statistics
// window recomputes on every zoom, scroll or new sample, and what Export CSV writes.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdlib>
#include <ctime>

#include "analysis/SpanCsv.h"
#include "analysis/SpanStatistics.h"

namespace {

// Fahrenheit and ft/min, so every conversion runs; every 97th velocity missing.
qf::StoredRecord Record() {
    setenv("TZ", "Europe/Berlin", 1);
    tzset();
    qf::StoredRecord r;
    r.count = qf::MAX_SAMPLES;
    r.samples.resize(qf::MAX_SAMPLES);
    for (int i = 0; i < qf::MAX_SAMPLES; ++i) {
        const float t = 0.01f * float(i);
        r.samples[std::size_t(i)] = {22.0f + 3.0f * std::sin(t), 25.0f + 4.0f * std::cos(t),
                                     i % 97 == 0 ? qf::NO_VALUE : 3.0f + std::sin(3.0f * t),
                                     400.0f + 100.0f * std::sin(2.0f * t),
                                     11.0f + 3.0f * std::cos(2.0f * t)};
    }
    r.tempUnit = 1;
    r.speedUnit = 1;
    r.speedFactor = 196.87f;
    r.tempUnitText = "F";
    r.speedUnitText = "ft/min";
    r.start = 1396141080;
    r.intervalSec = 1;
    return r;
}

void BM_SpanStatistics(benchmark::State& state) {
    const qf::StoredRecord r = Record();
    for (auto _ : state) {
        benchmark::DoNotOptimize(qf::ComputeSpanStatistics(r, qf::WholeRecord(r)));
    }
}
BENCHMARK(BM_SpanStatistics)->Unit(benchmark::kMicrosecond);

void BM_SpanCsv(benchmark::State& state) {
    const qf::StoredRecord r = Record();
    for (auto _ : state) {
        benchmark::DoNotOptimize(qf::BuildSpanCsv(r, qf::WholeRecord(r)));
    }
}
BENCHMARK(BM_SpanCsv)->Unit(benchmark::kMillisecond);

}  // namespace

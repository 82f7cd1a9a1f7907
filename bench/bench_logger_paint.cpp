// A repaint of the logger graph: a 6000-sample record of all five channels on a
// 1600 x 900 client, computed and drawn into the window's picture, in the full view and
// at zoom level 99.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>
#include <array>
#include <cmath>
#include <memory>

#include "graph/LoggerGraph.h"
#include "graph/LoggerPointer.h"
#include "logger/LoggerPaint.h"

namespace {

using namespace qf;

void EnsureApp() {
    static QGuiApplication* app = [] {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "bench_logger_paint";
        static char* argv[] = {name, nullptr};
        return new QGuiApplication(argc, argv);
    }();
    (void)app;
}

struct Rig {
    std::unique_ptr<std::array<float, NUM_CHANNELS>[]> samples {
        new std::array<float, NUM_CHANNELS>[ MAX_SAMPLES ]
    };
    LoggerInputs in;
    CLoggerGraph graph;
    TraceFlags shown;
    QImage picture{1600, 900, QImage::Format_RGB32};

    Rig() {
        EnsureApp();
        for (int i = 0; i < MAX_SAMPLES; ++i) {
            const float t = float(i) * 0.01f;
            samples[i][CH_AIRT] = 22.0f + 3.0f * std::sin(t);
            samples[i][CH_IRT] = 25.0f + 4.0f * std::cos(t);
            samples[i][CH_AIRV] = i % 97 == 0 ? NO_VALUE : 3.0f + std::sin(t * 3.0f);
            samples[i][CH_CFM] = 40.0f + 10.0f * std::sin(t * 2.0f);
            samples[i][CH_CMM] = 1.2f + 0.3f * std::cos(t * 2.0f);
        }
        in.width = picture.width();
        in.height = picture.height();
        in.hasRecord = true;
        in.record.samples = samples.get();
        in.record.count = MAX_SAMPLES;
        in.record.start = 1700000000;
        in.record.intervalSec = 1;
    }
    void Paint() { PaintLoggerGraph(picture, graph.Compute(in), shown); }
    void Report(benchmark::State& state) {
        state.counters["graph_state_bytes"] = double(graph.MemoryBytes());
        state.counters["level"] = graph.Core().ZoomLevel();
    }
};

void BM_LoggerFullViewPaint(benchmark::State& state) {
    Rig rig;
    for (auto _ : state) {
        rig.Paint();
        benchmark::DoNotOptimize(rig.picture.constBits());
    }
    rig.Report(state);
}

void BM_LoggerZoom99Paint(benchmark::State& state) {
    Rig rig;
    rig.Paint();
    CLoggerPointer pointer;
    LoggerSession session;
    const LoggerFrame& f = rig.graph.Frame();
    const ViewPoint a{int(f.left), int(f.top)}, b{int(f.right) - 6, int(f.bottom)};
    while (rig.graph.Core().ZoomLevel() < MAX_ZOOM_LEVEL) {
        pointer.ButtonDown(rig.graph, true, a);
        pointer.Move(rig.graph, rig.in.record, true, b, session);
        if (!pointer.ButtonUp(rig.graph, true, b).levelPushed) {
            state.SkipWithError("zoom refused");
            return;
        }
        rig.Paint();
    }
    for (auto _ : state) {
        rig.Paint();
        benchmark::DoNotOptimize(rig.picture.constBits());
    }
    rig.Report(state);
}

BENCHMARK(BM_LoggerFullViewPaint)->Unit(benchmark::kMillisecond)->Repetitions(5);
BENCHMARK(BM_LoggerZoom99Paint)->Unit(benchmark::kMillisecond)->Repetitions(5);

}  // namespace

// One repaint's computations of the real-time graph: 5000 samples of all five channels in
// a 1600 x 900 view, in the full view and at zoom level 99.
#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>

#include "graph/GraphModel.h"
#include "graph/ZoomDrag.h"

namespace {

using namespace qf;

const PlotGeometry VIEW = PlotGeometry::FromClient(0, 0, 1600, 900);

struct Recording {
    std::unique_ptr<float[][MAX_SAMPLES]> samples{new float[NUM_CHANNELS][MAX_SAMPLES]};
    GraphInputs in;

    Recording() {
        for (int i = 0; i < MAX_SAMPLES; ++i) {
            const float t = float(i) * 0.01f;
            samples[CH_AIRT][i] = 22.0f + 3.0f * std::sin(t);
            samples[CH_IRT][i] = 25.0f + 4.0f * std::cos(t);
            samples[CH_AIRV][i] = i % 97 == 0 ? NO_VALUE : 3.0f + std::sin(t * 3.0f);
            samples[CH_CFM][i] = 40.0f + 10.0f * std::sin(t * 2.0f);
            samples[CH_CMM][i] = 1.2f + 0.3f * std::cos(t * 2.0f);
        }
        in.samples = samples.get();
        in.count = RECORD_LIMIT;
        in.start = 1700000000;
        in.intervalMs = 1000;
        in.yGain = 1000;
        in.geo = VIEW;
    }
};

void Report(benchmark::State& state, const CGraphModel& model) {
    state.counters["model_bytes"] = double(model.MemoryBytes());
    state.counters["level"] = model.Core().ZoomLevel();
}

void BM_FullViewFrame(benchmark::State& state) {
    Recording rec;
    CGraphModel model;
    model.Compute(rec.in);  // the compressions of a recording seen at once
    for (auto _ : state) {
        benchmark::DoNotOptimize(model.Compute(rec.in).traces.count);
    }
    Report(state, model);
}

void BM_Zoom99Frame(benchmark::State& state) {
    Recording rec;
    CGraphModel model;
    CZoomDrag drag;
    model.Compute(rec.in);
    model.Compute(rec.in);
    const ViewPoint a{VIEW.pL + 10, VIEW.pT + 5}, b{VIEW.pR - 10, VIEW.pB - 5};
    while (model.Core().ZoomLevel() < MAX_ZOOM_LEVEL) {
        drag.ButtonDown(model.Core(), DragAreaOf(VIEW), true, a);
        drag.Move(DragAreaOf(VIEW), true, b);
        if (!drag.ButtonUp(model.Core(), DragAreaOf(VIEW), true, b).levelPushed) {
            state.SkipWithError("zoom refused");
            return;
        }
        model.Compute(rec.in);
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(model.Compute(rec.in).traces.count);
    }
    Report(state, model);
}

BENCHMARK(BM_FullViewFrame)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Zoom99Frame)->Unit(benchmark::kMicrosecond);

}  // namespace

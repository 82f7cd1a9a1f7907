// A full repaint of the real-time graph by the view itself: 5000 samples of all five
// channels in a 1600 x 900 view, in the full view and at zoom level 99.
#include <benchmark/benchmark.h>

#include <unistd.h>
#include <QApplication>
#include <QImage>
#include <QLayout>
#include <clocale>
#include <cmath>
#include <filesystem>
#include <memory>
#include <optional>

#include "BenchApp.h"
#include "analysis/CursorPair.h"
#include "app/CMainFrame.h"
#include "graph/ZoomDrag.h"
#include "store/CQFDoc.h"
#include "ui/CCursorPanel.h"
#include "ui/CStatisticsWnd.h"
#include "view/CQFView.h"

// Outside any namespace, as the resource macro needs.
void InitResources() {
    Q_INIT_RESOURCE(app);
}

namespace {

using namespace qf;

const QSize VIEW_SIZE(1600, 900);

// A main window whose view is VIEW_SIZE, holding a recording of RECORD_LIMIT samples.
struct Rig {
    std::filesystem::path dir =
        std::filesystem::temp_directory_path() / ("qf7720-bench-" + std::to_string(getpid()));
    qfbench::SilentPrompts prompts;
    std::unique_ptr<CQFDoc> doc = std::make_unique<CQFDoc>();
    std::unique_ptr<CMainFrame> frame;
    QImage target;

    Rig() {
        qfbench::EnsureApp(InitResources);
        std::filesystem::create_directories(dir);
        FrameOptions options;
        options.prompts = &prompts;
        options.configPath = (dir / "QF7720config.ini").string();
        options.resolver = [](int) { return std::string("/nonexistent/qf7720-bench-port"); };
        frame = std::make_unique<CMainFrame>(*doc, std::move(options));
        CQFView& view = frame->View();
        view.OnInitialUpdate();
        frame->show();
        frame->resize(VIEW_SIZE * 2);
        frame->layout()->activate();
        frame->resize(frame->size() + VIEW_SIZE - view.size());
        frame->layout()->activate();
        for (int i = 0; i < MAX_SAMPLES; ++i) {
            const float t = float(i) * 0.01f;
            doc->m_liveSamples[CH_AIRT][i] = 22.0f + 3.0f * std::sin(t);
            doc->m_liveSamples[CH_IRT][i] = 25.0f + 4.0f * std::cos(t);
            doc->m_liveSamples[CH_AIRV][i] = i % 97 == 0 ? NO_VALUE : 3.0f + std::sin(t * 3.0f);
            doc->m_liveSamples[CH_CFM][i] = 40.0f + 10.0f * std::sin(t * 2.0f);
            doc->m_liveSamples[CH_CMM][i] = 1.2f + 0.3f * std::cos(t * 2.0f);
        }
        RecordingState rec = view.Live().Recording();
        rec.m_nSampleIndex = RECORD_LIMIT;
        rec.m_tmStart = 1700000000;
        rec.m_nIntervalMs = 1000;
        view.Live().RecordingForTest().Preset(rec);
        view.m_display.m_nYGain = 10;
        target = QImage(view.size(), QImage::Format_ARGB32_Premultiplied);
        // The compressions of a recording seen at once.
        for (int i = 0; i < 3; ++i) {
            Paint();
        }
    }

    ~Rig() {
        frame->hide();
        frame.reset();
        std::filesystem::remove_all(dir);
    }

    // The view's own paint of its whole area.
    void Paint() { frame->View().render(&target); }

    bool Valid(benchmark::State& state) {
        if (frame->View().size() != VIEW_SIZE) {
            state.SkipWithError("the view did not get its size");
            return false;
        }
        return true;
    }

    void Report(benchmark::State& state) {
        const CQFView& view = frame->View();
        state.counters["graph_state_bytes"] = double(view.GraphStateBytes());
        state.counters["surface_bytes"] = double(view.SurfaceBytes());
        state.counters["level"] = frame->View().Graph().Core().ZoomLevel();
    }
};

void BM_FullViewPaint(benchmark::State& state) {
    Rig rig;
    if (!rig.Valid(state)) {
        return;
    }
    for (auto _ : state) {
        rig.Paint();
        benchmark::DoNotOptimize(rig.target.constBits());
    }
    rig.Report(state);
}

void BM_Zoom99Paint(benchmark::State& state) {
    Rig rig;
    if (!rig.Valid(state)) {
        return;
    }
    CQFView& view = rig.frame->View();
    CGraphModel& model = view.Graph();
    const PlotGeometry geo = view.Geometry();
    CZoomDrag drag;
    const ViewPoint a{geo.pL + 10, geo.pT + 5}, b{geo.pR - 10, geo.pB - 5};
    while (model.Core().ZoomLevel() < MAX_ZOOM_LEVEL) {
        drag.ButtonDown(model.Core(), DragAreaOf(geo), true, a);
        drag.Move(DragAreaOf(geo), true, b);
        if (!drag.ButtonUp(model.Core(), DragAreaOf(geo), true, b).levelPushed) {
            state.SkipWithError("zoom refused");
            return;
        }
        rig.Paint();
    }
    for (auto _ : state) {
        rig.Paint();
        benchmark::DoNotOptimize(rig.target.constBits());
    }
    rig.Report(state);
}

// What the numbers over a span add to a repaint: the statistics window following the
// 5000-sample recording, and the two-cursor panel's read-out.
void BM_StatisticsWindowUpdate(benchmark::State& state) {
    Rig rig;
    CStatisticsWnd window(nullptr);
    window.show();
    CQFView& view = rig.frame->View();
    for (auto _ : state) {
        window.Show(view.AnalysisRecord(), view.AnalysisSpan(), QStringLiteral("Real-time graph"));
    }
}

void BM_CursorPanelUpdate(benchmark::State& state) {
    Rig rig;
    CQFView& view = rig.frame->View();
    CCursorPanel panel(&view);
    const StoredRecord& record = view.AnalysisRecord();
    for (auto _ : state) {
        panel.ShowTexts(ReadCursorPair(record, 1200, 3400, view.m_display), QPoint(320, 130));
    }
}

BENCHMARK(BM_StatisticsWindowUpdate)->Unit(benchmark::kMillisecond)->Repetitions(5);
BENCHMARK(BM_CursorPanelUpdate)->Unit(benchmark::kMillisecond)->Repetitions(5);
BENCHMARK(BM_FullViewPaint)->Unit(benchmark::kMillisecond)->Repetitions(5);
BENCHMARK(BM_Zoom99Paint)->Unit(benchmark::kMillisecond)->Repetitions(5);

}  // namespace

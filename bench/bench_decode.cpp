// Framing plus decoding of a stream of valid frames mixed with garbage.
#include <benchmark/benchmark.h>

#include <memory>
#include <random>
#include <vector>

#include "link/FrameAssembler.h"
#include "link/LiveFrame.h"
#include "live/LiveModel.h"
#include "store/CQFDoc.h"

namespace {

std::vector<std::uint8_t> MixedStream(int frames) {
    std::mt19937 rng(7);
    std::vector<std::uint8_t> out;
    for (int i = 0; i < frames; ++i) {
        qf::LiveFrameFields f;
        f.a = qf::flag::A_CELSIUS;
        f.b = qf::flag::B_VEL;
        f.d = (i % 3 == 0) ? qf::flag::D_UNIT_CFM | qf::flag::D_FTMIN : qf::flag::D_KMH;
        f.airT = 20.0f + float(i % 50) * 0.1f;
        f.irt = 25.0f + float(i % 70) * 0.1f;
        f.airV = 1.0f + float(i % 30) * 0.05f;
        f.upper = f.airT;
        f.main = f.airV * 3.6f;
        f.areaFt2 = 1.5f;
        f.areaM2 = 0.14f;
        const auto bytes = qf::BuildLiveFrame(f);
        out.insert(out.end(), bytes.begin(), bytes.end());
        if (i % 10 == 0) {
            for (int g = 0; g < 7; ++g)
                out.push_back(static_cast<std::uint8_t>(rng()));
        }
    }
    return out;
}

void BM_FrameAndDecode(benchmark::State& state) {
    const int frames = 10000;
    const auto stream = MixedStream(frames);
    const auto doc = std::make_unique<qf::CQFDoc>();
    qf::CLiveModel live(*doc);
    qf::CFrameAssembler assembler;
    std::int64_t decoded = 0;
    for (auto _ : state) {
        // Pieces of 64 bytes, as a serial port hands them over.
        for (std::size_t i = 0; i < stream.size(); i += 64) {
            const std::size_t n = std::min<std::size_t>(64, stream.size() - i);
            assembler.Feed(stream.data() + i, n, [&](const std::uint8_t* d, std::size_t s, bool) {
                decoded += live.OnReceive(d, s, 0).valid;
            });
        }
    }
    state.counters["frames/s"] = benchmark::Counter(double(decoded), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_FrameAndDecode)->Unit(benchmark::kMillisecond);

}  // namespace

// Shared set-up of the graph tests: a recording, a view of 1600 x 900 and local time in UTC.
#pragma once

#include <cstdlib>
#include <ctime>
#include <memory>

#include "graph/GraphModel.h"

namespace qftest {

// Plot 1241 x 631 at (309, 118).
inline const qf::PlotGeometry VIEW_1600 = qf::PlotGeometry::FromClient(0, 0, 1600, 900);
inline constexpr std::time_t START = 1700000000;  // 22:13:20 UTC

struct Recording {
    std::unique_ptr<float[][qf::MAX_SAMPLES]> samples{new float[qf::NUM_CHANNELS][qf::MAX_SAMPLES]};

    Recording() {
        setenv("TZ", "UTC", 1);
        tzset();
        for (int i = 0; i < qf::MAX_SAMPLES; ++i) {
            const float v = 20.0f + float(i % 40);
            for (int ch = 0; ch < qf::NUM_CHANNELS; ++ch) {
                samples[ch][i] = v + float(ch);
            }
        }
    }

    qf::GraphInputs Inputs(int count, const qf::PlotGeometry& geo = VIEW_1600) const {
        qf::GraphInputs in;
        in.samples = samples.get();
        in.count = count;
        in.start = START;
        in.intervalMs = 2000;
        in.geo = geo;
        return in;
    }
};

}  // namespace qftest

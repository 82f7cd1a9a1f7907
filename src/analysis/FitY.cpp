#include "analysis/FitY.h"

#include <algorithm>
#include <cmath>
#include <iterator>

namespace qf {

std::optional<YAxisChoice> FitYAxis(double lo, double hi) {
    if (!(lo <= hi) || !std::isfinite(lo) || !std::isfinite(hi)) {
        return std::nullopt;
    }
    std::optional<YAxisChoice> best;
    double bestRange = 0.0;
    bool bestCrossesZero = false;
    double bestImbalance = 0.0;
    for (int g = 0; g < int(std::size(Y_GAIN_CHOICES)); ++g) {
        for (int o = 0; o < int(std::size(Y_OFFSET_CHOICES)); ++o) {
            const double gain = Y_GAIN_CHOICES[g];
            const double bottom = Y_OFFSET_CHOICES[o] * gain;
            const double top = bottom + (Y_LABELS - 1) * gain;
            if (lo < bottom || hi > top) {
                continue;
            }
            // Among equal ranges, an axis of positive values starts at zero or above (and
            // one of negative values ends at zero or below); then the values centred best.
            const double range = top - bottom;
            const bool crossesZero = (lo >= 0.0 && bottom < 0.0) || (hi <= 0.0 && top > 0.0);
            const double imbalance = std::abs((top - hi) - (lo - bottom));
            const bool better =
                !best || range < bestRange ||
                (range == bestRange &&
                 (crossesZero != bestCrossesZero ? !crossesZero : imbalance < bestImbalance));
            if (better) {
                best = YAxisChoice{g, o};
                bestRange = range;
                bestCrossesZero = crossesZero;
                bestImbalance = imbalance;
            }
        }
    }
    return best;
}

std::optional<YAxisChoice> FitYAxis(const SpanStatistics& stats, const TraceFlags& traces) {
    double lo = 0.0;
    double hi = 0.0;
    bool any = false;
    for (int c = 0; c < NUM_CHANNELS; ++c) {
        const ChannelStatistics& s = stats.channels[std::size_t(c)];
        if (!traces.Shown(c) || s.valid == 0) {
            continue;
        }
        lo = any ? std::min(lo, s.min) : s.min;
        hi = any ? std::max(hi, s.max) : s.max;
        any = true;
    }
    return any ? FitYAxis(lo, hi) : std::nullopt;
}

}  // namespace qf

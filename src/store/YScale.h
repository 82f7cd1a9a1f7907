// The value axis scale of the graphs and the report, taken from a Y gain and offset.
#pragma once

#include "store/Settings.h"

namespace qf {

// A gain of 0 (only a file or the settings can hold one) has no scale and is drawn on the
// default gain; any other gain, negative ones too, is drawn as it is.
constexpr int EffectiveYGain(int yGain) {
    return yGain != 0 ? yGain : DEFAULT_Y_GAIN;
}

}  // namespace qf

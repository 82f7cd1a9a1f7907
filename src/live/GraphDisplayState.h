// What the real-time graph draws and how its Y axis is scaled. The view holds it; the
// real-time bar's buttons and its Y axis dialog write it; the graph reads it at paint.
#pragma once

#include <cstddef>
#include <iterator>
#include <string>

#include "store/Settings.h"

namespace qf {

// Value labels of a graph's Y axis, bottom to top.
inline constexpr int Y_LABELS = 11;

// The traces a graph draws, chosen by its AirT, IRT, AirV, Flow and Combine buttons.
struct TraceFlags {
    bool m_bShowAirT = true;
    bool m_bShowIrt = true;
    bool m_bShowAirV = true;
    bool m_bShowFlow = true;  // CFM and CMM together

    // `flag` is one of the four: it alone is set.
    void ShowOnly(bool TraceFlags::*flag) {
        m_bShowAirT = m_bShowIrt = m_bShowAirV = m_bShowFlow = false;
        this->*flag = true;
    }
    void ShowAll() { m_bShowAirT = m_bShowIrt = m_bShowAirV = m_bShowFlow = true; }
    // Whether a channel's trace is drawn.
    bool Shown(int channel) const {
        const bool flags[] = {m_bShowAirT, m_bShowIrt, m_bShowAirV, m_bShowFlow, m_bShowFlow};
        return channel >= 0 && channel < 5 && flags[channel];
    }
};

struct GraphDisplayState : TraceFlags {
    int m_nYGain = DEFAULT_Y_GAIN;
    int m_nYOffset = DEFAULT_Y_OFFSET;
    // Bottom to top. The graph's next paint derives its own labels, so these last only
    // until then.
    std::string m_strYLabel[Y_LABELS];
};

// The Y axis dialog's lists, by position.
inline constexpr int Y_GAIN_CHOICES[] = {1, 2, 5, 10, 20, 50, 100, 200, 500, 1000, 10000, 100000};
inline constexpr int Y_OFFSET_CHOICES[] = {0, 2, 5, -2, -5};

// Takes the dialog's choice: a position outside its list (-1, nothing chosen) keeps that
// value. The eleven labels are recomputed either way.
inline void ApplyYAxisChoice(GraphDisplayState& s, int gainPos, int offsetPos) {
    if (gainPos >= 0 && static_cast<std::size_t>(gainPos) < std::size(Y_GAIN_CHOICES)) {
        s.m_nYGain = Y_GAIN_CHOICES[gainPos];
    }
    if (offsetPos >= 0 && static_cast<std::size_t>(offsetPos) < std::size(Y_OFFSET_CHOICES)) {
        s.m_nYOffset = Y_OFFSET_CHOICES[offsetPos];
    }
    // 64-bit: a gain read from the settings file is any int, and only one list may be
    // chosen.
    for (int i = 0; i < Y_LABELS; ++i) {
        const long long value = (static_cast<long long>(s.m_nYOffset) + i) * s.m_nYGain;
        s.m_strYLabel[i] = std::to_string(value);
    }
}

}  // namespace qf

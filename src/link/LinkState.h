// The link's own state: which port it uses and what the COM menu may offer. Written only
// by CMeterLink; the main window reads it for the menu.
#pragma once

#include <array>

namespace qf {

inline constexpr int AWAIT_FRAME_SLOTS = 20;

struct LinkState {
    int m_nPort = 1;
    bool m_bFrameSeen = false;  // a valid frame since the last acknowledgement tick
    std::array<bool, AWAIT_FRAME_SLOTS> m_bAwaitFrame{};
    std::array<bool, 4> m_bComRadio{};
    std::array<bool, 4> m_bComEnabled{true, true, true, true};
    bool m_bOtherComEnabled = true;

    // The awaiting-frame entry of a port. A port number outside the table (only the
    // configuration file can hold one) shares entry 0, which no real port uses.
    bool& AwaitFrame(int port) {
        return m_bAwaitFrame[port > 0 && port < AWAIT_FRAME_SLOTS ? port : 0];
    }
    bool AwaitFrame(int port) const {
        return m_bAwaitFrame[port > 0 && port < AWAIT_FRAME_SLOTS ? port : 0];
    }
};

}  // namespace qf

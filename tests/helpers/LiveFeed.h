// Drives a live model as the link would: frames in, and, for tests only, a recording
// state set directly.
#pragma once

#include <ctime>

#include "link/LiveFrame.h"
#include "live/LiveModel.h"

namespace qftest {

// One valid frame; by default the meter's plain display in m/s.
inline qf::DecodeOutcome FeedFrame(qf::CLiveModel& live, qf::LiveFrameFields f = {},
                                   std::time_t now = 1000) {
    if (f.d == 0) {
        f.d = qf::flag::D_MS;
    }
    const qf::LiveFrameBytes bytes = qf::BuildLiveFrame(f);
    return live.OnReceive(bytes.data(), bytes.size(), now);
}

// Changes fields of the recording state that no operation would set this way.
template <typename Edit>
void EditRecording(qf::CLiveModel& live, Edit edit) {
    qf::RecordingState s = live.Recording();
    edit(s);
    live.RecordingForTest().Preset(s);
}

}  // namespace qftest

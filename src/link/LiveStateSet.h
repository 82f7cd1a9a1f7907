// Every piece of state the frame decoder writes, held together, as at program start. For
// the tool, tests and benchmarks that decode without windows; in the program each window
// owns its own piece.
#pragma once

#include <memory>
#include <string>

#include "bars/PanelState.h"
#include "bars/ReadingsLogic.h"
#include "link/FrameDecoder.h"
#include "link/LiveState.h"
#include "store/CQFDoc.h"

namespace qf {

struct LiveStateSet {
    LiveStateSet() = default;
    LiveStateSet(const LiveStateSet&) = delete;
    LiveStateSet& operator=(const LiveStateSet&) = delete;

    std::unique_ptr<CQFDoc> doc = std::make_unique<CQFDoc>();
    ViewLiveState view;
    MainLinkState frame;
    PanelState panel;
    std::string battery;
    CReadingsLogic readings;
    DecoderTargets targets{*doc, view, frame, panel, battery, readings};
};

}  // namespace qf

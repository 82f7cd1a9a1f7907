#include "live/FrameDecoder.h"

#include "link/LiveFrame.h"
#include "live/PanelState.h"
#include "live/ReadingsLogic.h"
#include "store/CQFDoc.h"
#include "store/Recording.h"

namespace qf {

DecodeOutcome CFrameDecoder::OnReceive(LiveTargets& t, const std::uint8_t* data, std::size_t size,
                                       std::time_t now) {
    DecodeOutcome out;
    if (data != nullptr && IsValidFrame(data, size)) {
        const LiveReading r = DecodeReading(data, m_nIrtSettle);
        out.valid = true;
        out.recordingStarted = t.recording.OnValidFrame(now);
        ApplyFrameUnits(r, t.units);
        UpdatePanel(r, t.units, t.panel);
        t.doc.StoreLiveSample(t.recording.State().m_nSampleIndex,
                              {r.airT, r.irt, r.airV, r.cfm, r.cmm});
        out.alarmsChanged = t.readings.OnSample(r.airT, r.irt, r.airV, t.units);
    }
    // Every chunk, valid or not: the recording ends at the record limit.
    out.recordingEnded = t.recording.CheckRecordLimit();
    return out;
}

}  // namespace qf

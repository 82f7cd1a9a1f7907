// The live recording as one stored record, so that statistics, CSV and reports of the main
// window run through the same code as those of a loaded file.
#pragma once

#include "store/CQFDoc.h"
#include "store/DisplayUnits.h"
#include "store/Recording.h"
#include "store/StoredRecord.h"

namespace qf {

// The committed samples (at most MAX_SAMPLES), units, start and interval of the live
// recording; `into` keeps its buffer between calls.
void LiveStoredRecord(const CQFDoc& doc, const RecordingState& live, const DisplayUnits& units,
                      StoredRecord& into);

}  // namespace qf

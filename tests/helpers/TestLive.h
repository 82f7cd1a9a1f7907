// A live recording as the file functions take it: the recording's bookkeeping and the
// display units in one value that tests can fill field by field.
#pragma once

#include <string>

#include "store/DataFile.h"
#include "store/SaveRecording.h"
#include "store/TextExport.h"

namespace qftest {

struct TestLive : qf::RecordingState {
    qf::DisplayUnits units;
};

inline std::string Encode(qf::CQFDoc& doc, const TestLive& live, int yGain, int yOffset) {
    return qf::EncodeDataFile(doc, live, live.units, yGain, yOffset);
}

inline qf::ExportSource LiveExport(const qf::CQFDoc& doc, const TestLive& live) {
    return qf::LiveExportSource(doc, live, live.units);
}

inline qf::SaveStatus Save(const std::string& path, qf::CQFDoc& doc, const TestLive& live,
                           int yGain, int yOffset) {
    return qf::SaveRecording(path, doc, live, live.units, yGain, yOffset);
}

}  // namespace qftest

#include "store/SaveRecording.h"

#include "store/AtomicFile.h"
#include "store/DataFile.h"
#include "store/TextExport.h"

namespace qf {

SaveStatus SaveRecording(const std::string& dataPath, CQFDoc& doc, const RecordingState& live,
                         const DisplayUnits& units, int yGain, int yOffset) {
    AtomicFile data(dataPath);
    if (!data.Open()) {
        return SaveStatus::DataFileFailed;
    }
    AtomicFile text(TextExportPath(dataPath));
    if (!text.Open()) {
        return SaveStatus::TextFileFailed;
    }
    // The text first, then the data file, as the program always wrote them.
    if (!text.Write(BuildTextExport(LiveExportSource(doc, live, units))) ||
        !data.Write(EncodeDataFile(doc, live, units, yGain, yOffset)) || !text.Finish() ||
        !data.Finish() || !text.Commit()) {
        return SaveStatus::WriteFailed;
    }
    // Only this rename can leave the pair mismatched: the new text beside the old data.
    if (!data.Commit()) {
        return SaveStatus::WriteFailed;
    }
    return SaveStatus::Ok;
}

}  // namespace qf

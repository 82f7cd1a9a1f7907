// Save of the live recording: the text export and then the data file at a chosen path.
#pragma once

#include <string>

#include "store/CQFDoc.h"
#include "store/DisplayUnits.h"
#include "store/Recording.h"

namespace qf {

enum class SaveStatus {
    Ok,
    DataFileFailed,  // the data file could not be created: nothing written
    TextFileFailed,  // the text file could not be created: nothing written
    WriteFailed,     // a write, flush or rename failed: the data file is as it was, and
                     // so is the text file unless only the data file's rename failed
};

// Writes TextExportPath(dataPath) and dataPath. Each file is replaced only once it is
// complete, so a failure leaves existing files as they were and no half-written file.
// Only a regular file is replaced. The program tells the user of any failure: a recording
// believed saved would be lost at exit.
SaveStatus SaveRecording(const std::string& dataPath, CQFDoc& doc, const RecordingState& live,
                         const DisplayUnits& units, int yGain, int yOffset);

}  // namespace qf

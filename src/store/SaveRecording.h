// Save of the live recording: the text export and then the data file at a chosen path.
#pragma once

#include <string>

#include "store/AtomicFile.h"
#include "store/CQFDoc.h"
#include "store/DisplayUnits.h"
#include "store/Recording.h"

namespace qf {

inline constexpr char DATA_FILE_EXTENSION[] = ".AsmDat";

enum class SaveStatus {
    Ok,
    DataFileFailed,  // the data file could not be created: nothing written
    TextFileFailed,  // the text file could not be created: nothing written
    WriteFailed,     // a write, flush or rename failed: the data file is as it was, and
                     // so is the text file unless only the data file's rename failed
};

// The data file for a name the user chose: ".AsmDat" appended unless the name already ends
// with it in any case. Other dots ("26-12-08 09.11.25") are part of the name.
std::string DataFilePath(const std::string& chosen);

// Writes TextExportPath(dataPath) and dataPath. Each file is replaced only once it is
// complete, so a failure leaves existing files as they were and no half-written file.
// Only a regular file is replaced. The program tells the user of any failure: a recording
// believed saved would be lost at exit.
// On a failure `error`, when given, receives the errno of the step that failed (0 when
// none is known), so that the caller can name the reason.
SaveStatus SaveRecording(const std::string& dataPath, CQFDoc& doc, const RecordingState& live,
                         const DisplayUnits& units, int yGain, int yOffset, int* error = nullptr);

// The same into a data file resolved before (ResolveOutput): its text export is written
// beside it in the same open folder.
SaveStatus SaveRecording(const OutputFile& data, CQFDoc& doc, const RecordingState& live,
                         const DisplayUnits& units, int yGain, int yOffset, int* error = nullptr);

// The data file alone, as the standard save writes it; same failure rules.
SaveStatus SaveDataFile(const std::string& dataPath, CQFDoc& doc, const RecordingState& live,
                        const DisplayUnits& units, int yGain, int yOffset, int* error = nullptr);

}  // namespace qf

#include "store/SaveRecording.h"

#include <cerrno>
#include <filesystem>
#include <system_error>

#include "store/AtomicFile.h"
#include "store/DataFile.h"
#include "store/RegularFile.h"
#include "store/TextExport.h"

namespace qf {

namespace {

// Why a file's step failed, as the file saw it; a folder in the target's place is named as
// such rather than as "not a regular file".
int FailureOf(const AtomicFile& file) {
    std::error_code ec;
    if (file.Error() == NOT_REGULAR_FILE && std::filesystem::is_directory(file.target(), ec)) {
        return EISDIR;
    }
    return file.Error();
}

}  // namespace

std::string DataFilePath(const std::string& chosen) {
    if (EndsWithNoCase(chosen, DATA_FILE_EXTENSION)) {
        return chosen;
    }
    return chosen + DATA_FILE_EXTENSION;
}

SaveStatus SaveRecording(const std::string& dataPath, CQFDoc& doc, const RecordingState& live,
                         const DisplayUnits& units, int yGain, int yOffset, int* error) {
    int resolveError = 0;
    const auto out = ResolveOutput(dataPath, resolveError);
    if (!out) {
        if (error != nullptr) {
            *error = resolveError;
        }
        return SaveStatus::DataFileFailed;
    }
    return SaveRecording(*out, doc, live, units, yGain, yOffset, error);
}

SaveStatus SaveRecording(const OutputFile& dataFile, CQFDoc& doc, const RecordingState& live,
                         const DisplayUnits& units, int yGain, int yOffset, int* error) {
    int ignored = 0;
    int& err = error != nullptr ? *error : ignored;
    err = 0;
    AtomicFile data(dataFile);
    if (!data.Open()) {
        err = FailureOf(data);
        return SaveStatus::DataFileFailed;
    }
    // Beside the real data file, when the path chosen was a link to it.
    AtomicFile text(dataFile.Sibling(TextExportPath(dataFile.name)));
    if (!text.Open()) {
        err = FailureOf(text);
        return SaveStatus::TextFileFailed;
    }
    // The text first, then the data file, as the program always wrote them. Only the last
    // rename can leave the pair mismatched: the new text beside the old data.
    if (!text.Write(BuildTextExport(LiveExportSource(doc, live, units))) ||
        !data.Write(EncodeDataFile(doc, live, units, yGain, yOffset)) || !text.Finish() ||
        !data.Finish() || !text.Commit() || !data.Commit()) {
        err = text.Error() != 0 ? FailureOf(text) : FailureOf(data);
        return SaveStatus::WriteFailed;
    }
    return SaveStatus::Ok;
}

SaveStatus SaveDataFile(const std::string& dataPath, CQFDoc& doc, const RecordingState& live,
                        const DisplayUnits& units, int yGain, int yOffset, int* error) {
    int ignored = 0;
    int& err = error != nullptr ? *error : ignored;
    AtomicFile data(dataPath);
    const bool opened = data.Open();
    const bool ok = opened && data.Write(EncodeDataFile(doc, live, units, yGain, yOffset)) &&
                    data.Finish() && data.Commit();
    err = ok ? 0 : FailureOf(data);
    return ok ? SaveStatus::Ok : opened ? SaveStatus::WriteFailed : SaveStatus::DataFileFailed;
}

}  // namespace qf

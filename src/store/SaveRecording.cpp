#include "store/SaveRecording.h"

#include <cerrno>
#include <filesystem>
#include <system_error>

#include "store/AtomicFile.h"
#include "store/DataFile.h"
#include "store/TextExport.h"

namespace qf {

namespace {

// errno of the step that just failed; a folder in the target's place sets none.
int FailureErrno(const std::string& target) {
    const int e = errno;
    std::error_code ec;
    if (std::filesystem::is_directory(target, ec)) {
        return EISDIR;
    }
    return e;
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
    int ignored = 0;
    int& err = error != nullptr ? *error : ignored;
    err = 0;
    AtomicFile data(dataPath);
    errno = 0;
    if (!data.Open()) {
        err = FailureErrno(dataPath);
        return SaveStatus::DataFileFailed;
    }
    const std::string textPath = TextExportPath(dataPath);
    AtomicFile text(textPath);
    errno = 0;
    if (!text.Open()) {
        err = FailureErrno(textPath);
        return SaveStatus::TextFileFailed;
    }
    // The text first, then the data file, as the program always wrote them.
    errno = 0;
    if (!text.Write(BuildTextExport(LiveExportSource(doc, live, units))) ||
        !data.Write(EncodeDataFile(doc, live, units, yGain, yOffset)) || !text.Finish() ||
        !data.Finish() || !text.Commit()) {
        err = errno;
        return SaveStatus::WriteFailed;
    }
    // Only this rename can leave the pair mismatched: the new text beside the old data.
    if (!data.Commit()) {
        err = errno;
        return SaveStatus::WriteFailed;
    }
    return SaveStatus::Ok;
}

SaveStatus SaveDataFile(const std::string& dataPath, CQFDoc& doc, const RecordingState& live,
                        const DisplayUnits& units, int yGain, int yOffset, int* error) {
    int ignored = 0;
    int& err = error != nullptr ? *error : ignored;
    err = 0;
    AtomicFile data(dataPath);
    errno = 0;
    if (!data.Open()) {
        err = FailureErrno(dataPath);
        return SaveStatus::DataFileFailed;
    }
    errno = 0;
    if (!data.Write(EncodeDataFile(doc, live, units, yGain, yOffset)) || !data.Finish() ||
        !data.Commit()) {
        err = errno;
        return SaveStatus::WriteFailed;
    }
    return SaveStatus::Ok;
}

}  // namespace qf

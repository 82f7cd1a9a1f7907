// The ".AsmDat" data file: a flat little-endian stream of signature, samples, units,
// start time, interval, unit texts and the graph's Y scale. The writer takes the live
// recording; the reader fills the document's file area.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "store/CQFDoc.h"
#include "store/DisplayUnits.h"
#include "store/FileViewState.h"
#include "store/Recording.h"
#include "store/RegularFile.h"

namespace qf {

inline constexpr std::string_view DATA_FILE_SIGNATURE = "QF7720";

// The message the program shows for a file that is not a data file.
inline constexpr std::string_view INVALID_FORMAT_TEXT = "Invalid Format!";

// Longest text the reader takes: every length of the 16-bit form, and still far above
// any unit text. A longer signature is no signature of ours.
inline constexpr std::size_t MAX_DATA_FILE_TEXT = 65536;

enum class DataFileStatus {
    Ok,
    CannotOpen,     // missing, unreadable or not a regular file: nothing read, nothing changed
    InvalidFormat,  // wrong signature: only m_strReadSignature changed, both flags cleared
    BadCount,       // sample count outside 0..MAX_SAMPLES: the count kept, both flags cleared
    Truncated,      // the file ends early: fields read so far keep their new values
    WideString,     // a 16-bit-character string, which this system never writes; as Truncated
    TextTooLong,    // a unit text beyond MAX_DATA_FILE_TEXT; as Truncated
    ReadFailed,     // the system could not read on; as Truncated
};

// One line saying why a file was refused, for the tool.
const char* DataFileStatusText(DataFileStatus status);

// True where the program tells the user INVALID_FORMAT_TEXT; the other failures are
// abandoned without a message.
inline bool ShowsInvalidFormat(DataFileStatus status) {
    return status == DataFileStatus::InvalidFormat || status == DataFileStatus::BadCount;
}

// Appends one string with its 1, 3 or 7 byte length prefix.
void AppendDataFileString(std::string& out, std::string_view text);

// The whole data file of the live recording: m_nSampleIndex samples (kept within
// 0..MAX_SAMPLES), start time and interval from `live`, the display units, the live
// graph's Y gain and offset. Sets doc.m_strSignature first, as the program always did.
std::string EncodeDataFile(CQFDoc& doc, const RecordingState& live, const DisplayUnits& units,
                           int yGain, int yOffset);

// Reads a data file into the document's current record, m_file, and sets the view's flags.
// Never holds more samples than MAX_SAMPLES, whatever the count says.
DataFileStatus DecodeDataFile(std::span<const std::uint8_t> bytes, CQFDoc& doc,
                              FileViewState& view);
// Only a regular file is read: a FIFO or a device would block or never end.
DataFileStatus ReadDataFile(const std::string& path, CQFDoc& doc, FileViewState& view);

// Why ReadDataFile gave CannotOpen, looked up again: an errno value, NOT_REGULAR_FILE,
// or 0 when the file opens now. FileErrorText makes it a text.
int DataFileOpenError(const std::string& path);

}  // namespace qf

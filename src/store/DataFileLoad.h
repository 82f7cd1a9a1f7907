// Loading a data file for the windows: all or nothing. The file is read aside and taken
// into the document's file area only when it was read whole, so a truncated or unreadable
// file never leaves a half-read record behind.
#pragma once

#include <string>

#include "store/CQFDoc.h"
#include "store/DataFile.h"
#include "store/FileViewState.h"

namespace qf {

// Ok: the file area, doc.m_file, holds the file, m_bFileData and m_bFileDataNew set. A wrong
// signature or count clears both flags, as the reader does. Any other failure changes nothing.
DataFileStatus LoadDataFile(const std::string& path, CQFDoc& doc, FileViewState& view);

}  // namespace qf

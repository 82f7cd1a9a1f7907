// The view's flags about the data file last read into the document's file area.
#pragma once

#include <string>

namespace qf {

struct FileViewState {
    bool m_bFileData = false;     // the file area holds a file with the right signature
    bool m_bFileDataNew = false;  // the logger has not yet taken that file into its list
    std::string m_strFilePath;    // the file the file area was read from
};

}  // namespace qf

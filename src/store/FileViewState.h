// The view's flags about the data file last read into the document's file area, and the
// flags that tie the data-logger window to the main window.
#pragma once

namespace qf {

struct FileViewState {
    bool m_bFileData = false;     // the file area holds a file with the right signature
    bool m_bFileDataNew = false;  // the logger has not yet taken that file into its list
    int m_nLoggerOpen = 0;        // the logger window exists: Download may load
    bool m_bLoggerShown = false;  // the logger window has painted: Open is disabled
};

}  // namespace qf

#include "store/DataFileLoad.h"

#include <algorithm>
#include <memory>

namespace qf {

DataFileStatus LoadDataFile(const std::string& path, CQFDoc& doc, FileViewState& view) {
    auto aside = std::make_unique<CQFDoc>();
    FileViewState read = view;
    const DataFileStatus status = ReadDataFile(path, *aside, read);
    if (status == DataFileStatus::Ok) {
        doc.TakeFileArea(*aside);
        view = read;
    } else if (ShowsInvalidFormat(status)) {
        doc.m_strReadSignature = aside->m_strReadSignature;
        view.m_bFileData = false;
        view.m_bFileDataNew = false;
    }
    return status;
}

}  // namespace qf

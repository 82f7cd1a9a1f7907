#include "store/DataFileLoad.h"

#include <memory>
#include <utility>

namespace qf {

DataFileStatus LoadDataFile(const std::string& path, CQFDoc& doc, FileViewState& view) {
    auto aside = std::make_unique<CQFDoc>();
    FileViewState read = view;
    const DataFileStatus status = ReadDataFile(path, *aside, read);
    if (status == DataFileStatus::Ok) {
        doc.m_file = std::move(aside->m_file);
        doc.m_strReadSignature = aside->m_strReadSignature;
        view = read;
        view.m_strFilePath = path;
    } else if (ShowsInvalidFormat(status)) {
        doc.m_strReadSignature = aside->m_strReadSignature;
        view.m_bFileData = false;
        view.m_bFileDataNew = false;
    }
    return status;
}

}  // namespace qf

// The data file reader on arbitrary bytes: it must never write outside the file area and
// must leave a count the area can hold. A file it accepts is also exported to text.
#include <cstdint>
#include <cstdlib>
#include <memory>

#include "store/DataFile.h"
#include "store/TextExport.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const auto doc = std::make_unique<qf::CQFDoc>();
    qf::FileViewState view;
    const qf::DataFileStatus status = qf::DecodeDataFile({data, size}, *doc, view);
    if (doc->m_file.count < 0 || doc->m_file.count > qf::MAX_SAMPLES) {
        std::abort();
    }
    if (status == qf::DataFileStatus::Ok) {
        if (!view.m_bFileData || !view.m_bFileDataNew) {
            std::abort();
        }
        qf::BuildTextExport(qf::FileExportSource(doc->m_file));
    }
    return 0;
}

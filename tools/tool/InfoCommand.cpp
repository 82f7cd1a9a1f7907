// info FILE: the header fields of a data file as one JSON object.
#include <cstdio>
#include <memory>

#include "Json.h"
#include "ToolCommands.h"
#include "store/DataFile.h"

namespace qftool {

int LoadDataFileOrRefuse(const char* command, const std::string& path, qf::CQFDoc& doc,
                         qf::FileViewState& view) {
    const qf::DataFileStatus status = qf::ReadDataFile(path, doc, view);
    if (status == qf::DataFileStatus::CannotOpen) {
        const int error = qf::DataFileOpenError(path);
        if (error == qf::NOT_REGULAR_FILE) {
            std::fprintf(stderr, "%s: '%s' is not a regular file\n", command, path.c_str());
        } else {
            std::fprintf(stderr, "%s: cannot open '%s': %s\n", command, path.c_str(),
                         qf::FileErrorText(error).c_str());
        }
        return EXIT_REFUSED;
    }
    if (status != qf::DataFileStatus::Ok) {
        std::fprintf(stderr, "%s: '%s': %s\n", command, path.c_str(),
                     qf::DataFileStatusText(status));
        return EXIT_REFUSED;
    }
    return EXIT_OK;
}

int RunInfo(const Args& args) {
    if (args.size() != 1 || args[0].empty()) {
        std::fprintf(stderr, "info: usage: info FILE\n");
        return EXIT_USAGE;
    }
    auto doc = std::make_unique<qf::CQFDoc>();
    qf::FileViewState view;
    if (const int rc = LoadDataFileOrRefuse("info", args[0], *doc, view); rc != EXIT_OK) {
        return rc;
    }
    JsonObject o;
    o.Str("signature", doc->m_strReadSignature)
        .Int("count", doc->m_nFileCount)
        .Int("tempUnit", doc->m_nFileTempUnit)
        .Int("speedUnit", doc->m_nFileSpeedUnit)
        .Int("year", doc->m_nFileYear)
        .Int("month", doc->m_nFileMonth)
        .Int("day", doc->m_nFileDay)
        .Int("hour", doc->m_nFileHour)
        .Int("minute", doc->m_nFileMinute)
        .Int("second", doc->m_nFileSecond)
        .Int("interval", doc->m_nFileIntervalSec)
        .Num("speedFactor", doc->m_fFileSpeedFactor)
        .Str("tempUnitText", doc->m_strFileTempUnit)
        .Str("speedUnitText", doc->m_strFileSpeedUnit)
        .Int("yGain", view.m_nFileYGain)
        .Int("yOffset", view.m_nFileYOffset);
    std::printf("%s\n", o.Text().c_str());
    return EXIT_OK;
}

}  // namespace qftool

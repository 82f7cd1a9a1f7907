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
    const qf::StoredRecord& r = doc->m_file;
    JsonObject o;
    o.Str("signature", doc->m_strReadSignature)
        .Int("count", r.count)
        .Int("tempUnit", r.tempUnit)
        .Int("speedUnit", r.speedUnit)
        .Int("year", r.startFields.year)
        .Int("month", r.startFields.month)
        .Int("day", r.startFields.day)
        .Int("hour", r.startFields.hour)
        .Int("minute", r.startFields.minute)
        .Int("second", r.startFields.second)
        .Int("interval", r.intervalSec)
        .Num("speedFactor", r.speedFactor)
        .Str("tempUnitText", r.tempUnitText)
        .Str("speedUnitText", r.speedUnitText)
        .Int("yGain", r.yGain)
        .Int("yOffset", r.yOffset);
    std::printf("%s\n", o.Text().c_str());
    return EXIT_OK;
}

}  // namespace qftool

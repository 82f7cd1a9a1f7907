// samples FILE: one JSON array per sample, the five stored floats in channel order.
#include <cstdio>
#include <memory>

#include "Json.h"
#include "ToolCommands.h"
#include "store/DataFile.h"

namespace qftool {

int RunSamples(const Args& args) {
    if (args.size() != 1 || args[0].empty()) {
        std::fprintf(stderr, "samples: usage: samples FILE\n");
        return EXIT_USAGE;
    }
    auto doc = std::make_unique<qf::CQFDoc>();
    qf::FileViewState view;
    if (const int rc = LoadDataFileOrRefuse("samples", args[0], *doc, view); rc != EXIT_OK) {
        return rc;
    }
    std::string line;
    for (const qf::StoredSample& sample : doc->m_file.samples) {
        line.assign(1, '[');
        for (int c = 0; c < qf::NUM_CHANNELS; ++c) {
            if (c > 0) {
                line += ',';
            }
            line += JsonNumber(sample[c]);
        }
        line += "]\n";
        std::fwrite(line.data(), 1, line.size(), stdout);
    }
    return EXIT_OK;
}

}  // namespace qftool

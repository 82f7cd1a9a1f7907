// export FILE [OUT]: the text export of a data file, as Save wrote it beside the file.
#include <cstdio>
#include <memory>

#include "ToolCommands.h"
#include "store/AtomicFile.h"
#include "store/DataFile.h"
#include "store/TextExport.h"

namespace qftool {

int RunExport(const Args& args) {
    if (args.empty() || args.size() > 2 || args[0].empty() ||
        (args.size() == 2 && args[1].empty())) {
        std::fprintf(stderr, "export: usage: export FILE [OUT]\n");
        return EXIT_USAGE;
    }
    const std::string& path = args[0];
    auto doc = std::make_unique<qf::CQFDoc>();
    qf::FileViewState view;
    if (const int rc = LoadDataFileOrRefuse("export", path, *doc, view); rc != EXIT_OK) {
        return rc;
    }
    const std::string text = qf::BuildTextExport(qf::FileExportSource(*doc));
    const std::string out = args.size() == 2 ? args[1] : qf::TextExportPath(path);
    if (out == "-") {
        if (std::fwrite(text.data(), 1, text.size(), stdout) != text.size() ||
            std::fflush(stdout) != 0) {
            std::fprintf(stderr, "export: cannot write to standard output\n");
            return EXIT_REFUSED;
        }
        return EXIT_OK;
    }
    if (!qf::WriteFileAtomically(out, text)) {
        std::fprintf(stderr, "export: cannot write '%s'\n", out.c_str());
        return EXIT_REFUSED;
    }
    return EXIT_OK;
}

}  // namespace qftool

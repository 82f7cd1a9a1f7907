// export FILE [OUT] [--format txt|csv] [--from T] [--to T]: the text export of a data file,
// as Save wrote it beside the file, or the CSV of a span of it.
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

#include "SpanArgs.h"
#include "ToolCommands.h"
#include "analysis/SpanCsv.h"
#include "store/AtomicFile.h"
#include "store/DataFile.h"
#include "store/RegularFile.h"
#include "store/TextExport.h"

namespace qftool {

int RunExport(const Args& args) {
    SpanArgs a;
    if (!ParseSpanArgs("export", args, a)) {
        return EXIT_USAGE;
    }
    const bool csv = a.format == "csv";
    if (a.files.empty() || a.files.size() > 2 || a.files[0].empty() ||
        (a.files.size() == 2 && a.files[1].empty()) ||
        !(csv || a.format.empty() || a.format == "txt") || (a.spanGiven && !csv)) {
        std::fprintf(stderr,
                     "export: usage: export FILE [OUT] [--format txt|csv] [--from T] [--to T] "
                     "(a span with csv only)\n");
        return EXIT_USAGE;
    }
    const std::string& path = a.files[0];
    auto doc = std::make_unique<qf::CQFDoc>();
    qf::FileViewState view;
    if (const int rc = LoadDataFileOrRefuse("export", path, *doc, view); rc != EXIT_OK) {
        return rc;
    }
    std::string text;
    if (csv) {
        qf::SampleSpan span;
        if (!ChooseSpan("export", doc->m_file, a, span)) {
            return EXIT_USAGE;
        }
        text = qf::BuildSpanCsv(doc->m_file, span);
    } else {
        text = qf::BuildTextExport(qf::FileExportSource(doc->m_file));
    }
    const std::string out = a.files.size() == 2 ? a.files[1]
                            : csv               ? qf::DataFileSibling(path, ".csv")
                                                : qf::TextExportPath(path);
    if (out == "-") {
        if (std::fwrite(text.data(), 1, text.size(), stdout) != text.size() ||
            std::fflush(stdout) != 0) {
            std::fprintf(stderr, "export: cannot write to standard output: %s\n",
                         std::strerror(errno));
            return EXIT_REFUSED;
        }
        return EXIT_OK;
    }
    // Whatever the spelling (a link, another name, a hard link), the export never takes
    // the place of the data file it came from.
    struct stat in {
    }, to{};
    if (::stat(path.c_str(), &in) == 0 && ::stat(out.c_str(), &to) == 0 && in.st_dev == to.st_dev &&
        in.st_ino == to.st_ino) {
        std::fprintf(stderr, "export: '%s' is the data file itself\n", out.c_str());
        return EXIT_REFUSED;
    }
    int error = 0;
    if (!qf::WriteFileAtomically(out, text, &error)) {
        if (error == qf::NOT_REGULAR_FILE) {
            std::fprintf(stderr, "export: '%s' is not a regular file\n", out.c_str());
        } else {
            std::fprintf(stderr, "export: cannot write '%s': %s\n", out.c_str(),
                         qf::FileErrorText(error).c_str());
        }
        return EXIT_REFUSED;
    }
    return EXIT_OK;
}

}  // namespace qftool

// qf7720-tool: command-line access to the program's own decoding and file code.
#include <cerrno>
#include <clocale>
#include <cstdio>
#include <cstring>
#include <new>

#include "ToolCommands.h"
#include "store/Version.h"

namespace {

struct Command {
    const char* name;
    const char* usage;
    int (*run)(const qftool::Args&);
};

constexpr Command COMMANDS[] = {
    {"decode", "decode [--limits HI1,HI2,HI3,LOW1,LOW2,LOW3] [FILE]", qftool::RunDecode},
    {"info", "info FILE", qftool::RunInfo},
    {"export",
     "export FILE [OUT] [--format txt|csv] [--from T] [--to T]\n"
     "      FILE's text export as Save writes it, to FILE's .txt or OUT ('-' standard output);\n"
     "      with --format csv the CSV of the samples in --from..--to (default OUT: FILE's .csv)",
     qftool::RunExport},
    {"samples", "samples FILE", qftool::RunSamples},
    {"stats",
     "stats FILE [--from T] [--to T] [--format text|json]\n"
     "      count, min, max and mean per channel over the span; T is seconds from the start,\n"
     "      M:SS or H:MM:SS",
     qftool::RunStats},
#ifdef QF_TOOL_REPORT
    {"report",
     "report FILE [-o OUT.pdf] [--layout classic|summary] [--traces LIST] [--page a4|letter]\n"
     "       [--y-gain G] [--y-offset O] | [--title TEXT] [--notes TEXT] [--from T] [--to T]\n"
     "      the test report (classic) or a summary page with statistics as a one-page PDF\n"
     "      (default OUT: FILE's .pdf); LIST: airt,irt,airv,flow; SOURCE_DATE_EPOCH: printing date",
     qftool::RunReport},
#endif
#ifdef QF_TOOL_LIVE
    {"monitor", "monitor --port DEV [--format jsonl|csv] [--count N]", qftool::RunMonitor},
    {"record",
     "record --port DEV -o FILE.AsmDat [--interval S] [--count N] [--force]\n"
     "      an existing FILE.AsmDat or its .txt is replaced only with --force",
     qftool::RunRecord},
#endif
};

void PrintHelp(std::FILE* out) {
    std::fprintf(out, "usage: qf7720-tool COMMAND [ARGS]\ncommands:\n");
    for (const auto& c : COMMANDS) {
        std::fprintf(out, "  %s\n", c.usage);
    }
#ifdef QF_TOOL_LIVE
    std::fprintf(out,
                 "\nDEV is a device path, or COMn opened as the program opens it (PortMap).\n");
#endif
}

int Run(int argc, char** argv) {
    if (argc < 2) {
        PrintHelp(stderr);
        return qftool::EXIT_USAGE;
    }
    if (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
        PrintHelp(stdout);
        return qftool::EXIT_OK;
    }
    if (std::strcmp(argv[1], "--version") == 0) {
        std::printf("qf7720-tool %s\n", qf::QF_VERSION);
        return qftool::EXIT_OK;
    }
    for (const auto& c : COMMANDS) {
        if (std::strcmp(argv[1], c.name) == 0) {
            return c.run(qftool::Args(argv + 2, argv + argc));
        }
    }
    std::fprintf(stderr, "qf7720-tool: unknown command '%s'\n", argv[1]);
    PrintHelp(stderr);
    return qftool::EXIT_USAGE;
}

}  // namespace

int main(int argc, char** argv) {
    std::setlocale(LC_ALL, "C");
    int rc;
    try {
        rc = Run(argc, argv);
    } catch (const std::bad_alloc&) {
        std::fprintf(stderr, "qf7720-tool: out of memory\n");
        return qftool::EXIT_REFUSED;
    }
    // Output lost to a full disk is a failure, whatever the command made of it.
    const bool flushed = std::fflush(stdout) == 0;
    const int error = errno;
    if (rc == qftool::EXIT_OK && (!flushed || std::ferror(stdout))) {
        std::fprintf(stderr, "qf7720-tool: cannot write standard output%s%s\n", flushed ? "" : ": ",
                     flushed ? "" : std::strerror(error));
        return qftool::EXIT_REFUSED;
    }
    return rc;
}

// qf7720-tool: command-line access to the program's own decoding and file code.
#include <clocale>
#include <cstdio>
#include <cstring>

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
    {"export", "export FILE [OUT]", qftool::RunExport},
    {"samples", "samples FILE", qftool::RunSamples},
#ifdef QF_TOOL_LIVE
    {"monitor", "monitor --port DEV [--format jsonl|csv] [--count N]", qftool::RunMonitor},
    {"record", "record --port DEV -o FILE.AsmDat [--interval S] [--count N]", qftool::RunRecord},
#endif
};

void PrintHelp(std::FILE* out) {
    std::fprintf(out, "usage: qf7720-tool COMMAND [ARGS]\ncommands:\n");
    for (const auto& c : COMMANDS) {
        std::fprintf(out, "  %s\n", c.usage);
    }
#ifdef QF_TOOL_LIVE
    std::fprintf(out, "DEV is a device path, or COMn opened as the program opens it (PortMap).\n");
#endif
}

}  // namespace

int main(int argc, char** argv) {
    std::setlocale(LC_ALL, "C");
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

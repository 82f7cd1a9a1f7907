// Subcommands of qf7720-tool. Each returns the exit status: 0 success, 1 usage error,
// 2 input refused (one line on standard error).
#pragma once

#include <string>
#include <vector>

namespace qf {
class CQFDoc;
struct FileViewState;
}  // namespace qf

namespace qftool {

using Args = std::vector<std::string>;

inline constexpr int EXIT_OK = 0;
inline constexpr int EXIT_USAGE = 1;
inline constexpr int EXIT_REFUSED = 2;

int RunDecode(const Args& args);
int RunInfo(const Args& args);
int RunExport(const Args& args);
int RunSamples(const Args& args);
int RunStats(const Args& args);
int RunReport(const Args& args);  // built with the Qt side only (QF_GUI)
int RunMonitor(const Args& args);
int RunRecord(const Args& args);

// Reads a data file for the file commands; on failure prints the reason and returns
// EXIT_REFUSED.
int LoadDataFileOrRefuse(const char* command, const std::string& path, qf::CQFDoc& doc,
                         qf::FileViewState& view);

}  // namespace qftool

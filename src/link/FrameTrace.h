// A trace of frames along the live path, for measuring latency and losses across
// processes: the simulator, the program and the tool each append lines
// "<event> <monotonic ns> <fingerprint>" to the file named by QF_FRAME_TRACE, and a
// script matches them by fingerprint. Nothing is traced unless the variable is set.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <mutex>
#include <string_view>

namespace qf {

inline constexpr char FRAME_TRACE_VARIABLE[] = "QF_FRAME_TRACE";

// FNV-1a over the bytes: the same frame gives the same number in every process.
std::uint64_t FrameFingerprint(const std::uint8_t* data, std::size_t size);

class CFrameTrace {
public:
    // Null unless QF_FRAME_TRACE names a file that can be appended to.
    static std::unique_ptr<CFrameTrace> FromEnvironment();
    explicit CFrameTrace(std::FILE* file) : m_file(file) {}
    ~CFrameTrace();
    CFrameTrace(const CFrameTrace&) = delete;
    CFrameTrace& operator=(const CFrameTrace&) = delete;

    // Nanoseconds of the monotonic clock, which every process on the machine shares.
    static std::int64_t Now();

    void Frame(std::string_view event, std::uint64_t fingerprint, std::int64_t ns);
    // Any other event, e.g. a fault of the simulator; `text` on one line.
    void Note(std::string_view event, std::string_view text, std::int64_t ns);

private:
    std::mutex m_mutex;
    std::FILE* m_file;
};

}  // namespace qf

#include "link/FrameTrace.h"

#include <chrono>
#include <cinttypes>
#include <cstdlib>
#include <string>

namespace qf {

std::uint64_t FrameFingerprint(const std::uint8_t* data, std::size_t size) {
    std::uint64_t h = 0xcbf29ce484222325ull;
    for (std::size_t i = 0; i < size; ++i) {
        h = (h ^ data[i]) * 0x100000001b3ull;
    }
    return h;
}

std::unique_ptr<CFrameTrace> CFrameTrace::FromEnvironment() {
    const char* path = std::getenv(FRAME_TRACE_VARIABLE);
    if (path == nullptr || *path == '\0') {
        return nullptr;
    }
    std::FILE* file = std::fopen(path, "a");
    if (file == nullptr) {
        return nullptr;
    }
    return std::make_unique<CFrameTrace>(file);
}

CFrameTrace::~CFrameTrace() {
    std::fclose(m_file);
}

std::int64_t CFrameTrace::Now() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

void CFrameTrace::Frame(std::string_view event, std::uint64_t fingerprint, std::int64_t ns) {
    std::lock_guard lock(m_mutex);
    std::fprintf(m_file, "%.*s %" PRId64 " %016" PRIx64 "\n", int(event.size()), event.data(), ns,
                 fingerprint);
    // Each line at once: the processes are usually ended by a signal.
    std::fflush(m_file);
}

void CFrameTrace::Note(std::string_view event, std::string_view text, std::int64_t ns) {
    std::string line(text);
    for (char& c : line) {
        if (c == '\n' || c == '\r') {
            c = ' ';
        }
    }
    std::lock_guard lock(m_mutex);
    std::fprintf(m_file, "%.*s %" PRId64 " %s\n", int(event.size()), event.data(), ns,
                 line.c_str());
    std::fflush(m_file);
}

}  // namespace qf

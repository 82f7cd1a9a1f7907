// A file replaced only when its new content is complete: the bytes go to a temporary
// file in the same folder, which is renamed over the target on Commit. Until then, and
// if anything fails, the target keeps its old content (or stays absent).
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace qf {

class AtomicFile {
public:
    explicit AtomicFile(std::string target);
    ~AtomicFile();  // removes an uncommitted temporary file
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    // Creates the temporary file. Fails when the folder is missing or not writable, or
    // when an existing target may not be written: a read-only file stays as it is, and
    // only a regular file is replaced. A link is followed, so a link to a regular file
    // stays a link and the file it points to is replaced.
    bool Open();
    bool Write(std::string_view bytes);
    // Flushes and closes the temporary file; the target is not touched yet.
    bool Finish();
    // Renames the finished temporary file over the target.
    bool Commit();
    void Discard();

    const std::string& target() const { return m_target; }
    // Why the last step failed: an errno value, NOT_REGULAR_FILE, or 0 when unknown.
    int Error() const { return m_nError; }

private:
    bool Fail(int error);

    std::string m_target;
    std::string m_temp;
    std::FILE* m_file = nullptr;
    bool m_bFailed = false;
    int m_nError = 0;
};

// Writes a whole file through AtomicFile; `error`, when given, receives Error().
bool WriteFileAtomically(const std::string& path, std::string_view bytes, int* error = nullptr);

}  // namespace qf

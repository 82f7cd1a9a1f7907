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
    // when an existing target may not be written: a read-only file stays as it is.
    bool Open();
    bool Write(std::string_view bytes);
    // Flushes and closes the temporary file; the target is not touched yet.
    bool Finish();
    // Renames the finished temporary file over the target.
    bool Commit();
    void Discard();

    const std::string& target() const { return m_target; }

private:
    std::string m_target;
    std::string m_temp;
    std::FILE* m_file = nullptr;
    bool m_bFailed = false;
};

// Writes a whole file through AtomicFile.
bool WriteFileAtomically(const std::string& path, std::string_view bytes);

}  // namespace qf

// A file replaced only when its new content is complete: the bytes go to a temporary
// file in the same folder, which is renamed over the target on Commit. Until then, and
// if anything fails, the target keeps its old content (or stays absent).
#pragma once

#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace qf {

// A folder opened once. Files are created and renamed in it through its descriptor, so a
// link planted or re-pointed on the way to it later is never followed.
class COpenFolder {
public:
    COpenFolder(int fd, std::string path) : m_fd(fd), m_path(std::move(path)) {}
    ~COpenFolder();
    COpenFolder(const COpenFolder&) = delete;
    COpenFolder& operator=(const COpenFolder&) = delete;

    int Fd() const { return m_fd; }
    const std::string& Path() const { return m_path; }

private:
    int m_fd;
    std::string m_path;
};

// A file to be written, its folder already open.
struct OutputFile {
    std::shared_ptr<const COpenFolder> folder;
    std::string name;
    std::string path;  // for messages: the folder's path and the name

    // Another file in the same folder.
    OutputFile Sibling(const std::string& otherName) const;
};

// Resolves `path` now, once: a link there is followed (a link to a regular file stays a
// link and the file it points to is what gets replaced), and the folder of the result is
// opened. Nullopt with an errno value in `error` when the folder cannot be opened.
std::optional<OutputFile> ResolveOutput(const std::string& path, int& error);

class AtomicFile {
public:
    explicit AtomicFile(std::string target);
    explicit AtomicFile(OutputFile target);
    ~AtomicFile();  // removes an uncommitted temporary file
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    // Creates the temporary file. Fails when the folder is missing or not writable, or
    // when an existing target may not be written: a read-only file stays as it is, and
    // only a regular file (or a link, which is replaced itself) is replaced. Temporaries
    // of this target left by a writer that died are removed first.
    bool Open();
    bool Write(std::string_view bytes);
    // Flushes and closes the temporary file; the target is not touched yet.
    bool Finish();
    // Renames the finished temporary file over the target.
    bool Commit();
    void Discard();

    // The target's path, once Open has resolved it.
    const std::string& target() const { return m_target; }
    // Why the last step failed: an errno value, NOT_REGULAR_FILE, or 0 when unknown.
    int Error() const { return m_nError; }

private:
    bool Fail(int error);

    std::string m_target;
    std::optional<OutputFile> m_out;
    std::string m_temp;
    std::FILE* m_file = nullptr;
    bool m_bFailed = false;
    int m_nError = 0;
};

// Writes a whole file through AtomicFile; `error`, when given, receives Error().
bool WriteFileAtomically(const std::string& path, std::string_view bytes, int* error = nullptr);

// Removes the temporaries AtomicFile left for `name` in `folder` when their writer, named
// in the temporary's name, is no longer running; only regular files of our own user.
void RemoveStaleTemporaries(int folder, const std::string& name);

}  // namespace qf

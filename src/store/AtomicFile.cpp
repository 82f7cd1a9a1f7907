#include "store/AtomicFile.h"

#include <sys/stat.h>

#include <cerrno>
#include <filesystem>
#include <random>
#include <system_error>

#include "store/RegularFile.h"

#if __has_include(<unistd.h>)
#include <unistd.h>
#define QF_HAVE_FSYNC 1
#endif

namespace qf {

namespace fs = std::filesystem;

AtomicFile::AtomicFile(std::string target) : m_target(std::move(target)) {}

AtomicFile::~AtomicFile() {
    Discard();
}

bool AtomicFile::Open() {
    Discard();
    m_bFailed = false;
    m_nError = 0;
    std::error_code ec;
    fs::path target(m_target);
    // Replace what a link points to, not the link.
    if (fs::is_symlink(target, ec)) {
        const fs::path real = fs::canonical(target, ec);
        if (!ec) {
            target = real;
        }
    }
    struct stat info {};
    const bool exists = ::stat(target.c_str(), &info) == 0;
    if (!exists && errno != ENOENT) {
        return Fail(errno);
    }
    if (exists) {
        // A rename would turn a device, a FIFO or a link into /proc into a plain file.
        if (!S_ISREG(info.st_mode)) {
            return Fail(NOT_REGULAR_FILE);
        }
        // Probe without truncating: a file we may not write is not replaced either.
        std::FILE* probe = std::fopen(target.string().c_str(), "r+b");
        if (!probe) {
            return Fail(errno);
        }
        std::fclose(probe);
    }

    std::random_device rd;
    std::mt19937 gen(rd());
    for (int attempt = 0; attempt < 16 && !m_file; ++attempt) {
        // Short enough for any file system's name limit, whatever the target's length.
        std::string name(1, '.');
        name += target.filename().string().substr(0, 120);
        name += '.';
        name += std::to_string(gen());
        name += ".tmp";
        const fs::path temp = target.parent_path() / name;
        errno = 0;
        m_file = std::fopen(temp.string().c_str(), "wbx");
        if (m_file) {
            m_temp = temp.string();
        } else if (errno != EEXIST) {
            break;
        }
    }
    if (!m_file) {
        return Fail(errno);
    }
    if (exists) {
        fs::permissions(m_temp, fs::status(target, ec).permissions(), ec);
    }
    m_target = target.string();
    return true;
}

bool AtomicFile::Write(std::string_view bytes) {
    if (!m_file || m_bFailed) {
        return false;
    }
    if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), m_file) != bytes.size()) {
        m_bFailed = true;
        m_nError = errno;
    }
    return !m_bFailed;
}

bool AtomicFile::Finish() {
    if (!m_file) {
        return false;
    }
    bool ok = !m_bFailed && std::fflush(m_file) == 0 && !std::ferror(m_file);
#ifdef QF_HAVE_FSYNC
    // The rename must not publish a file whose blocks are not yet on disk.
    ok = ok && fsync(fileno(m_file)) == 0;
#endif
    if (!ok && m_nError == 0) {
        m_nError = errno;
    }
    if (std::fclose(m_file) != 0 && ok) {
        ok = false;
        m_nError = errno;
    }
    m_file = nullptr;
    m_bFailed = !ok;
    return ok;
}

bool AtomicFile::Commit() {
    if (m_file || m_bFailed || m_temp.empty()) {
        return false;
    }
    std::error_code ec;
    fs::rename(m_temp, m_target, ec);
    if (ec) {
        m_nError = ec.value();
        return false;
    }
    m_temp.clear();
    return true;
}

bool AtomicFile::Fail(int error) {
    m_nError = error;
    return false;
}

void AtomicFile::Discard() {
    if (m_file) {
        std::fclose(m_file);
        m_file = nullptr;
    }
    if (!m_temp.empty()) {
        std::error_code ec;
        fs::remove(m_temp, ec);
        m_temp.clear();
    }
}

bool WriteFileAtomically(const std::string& path, std::string_view bytes, int* error) {
    AtomicFile file(path);
    const bool ok = file.Open() && file.Write(bytes) && file.Finish() && file.Commit();
    if (error) {
        *error = ok ? 0 : file.Error();
    }
    return ok;
}

}  // namespace qf

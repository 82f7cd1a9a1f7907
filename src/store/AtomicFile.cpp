#include "store/AtomicFile.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <filesystem>
#include <random>
#include <system_error>

#include "store/RegularFile.h"

namespace qf {

namespace fs = std::filesystem;

namespace {

// Short enough for any file system's name limit, whatever the target's length.
std::string TempPrefix(const std::string& name) {
    return "." + name.substr(0, 120) + ".";
}

bool AllDigits(std::string_view s) {
    return !s.empty() && s.find_first_not_of("0123456789") == std::string_view::npos;
}

}  // namespace

COpenFolder::~COpenFolder() {
    if (m_fd >= 0) {
        ::close(m_fd);
    }
}

OutputFile OutputFile::Sibling(const std::string& otherName) const {
    return {folder, otherName, (fs::path(path).parent_path() / otherName).string()};
}

std::optional<OutputFile> ResolveOutput(const std::string& path, int& error) {
    std::error_code ec;
    fs::path target(path);
    // Replace what a link points to, not the link; a dangling link is replaced itself.
    // A link planted by another user in a shared sticky folder (/tmp) is not followed,
    // as the kernel's protected-symlinks rule would not follow it either.
    struct stat link {};
    struct stat folder {};
    if (::lstat(target.c_str(), &link) == 0 && S_ISLNK(link.st_mode) &&
        ::stat(target.parent_path().empty() ? "." : target.parent_path().c_str(), &folder) == 0 &&
        (folder.st_mode & S_ISVTX) != 0 && (folder.st_mode & S_IWOTH) != 0 &&
        link.st_uid != ::geteuid() && link.st_uid != folder.st_uid) {
        error = EACCES;
        return std::nullopt;
    }
    if (fs::is_symlink(target, ec)) {
        const fs::path real = fs::canonical(target, ec);
        if (!ec) {
            target = real;
        }
    }
    const fs::path parent = target.parent_path();
    const int fd =
        ::open(parent.empty() ? "." : parent.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        error = errno;
        return std::nullopt;
    }
    error = 0;
    return OutputFile{std::make_shared<COpenFolder>(fd, parent.string()),
                      target.filename().string(), target.string()};
}

void RemoveStaleTemporaries(int folder, const std::string& name) {
    const int fd = ::dup(folder);
    DIR* dir = fd >= 0 ? ::fdopendir(fd) : nullptr;
    if (dir == nullptr) {
        if (fd >= 0) {
            ::close(fd);
        }
        return;
    }
    ::rewinddir(dir);
    const std::string prefix = TempPrefix(name);
    while (const dirent* e = ::readdir(dir)) {
        const std::string_view entry(e->d_name);
        if (entry.size() <= prefix.size() + 4 || entry.substr(0, prefix.size()) != prefix ||
            entry.substr(entry.size() - 4) != ".tmp") {
            continue;
        }
        // "<pid>-<random>": anything else is not ours.
        const std::string_view middle =
            entry.substr(prefix.size(), entry.size() - prefix.size() - 4);
        const std::size_t dash = middle.find('-');
        if (dash == std::string_view::npos || !AllDigits(middle.substr(0, dash)) ||
            !AllDigits(middle.substr(dash + 1)) || dash > 9) {
            continue;
        }
        const pid_t writer = pid_t(std::stol(std::string(middle.substr(0, dash))));
        if (writer <= 0 || writer == ::getpid() || ::kill(writer, 0) == 0 || errno != ESRCH) {
            continue;
        }
        struct stat info {};
        if (::fstatat(folder, e->d_name, &info, AT_SYMLINK_NOFOLLOW) == 0 &&
            S_ISREG(info.st_mode) && info.st_uid == ::geteuid()) {
            ::unlinkat(folder, e->d_name, 0);
        }
    }
    ::closedir(dir);
}

AtomicFile::AtomicFile(std::string target) : m_target(std::move(target)) {}

AtomicFile::AtomicFile(OutputFile target) : m_target(target.path), m_out(std::move(target)) {}

AtomicFile::~AtomicFile() {
    Discard();
}

bool AtomicFile::Open() {
    Discard();
    m_bFailed = false;
    m_nError = 0;
    if (!m_out) {
        int error = 0;
        m_out = ResolveOutput(m_target, error);
        if (!m_out) {
            return Fail(error);
        }
    }
    m_target = m_out->path;
    const int folder = m_out->folder->Fd();
    const char* name = m_out->name.c_str();
    struct stat info {};
    bool exists = ::fstatat(folder, name, &info, AT_SYMLINK_NOFOLLOW) == 0;
    if (!exists && errno != ENOENT) {
        return Fail(errno);
    }
    // A link that took the resolved file's place is replaced itself, never followed.
    exists = exists && !S_ISLNK(info.st_mode);
    if (exists) {
        // A rename would turn a device, a FIFO or a folder into a plain file.
        if (!S_ISREG(info.st_mode)) {
            return Fail(NOT_REGULAR_FILE);
        }
        // Probe without truncating: a file we may not write is not replaced either.
        const int probe =
            ::openat(folder, name, O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
        if (probe < 0) {
            return Fail(errno);
        }
        ::close(probe);
    }
    RemoveStaleTemporaries(folder, m_out->name);

    std::random_device rd;
    std::mt19937 gen(rd());
    int fd = -1;
    for (int attempt = 0; attempt < 16 && fd < 0; ++attempt) {
        // The writer's pid in the name tells a later save whether the temporary is stale.
        const std::string temp = TempPrefix(m_out->name) + std::to_string(::getpid()) + "-" +
                                 std::to_string(gen()) + ".tmp";
        fd = ::openat(folder, temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                      0666);
        if (fd >= 0) {
            m_temp = temp;
        } else if (errno != EEXIST) {
            break;
        }
    }
    if (fd < 0) {
        return Fail(errno);
    }
    if (exists) {
        ::fchmod(fd, info.st_mode & 07777);
    }
    m_file = ::fdopen(fd, "wb");
    if (!m_file) {
        const int error = errno;
        ::close(fd);
        Discard();
        return Fail(error);
    }
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
    // The rename must not publish a file whose blocks are not yet on disk.
    ok = ok && ::fsync(::fileno(m_file)) == 0;
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
    if (m_file || m_bFailed || m_temp.empty() || !m_out) {
        return false;
    }
    const int folder = m_out->folder->Fd();
    if (::renameat(folder, m_temp.c_str(), folder, m_out->name.c_str()) != 0) {
        m_nError = errno;
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
    if (!m_temp.empty() && m_out) {
        ::unlinkat(m_out->folder->Fd(), m_temp.c_str(), 0);
    }
    m_temp.clear();
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

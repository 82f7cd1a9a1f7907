#include "store/KeptRecording.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "store/AtomicFile.h"
#include "store/RegularFile.h"
#include "store/SaveRecording.h"
#include "store/TextExport.h"

namespace qf {

namespace fs = std::filesystem;

namespace {

constexpr char APP_FOLDER[] = "qf7720";
constexpr char NOTE_NAME[] = "kept-recording";
constexpr char SHARED_NOTE_NAME[] = ".qf7720-kept-recording";
// A note names a few paths; anything longer is not one of ours.
constexpr std::size_t NOTE_CAP = 64 * 1024;

bool Taken(const std::string& dataPath) {
    std::error_code ec;
    return fs::exists(fs::symlink_status(dataPath, ec)) ||
           fs::exists(fs::symlink_status(TextExportPath(dataPath), ec));
}

std::string NotePath(const KeptPlace& place) {
    return (fs::path(place.folder) / (place.shared ? SHARED_NOTE_NAME : NOTE_NAME)).string();
}

// The note's lines, read as data files are read: a regular file only, never blocking,
// and no more than a note can hold.
std::vector<std::string> NoteLines(const KeptPlace& place) {
    struct stat info {};
    int error = 0;
    const int fd = OpenRegularFile(NotePath(place), info, error);
    if (fd < 0) {
        return {};
    }
    std::string text(std::min<std::size_t>(std::size_t(info.st_size), NOTE_CAP), '\0');
    std::size_t got = 0;
    while (got < text.size()) {
        const ssize_t n = ::read(fd, text.data() + got, text.size() - got);
        if (n <= 0) {
            break;
        }
        got += std::size_t(n);
    }
    ::close(fd);
    text.resize(got);
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) {
            end = text.size();
        }
        if (end > start) {
            lines.push_back(text.substr(start, end - start));
        }
        start = end + 1;
    }
    return lines;
}

bool WriteNote(const KeptPlace& place, const std::vector<std::string>& lines) {
    if (lines.empty()) {
        return ::unlink(NotePath(place).c_str()) == 0 || errno == ENOENT;
    }
    std::string text;
    for (const std::string& line : lines) {
        text += line + "\n";
    }
    return WriteFileAtomically(NotePath(place), text);
}

}  // namespace

std::string KeptRecordingFolder() {
    const char* xdg = std::getenv("XDG_STATE_HOME");
    if (xdg != nullptr && xdg[0] == '/') {
        return (fs::path(xdg) / APP_FOLDER).string();
    }
    const char* home = std::getenv("HOME");
    if (home == nullptr || *home == '\0') {
        const passwd* pw = ::getpwuid(::getuid());
        home = pw != nullptr && pw->pw_dir != nullptr && *pw->pw_dir ? pw->pw_dir : ".";
    }
    return (fs::path(home) / ".local" / "state" / APP_FOLDER).string();
}

std::string PrivateKeptFolder() {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime != nullptr && runtime[0] == '/') {
        return (fs::path(runtime) / APP_FOLDER).string();
    }
    const char* tmp = std::getenv("TMPDIR");
    const fs::path base = tmp != nullptr && tmp[0] == '/' ? tmp : "/tmp";
    return (base / (std::string(APP_FOLDER) + "-" + std::to_string(::geteuid()))).string();
}

std::vector<KeptPlace> KeptPlaces(const std::string& documents) {
    std::vector<KeptPlace> places{{KeptRecordingFolder(), false}};
    if (!documents.empty()) {
        places.push_back({documents, true});
    }
    places.push_back({PrivateKeptFolder(), false});
    return places;
}

bool CreateKeptFolder(const std::string& folder, int* error) {
    int ignored = 0;
    int& err = error != nullptr ? *error : ignored;
    std::error_code ec;
    // Private, as the base directory rules ask of the folders they create.
    const fs::path parent = fs::path(folder).parent_path();
    if (!parent.empty() && !fs::is_directory(parent, ec)) {
        fs::create_directories(parent, ec);
        fs::permissions(parent, fs::perms::owner_all, ec);
    }
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
        err = errno;
        return false;
    }
    // In a shared temporary folder another user may have planted a link or a folder.
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) {
        err = errno == ELOOP ? ENOTDIR : errno;
        return false;
    }
    struct stat info {};
    bool ok = ::fstat(fd, &info) == 0 && info.st_uid == ::geteuid();
    if (ok && (info.st_mode & 077) != 0) {
        ok = ::fchmod(fd, 0700) == 0;
    }
    err = ok ? 0 : EACCES;
    ::close(fd);
    return ok;
}

std::string FreeKeptPath(const std::string& folder, const std::string& proposedName) {
    const fs::path base = fs::path(folder) / proposedName;
    std::string path = DataFilePath(base.string());
    for (int n = 2; Taken(path) && n < 1000; ++n) {
        path = DataFilePath(base.string() + " (" + std::to_string(n) + ")");
    }
    return path;
}

KeptOutcome KeepRecording(const std::vector<KeptPlace>& places, const std::string& proposedName,
                          const std::function<int(const std::string& dataPath)>& save) {
    KeptOutcome out;
    for (const KeptPlace& place : places) {
        int error = 0;
        std::error_code ec;
        const bool usable = place.shared ? fs::is_directory(place.folder, ec)
                                         : CreateKeptFolder(place.folder, &error);
        if (usable) {
            const std::string path = FreeKeptPath(place.folder, proposedName);
            error = save(path);
            if (error == 0) {
                AddKeptNote(place, path);
                out.path = path;
                return out;
            }
        } else if (place.shared) {
            error = ec ? ec.value() : ENOTDIR;
        }
        if (out.failedIn.empty()) {
            out.failedIn = place.folder;
            out.error = error;
        }
    }
    return out;
}

bool AddKeptNote(const KeptPlace& place, const std::string& dataPath) {
    std::vector<std::string> lines = NoteLines(place);
    if (std::find(lines.begin(), lines.end(), dataPath) == lines.end()) {
        lines.push_back(dataPath);
    }
    return WriteNote(place, lines);
}

std::vector<std::string> ReadKeptNotes(const std::vector<KeptPlace>& places) {
    std::vector<std::string> kept;
    for (const KeptPlace& place : places) {
        for (const std::string& path : NoteLines(place)) {
            if (RegularFileError(path) == 0 &&
                std::find(kept.begin(), kept.end(), path) == kept.end()) {
                kept.push_back(path);
            }
        }
    }
    return kept;
}

void ForgetKept(const std::vector<KeptPlace>& places, const std::string& dataPath) {
    for (const KeptPlace& place : places) {
        std::vector<std::string> lines = NoteLines(place);
        const auto end = std::remove(lines.begin(), lines.end(), dataPath);
        if (end != lines.end()) {
            lines.erase(end, lines.end());
            WriteNote(place, lines);
        }
    }
}

}  // namespace qf

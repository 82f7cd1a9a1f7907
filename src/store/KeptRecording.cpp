#include "store/KeptRecording.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "store/AtomicFile.h"
#include "store/SaveRecording.h"
#include "store/TextExport.h"

namespace qf {

namespace fs = std::filesystem;

namespace {

constexpr char APP_FOLDER[] = "qf7720";
constexpr char NOTE_NAME[] = "kept-recording";

bool Taken(const std::string& dataPath) {
    std::error_code ec;
    return fs::exists(dataPath, ec) || fs::exists(TextExportPath(dataPath), ec);
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

bool CreateKeptFolder(const std::string& folder) {
    std::error_code ec;
    if (fs::is_directory(folder, ec)) {
        return true;
    }
    // Private, as the base directory rules ask of the folders they create.
    const fs::path parent = fs::path(folder).parent_path();
    if (!parent.empty() && !fs::is_directory(parent, ec)) {
        fs::create_directories(parent, ec);
        fs::permissions(parent, fs::perms::owner_all, ec);
    }
    if (!fs::create_directory(folder, ec) && !fs::is_directory(folder, ec)) {
        return false;
    }
    fs::permissions(folder, fs::perms::owner_all, ec);
    return true;
}

std::string FreeKeptPath(const std::string& folder, const std::string& proposedName) {
    const fs::path base = fs::path(folder) / proposedName;
    std::string path = DataFilePath(base.string());
    for (int n = 2; Taken(path) && n < 1000; ++n) {
        path = DataFilePath(base.string() + " (" + std::to_string(n) + ")");
    }
    return path;
}

bool WriteKeptNote(const std::string& folder, const std::string& dataPath) {
    return WriteFileAtomically((fs::path(folder) / NOTE_NAME).string(), dataPath + "\n");
}

std::optional<std::string> TakeKeptNote(const std::string& folder) {
    const fs::path note = fs::path(folder) / NOTE_NAME;
    std::ifstream in(note);
    if (!in) {
        return std::nullopt;
    }
    std::string path;
    std::getline(in, path);
    in.close();
    std::error_code ec;
    fs::remove(note, ec);
    if (path.empty()) {
        return std::nullopt;
    }
    return path;
}

}  // namespace qf

#include "link/PortCheck.h"

#include <dirent.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <signal.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace qf {

namespace {

std::string ProcessName(long pid) {
    std::ifstream comm("/proc/" + std::to_string(pid) + "/comm");
    std::string name;
    std::getline(comm, name);
    return (name.empty() ? std::string("a program") : name) + " (pid " + std::to_string(pid) + ")";
}

bool Alive(long pid) {
    return pid > 0 && (::kill(pid_t(pid), 0) == 0 || errno == EPERM);
}

}  // namespace

std::string NotSerialDeviceReason(const std::string& device) {
    struct stat info {};
    if (device.empty() || ::stat(device.c_str(), &info) != 0 || S_ISCHR(info.st_mode)) {
        return {};
    }
    if (S_ISREG(info.st_mode)) {
        return "a regular file";
    }
    if (S_ISDIR(info.st_mode)) {
        return "a folder";
    }
    if (S_ISFIFO(info.st_mode)) {
        return "a FIFO";
    }
    if (S_ISSOCK(info.st_mode)) {
        return "a socket";
    }
    return "a block device";
}

std::string PortHolder(const std::string& device) {
    // The lock files serial programs (and Qt) leave: "LCK..ttyUSB0", the pid first.
    const std::string base = std::filesystem::path(device).filename().string();
    for (const char* folder : {"/var/lock", "/run/lock", "/tmp"}) {
        std::ifstream lock(std::string(folder) + "/LCK.." + base);
        long pid = 0;
        if (lock >> pid && pid != ::getpid() && Alive(pid)) {
            return ProcessName(pid);
        }
    }
    struct stat wanted {};
    if (::stat(device.c_str(), &wanted) != 0) {
        return {};
    }
    // The program holding our own kind of lock on it, under whatever name it opened it:
    // "1: FLOCK  ADVISORY  WRITE 1234 00:19:5 0 EOF".
    std::ifstream locks("/proc/locks");
    for (std::string line; std::getline(locks, line);) {
        std::istringstream in(line);
        std::string number, kind, mode, access, where;
        long pid = 0;
        unsigned major = 0, minor = 0;
        unsigned long inode = 0;
        if (in >> number >> kind >> mode >> access >> pid >> where && kind == "FLOCK" &&
            std::sscanf(where.c_str(), "%x:%x:%lu", &major, &minor, &inode) == 3 &&
            inode == wanted.st_ino && major == major(wanted.st_dev) &&
            minor == minor(wanted.st_dev) && pid != ::getpid()) {
            return ProcessName(pid);
        }
    }
    // Else whoever has the same device open.
    DIR* proc = ::opendir("/proc");
    if (proc == nullptr) {
        return {};
    }
    std::string holder;
    while (const dirent* e = ::readdir(proc)) {
        char* end = nullptr;
        const long pid = std::strtol(e->d_name, &end, 10);
        if (pid <= 0 || *end != '\0' || pid == ::getpid()) {
            continue;
        }
        const std::string fds = "/proc/" + std::to_string(pid) + "/fd";
        DIR* dir = ::opendir(fds.c_str());
        if (dir == nullptr) {
            continue;
        }
        while (const dirent* f = ::readdir(dir)) {
            struct stat info {};
            if (f->d_name[0] != '.' && ::stat((fds + "/" + f->d_name).c_str(), &info) == 0 &&
                info.st_rdev == wanted.st_rdev && info.st_ino == wanted.st_ino &&
                info.st_dev == wanted.st_dev) {
                holder = ProcessName(pid);
                break;
            }
        }
        ::closedir(dir);
        if (!holder.empty()) {
            break;
        }
    }
    ::closedir(proc);
    return holder;
}

}  // namespace qf

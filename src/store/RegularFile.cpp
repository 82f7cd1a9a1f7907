#include "store/RegularFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace qf {

int OpenRegularFile(const std::string& path, struct stat& info, int& error) {
    // Looked at first so that a device is never opened: opening a serial port alone
    // raises its control lines.
    if (::stat(path.c_str(), &info) != 0) {
        error = errno;
        return -1;
    }
    if (!S_ISREG(info.st_mode)) {
        error = NOT_REGULAR_FILE;
        return -1;
    }
    // Non-blocking, in case a FIFO took the file's place since.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        error = errno;
        return -1;
    }
    if (::fstat(fd, &info) != 0) {
        error = errno;
        ::close(fd);
        return -1;
    }
    if (!S_ISREG(info.st_mode)) {
        error = NOT_REGULAR_FILE;
        ::close(fd);
        return -1;
    }
    error = 0;
    return fd;
}

int RegularFileError(const std::string& path) {
    struct stat info {};
    int error = 0;
    const int fd = OpenRegularFile(path, info, error);
    if (fd >= 0) {
        ::close(fd);
    }
    return error;
}

std::string FileErrorText(int error) {
    if (error == NOT_REGULAR_FILE) {
        return "not a regular file";
    }
    if (error == 0) {
        return "reason unknown";
    }
    return std::strerror(error);
}

}  // namespace qf

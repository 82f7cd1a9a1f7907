// Files the store reads or replaces must be regular files: reading a FIFO without a writer
// blocks for good, and a device node or a link into /proc must never be replaced by a
// plain file.
#pragma once

#include <sys/stat.h>

#include <string>

namespace qf {

// The error of an operation refused because the file is not a regular file; every other
// error is an errno value.
inline constexpr int NOT_REGULAR_FILE = -1;

// Opens path read-only, following links, without ever blocking and without opening
// anything but a regular file. Returns the descriptor, left non-blocking since reads of
// a regular file never block, or -1 with `error` set; `info` receives the open file's
// status.
int OpenRegularFile(const std::string& path, struct stat& info, int& error);

// Looks at path the same way without keeping it open: 0 when it would open, else the error.
int RegularFileError(const std::string& path);

// "not a regular file", the system's text for an errno value, or "reason unknown" for 0.
std::string FileErrorText(int error);

}  // namespace qf

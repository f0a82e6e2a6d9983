#pragma once
// The kernel's file queries and opens as the engine uses them: the status of
// a path (with a test hook that makes it answer an error), and opening only
// regular files, in a way that a FIFO or a device cannot block.

#include <sys/stat.h>
#include <sys/types.h>

#include <cerrno>
#include <cstdint>
#include <string>

namespace Platform {

struct CFileStatus {
    int error = 0;  // 0, or the errno of the failed query
    mode_t mode = 0;
    int64_t size = 0;

    // Only ENOENT says that nothing is there; any other error may hide a file.
    bool IsAbsent() const { return error == ENOENT; }
    bool IsRegular() const { return error == 0 && S_ISREG(mode); }
};

// stat() of the path (links followed).
CFileStatus QueryFileStatus(const std::string& path);

// An errno value no system call gives: "not a regular file".
inline constexpr int kNotRegularFile = 0x4E52;

// open() with O_NONBLOCK and O_CLOEXEC added, so that a FIFO or a device
// cannot block; the descriptor is kept only for a regular file, and is then
// made blocking again. -1 otherwise, with errno set (kNotRegularFile for
// anything that opened but is not a regular file).
int OpenRegularFile(const std::string& path, int flags, mode_t mode = 0644);

// strerror(), and "not a regular file" for kNotRegularFile.
std::string DescribeFileError(int error);

} // namespace Platform

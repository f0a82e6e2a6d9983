#include "app/LogFile.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "platform/FileAccess.h"

namespace {

// Holds the lock on one open log until it goes. Every instance that rotates a
// log locks it first, so that of two instances that opened the same grown log
// only the first moves it.
class CRotationLock {
public:
    explicit CRotationLock(int fd) : m_fd(fd) {
        while (::flock(m_fd, LOCK_EX) != 0 && errno == EINTR) {}
    }
    ~CRotationLock() { ::flock(m_fd, LOCK_UN); }
    CRotationLock(const CRotationLock&) = delete;
    CRotationLock& operator=(const CRotationLock&) = delete;

private:
    int m_fd;
};

bool IsSameFile(const struct stat& a, const struct stat& b) { return a.st_dev == b.st_dev && a.st_ino == b.st_ino; }

} // namespace

int OpenLogForAppending(const std::string& path) {
    return Platform::OpenRegularFile(path, O_WRONLY | O_APPEND | O_CREAT, 0644);
}

int RotateLogIfOver(int fd, const std::string& path, int64_t limit, std::string& failure) {
    int next = -1, error = 0;
    {
        CRotationLock lock(fd);
        struct stat opened{}, named{};
        if (::fstat(fd, &opened) != 0 || opened.st_size <= limit) return fd;
        const std::string previous = path + ".1";
        if (::stat(path.c_str(), &named) == 0 && IsSameFile(opened, named)) {
            if (std::rename(path.c_str(), previous.c_str()) != 0) {
                const int moveError = errno;
                const bool emptied = ::ftruncate(fd, 0) == 0;
                failure = "cannot move the log '" + path + "' to '" + previous + "' : " +
                          Platform::DescribeFileError(moveError) +
                          (emptied ? "; the log starts anew" : "; the log cannot be emptied either");
                return fd;
            }
        }
        // Moved, by this instance or another one: the log goes on in the
        // file at path. Opened while the lock is held, so that an instance
        // waiting for it finds that file there.
        next = OpenLogForAppending(path);
        error = errno;
    }
    ::close(fd);
    errno = error;
    return next;
}

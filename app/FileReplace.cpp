#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>

#include "app/Exception.h"
#include "app/File.h"

namespace Engine {

namespace {

std::atomic<unsigned> g_nextTemporary{0};

// Creates a temporary file beside path under a name no other writer uses:
// this process's id and a number of its own, so that two programs saving
// the same file at once never write into each other's temporary. O_EXCL
// steps over a leftover of an earlier process with the same id.
int CreateTemporary(const CString& path, CString& name) {
    for (int attempt = 0; attempt < 64; ++attempt) {
        name = FormatString("%s.%ld.%u.tmp", path.c_str(), static_cast<long>(::getpid()), g_nextTemporary++);
        const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

bool WriteAll(int fd, const void* data, size_t size) {
    const auto* bytes = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t written = ::write(fd, bytes, size);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) {
            if (written == 0) errno = EIO;
            return false;
        }
        bytes += written;
        size -= size_t(written);
    }
    return true;
}

} // namespace

bool ReplaceFileContents(const CString& path, const void* data, size_t size) {
    CString temporary;
    const int fd = CreateTemporary(path, temporary);
    if (fd < 0) return false;
    int error = 0;
    if (!WriteAll(fd, data, size) || ::fsync(fd) != 0) error = errno ? errno : EIO;
    if (::close(fd) != 0 && !error) error = errno ? errno : EIO;
    if (!error && std::rename(temporary.c_str(), path.c_str()) == 0) return true;
    if (!error) error = errno;
    std::remove(temporary.c_str());
    errno = error;
    return false;
}

} // namespace Engine

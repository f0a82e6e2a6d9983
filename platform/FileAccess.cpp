#include "platform/FileAccess.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstring>
#include <map>
#include <mutex>

#include "platform/Detail.h"
#include "platform/Testing.h"

namespace Platform {
namespace {

struct CInjectedErrors {
    std::mutex mutex;
    std::map<std::string, int> byPath;
};

CInjectedErrors& InjectedErrors() {
    static CInjectedErrors errors;
    return errors;
}

int InjectedError(const std::string& path) {
    CInjectedErrors& injected = InjectedErrors();
    std::lock_guard lock(injected.mutex);
    const auto found = injected.byPath.find(path);
    return found == injected.byPath.end() ? 0 : found->second;
}

} // namespace

CFileStatus QueryFileStatus(const std::string& path) {
    CFileStatus status;
    if ((status.error = InjectedError(path)) != 0) return status;
    struct stat st{};
    if (::stat(path.c_str(), &st) != 0) {
        status.error = errno;
        return status;
    }
    status.mode = st.st_mode;
    status.size = int64_t(st.st_size);
    return status;
}

int OpenRegularFile(const std::string& path, int flags, mode_t mode) {
    if (const int injected = InjectedError(path)) {
        errno = injected;
        return -1;
    }
    const int fd = ::open(path.c_str(), flags | O_NONBLOCK | O_CLOEXEC, mode);
    if (fd < 0) {
        // A FIFO without a reader, or a device without its device: either
        // way no regular file.
        if (errno == ENXIO) errno = kNotRegularFile;
        return -1;
    }
    struct stat st{};
    int error = 0;
    if (::fstat(fd, &st) != 0)
        error = errno;
    else if (!S_ISREG(st.st_mode))
        error = S_ISDIR(st.st_mode) ? EISDIR : kNotRegularFile;
    else if (::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0)
        error = errno;
    if (error == 0) return fd;
    ::close(fd);
    errno = error;
    return -1;
}

std::string DescribeFileError(int error) {
    return error == kNotRegularFile ? std::string("not a regular file") : std::string(std::strerror(error));
}

void Detail::ResetFileAccess() {
    CInjectedErrors& injected = InjectedErrors();
    std::lock_guard lock(injected.mutex);
    injected.byPath.clear();
}

void Testing::SetFileError(const std::string& path, int error) {
    CInjectedErrors& injected = InjectedErrors();
    std::lock_guard lock(injected.mutex);
    if (error)
        injected.byPath[path] = error;
    else
        injected.byPath.erase(path);
}

} // namespace Platform

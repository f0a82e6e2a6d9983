#include "app/NamedMutex.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "app/Log.h"

namespace Engine {

std::string CNamedMutex::LockFilePath(const std::string& name) {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime && runtime[0] == '/') return std::string(runtime) + "/" + name + ".lock";
    // /tmp is shared by every user: keep one file per user.
    return "/tmp/" + name + "-" + std::to_string(::getuid()) + ".lock";
}

bool CNamedMutex::Acquire(const std::string& name) {
    Release();
    const std::string path = LockFilePath(name);
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) {
        GetLog().PrintLine("CNamedMutex::Acquire(...) : FAILED : cannot open '%s' : %s", path.c_str(),
                           std::strerror(errno));
        return true;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        ::close(fd);
        if (error == EWOULDBLOCK) return false;
        GetLog().PrintLine("CNamedMutex::Acquire(...) : FAILED : cannot lock '%s' : %s", path.c_str(),
                           std::strerror(error));
        return true;
    }
    m_fd = fd;
    return true;
}

void CNamedMutex::Release() {
    if (m_fd < 0) return;
    ::flock(m_fd, LOCK_UN);
    ::close(m_fd);
    m_fd = -1;
}

} // namespace Engine

#pragma once
// A named lock held for the life of the process, as the named mutex that
// keeps a second instance from running: an flock on a lock file in the
// user's runtime folder.

#include <string>

namespace Engine {

class CNamedMutex {
public:
    CNamedMutex() = default;
    ~CNamedMutex() { Release(); }
    CNamedMutex(const CNamedMutex&) = delete;
    CNamedMutex& operator=(const CNamedMutex&) = delete;

    // False only when another holder has the name. A lock file that cannot
    // be made is logged and not held: it cannot tell that another instance
    // runs, so it does not stop this one.
    bool Acquire(const std::string& name);
    void Release();
    bool IsHeld() const { return m_fd >= 0; }

    // $XDG_RUNTIME_DIR/<name>.lock, else /tmp/<name>-<uid>.lock.
    static std::string LockFilePath(const std::string& name);

private:
    int m_fd = -1;
};

} // namespace Engine

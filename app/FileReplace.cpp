#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>

#include "app/Exception.h"
#include "app/File.h"

namespace Engine {

namespace {

std::atomic<unsigned> g_nextTemporary{0};

// Opens a temporary file beside path under a name no other writer uses:
// this process's id and a number of its own, so that two programs saving
// the same file at once never write into each other's temporary. The
// exclusive mode ("x") steps over a leftover of an earlier process with
// the same id.
bool OpenTemporary(const CString& path, CStdioFile& file, CString& name) {
    for (int attempt = 0; attempt < 64; ++attempt) {
        name = FormatString("%s.%ld.%u.tmp", path.c_str(), static_cast<long>(::getpid()), g_nextTemporary++);
        if (file.Open(name.c_str(), "wbx")) return true;
        if (errno != EEXIST) return false;
    }
    return false;
}

} // namespace

bool ReplaceFileContents(const CString& path, const void* data, size_t size) {
    CString temporary;
    CStdioFile file;
    if (!OpenTemporary(path, file, temporary)) return false;
    errno = 0;
    int error = 0;
    if (file.Write(data, size) != size || !file.Sync()) error = errno ? errno : EIO;
    if (!file.Close() && !error) error = errno ? errno : EIO;
    if (!error && std::rename(temporary.c_str(), path.c_str()) == 0) return true;
    if (!error) error = errno;
    std::remove(temporary.c_str());
    errno = error;
    return false;
}

} // namespace Engine

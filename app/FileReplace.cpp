#include <cerrno>
#include <cstdio>

#include "app/File.h"

namespace Engine {

bool ReplaceFileContents(const CString& path, const void* data, size_t size) {
    const CString temporary = path + ".tmp";
    CStdioFile file;
    if (!file.Open(temporary.c_str(), "wb")) return false;
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

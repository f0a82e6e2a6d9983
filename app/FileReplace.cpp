#include <cstdio>

#include "app/File.h"

namespace Engine {

bool ReplaceFileContents(const CString& path, const void* data, size_t size) {
    const CString temporary = path + ".tmp";
    CStdioFile file;
    if (!file.Open(temporary.c_str(), "wb")) return false;
    const bool written = file.Write(data, size) == size && file.Sync();
    if (file.Close() && written && std::rename(temporary.c_str(), path.c_str()) == 0) return true;
    std::remove(temporary.c_str());
    return false;
}

} // namespace Engine

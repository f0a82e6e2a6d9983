#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string_view>

#include "app/Exception.h"
#include "app/File.h"
#include "platform/FileAccess.h"

namespace Engine {

namespace {

namespace fs = std::filesystem;

std::atomic<unsigned> g_nextTemporary{0};

// Temporary files are "<file>.<process id>.<number>.tmp".
CString TemporaryName(const CString& path, long processId, unsigned number) {
    return FormatString("%s.%ld.%u.tmp", path.c_str(), processId, number);
}

bool TakeNumber(std::string_view& text, long& number) {
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (error != std::errc() || end == text.data()) return false;
    text.remove_prefix(size_t(end - text.data()));
    return true;
}

// The process id in the name of a temporary file of file; 0 for any other name.
long TemporaryOwner(std::string_view name, std::string_view file) {
    long processId = 0, number = 0;
    if (!name.starts_with(file) || name.size() <= file.size() || name[file.size()] != '.') return 0;
    name.remove_prefix(file.size() + 1);
    if (!TakeNumber(name, processId) || !name.starts_with('.')) return 0;
    name.remove_prefix(1);
    if (!TakeNumber(name, number) || name != ".tmp") return 0;
    return processId > 0 && pid_t(processId) == processId ? processId : 0;
}

// A save killed between its write and its rename leaves its temporary file:
// remove those whose process has ended. A running process's file (another
// instance saving at this moment) stays.
void RemoveStaleTemporaries(const fs::path& path) {
    const std::string file = path.filename().string();
    const fs::path folder = path.has_parent_path() ? path.parent_path() : fs::path(".");
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        const long owner = TemporaryOwner(it->path().filename().string(), file);
        if (owner == 0 || owner == long(::getpid())) continue;
        if (::kill(pid_t(owner), 0) == 0 || errno != ESRCH) continue;
        std::error_code ignored;
        fs::remove(it->path(), ignored);
    }
}

// The file a save replaces: the final target of a symbolic link, so that the
// link stays a link and its target gets the new contents.
fs::path ResolveLinks(const fs::path& path) {
    fs::path current = path;
    for (int depth = 0; depth < 40; ++depth) {
        std::error_code error;
        if (!fs::is_symlink(fs::symlink_status(current, error))) return current;
        const fs::path target = fs::read_symlink(current, error);
        if (error) return current;
        current = target.is_absolute() ? target : current.parent_path() / target;
    }
    return current;
}

// The permission bits of the file a save replaces, which the new contents
// keep (a 0600 file stays private); none when there is no file yet.
std::optional<mode_t> KeptPermissions(const fs::path& target) {
    const Platform::CFileStatus status = Platform::QueryFileStatus(target.string());
    if (!status.IsRegular()) return std::nullopt;
    return status.mode & 0777;
}

// Opens a temporary file beside path under a name no other writer uses:
// this process's id and a number of its own, so that two programs saving
// the same file at once never write into each other's temporary. Creating
// it exclusively steps over a leftover of an earlier process with the same
// id.
bool OpenTemporary(const CString& path, std::optional<mode_t> permissions, CStdioFile& file, CString& name) {
    for (int attempt = 0; attempt < 64; ++attempt) {
        name = TemporaryName(path, static_cast<long>(::getpid()), g_nextTemporary++);
        if (file.CreateNew(name.c_str(), permissions)) return true;
        if (errno != EEXIST) return false;
    }
    return false;
}

} // namespace

bool ReplaceFileContents(const CString& path, const void* data, size_t size) {
    const fs::path target = ResolveLinks(fs::path(path.str()));
    const CString targetPath(target.string());
    RemoveStaleTemporaries(target);
    CString temporary;
    CStdioFile file;
    if (!OpenTemporary(targetPath, KeptPermissions(target), file, temporary)) return false;
    errno = 0;
    int error = 0;
    if (file.Write(data, size) != size || !file.Sync()) error = errno ? errno : EIO;
    if (!file.Close() && !error) error = errno ? errno : EIO;
    if (!error && std::rename(temporary.c_str(), targetPath.c_str()) == 0) return true;
    if (!error) error = errno;
    std::remove(temporary.c_str());
    errno = error;
    return false;
}

} // namespace Engine

// CFile: opening by name through the data packs and the disk, and the
// listing of files by wildcard.

#include <fnmatch.h>

#include <algorithm>
#include <filesystem>
#include <mutex>
#include <optional>
#include <set>

#include "app/File.h"
#include "app/Log.h"
#include "app/Pack.h"

namespace Engine {

namespace {

std::mutex g_rootMutex;
CString g_diskRoot;

// Splits "a/b/c.ext" into "a/b" and "c.ext".
std::pair<CString, CString> SplitFolder(const CString& name) {
    const auto view = name.view();
    const size_t slash = view.rfind('/');
    if (slash == std::string_view::npos) return {CString(), name};
    return {CString(view.substr(0, slash)), CString(view.substr(slash + 1))};
}

// Calls found(name) for each regular file of the disk folder whose name
// matches the pattern, in the folder's order, until found returns false.
template <class Found>
void ScanDiskFolder(const CString& folder, const CString& pattern, Found found) {
    namespace fs = std::filesystem;
    std::error_code error;
    const CString diskFolder = CFile::DiskPath(folder.IsEmpty() ? CString(".") : folder);
    for (fs::directory_iterator it(diskFolder.c_str(), error), end; !error && it != end; it.increment(error)) {
        std::error_code typeError;
        if (!it->is_regular_file(typeError)) continue;
        const CString file(it->path().filename().string());
        if (file == "." || file == ".." || !MatchesWildcard(pattern, file)) continue;
        if (!found(folder.IsEmpty() ? file : folder + "/" + file.view())) return;
    }
}

void AddDiskMatches(const CString& folder, const CString& pattern, std::set<std::string>& seen,
                    std::vector<CString>& result) {
    std::vector<CString> found;
    ScanDiskFolder(folder, pattern, [&found](CString name) {
        found.push_back(std::move(name));
        return true;
    });
    std::sort(found.begin(), found.end());
    for (CString& name : found) {
        if (seen.insert(PackLookupKey(name)).second) result.push_back(std::move(name));
    }
}

// Whether FindFiles lists the pack entry of that stored name for a mask of
// that folder key and file pattern. The folder is compared by its key, the
// file part, split at the last slash, as stored: a backslash there never
// matches a mask, whose backslashes became slashes.
bool ListsPackEntry(const CString& entryName, const std::string& folderKey, const CString& pattern) {
    const auto [entryFolder, file] = SplitFolder(entryName);
    return PackLookupKey(entryFolder) == folderKey && MatchesWildcard(pattern, file);
}

bool HasWildcard(const CString& name) { return name.view().find_first_of("*?[") != std::string_view::npos; }

// An entry that FindFiles lists for folder/file without wildcards is stored
// under the lookup key of that name: with a folder, the folder's key and
// the file's name case-folded make the entry's key; with none, the entry is
// "file" or has a folder of "./" alone, as ".//file", whose key is "/file".
// Only the first pack's entry of a key is listed, so each key's first entry
// alone answers (the engine sets no locale: the match folds ASCII case, as
// the keys do).
bool PacksList(const CString& folder, const CString& file) {
    const std::string folderKey = PackLookupKey(folder);
    const std::vector<CString> names = folder.IsEmpty() ? std::vector<CString>{file, CString("/") + file.view()}
                                                        : std::vector<CString>{folder + "/" + file.view()};
    for (const CString& name : names) {
        const std::optional<CPackEntry> entry = GetDataPacks().FindEntry(name);
        if (entry && ListsPackEntry(entry->name, folderKey, file)) return true;
    }
    return false;
}

// Whether the disk folder lists a regular file of that name, in any case.
bool DiskLists(const CString& folder, const CString& file) {
    namespace fs = std::filesystem;
    const fs::path diskFolder(CFile::DiskPath(folder.IsEmpty() ? CString(".") : folder).c_str());
    // A folder that cannot be read lists nothing, whatever it holds.
    std::error_code error;
    const fs::directory_iterator listing(diskFolder, error);
    if (error) return false;
    if (fs::is_regular_file(diskFolder / file.c_str(), error)) return true;
    bool found = false;
    ScanDiskFolder(folder, file, [&found](const CString&) { return !(found = true); });
    return found;
}

} // namespace

CString NormalizeFileName(const CString& name) {
    CString result = NormalizePath(name);
    auto view = result.view();
    size_t skip = 0;
    while (view.substr(skip, 2) == "./") skip += 2;
    return skip ? CString(view.substr(skip)) : result;
}

bool MatchesWildcard(const CString& mask, const CString& name) {
    return ::fnmatch(mask.c_str(), name.c_str(), FNM_CASEFOLD | FNM_NOESCAPE) == 0;
}

// --------------------------------------------------------------------- CFile

CFile::~CFile() { Close(); }

void CFile::SetDiskRoot(const CString& folder) {
    std::lock_guard lock(g_rootMutex);
    g_diskRoot = NormalizeFileName(folder);
}

CString CFile::GetDiskRoot() {
    std::lock_guard lock(g_rootMutex);
    return g_diskRoot;
}

CString CFile::DiskPath(const CString& name) {
    const CString root = GetDiskRoot();
    if (root.IsEmpty() || name.view().starts_with('/')) return name;
    return root + "/" + name.view();
}

bool CFile::Open(const CString& name) {
    Close();
    const CString normalized = NormalizeFileName(name);
    m_stream = GetDataPacks().OpenEntry(normalized);
    if (!m_stream) {
        auto disk = std::make_unique<CStdioFile>();
        if (disk->Open(DiskPath(normalized).c_str(), "rb")) m_stream = std::move(disk);
    }
    if (!m_stream) {
        GetLog().PrintLine("CFile::Open(...) : Unable to open file '%s'", name.c_str());
        return false;
    }
    m_name = normalized;
    return true;
}

void CFile::Close() {
    m_stream.reset();
    m_name = CString();
}

size_t CFile::Read(void* buffer, size_t count) { return m_stream ? m_stream->Read(buffer, count) : 0; }
size_t CFile::Write(const void* buffer, size_t count) { return m_stream ? m_stream->Write(buffer, count) : 0; }
int CFile::Seek(int64_t offset, int origin) { return m_stream ? m_stream->Seek(offset, origin) : -1; }
int64_t CFile::Tell() { return m_stream ? m_stream->Tell() : -1; }
int64_t CFile::GetSize() { return m_stream ? m_stream->GetSize() : -1; }

// ----------------------------------------------------------------- FindFiles

std::vector<CString> FindFiles(const CString& mask) {
    const auto [folder, pattern] = SplitFolder(NormalizeFileName(mask));
    const std::string folderKey = PackLookupKey(folder);
    std::vector<CString> result;
    std::set<std::string> seen;
    for (const CString& name : GetDataPacks().ListNames()) {
        if (ListsPackEntry(name, folderKey, pattern) && seen.insert(PackLookupKey(name)).second) result.push_back(name);
    }
    AddDiskMatches(folder, pattern, seen, result);
    return result;
}

bool FileExists(const CString& name) {
    const CString normalized = NormalizeFileName(name);
    if (HasWildcard(normalized)) return !FindFiles(name).empty();
    const auto [folder, file] = SplitFolder(normalized);
    return PacksList(folder, file) || DiskLists(folder, file);
}

} // namespace Engine

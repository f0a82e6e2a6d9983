// CFile: opening by name through the data packs and the disk, and the
// listing of files by wildcard.

#include <fnmatch.h>

#include <algorithm>
#include <filesystem>
#include <mutex>
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

void AddDiskMatches(const CString& folder, const CString& pattern, std::set<std::string>& seen,
                    std::vector<CString>& result) {
    namespace fs = std::filesystem;
    std::error_code error;
    const CString diskFolder = CFile::DiskPath(folder.IsEmpty() ? CString(".") : folder);
    std::vector<CString> found;
    for (fs::directory_iterator it(diskFolder.c_str(), error), end; !error && it != end; it.increment(error)) {
        std::error_code typeError;
        if (!it->is_regular_file(typeError)) continue;
        const CString file(it->path().filename().string());
        if (file == "." || file == ".." || !MatchesWildcard(pattern, file)) continue;
        found.push_back(folder.IsEmpty() ? file : folder + "/" + file.view());
    }
    std::sort(found.begin(), found.end());
    for (CString& name : found) {
        if (seen.insert(PackLookupKey(name)).second) result.push_back(std::move(name));
    }
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
        const auto [entryFolder, file] = SplitFolder(name);
        if (PackLookupKey(entryFolder) == folderKey && MatchesWildcard(pattern, file) &&
            seen.insert(PackLookupKey(name)).second) {
            result.push_back(name);
        }
    }
    AddDiskMatches(folder, pattern, seen, result);
    return result;
}

} // namespace Engine

#pragma once
// Byte streams: the abstract interface and its disk, window, memory and
// pack-or-disk implementations. Every resource is read through them.

#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <optional>
#include <vector>

#include "app/String.h"

namespace Engine {

enum ESeekOrigin : int { SEEK_FROM_START = 0, SEEK_FROM_CURRENT = 1, SEEK_FROM_END = 2 };

class CAbstractFile {
public:
    virtual ~CAbstractFile() = default;
    // Returns the bytes transferred; fewer than asked at the end of the data.
    virtual size_t Read(void* buffer, size_t count) = 0;
    virtual size_t Write(const void* buffer, size_t count) = 0;
    // Returns 0 on success.
    virtual int Seek(int64_t offset, int origin) = 0;
    virtual int64_t Tell() = 0;
    // Remembers the position, seeks to the end, tells and seeks back.
    virtual int64_t GetSize();
    int Skip(int64_t count) { return Seek(count, SEEK_FROM_CURRENT); }
};

// A buffered stdio stream on disk.
class CStdioFile : public CAbstractFile {
public:
    CStdioFile() = default;
    ~CStdioFile() override;
    CStdioFile(const CStdioFile&) = delete;
    CStdioFile& operator=(const CStdioFile&) = delete;

    // Mode "rb", "wb" or "ab". Reads only a regular file (a FIFO or a device
    // is refused without waiting on it).
    bool Open(const char* path, const char* mode);
    // Creates a file that is not there yet (EEXIST otherwise) for writing:
    // with exactly the given permission bits, or without them with the
    // default ones (0666 less the umask).
    bool CreateNew(const char* path, std::optional<mode_t> permissions);
    // Flushes and closes; false when buffered data could not be written.
    bool Close();
    // Flushes the buffers and the system's cache to the disk.
    bool Sync();
    bool IsOpen() const { return m_file != nullptr; }

    size_t Read(void* buffer, size_t count) override;
    size_t Write(const void* buffer, size_t count) override;
    int Seek(int64_t offset, int origin) override;
    int64_t Tell() override;
    int64_t GetSize() override;

private:
    std::FILE* m_file = nullptr;
    int64_t m_readOnlySize = -1;  // known at opening for "rb"
};

// A read-only window [start, start + size) onto another stream, used for data
// pack entries. Bytes of a scrambled entry go through a 256-byte table.
class CInFile : public CAbstractFile {
public:
    CInFile(std::unique_ptr<CAbstractFile> base, int64_t start, int64_t size,
            const uint8_t* decodeTable = nullptr);

    size_t Read(void* buffer, size_t count) override;
    size_t Write(const void*, size_t) override { return 0; }
    // Relative to the window; a target outside it is clamped to 0..size and
    // reported as a failure.
    int Seek(int64_t offset, int origin) override;
    int64_t Tell() override { return m_position; }
    int64_t GetSize() override { return m_size; }

private:
    std::unique_ptr<CAbstractFile> m_base;
    int64_t m_start;
    int64_t m_size;
    int64_t m_position = 0;
    bool m_baseInPlace = false;
    const uint8_t* m_decodeTable;
};

// A memory stream: either a growing buffer of its own, or a read-only view of
// a caller's buffer that it does not own.
class CMemoryFile : public CAbstractFile {
public:
    CMemoryFile() = default;
    explicit CMemoryFile(std::vector<uint8_t> data) : m_owned(std::move(data)) {}
    // Owns the next count bytes read from source (only those it really got;
    // never more than the source has left), positioned at 0.
    CMemoryFile(CAbstractFile& source, size_t count);
    // Borrows the caller's bytes, read-only.
    CMemoryFile(const void* data, size_t size);

    size_t Read(void* buffer, size_t count) override;
    // Writes at the position, growing the buffer; 0 for a borrowed buffer.
    size_t Write(const void* buffer, size_t count) override;
    // A target outside 0..size is clamped to it and reported as a failure.
    int Seek(int64_t offset, int origin) override;
    int64_t Tell() override { return int64_t(m_position); }
    int64_t GetSize() override { return int64_t(Size()); }

    const uint8_t* GetData() const { return m_isBorrowed ? m_borrowed : m_owned.data(); }
    size_t Size() const { return m_isBorrowed ? m_borrowedSize : m_owned.size(); }
    // Hands out the owned buffer and leaves the file empty.
    std::vector<uint8_t> Detach();

private:
    std::vector<uint8_t> m_owned;
    const uint8_t* m_borrowed = nullptr;
    size_t m_borrowedSize = 0;
    bool m_isBorrowed = false;
    size_t m_position = 0;
};

// A file opened by name: inside the opened data packs first, then on disk.
class CFile : public CAbstractFile {
public:
    CFile() = default;
    ~CFile() override;

    // Logs "CFile::Open(...) : Unable to open file '%s'" and returns false
    // when neither a pack nor the disk has the file.
    bool Open(const CString& name);
    void Close();
    bool IsOpen() const { return m_stream != nullptr; }
    const CString& GetName() const { return m_name; }

    size_t Read(void* buffer, size_t count) override;
    size_t Write(const void* buffer, size_t count) override;
    int Seek(int64_t offset, int origin) override;
    int64_t Tell() override;
    int64_t GetSize() override;

    // Disk lookups of relative names start in this folder (empty: the
    // current directory); loose-file mode points it at "data".
    static void SetDiskRoot(const CString& folder);
    static CString GetDiskRoot();
    // The disk path that a relative name maps to.
    static CString DiskPath(const CString& name);

private:
    std::unique_ptr<CAbstractFile> m_stream;
    CString m_name;
};

// Writes the bytes to a temporary file beside path, under a name of this
// save's own ("<path>.<process id>.<number>.tmp"), flushes them to the disk
// and renames that over path, so a failure at any point leaves the old file
// intact and two processes saving the same file at once each replace it
// whole. The new file keeps the permission bits of the one it replaces. A
// symbolic link at path is followed: its target is replaced, beside it.
// Temporary files of path left by processes no longer running are removed.
// False on failure, after removing the temporary file, with errno telling
// what failed.
bool ReplaceFileContents(const CString& path, const void* data, size_t size);

// Turns backslashes into slashes and drops leading "./".
CString NormalizeFileName(const CString& name);

// Case-insensitive match of a file name against a mask with '*' and '?'.
bool MatchesWildcard(const CString& mask, const CString& name);

// Files matching a wildcard mask ("spr/*.spr"): entries of the opened data
// packs first, then regular files on disk, each name once, never "." or "..".
// Names carry the mask's folder, so they can be passed to CFile::Open.
std::vector<CString> FindFiles(const CString& mask);

// Whether FindFiles(name) lists anything. A name without wildcards is
// answered by direct look-ups, whatever the packs hold: the first pack's
// entry under each name it could be stored as, then the disk's file of that
// name (the folder is read only when no regular file has the name as
// written, since another case of it would list too).
bool FileExists(const CString& name);

} // namespace Engine

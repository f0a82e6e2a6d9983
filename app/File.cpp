#include "app/File.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <mutex>

#include "app/ByteSubstitution.h"
#include "platform/FileAccess.h"

namespace Engine {

namespace {

// Where a seek from origin would land, or -1 for an unknown origin.
int64_t SeekTarget(int64_t offset, int origin, int64_t current, int64_t size) {
    switch (origin) {
    case SEEK_FROM_START: return offset;
    case SEEK_FROM_CURRENT: return current + offset;
    case SEEK_FROM_END: return size + offset;
    default: return -1;
    }
}

} // namespace

int64_t CAbstractFile::GetSize() {
    const int64_t position = Tell();
    if (Seek(0, SEEK_FROM_END) != 0) return -1;
    const int64_t size = Tell();
    Seek(position, SEEK_FROM_START);
    return size;
}

// ---------------------------------------------------------------- CStdioFile

CStdioFile::~CStdioFile() { Close(); }

bool CStdioFile::Open(const char* path, const char* mode) {
    Close();
    if (mode[0] != 'r') {
        m_file = std::fopen(path, mode);
        return m_file != nullptr;
    }
    // fopen happily opens a folder for reading, and waits in a FIFO for a
    // writer: only a regular file is read.
    const int fd = Platform::OpenRegularFile(path, O_RDONLY);
    if (fd < 0) return false;
    m_file = ::fdopen(fd, mode);
    if (!m_file) {
        const int error = errno;
        ::close(fd);
        errno = error;
        return false;
    }
    struct stat st{};
    if (::fstat(fd, &st) == 0) m_readOnlySize = int64_t(st.st_size);
    return true;
}

bool CStdioFile::CreateNew(const char* path, std::optional<mode_t> permissions) {
    Close();
    const int fd = ::open(path, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, permissions.value_or(0666));
    if (fd < 0) return false;
    // The umask narrowed the bits open() was given; asked-for bits are set
    // as they are.
    if ((!permissions || ::fchmod(fd, *permissions) == 0) && (m_file = ::fdopen(fd, "wb")) != nullptr) return true;
    const int error = errno;
    ::close(fd);
    ::unlink(path);
    errno = error;
    return false;
}

bool CStdioFile::Close() {
    if (!m_file) return true;
    const bool ok = std::fclose(m_file) == 0;
    m_file = nullptr;
    m_readOnlySize = -1;
    return ok;
}

bool CStdioFile::Sync() {
    return m_file && std::fflush(m_file) == 0 && ::fsync(fileno(m_file)) == 0;
}

size_t CStdioFile::Read(void* buffer, size_t count) {
    return m_file ? std::fread(buffer, 1, count, m_file) : 0;
}

size_t CStdioFile::Write(const void* buffer, size_t count) {
    return m_file ? std::fwrite(buffer, 1, count, m_file) : 0;
}

int CStdioFile::Seek(int64_t offset, int origin) {
    if (!m_file) return -1;
    static constexpr int kWhence[] = {SEEK_SET, SEEK_CUR, SEEK_END};
    if (origin < 0 || origin > 2) return -1;
    return ::fseeko(m_file, off_t(offset), kWhence[origin]) == 0 ? 0 : -1;
}

int64_t CStdioFile::Tell() { return m_file ? int64_t(::ftello(m_file)) : -1; }

int64_t CStdioFile::GetSize() { return m_readOnlySize >= 0 ? m_readOnlySize : CAbstractFile::GetSize(); }

// ------------------------------------------------------------------- CInFile

CInFile::CInFile(std::unique_ptr<CAbstractFile> base, int64_t start, int64_t size, const uint8_t* decodeTable)
    : m_base(std::move(base)), m_start(start), m_size(std::max<int64_t>(size, 0)), m_decodeTable(decodeTable) {}

size_t CInFile::Read(void* buffer, size_t count) {
    const size_t wanted = size_t(std::min<int64_t>(int64_t(count), m_size - m_position));
    if (wanted == 0) return 0;
    if (!m_baseInPlace) {
        if (m_base->Seek(m_start + m_position, SEEK_FROM_START) != 0) return 0;
        m_baseInPlace = true;
    }
    const size_t got = m_base->Read(buffer, wanted);
    if (m_decodeTable) SubstituteBytes(m_decodeTable, static_cast<uint8_t*>(buffer), got);
    m_position += int64_t(got);
    if (got < wanted) m_baseInPlace = false;
    return got;
}

int CInFile::Seek(int64_t offset, int origin) {
    const int64_t target = SeekTarget(offset, origin, m_position, m_size);
    const int64_t clamped = std::clamp<int64_t>(target, 0, m_size);
    if (clamped != m_position) m_baseInPlace = false;
    m_position = clamped;
    return clamped == target ? 0 : -1;
}

// --------------------------------------------------------------- CMemoryFile

CMemoryFile::CMemoryFile(CAbstractFile& source, size_t count) {
    // A length read from a file may be anything: never reserve more than the
    // source can still deliver, and keep only what really arrived.
    const int64_t size = source.GetSize();
    const int64_t position = source.Tell();
    if (size >= 0 && position >= 0) {
        count = size_t(std::min<int64_t>(int64_t(count), std::max<int64_t>(size - position, 0)));
    }
    constexpr size_t kBlock = size_t(1) << 20;
    while (m_owned.size() < count) {
        const size_t old = m_owned.size();
        const size_t step = std::min(kBlock, count - old);
        m_owned.resize(old + step);
        const size_t got = source.Read(m_owned.data() + old, step);
        m_owned.resize(old + got);
        if (got < step) break;
    }
}

CMemoryFile::CMemoryFile(const void* data, size_t size)
    : m_borrowed(static_cast<const uint8_t*>(data)), m_borrowedSize(data ? size : 0), m_isBorrowed(true) {}

size_t CMemoryFile::Read(void* buffer, size_t count) {
    const size_t got = std::min(count, Size() - m_position);
    if (got) std::memcpy(buffer, GetData() + m_position, got);
    m_position += got;
    return got;
}

size_t CMemoryFile::Write(const void* buffer, size_t count) {
    if (m_isBorrowed) return 0;
    if (m_position + count > m_owned.size()) m_owned.resize(m_position + count);
    if (count) std::memcpy(m_owned.data() + m_position, buffer, count);
    m_position += count;
    return count;
}

int CMemoryFile::Seek(int64_t offset, int origin) {
    const int64_t target = SeekTarget(offset, origin, int64_t(m_position), int64_t(Size()));
    const int64_t clamped = std::clamp<int64_t>(target, 0, int64_t(Size()));
    m_position = size_t(clamped);
    return clamped == target ? 0 : -1;
}

std::vector<uint8_t> CMemoryFile::Detach() {
    std::vector<uint8_t> data = std::move(m_owned);
    m_owned.clear();
    m_position = 0;
    return data;
}

} // namespace Engine

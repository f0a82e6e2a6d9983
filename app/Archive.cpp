#include "app/Archive.h"

#include <bit>
#include <climits>
#include <cstring>

#include "app/Exception.h"

static_assert(std::endian::native == std::endian::little, "the archive stores host-order little-endian fields");

namespace {

// Fields are stored in host order, which the assertion above pins to
// little-endian.
template <class T>
void ReadScalar(CArchive& ar, T& value) {
    if (ar.IsStoring()) return;
    uint8_t bytes[sizeof(T)];
    ar.Read(bytes, sizeof bytes);
    std::memcpy(&value, bytes, sizeof value);
}

} // namespace

void CArchive::ThrowReadError(int64_t wanted, int64_t got) {
    throw Engine::CException::Format("Archive serialization error: Cannot read %lld bytes, %lld readed",
                                     static_cast<long long>(wanted), static_cast<long long>(got));
}

void CArchive::ThrowWriteError(int64_t wanted, int64_t got) {
    throw Engine::CException::Format("Archive serialization error: Cannot write %lld bytes, %lld writed",
                                     static_cast<long long>(wanted), static_cast<long long>(got));
}

void CArchive::Read(void* buffer, size_t count) {
    if (IsStoring() || count == 0) return;
    const size_t got = m_file->Read(buffer, count);
    if (got != count) ThrowReadError(int64_t(count), int64_t(got));
}

void CArchive::Write(const void* buffer, size_t count) {
    if (count == 0) return;
    const size_t written = m_file->Write(buffer, count);
    if (written != count) ThrowWriteError(int64_t(count), int64_t(written));
}

void CArchive::ReadDWord(uint32_t& value) { ReadScalar(*this, value); }

void CArchive::WriteDWord(uint32_t value) { Write(&value, sizeof value); }

void CArchive::ReadWord(uint16_t& value) { ReadScalar(*this, value); }

void CArchive::WriteWord(uint16_t value) { Write(&value, sizeof value); }

void CArchive::ReadByte(uint8_t& value) { ReadScalar(*this, value); }

void CArchive::WriteByte(uint8_t value) { Write(&value, 1); }

void CArchive::ReadFloat(float& value) { ReadScalar(*this, value); }

void CArchive::WriteFloat(float value) { WriteDWord(std::bit_cast<uint32_t>(value)); }

int64_t CArchive::GetBytesLeft() const {
    const int64_t size = m_file->GetSize();
    const int64_t position = m_file->Tell();
    return size < 0 || position < 0 || position > size ? 0 : size - position;
}

void CArchive::ReadString(CString& value) {
    if (IsStoring()) return;
    uint8_t shortLength = 0;
    ReadByte(shortLength);
    uint32_t length = shortLength;
    if (shortLength == 0xFF) {
        uint16_t wordLength = 0;
        ReadWord(wordLength);
        length = wordLength;
        if (wordLength == 0xFFFF) ReadDWord(length);
    }
    // Refuse a length the stream cannot hold before allocating anything.
    const int64_t size = m_file->GetSize();
    const int64_t position = m_file->Tell();
    if (size >= 0 && position >= 0 && int64_t(length) > size - position) ThrowReadError(length, size - position);
    if (length > uint32_t(INT_MAX)) ThrowReadError(length, 0);
    CString text;
    if (length > 0) {
        char* buffer = text.GetBuffer(int(length));
        const size_t got = m_file->Read(buffer, length);
        if (got != length) ThrowReadError(length, int64_t(got));
        text.SetLength(int(length));
    }
    value = std::move(text);
}

void CArchive::WriteString(const CString& value) {
    const uint32_t length = uint32_t(value.GetLength());
    if (length < 0xFF) {
        WriteByte(uint8_t(length));
    } else if (length < 0xFFFE) {
        WriteByte(0xFF);
        WriteWord(uint16_t(length));
    } else {
        WriteByte(0xFF);
        WriteWord(0xFFFF);
        WriteDWord(length);
    }
    Write(value.c_str(), length);
}

void CArchive::ReadChunkHeader(CChunkHeader& header) {
    if (IsStoring()) return;
    ReadDWord(header.id);
    ReadDWord(header.version);
    ReadDWord(header.length);
}

void CArchive::BeginChunk(uint32_t id, uint32_t version) {
    if (!IsStoring()) throw Engine::CException("CArchive::BeginChunk() : FAILED : File must be opened for writing");
    WriteDWord(id);
    WriteDWord(version);
    WriteDWord(0);
    const int64_t dataStart = m_file->Tell();
    if (dataStart < 0) throw Engine::CException("CArchive::BeginChunk() : FAILED : Cannot tell the stream position");
    m_openChunks.push_back(dataStart);
}

void CArchive::EndChunk() {
    if (!IsStoring()) throw Engine::CException("CArchive::EndChunk() : FAILED : File must be opened for writing");
    if (m_openChunks.empty()) throw Engine::CException("CArchive::EndChunk() : FAILED : No opened chunks were found");
    const int64_t dataStart = m_openChunks.back();
    m_openChunks.pop_back();
    const int64_t end = m_file->Tell();
    if (end < dataStart || end - dataStart > int64_t(UINT32_MAX) || m_file->Seek(dataStart - 4, Engine::SEEK_FROM_START) != 0) {
        throw Engine::CException("CArchive::EndChunk() : FAILED : Cannot seek back to the chunk header");
    }
    WriteDWord(uint32_t(end - dataStart));
    if (m_file->Seek(end, Engine::SEEK_FROM_START) != 0) {
        throw Engine::CException("CArchive::EndChunk() : FAILED : Cannot seek back to the chunk end");
    }
}

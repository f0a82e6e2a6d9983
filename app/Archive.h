#pragma once
// The binary serializer of every engine format: little-endian fields,
// length-prefixed strings and nested chunks over a stream.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "app/File.h"
#include "app/String.h"

struct CChunkHeader {
    uint32_t id = 0;
    uint32_t version = 0;
    uint32_t length = 0;  // bytes of chunk data after the header
};

class CArchive {
public:
    // The stream is borrowed. Storing means writing; every reader returns at
    // once, reading nothing, on a storing archive.
    CArchive(Engine::CAbstractFile* file, bool storing) : m_file(file), m_bStoring(storing ? 1 : 0) {}

    bool IsStoring() const { return m_bStoring != 0; }
    bool IsLoading() const { return m_bStoring == 0; }
    Engine::CAbstractFile* GetFile() const { return m_file; }
    // Bytes between the stream's position and its end; 0 when either is
    // unknown or the position lies past the end.
    int64_t GetBytesLeft() const;

    // Short transfers throw Engine::CException "Archive serialization error:
    // Cannot read %d bytes, %d readed" / "... Cannot write %d bytes, %d writed".
    void Read(void* buffer, size_t count);
    void Write(const void* buffer, size_t count);
    [[noreturn]] static void ThrowReadError(int64_t wanted, int64_t got);
    [[noreturn]] static void ThrowWriteError(int64_t wanted, int64_t got);

    void ReadDWord(uint32_t& value);
    void WriteDWord(uint32_t value);
    void ReadWord(uint16_t& value);
    void WriteWord(uint16_t value);
    void ReadByte(uint8_t& value);
    void WriteByte(uint8_t value);
    void ReadFloat(float& value);
    void WriteFloat(float value);

    // Length prefix: one byte below 0xFF; else 0xFF and a u16 below 0xFFFE;
    // else 0xFF, 0xFFFF and a u32; then the bytes without terminator. A stored
    // length beyond the bytes left in the stream is refused before anything
    // is allocated.
    void ReadString(CString& value);
    void WriteString(const CString& value);

    // Reads ID, version and data length; checks and skips nothing.
    void ReadChunkHeader(CChunkHeader& header);
    // Writing only: a header with a length placeholder, completed by EndChunk.
    void BeginChunk(uint32_t id, uint32_t version);
    void EndChunk();
    size_t GetOpenChunkCount() const { return m_openChunks.size(); }

private:
    Engine::CAbstractFile* m_file;
    uint8_t m_bStoring;
    std::vector<int64_t> m_openChunks;  // stream positions just after each open header
};

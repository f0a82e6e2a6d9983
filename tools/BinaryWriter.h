#pragma once
// Builds the little-endian image of an engine format in memory. Fields go
// through the engine's own archive, so writer and reader agree on every form
// (string prefixes, chunk lengths).

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "app/Archive.h"
#include "app/File.h"

namespace Tools {

class CBinaryWriter {
public:
    CBinaryWriter() = default;
    CBinaryWriter(const CBinaryWriter&) = delete;
    CBinaryWriter& operator=(const CBinaryWriter&) = delete;

    CBinaryWriter& U8(uint8_t value);
    CBinaryWriter& U16(uint16_t value);
    CBinaryWriter& U32(uint32_t value);
    CBinaryWriter& I32(int32_t value);
    CBinaryWriter& F32(float value);
    CBinaryWriter& F64(double value);
    CBinaryWriter& Raw(const void* data, size_t size);
    CBinaryWriter& Raw(std::string_view bytes) { return Raw(bytes.data(), bytes.size()); }
    CBinaryWriter& Zeros(size_t count);
    // The text NUL-padded to exactly size bytes; throws when it does not fit
    // with its terminator.
    CBinaryWriter& FixedString(std::string_view text, size_t size);
    // Archive string: length prefix and bytes.
    CBinaryWriter& String(const CString& text);

    // Chunk header (ID, version, length) whose length EndChunk fills in.
    CBinaryWriter& BeginChunk(uint32_t id, uint32_t version);
    CBinaryWriter& EndChunk();

    // Overwrites a u32 already written at offset.
    void PatchU32(size_t offset, uint32_t value);

    size_t Size() const { return m_file.Size(); }
    const uint8_t* Data() const { return m_file.GetData(); }
    std::vector<uint8_t> ToVector() const { return {Data(), Data() + Size()}; }
    // Writes the image to a file; false on any I/O failure.
    bool Save(const std::string& path) const;

private:
    Engine::CMemoryFile m_file;
    CArchive m_archive{&m_file, true};
};

// Writes bytes to a file; false on any I/O failure.
bool WriteFileBytes(const std::string& path, const void* data, size_t size);
inline bool WriteFileBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    return WriteFileBytes(path, bytes.data(), bytes.size());
}

} // namespace Tools

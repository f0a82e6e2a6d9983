#include "tools/BinaryWriter.h"

#include <bit>

#include "app/Exception.h"

namespace Tools {

CBinaryWriter& CBinaryWriter::U8(uint8_t value) { m_archive.WriteByte(value); return *this; }
CBinaryWriter& CBinaryWriter::U16(uint16_t value) { m_archive.WriteWord(value); return *this; }
CBinaryWriter& CBinaryWriter::U32(uint32_t value) { m_archive.WriteDWord(value); return *this; }
CBinaryWriter& CBinaryWriter::I32(int32_t value) { m_archive.WriteDWord(uint32_t(value)); return *this; }
CBinaryWriter& CBinaryWriter::F32(float value) { m_archive.WriteFloat(value); return *this; }

CBinaryWriter& CBinaryWriter::F64(double value) {
    const uint64_t bits = std::bit_cast<uint64_t>(value);
    m_archive.WriteDWord(uint32_t(bits));
    m_archive.WriteDWord(uint32_t(bits >> 32));
    return *this;
}

CBinaryWriter& CBinaryWriter::Raw(const void* data, size_t size) {
    m_archive.Write(data, size);
    return *this;
}

CBinaryWriter& CBinaryWriter::Zeros(size_t count) {
    const std::vector<uint8_t> zeros(count);
    return Raw(zeros.data(), zeros.size());
}

CBinaryWriter& CBinaryWriter::FixedString(std::string_view text, size_t size) {
    if (text.size() >= size) {
        throw Engine::CException::Format("CBinaryWriter::FixedString() : FAILED : '%.*s' needs more than %zu bytes",
                                         int(text.size()), text.data(), size);
    }
    Raw(text);
    return Zeros(size - text.size());
}

CBinaryWriter& CBinaryWriter::String(const CString& text) { m_archive.WriteString(text); return *this; }
CBinaryWriter& CBinaryWriter::BeginChunk(uint32_t id, uint32_t version) { m_archive.BeginChunk(id, version); return *this; }
CBinaryWriter& CBinaryWriter::EndChunk() { m_archive.EndChunk(); return *this; }

void CBinaryWriter::PatchU32(size_t offset, uint32_t value) {
    const int64_t end = m_file.Tell();
    if (offset + 4 > Size() || m_file.Seek(int64_t(offset), Engine::SEEK_FROM_START) != 0) {
        throw Engine::CException::Format("CBinaryWriter::PatchU32() : FAILED : offset %zu outside the image", offset);
    }
    m_archive.WriteDWord(value);
    m_file.Seek(end, Engine::SEEK_FROM_START);
}

bool CBinaryWriter::Save(const std::string& path) const { return WriteFileBytes(path, Data(), Size()); }

bool WriteFileBytes(const std::string& path, const void* data, size_t size) {
    return Engine::ReplaceFileContents(CString(path), data, size);
}

} // namespace Tools

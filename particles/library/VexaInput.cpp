#include "particles/library/VexaInput.h"

#include "particles/library/VexaException.h"

namespace VexaParticles {

CVexaInput::CVexaInput(CArchive& archive, uint32_t version)
    : m_archive(archive), m_version(version), m_size(archive.GetFile()->GetSize()) {}

uint32_t CVexaInput::U32() {
    uint32_t value = 0;
    m_archive.ReadDWord(value);
    return value;
}

float CVexaInput::F32() {
    float value = 0;
    m_archive.ReadFloat(value);
    return value;
}

uint8_t CVexaInput::U8() {
    uint8_t value = 0;
    m_archive.ReadByte(value);
    return value;
}

CString CVexaInput::String() {
    CString text;
    m_archive.ReadString(text);
    return text;
}

std::vector<uint8_t> CVexaInput::Bytes(uint32_t size) {
    const int64_t left = Remaining();
    if (int64_t(size) > left) CArchive::ThrowReadError(size, left);
    std::vector<uint8_t> bytes(size);
    m_archive.Read(bytes.data(), bytes.size());
    return bytes;
}

size_t CVexaInput::Count(uint64_t recordBytes, const char* what) {
    const int32_t count = I32();
    if (count <= 0) return 0;
    const int64_t left = Remaining();
    if (uint64_t(count) * recordBytes > uint64_t(left))
        throw CVexaException("%d %s cannot fit in the %lld bytes left", count, what, static_cast<long long>(left));
    return size_t(count);
}

int64_t CVexaInput::Remaining() {
    const int64_t position = m_archive.GetFile()->Tell();
    return position < 0 || position > m_size ? 0 : m_size - position;
}

} // namespace VexaParticles

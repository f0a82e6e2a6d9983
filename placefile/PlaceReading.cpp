#include "placefile/PlaceReading.h"

#include "app/Exception.h"

namespace Engine::Graphics::PlaceFile {

CChunkHeader ExpectChunk(CArchive& ar, uint32_t id, const CString& message) {
    CChunkHeader header;
    ar.ReadChunkHeader(header);
    if (header.id != id) throw Engine::CException(message);
    return header;
}

void SkipChunk(CArchive& ar) {
    CChunkHeader header;
    ar.ReadChunkHeader(header);
    SkipBytes(ar, header.length);
}

void SkipBytes(CArchive& ar, uint64_t count) {
    const int64_t left = ar.GetBytesLeft();
    if (count > uint64_t(left)) CArchive::ThrowReadError(int64_t(count), left);
    ar.GetFile()->Skip(int64_t(count));
}

void CheckCount(CArchive& ar, uint64_t count, uint64_t minBytes) {
    const int64_t left = ar.GetBytesLeft();
    if (count * minBytes > uint64_t(left)) CArchive::ThrowReadError(int64_t(count * minBytes), left);
}

int32_t ReadInt(CArchive& ar) {
    return int32_t(ReadUInt(ar));
}

uint32_t ReadUInt(CArchive& ar) {
    uint32_t value = 0;
    ar.ReadDWord(value);
    return value;
}

float ReadFloat(CArchive& ar) {
    float value = 0.0f;
    ar.ReadFloat(value);
    return value;
}

} // namespace Engine::Graphics::PlaceFile

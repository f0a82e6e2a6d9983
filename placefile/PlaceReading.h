#pragma once
// Checked reading shared by the place-file readers: chunk IDs compared with
// a fixed message, opaque chunks skipped, and counts and lengths held
// against the bytes that remain before anything is sized by them.

#include <cstdint>

#include "app/Archive.h"

namespace Engine::Graphics::PlaceFile {

// Reads a chunk header; a different ID throws Engine::CException(message).
CChunkHeader ExpectChunk(CArchive& ar, uint32_t id, const CString& message);
// Reads a chunk header whatever its ID and skips its data.
void SkipChunk(CArchive& ar);
// Skips bytes that must exist; a shorter stream gives the archive's
// short-read message.
void SkipBytes(CArchive& ar, uint64_t count);
// A count of records of at least minBytes each that cannot fit into the
// bytes left throws the archive's short-read message before any array is
// sized by it.
void CheckCount(CArchive& ar, uint64_t count, uint64_t minBytes);

int32_t ReadInt(CArchive& ar);
uint32_t ReadUInt(CArchive& ar);
float ReadFloat(CArchive& ar);

} // namespace Engine::Graphics::PlaceFile

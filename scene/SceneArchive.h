#pragma once
// The pieces of the scene archive shared by every scene class: chunk IDs,
// class names, object references and checked chunk and count reads.

#include <cstdint>

#include "app/Archive.h"
#include "scene/Animatable.h"

namespace Engine::Scene {

enum ESceneChunk : uint32_t {
    CHUNK_SCENE = 0x4E454353,  // "SCEN"
    CHUNK_SCENE_TIME = 0x5CE0,
    CHUNK_ANIMATABLE = 0xCCDD,
    CHUNK_REFLECTABLE = 0x12D2,
    CHUNK_REFLECTION_ANI_OBJECT = 0xA1B3,
};
constexpr uint32_t CHUNK_VERSION = 0x101;
constexpr uint32_t SCENE_CHUNK_VERSION = 0x102;

// Writes the type's full registered name, or reads a name and looks the
// class up. An unregistered class, either way, throws Engine::CException.
void SerializeClassType(CArchive& ar, CTypePair& type);

// Reads one object reference: "NULL", a back-reference to an object read
// before in this archive, or a new object created by class name with its
// body. Null on an archive open for writing. An unknown class name, a class
// that is no animatable, and a reference to an object never defined throw
// Engine::CException.
CAnimatable::Ref ReadAnimatableRef(CArchive& ar);

// Writes the object's record, or "NULL" for no object.
void WriteAnimatableRef(CArchive& ar, CAnimatable* object);

void SerializeDouble(CArchive& ar, double& value);

// Refuses an object read into one of the owner's slots when its own slots
// (a standard controller's curve lists among them) lead back to the owner:
// such a loop would evaluate or notify for ever. The slots are walked, not
// the links, because curves and curve lists read from an archive are held by
// their slots alone. Throws Engine::CException naming the reported ID.
void RefuseSelfAnimation(const CAnimatable& read, const CAnimatable& owner, uint32_t reportedId);

// Reads a chunk header whose data must lie within the stream; returns the
// stream position where the chunk's data ends. With a wrong ID the header's
// owner is logged and the integer 1 thrown. The chunk's version goes to
// version when given.
int64_t ReadObjectChunk(CArchive& ar, uint32_t expectedId, const char* owner, uint32_t* version = nullptr);
// Throws Engine::CException unless the chunk was read to its end exactly.
void CheckChunkEnd(CArchive& ar, int64_t end, const char* owner);
// Throws Engine::CException unless count records of at least minBytes each
// can still follow in the stream.
void CheckCount(CArchive& ar, uint32_t count, uint32_t minBytes, const char* what);

} // namespace Engine::Scene

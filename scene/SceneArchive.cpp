#include "scene/SceneArchive.h"

#include <unordered_set>
#include <vector>

#include "app/Exception.h"
#include "app/Log.h"
#include "reflection/TypeInfo.h"
#include "scene/ClassDir.h"
#include "scene/controllers/EaseCurveList.h"
#include "scene/controllers/MultCurveList.h"
#include "scene/controllers/StdController.h"

namespace Engine::Scene {

namespace {

const char* const NULL_REFERENCE = "NULL";

// Whether the next four bytes are the chunk ID; the stream stays where it is.
bool NextChunkIs(CArchive& ar, uint32_t id) {
    if (ar.GetBytesLeft() < 4) return false;
    Engine::CAbstractFile* file = ar.GetFile();
    const int64_t position = file->Tell();
    uint32_t next = 0;
    ar.ReadDWord(next);
    file->Seek(position, Engine::SEEK_FROM_START);
    return next == id;
}

const Engine::Reflection::CTypeInfo* FindClassOrThrow(const CString& name) {
    const Engine::Reflection::CTypeInfo* type = CClassDir::GetInstance().FindClassByName(name);
    if (!type) throw Engine::CException::Format("Scene serialization error: Unknown class '%s'", name.c_str());
    return type;
}

} // namespace

void SerializeClassType(CArchive& ar, CTypePair& type) {
    if (ar.IsStoring()) {
        if (!type.type || !type.type->HasName()) {
            throw Engine::CException::Format("Scene serialization error: Class '%s' is not registered",
                                             type.type ? type.type->GetType().name() : "(none)");
        }
        ar.WriteString(type.type->GetFullName());
        return;
    }
    CString name;
    ar.ReadString(name);
    type = {FindClassOrThrow(name), true};
}

CAnimatable::Ref ReadAnimatableRef(CArchive& ar) {
    if (ar.IsStoring()) return nullptr;
    CString name;
    ar.ReadString(name);
    if (name == NULL_REFERENCE) return nullptr;
    const Engine::Reflection::CTypeInfo* type = FindClassOrThrow(name);
    CClassDir& dir = CClassDir::GetInstance();
    uint32_t id = 0;
    ar.ReadDWord(id);
    if (CAnimatable::Ref found = dir.FindObject(id)) {
        if (found->GetReflectionType().type->GetType() == type->GetType()) return found;
    }
    // An object not met before brings its body; a bare record would refer
    // to an object this archive never defined.
    if (!NextChunkIs(ar, CHUNK_ANIMATABLE)) {
        throw Engine::CException::Format("Scene serialization error: Object %u of class '%s' is never defined", id,
                                         name.c_str());
    }
    const CClassDir::CNestedRead nested(dir);
    CAnimatable::Ref object = dir.CreateObject(type);
    object->SetObjectId(id);
    object->Serialize(ar);
    return object;
}

void WriteAnimatableRef(CArchive& ar, CAnimatable* object) {
    if (object)
        object->Serialize(ar);
    else
        ar.WriteString(NULL_REFERENCE);
}

void SerializeDouble(CArchive& ar, double& value) {
    if (ar.IsStoring())
        ar.Write(&value, sizeof value);
    else
        ar.Read(&value, sizeof value);
}

void RefuseSelfAnimation(const CAnimatable& read, const CAnimatable& owner, uint32_t reportedId) {
    std::unordered_set<const CAnimatable*> seen{&read};
    std::vector<CAnimatable::Ref> pending;
    const auto visit = [&](CAnimatable::Ref next) {
        if (next && seen.insert(next.get()).second) pending.push_back(std::move(next));
    };
    const auto expand = [&](const CAnimatable& node) {
        if (&node == &owner)
            throw Engine::CException::Format("Scene serialization error: Object %u would animate itself", reportedId);
        for (int i = 0; i < node.GetSubAnimCount(); ++i) visit(node.GetSubAnim(i));
        if (const auto* controller = dynamic_cast<const CStdController*>(&node)) {
            visit(controller->GetEaseCurveList());
            visit(controller->GetMultCurveList());
        }
    };
    expand(read);
    while (!pending.empty()) {
        const CAnimatable::Ref next = std::move(pending.back());
        pending.pop_back();
        expand(*next);
    }
}

int64_t ReadObjectChunk(CArchive& ar, uint32_t expectedId, const char* owner, uint32_t* version) {
    CChunkHeader header;
    ar.ReadChunkHeader(header);
    if (header.id != expectedId) {
        GetLog().PrintLine("%s::Serialize(...) : FAILED : Invalid chunk ID 0x%X", owner, header.id);
        throw 1;
    }
    if (int64_t(header.length) > ar.GetBytesLeft()) {
        throw Engine::CException::Format("Scene serialization error: Chunk 0x%X of %s is longer than the data left",
                                         header.id, owner);
    }
    if (version) *version = header.version;
    return ar.GetFile()->Tell() + int64_t(header.length);
}

void CheckChunkEnd(CArchive& ar, int64_t end, const char* owner) {
    const int64_t position = ar.GetFile()->Tell();
    if (position != end) {
        throw Engine::CException::Format("Scene serialization error: Chunk of %s ends at %lld, its data at %lld", owner,
                                         static_cast<long long>(end), static_cast<long long>(position));
    }
}

void CheckCount(CArchive& ar, uint32_t count, uint32_t minBytes, const char* what) {
    if (uint64_t(count) * minBytes > uint64_t(ar.GetBytesLeft())) {
        throw Engine::CException::Format("Scene serialization error: %u %s cannot fit in the data left", count, what);
    }
}

} // namespace Engine::Scene

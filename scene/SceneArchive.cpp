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

// The objects made for records, numbered in the order made; numbering stops
// (0: not known) rather than wrap. Reading runs on the main thread only.
uint32_t g_lastReadSerial = 0;
// The object made for the record being read (the innermost), while it is.
const CAnimatable* g_recordObject = nullptr;

uint32_t NextReadSerial() {
    return g_lastReadSerial == UINT32_MAX ? 0 : ++g_lastReadSerial;
}

// Marks the object made for a record while the record is read.
class CRecordBeingRead {
public:
    explicit CRecordBeingRead(const CAnimatable& object) : m_outer(g_recordObject) { g_recordObject = &object; }
    ~CRecordBeingRead() { g_recordObject = m_outer; }
    CRecordBeingRead(const CRecordBeingRead&) = delete;
    CRecordBeingRead& operator=(const CRecordBeingRead&) = delete;

private:
    const CAnimatable* m_outer;
};

// True when the owner is the object made for the record being read and the
// node was made for a record before it. Then the node cannot lead back to
// the owner: objects are read depth first and, while a record is read, only
// the objects of that record gain slots, so the node's slots were filled
// before the owner existed, or (for a reader of the owner, still being read)
// hold only objects finished before it.
bool MadeBefore(const CAnimatable& node, const CAnimatable& owner) {
    const uint32_t made = node.GetReadSerial();
    return &owner == g_recordObject && made != 0 && made < owner.GetReadSerial();
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
    object->SetReadSerial(NextReadSerial());
    object->SetObjectId(id);
    const CRecordBeingRead reading(*object);
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
    // A slot of a back-reference costs no walk over everything behind it.
    if (MadeBefore(read, owner)) return;
    std::unordered_set<const CAnimatable*> seen{&read};
    std::vector<CAnimatable::Ref> pending;
    const auto visit = [&](CAnimatable::Ref next) {
        if (next && !MadeBefore(*next, owner) && seen.insert(next.get()).second)
            pending.push_back(std::move(next));
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

#include "scene/Animatable.h"

#include <typeinfo>

#include "app/Log.h"
#include "reflection/TypeRegistry.h"
#include "scene/AniObject.h"
#include "scene/ClassDir.h"
#include "scene/SceneArchive.h"
#include "scene/SceneRoot.h"

namespace Engine::Scene {

CAnimatable::CAnimatable() : m_objectId(TakeNextObjectId()) {}

CAnimatable::~CAnimatable() noexcept(false) {
    try {
        NotifyDependentsFrom(nullptr, REFMSG_REMOVED, 0);
    } catch (...) {
        GetLog().PrintLine("CAnimatable : a dependent failed to take the removal of object %u", m_objectId);
    }
}

CTypePair CAnimatable::GetReflectionType() const {
    return {Engine::Reflection::CTypeRegistry::Instance().GetTypeInfo(typeid(*this)), true};
}

bool CAnimatable::Serialize(CArchive& ar) {
    CTypePair type = GetReflectionType();
    if (ar.IsStoring()) {
        const bool written = CClassDir::GetInstance().RegisterObject(m_objectId, Ref(this));
        SerializeClassType(ar, type);
        ar.WriteDWord(m_objectId);
        if (written) return false;
        ar.BeginChunk(CHUNK_ANIMATABLE, CHUNK_VERSION);
        ar.WriteDWord(m_flags);
        ar.EndChunk();
        return true;
    }
    if (CClassDir::GetInstance().RegisterObject(m_objectId, Ref(this))) return false;
    const int64_t end = ReadObjectChunk(ar, CHUNK_ANIMATABLE, "CAnimatable");
    ar.ReadDWord(m_flags);
    CheckChunkEnd(ar, end, "CAnimatable");
    return true;
}

bool CAnimatable::SetSubAnim(Ref, int) { return false; }
int CAnimatable::GetSubAnimCount() const { return 0; }
CAnimatable::Ref CAnimatable::GetSubAnim(int) const { return nullptr; }
CString CAnimatable::GetSubAnimName(int) const { return CString(); }
void CAnimatable::RemoveSubAnim(int) {}

CString CAnimatable::GetClassName() const {
    return GetReflectionType().type->GetShortName();
}

CTypePair CAnimatable::GetSubAnimType(int) const { return {}; }

bool CAnimatable::IsConstant() const {
    return !s_updating && GetKeyCount() <= 1;
}

bool CAnimatable::UpdateAtTime(double time, bool record) {
    {
        const CUpdatePass pass;
        for (int i = 0; i < GetSubAnimCount(); ++i)
            if (const Ref sub = GetSubAnim(i)) sub->UpdateAtTime(time, record);
    }
    return true;
}

IKey* CAnimatable::AddKey(double, uint32_t) { return nullptr; }

int CAnimatable::CountSelectedKeys() const {
    int count = 0;
    for (int i = 0; i < GetKeyCount(); ++i)
        if (IsKeySelected(i)) ++count;
    return count;
}

int CAnimatable::GetKeyCount() const { return 0; }
double CAnimatable::GetKeyTime(int) const { return 0.0; }
IKey* CAnimatable::GetKey(int) const { return nullptr; }

int CAnimatable::GetNextSelectedKey(int index) const {
    for (int i = index + 1; i < GetKeyCount(); ++i)
        if (i >= 0 && IsKeySelected(i)) return i;
    return -1;
}

int CAnimatable::FindKeyAtTime(double) const { return -1; }
bool CAnimatable::GetNearestKeyTime(double, int, double*) const { return false; }
void CAnimatable::DeleteKeyAtTime(double) {}
bool CAnimatable::HasKeyAtTime(double) const { return false; }
void CAnimatable::SetKeyValue(int, float) {}
void CAnimatable::SetKeyTime(int, double) {}
void CAnimatable::DeleteKeys(uint32_t) {}
void CAnimatable::DeleteKey(int) {}
int CAnimatable::HitTestKeys(KeyHitList*, double, double, float, float, int, uint32_t) { return 2; }
bool CAnimatable::IsKeySelected(int) const { return false; }
void CAnimatable::SelectKey(int, bool) {}
void CAnimatable::SelectKeys(int, const KeyHitList*) {}
void CAnimatable::OffsetKeyValues(const Engine::Reflection::CValue&, bool) {}
void CAnimatable::MapKeyTimes(const ITimeMap&, uint32_t) {}

void CAnimatable::RaiseNextObjectId(uint32_t id) {
    if (id > s_nextObjectId) s_nextObjectId = id;
}

void CAnimatable::UpdateSubAnimsAtTime(CAnimatable& object, double time) {
    if (auto* scene = dynamic_cast<CScene*>(&object))
        scene->ApplyTimeToChildren(time);
    else
        UpdateSubAnimsFrom(object, 0, time);
}

void CAnimatable::UpdateSubAnimsFrom(CAnimatable& object, int first, double time) {
    for (int i = first; i < object.GetSubAnimCount(); ++i) {
        const Ref child = object.GetSubAnim(i);
        if (CAniObject* animated = ToAniObject(child.get())) animated->ApplyAtTime(time);
    }
}

} // namespace Engine::Scene

#include "scene/Reflectable.h"

#include "app/Exception.h"
#include "app/LoadingQuitCheck.h"
#include "reflection/Properties.h"
#include "reflection/TypeInfo.h"
#include "scene/ClassDir.h"
#include "scene/SceneArchive.h"
#include "scene/controllers/Controller.h"

namespace Engine::Scene {

using Engine::Reflection::CPropertyInfo;

namespace {

// A property name and a "NULL" reference at the least.
constexpr uint32_t MIN_PROPERTY_ENTRY_BYTES = 1 + 5;

const CPropertyInfo* FindPropertyByName(const Engine::Reflection::CTypeInfo* type, const CString& name) {
    std::vector<const CPropertyInfo*> properties;
    type->GetProperties(properties);
    for (const CPropertyInfo* property : properties)
        if (property->GetName() == name) return property;
    return nullptr;
}

} // namespace

int CReflectable::NotifyRefChanged(CReferenceTarget::Ref, int message) {
    if (message == REFMSG_CHANGED) {
        SetFlags(GetFlags() | FLAG_CHANGED);
        if (GetFlags() & FLAG_SUPPRESS_CHANGES) return REFRESULT_STOP;
    }
    return REFRESULT_CONTINUE;
}

void CReflectable::Dispose() {
    DeleteAllReferences();
    // Moved out first: releasing a slot may run code that looks at the list.
    EntryVector entries;
    entries.swap(m_entries);
}

bool CReflectable::Serialize(CArchive& ar) {
    if (!CAnimatable::Serialize(ar)) return false;
    if (ar.IsStoring())
        WriteRecord(ar);
    else
        ReadRecord(ar);
    return true;
}

void CReflectable::WriteRecord(CArchive& ar) {
    ar.BeginChunk(CHUNK_REFLECTABLE, CHUNK_VERSION);
    const bool bound = m_bound && m_boundType.type;
    ar.WriteByte(bound ? 1 : 0);
    if (bound) {
        SerializeClassType(ar, m_boundType);
        ar.WriteDWord(uint32_t(m_entries.size()));
        // Indexed: writing a slot's object never changes the list, but
        // references into it would not survive a change.
        for (size_t i = 0; i < m_entries.size(); ++i) {
            ar.WriteString(m_entries[i].property->GetName());
            const CAnimatable::Ref sub = m_entries[i].sub;
            WriteAnimatableRef(ar, sub.get());
        }
    }
    ar.EndChunk();
}

void CReflectable::ReadRecord(CArchive& ar) {
    const int64_t end = ReadObjectChunk(ar, CHUNK_REFLECTABLE, "CReflectable");
    uint8_t bound = 0;
    ar.ReadByte(bound);
    if (bound) {
        CTypePair type;
        SerializeClassType(ar, type);
        SetReflectedType(type.type);
        uint32_t count = 0;
        ar.ReadDWord(count);
        CheckCount(ar, count, MIN_PROPERTY_ENTRY_BYTES, "properties");
        for (uint32_t i = 0; i < count; ++i) {
            Engine::CLoadingQuitCheck::Count();
            CString name;
            ar.ReadString(name);
            // Read even when it is dropped, so the stream stays in step.
            CAnimatable::Ref sub = ReadAnimatableRef(ar);
            const CPropertyInfo* property = FindPropertyByName(type.type, name);
            if (property && AttachReadController(property, sub)) continue;
            // A later record may still refer to it by ID: it stays whole
            // until the whole archive has been read.
            CClassDir::GetInstance().KeepDropped(std::move(sub));
        }
    }
    CheckChunkEnd(ar, end, "CReflectable");
}

bool CReflectable::AttachReadController(const CPropertyInfo* property, CAnimatable::Ref sub) {
    if (sub) {
        const Engine::Reflection::CTypeInfo* valueType =
            GetControllerValueType(sub->GetReflectionType().type, EClassNameForm::Short);
        if (valueType->GetType() != property->GetType()->GetType()) return false;
        // A loop would send change messages round it for ever.
        RefuseSelfAnimation(*sub, *this, sub->GetObjectId());
    }
    const int index = FindPropertyIndex(property);
    if (index >= 0)
        SetSubAnim(std::move(sub), index);
    else
        AppendProperty(std::move(sub), property);
    return true;
}

bool CReflectable::SetSubAnim(CAnimatable::Ref sub, int index) {
    RemoveSubAnim(index);
    m_entries.at(size_t(index)).sub = sub;
    if (sub) {
        ++s_slotFills;
        AddReference(std::move(sub), index);
    }
    return true;
}

int CReflectable::GetSubAnimCount() const {
    return int(m_entries.size());
}

CAnimatable::Ref CReflectable::GetSubAnim(int index) const {
    return EntryAt(index).sub;
}

CString CReflectable::GetSubAnimName(int index) const {
    return EntryAt(index).property->GetName();
}

void CReflectable::RemoveSubAnim(int index) {
    CEntry& entry = m_entries.at(size_t(index));
    if (entry.sub) {
        const CAnimatable::Ref sub = entry.sub;
        sub->Dispose();
        // Disposing may already have emptied the list.
        if (size_t(index) < m_entries.size()) m_entries[size_t(index)].sub = nullptr;
    }
}

bool CReflectable::HasFilledSlot() const {
    for (const CEntry& entry : m_entries)
        if (entry.sub) return true;
    return false;
}

CTypePair CReflectable::GetSubAnimType(int index) const {
    return {EntryAt(index).property->GetType(), true};
}

bool CReflectable::IsConstant() const {
    for (const CEntry& entry : m_entries)
        if (entry.sub && !entry.sub->IsConstant()) return false;
    return !IsUpdating() && GetKeyCount() < 2;
}

void CReflectable::SetReflectedType(const Engine::Reflection::CTypeInfo* type) {
    m_boundType = {type, true};
    if (type && type->IsDefined())
        Bind();
    else
        m_bound = false;
}

void CReflectable::Bind() {
    // Slots of an earlier binding let go of their objects.
    EntryVector old;
    old.swap(m_entries);
    for (CEntry& entry : old)
        if (entry.sub) RemoveReference(entry.sub);
    std::vector<const Engine::Reflection::CPropertyInfo*> properties;
    m_boundType.type->GetProperties(properties);
    for (const CPropertyInfo* property : properties) m_entries.push_back({property, nullptr});
    m_bound = true;
    UpdateAtTime(0.0, true);
}

void CReflectable::AppendProperty(CAnimatable::Ref sub, const CPropertyInfo* property) {
    if (sub) {
        ++s_slotFills;
        AddReference(sub, int(m_entries.size()));
    }
    m_entries.push_back({property, std::move(sub)});
}

int CReflectable::FindPropertyIndex(const CPropertyInfo* property) const {
    for (size_t i = 0; i < m_entries.size(); ++i)
        if (m_entries[i].property == property) return int(i);
    return -1;
}

} // namespace Engine::Scene

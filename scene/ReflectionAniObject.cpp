#include "scene/ReflectionAniObject.h"

#include "app/Exception.h"
#include "app/Log.h"
#include "reflection/Exceptions.h"
#include "reflection/Properties.h"
#include "scene/ReflectionAnimObject.h"
#include "scene/SceneArchive.h"
#include "scene/controllers/Controller.h"
#include "scene/reflection/QueryKeyControl.h"

namespace Engine::Scene {

using Engine::Reflection::CValue;

CReflectionAniObject::~CReflectionAniObject() noexcept(false) {
    // Nothing counts this wrapper any more, so the object is not unbound:
    // unbinding might release a reference to it.
    DeleteWrappedObject(false);
}

void CReflectionAniObject::Dispose() {
    CReflectable::Dispose();
    DeleteWrappedObject(true);
    ClearReflectedType();
}

IReflectionAnimObject* CReflectionAniObject::GetAnimObject() const {
    const Engine::Reflection::CTypeInfo* type = GetReflectedType().type;
    if (m_object.IsEmpty() || !type || !type->IsSubclassOf(Engine::Reflection::TypeOf<IReflectionAnimObject>()))
        return nullptr;
    // Converted once per wrapped object: the conversion searches the
    // converter graph, and the teardown asks for every object.
    if (!m_animObject) m_animObject = m_object.GetAs<IReflectionAnimObject*>();
    return m_animObject;
}

void CReflectionAniObject::DeleteWrappedObject(bool unbind) noexcept {
    try {
        if (IReflectionAnimObject* object = GetAnimObject()) {
            if (unbind) object->Unbind();
            delete object;
        }
    } catch (...) {
        GetLog().PrintLine("CReflectionAniObject : the wrapped object of object %u failed to go", GetObjectId());
    }
    m_object = CValue();
    m_animObject = nullptr;
}

bool CReflectionAniObject::Serialize(CArchive& ar) {
    if (!CReflectable::Serialize(ar)) return false;
    if (ar.IsStoring()) {
        ar.BeginChunk(CHUNK_REFLECTION_ANI_OBJECT, CHUNK_VERSION);
        if (IReflectionAnimObject* object = GetAnimObject()) object->Serialize(ar);
        ar.EndChunk();
        return true;
    }
    const int64_t end = ReadObjectChunk(ar, CHUNK_REFLECTION_ANI_OBJECT, "CReflectionAniObject");
    CreateWrappedObject();
    if (IReflectionAnimObject* object = GetAnimObject()) object->Serialize(ar);
    CheckChunkEnd(ar, end, "CReflectionAniObject");
    return true;
}

void CReflectionAniObject::CreateWrappedObject() {
    DeleteWrappedObject(true);
    const Engine::Reflection::CTypeInfo* type = GetReflectedType().type;
    if (!type) return;
    std::vector<CValue> args{CValue(static_cast<CReflectionAniObject*>(this))};
    try {
        m_object = type->CreateInstance(std::move(args));
    } catch (int) {
        throw Engine::CException::Format("Scene serialization error: Class '%s' cannot be created for its wrapper",
                                         type->GetFullName().c_str());
    }
}

bool CReflectionAniObject::UpdateAtTime(double time, bool record) {
    {
        const CUpdatePass pass;
        for (int i = 0; !m_object.IsEmpty() && i < GetSubAnimCount(); ++i) {
            const CAnimatable::Ref sub = GetSubAnim(i);
            CController* controller = ToController(sub.get());
            const Engine::Reflection::CPropertyInfo* property = GetEntries()[size_t(i)].property;
            if (!controller || !property->HasGetter()) continue;
            const CValue current = property->GetValue(m_object);
            CValue animated;
            controller->GetControllerValue(time, animated);
            if (!record) {
                // A value without a difference (a bool) leaves its keys alone;
                // the default bool controller would otherwise fail every
                // wrapper that has a bool property.
                CValue delta;
                try {
                    delta = current.Subtract(animated);
                } catch (const Engine::Reflection::CCalculationNotPermittedException&) {
                    continue;
                }
                controller->OffsetKeyValues(delta, false);
            } else if (!current.Equals(animated) ||
                       (QueryKeyControl(controller) && controller->GetKeyCount() == 0)) {
                controller->SetControllerValue(time, current, 1);
            }
        }
    }
    NotifyDependents(REFMSG_CHANGED, 1);
    return true;
}

CString CReflectionAniObject::GetName() const {
    const IReflectionAnimObject* object = GetAnimObject();
    return object ? object->GetName() : CString();
}

void CReflectionAniObject::ApplyAtTime(double time) {
    for (int i = 0; !m_object.IsEmpty() && i < GetSubAnimCount(); ++i) {
        const CAnimatable::Ref sub = GetSubAnim(i);
        CController* controller = ToController(sub.get());
        if (!controller || controller->IsConstant()) continue;
        CValue value;
        controller->GetControllerValue(time, value);
        GetEntries()[size_t(i)].property->SetValue(m_object, value);
    }
}

} // namespace Engine::Scene

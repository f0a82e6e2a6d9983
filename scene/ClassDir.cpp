#include "scene/ClassDir.h"

#include <vector>

#include "app/Exception.h"
#include "reflection/Constructors.h"
#include "reflection/Properties.h"
#include "reflection/Value.h"
#include "scene/Reflectable.h"
#include "scene/controllers/Controller.h"
#include "scene/controllers/ControllerAttributes.h"

namespace Engine::Scene {

using Engine::Reflection::CTypeInfo;
using Engine::Reflection::TypeOf;

CClassDir& CClassDir::GetInstance() {
    // Never destroyed: what it still holds at exit (a big scene's objects,
    // disposed of with their place file long before) would only go back to
    // the scene pools, whose memory goes with the process; at 300,000
    // animated objects that was two fifths of the exit.
    static CClassDir* const s_instance = new CClassDir;
    return *s_instance;
}

CClassDir::CClassDir()
    : m_registry(&Engine::Reflection::CTypeRegistry::Instance()),
      m_typeMap(&m_registry->GetTypeMap()),
      m_typeCursor(m_typeMap->begin()) {}

CClassDir::~CClassDir() = default;

CClassDir::CNestedRead::CNestedRead(CClassDir& dir) : m_dir(dir) {
    if (m_dir.m_readDepth >= MAX_READ_DEPTH)
        throw Engine::CException("Scene serialization error: Objects are nested too deeply");
    ++m_dir.m_readDepth;
}

bool CClassDir::RegisterObject(uint32_t id, CAnimatable::Ref object) {
    if (const CAnimatable::Ref* held = m_objects.Find(id)) {
        if (*held == object) return true;
        do {
            id = CAnimatable::TakeNextObjectId();
        } while (m_objects.Contains(id));
        object->SetObjectId(id);
    }
    m_objects.Insert(id, std::move(object));
    return false;
}

CAnimatable::Ref CClassDir::FindObject(uint32_t id) const {
    const CAnimatable::Ref* held = m_objects.Find(id);
    return held ? *held : nullptr;
}

void CClassDir::Clear() {
    // Moved out first: releasing an object may reach the directory again.
    CObjectsById objects;
    objects.Swap(m_objects);
    std::vector<CAnimatable::Ref> dropped;
    dropped.swap(m_dropped);
}

void CClassDir::KeepDropped(CAnimatable::Ref object) {
    if (object) m_dropped.push_back(std::move(object));
}

void CClassDir::DisposeDropped() {
    std::vector<CAnimatable::Ref> dropped;
    dropped.swap(m_dropped);
    for (const CAnimatable::Ref& object : dropped) object->DisposeIfUnused();
}

void CClassDir::DisposeAll() {
    m_dropped.clear();
    CObjectsById objects;
    objects.Swap(m_objects);
    objects.ForEachAscending([](const CAnimatable::Ref& object) {
        try {
            object->Dispose();
        } catch (...) {
            // The others still go; the caller reports the read's failure.
        }
    });
}

const CTypeInfo* CClassDir::FindClassByName(const CString& name) const {
    return m_registry->FindTypeByName(name.view());
}

CAnimatable::Ref CClassDir::CreateObject(const CTypeInfo* type) const {
    const CTypeInfo* animatable = TypeOf<CAnimatable>();
    const CString name = type->GetFullName();
    if (type != animatable && !type->IsSubclassOf(animatable))
        throw Engine::CException::Format("Scene serialization error: Class '%s' is not animatable", name.c_str());
    if (type->IsAbstract() || !type->GetConstructor({}))
        throw Engine::CException::Format("Scene serialization error: Class '%s' cannot be created", name.c_str());
    const Engine::Reflection::CValue value = type->CreateDefaultInstance();
    return CAnimatable::Ref(value.GetAs<CAnimatable*>());
}

const CTypeInfo* CClassDir::FindDefaultController(const CTypeInfo* valueType) {
    const CTypeInfo* controller = TypeOf<CController>();
    for (m_typeCursor = m_typeMap->begin(); m_typeCursor != m_typeMap->end(); ++m_typeCursor) {
        const CTypeInfo* type = m_typeCursor->second.get();
        if (!type->IsDefined() || type->IsAbstract() || !type->IsSubclassOf(controller)) continue;
        if (!type->GetCustomAttribute<IValueTypeAttribute>(true)) continue;
        if (GetControllerValueType(type)->GetType() != valueType->GetType()) continue;
        if (type->GetCustomAttribute<IDefaultController>(true)) return type;
    }
    return nullptr;
}

void CClassDir::CreateDefaultControllers(CReflectable& object) {
    for (int i = 0; i < object.GetSubAnimCount(); ++i) {
        const CTypePair property = object.GetSubAnimType(i);
        if (!property.type) continue;
        if (const CTypeInfo* type = FindDefaultController(property.type)) object.SetSubAnim(CreateObject(type), i);
    }
    object.UpdateAtTime(0.0, false);
}

} // namespace Engine::Scene

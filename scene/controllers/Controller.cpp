#include "scene/controllers/Controller.h"

#include "app/Exception.h"
#include "reflection/TypeInfo.h"
#include "scene/SceneArchive.h"
#include "scene/controllers/ControllerAttributes.h"

namespace Engine::Scene {

const Engine::Reflection::CTypeInfo* GetControllerValueType(const Engine::Reflection::CTypeInfo* controllerClass,
                                                            EClassNameForm name) {
    const auto* attribute = controllerClass->GetCustomAttribute<IValueTypeAttribute>(true);
    if (!attribute || !attribute->GetValueType() || !attribute->GetValueType()->IsDefined()) {
        const CString className =
            name == EClassNameForm::Short ? controllerClass->GetShortName() : controllerClass->GetFullName();
        throw Engine::CException::Format("Controller \"%s\" Value Type Attribute not Defined", className.c_str());
    }
    return attribute->GetValueType();
}

CController* ToController(CAnimatable* sub) {
    if (!sub) return nullptr;
    auto* controller = dynamic_cast<CController*>(sub);
    if (!controller) throw 1;
    return controller;
}

bool CController::Serialize(CArchive& ar) {
    if (!CReflectable::Serialize(ar)) return false;
    if (ar.IsStoring()) {
        ar.BeginChunk(CHUNK_CONTROLLER, 1);
        ar.WriteDWord(uint32_t(m_typeBefore));
        ar.WriteDWord(uint32_t(m_typeAfter));
        ar.EndChunk();
        return true;
    }
    const int64_t end = ReadObjectChunk(ar, CHUNK_CONTROLLER, "CController");
    uint32_t before = 0, after = 0;
    ar.ReadDWord(before);
    ar.ReadDWord(after);
    CheckChunkEnd(ar, end, "CController");
    m_typeBefore = int32_t(before);
    m_typeAfter = int32_t(after);
    return true;
}

void CController::AddEaseCurve(Engine::ref_ptr<CController>) {}
void CController::AddMultCurve(Engine::ref_ptr<CController>) {}

CTypePair CController::GetValueType() const {
    return {GetControllerValueType(GetReflectionType().type), true};
}

CTimeRange CController::GetTimeRange(uint32_t) const {
    return {};
}

void CController::SetOutOfRangeType(int32_t type, int side) {
    if (side == ORT_BEFORE)
        m_typeBefore = type;
    else if (side == ORT_AFTER)
        m_typeAfter = type;
}

int32_t CController::GetOutOfRangeType(int side) const {
    if (side == ORT_BEFORE) return m_typeBefore;
    if (side == ORT_AFTER) return m_typeAfter;
    return -1;
}

void CController::SetValue(double, const Engine::Reflection::CValue&, int) {}

} // namespace Engine::Scene

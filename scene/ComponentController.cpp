#include "scene/ComponentController.h"

#include "reflection/Properties.h"
#include "scene/ClassDir.h"

namespace Engine::Scene {

using Engine::Reflection::CPropertyInfo;
using Engine::Reflection::CValue;

namespace {

// Change messages of the components are held back while the value is put
// together and sent once at the end; a failure leaves nothing held back.
class CChangeSuppression {
public:
    explicit CChangeSuppression(CReflectable& object) : m_object(object) {
        m_object.SetFlags((m_object.GetFlags() | CReflectable::FLAG_SUPPRESS_CHANGES) & ~CReflectable::FLAG_CHANGED);
    }
    ~CChangeSuppression() { Clear(); }
    CChangeSuppression(const CChangeSuppression&) = delete;
    CChangeSuppression& operator=(const CChangeSuppression&) = delete;

    void End() {
        const bool changed = (m_object.GetFlags() & CReflectable::FLAG_CHANGED) != 0;
        Clear();
        if (changed) m_object.NotifyDependents(REFMSG_CHANGED, 1);
    }

private:
    void Clear() {
        m_object.SetFlags(m_object.GetFlags() & ~(CReflectable::FLAG_SUPPRESS_CHANGES | CReflectable::FLAG_CHANGED));
    }
    CReflectable& m_object;
};

} // namespace

template <class Visit>
void CComponentController::ForEachComponent(Visit visit) {
    // The count is asked again after each component.
    for (size_t i = 0; i < GetEntries().size(); ++i) {
        const CEntry entry = GetEntries()[i];
        if (CController* component = ToController(entry.sub.get())) visit(*component, *entry.property);
    }
}

void CComponentController::GetControllerValue(double time, CValue& value) {
    CChangeSuppression suppression(*this);
    const CValue self = GetInstance();
    ForEachComponent([&](CController& component, const CPropertyInfo& property) {
        if (component.IsConstant() || !property.HasSetter()) return;
        CValue part;
        component.GetControllerValue(time, part);
        property.SetValue(self, part);
    });
    GetValue(time, value);
    suppression.End();
}

void CComponentController::SetControllerValue(double time, const CValue& value, int) {
    CChangeSuppression suppression(*this);
    SetValue(time, value, 1);
    const CValue self = GetInstance();
    ForEachComponent([&](CController& component, const CPropertyInfo& property) {
        if (!property.HasGetter()) return;
        const CValue part = property.GetValue(self);
        if (!part.IsEmpty()) component.SetControllerValue(time, part, 1);
    });
    suppression.End();
}

void CComponentController::OffsetKeyValues(const CValue& delta, bool selectedOnly) {
    CValue saved;
    GetValue(0.0, saved);
    SetValue(0.0, delta, 1);
    const CValue self = GetInstance();
    try {
        ForEachComponent([&](CController& component, const CPropertyInfo& property) {
            if (property.HasGetter()) component.OffsetKeyValues(property.GetValue(self), selectedOnly);
        });
    } catch (...) {
        SetValue(0.0, saved, 1);
        throw;
    }
    SetValue(0.0, saved, 1);
}

bool CComponentController::IsConstant() const {
    for (const CEntry& entry : GetEntries())
        if (entry.sub && !entry.sub->IsConstant()) return false;
    return true;
}

void CComponentController::BindComponents(const Engine::Reflection::CTypeInfo* ownType) {
    SetReflectedType(ownType);
    CClassDir::GetInstance().CreateDefaultControllers(*this);
}

} // namespace Engine::Scene

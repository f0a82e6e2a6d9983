#include "scene/AnimatedChildren.h"

#include <typeinfo>

#include "scene/AniObject.h"
#include "scene/ReflectionAniObject.h"

namespace Engine::Scene {

bool CAnimatedChildren::CanChangeAtTime(CAnimatable& child) {
    // The C++ class decides, not the registered one: a registration made
    // later cannot turn a child left out into an animated object. The step
    // still asks ToAniObject of each listed child, as the walk does.
    auto* animated = dynamic_cast<CAniObject*>(&child);
    if (!animated) return false;
    const std::type_info& type = typeid(*animated);
    if (type == typeid(CAniObject)) return false;
    if (type != typeid(CReflectionAniObject)) return true;
    return animated->HasFilledSlot();
}

void CAnimatedChildren::Appended(const ChildList& children) {
    ++m_edits;
    if (!m_stale && CanChangeAtTime(*children.back())) m_indices.push_back(children.size() - 1);
}

void CAnimatedChildren::Changed() {
    ++m_edits;
    m_stale = true;
}

void CAnimatedChildren::ListAgain(const ChildList& children) {
    m_indices.clear();
    for (size_t i = 0; i < children.size(); ++i)
        if (CanChangeAtTime(*children[i])) m_indices.push_back(i);
    m_slotFills = CReflectable::GetSlotFills();
    m_stale = false;
}

void CAnimatedChildren::ApplyAtTime(CAnimatable& scene, const ChildList& children, double time) {
    if (m_stale || m_slotFills != CReflectable::GetSlotFills()) ListAgain(children);
    const uint64_t edits = m_edits;
    // Indexed: an ApplyAtTime may append to the list.
    for (size_t k = 0; k < m_indices.size(); ++k) {
        const size_t index = m_indices[k];
        const CAnimatable::Ref child = children[index];
        if (CAniObject* animated = ToAniObject(child.get())) animated->ApplyAtTime(time);
        if (m_edits != edits || m_slotFills != CReflectable::GetSlotFills()) {
            CAnimatable::UpdateSubAnimsFrom(scene, int(index) + 1, time);
            return;
        }
    }
}

} // namespace Engine::Scene

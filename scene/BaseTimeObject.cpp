#include "scene/BaseTimeObject.h"

#include <algorithm>

namespace Engine::KeyFramer {

CBaseTimeObject::CBaseTimeObject(Engine::ref_ptr<CBaseTimeObject> parent, double offset)
    : m_start(offset), m_parent(std::move(parent)) {
    if (!m_parent) return;
    m_start = offset + m_parent->m_spanStart;
    m_parent->m_children.push_back(this);
    // The base's SetSpan; there are no children yet to pass it to.
    m_spanStart = m_parent->m_spanStart;
    m_spanEnd = m_parent->m_spanEnd;
}

CBaseTimeObject::~CBaseTimeObject() noexcept(false) {
    if (!m_parent) return;
    auto& siblings = m_parent->m_children;
    auto it = std::find(siblings.begin(), siblings.end(), this);
    if (it != siblings.end()) siblings.erase(it);
}

void CBaseTimeObject::SetSpan(double start, double end) {
    m_spanStart = start;
    m_spanEnd = end;
    for (CBaseTimeObject* child : m_children) child->SetSpan(start, end);
}

} // namespace Engine::KeyFramer

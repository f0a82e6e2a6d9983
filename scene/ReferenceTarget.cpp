#include "scene/ReferenceTarget.h"

#include <algorithm>

#include "app/Log.h"

namespace Engine::Scene {

namespace {

// An index at or past the end inserts before the last entry; below 0, at 0.
int ClampIndex(size_t count, int index) {
    if (index >= int(count)) index = int(count) - 1;
    return index < 0 ? 0 : index;
}

} // namespace

CReferenceTarget::~CReferenceTarget() noexcept(false) {
    UnlinkAllFromDestructor();
}

bool CReferenceTarget::Insert(RefList& list, CReferenceTarget* self, Ref object, int index) {
    if (!object) return false;
    if (std::find(list.begin(), list.end(), self) != list.end()) return false;
    list.insert(list.begin() + index, std::move(object));
    return true;
}

bool CReferenceTarget::AddReference(Ref target, int index) {
    CReferenceTarget* added = target.get();
    // The target gets the index as clamped here, not as asked: it decides
    // where this object stands among the target's dependents.
    index = ClampIndex(m_references.size(), index);
    if (!Insert(m_references, this, std::move(target), index)) return false;
    added->AddDependent(Ref(this), index);
    return true;
}

int CReferenceTarget::NotifyRefChanged(Ref, int) {
    return REFRESULT_CONTINUE;
}

int CReferenceTarget::NotifyDependents(int message, int propagate) {
    const Ref self = Pin();  // a dependent may drop the last other reference
    return NotifyDependentsFrom(this, message, propagate);
}

int CReferenceTarget::NotifyDependentsFrom(CReferenceTarget* source, int message, int propagate) {
    for (size_t i = 0; i < m_dependents.size(); ++i) {
        const Ref dependent = m_dependents[i];
        if (dependent->NotifyRefChanged(Ref(source), message) == REFRESULT_STOP) return REFRESULT_STOP;
        if (propagate) dependent->NotifyDependents(message, propagate);
    }
    return REFRESULT_CONTINUE;
}

bool CReferenceTarget::AddDependent(Ref dependent, int index) {
    return Insert(m_dependents, this, std::move(dependent), ClampIndex(m_dependents.size(), index));
}

bool CReferenceTarget::RemoveReference(Ref target) {
    const Ref self = Pin();  // the target may hold the last other reference
    return UnlinkReference(target.get(), true);
}

bool CReferenceTarget::RemoveDependent(Ref dependent) {
    const Ref self = Pin();
    return UnlinkDependent(dependent.get(), true);
}

bool CReferenceTarget::UnlinkReference(CReferenceTarget* target, bool disposeOrphans) {
    auto it = std::find(m_references.begin(), m_references.end(), target);
    if (it == m_references.end()) return false;
    const Ref keep = std::move(*it);
    m_references.erase(it);
    target->UnlinkDependent(this, disposeOrphans);
    return true;
}

bool CReferenceTarget::UnlinkDependent(CReferenceTarget* dependent, bool disposeOrphans) {
    auto it = std::find(m_dependents.begin(), m_dependents.end(), dependent);
    if (it == m_dependents.end()) return false;
    const Ref keep = std::move(*it);
    m_dependents.erase(it);
    dependent->UnlinkReference(this, disposeOrphans);
    if (disposeOrphans) DisposeIfUnused();
    return true;
}

bool CReferenceTarget::DeleteAllReferences() {
    const Ref self = Pin();
    NotifyDependents(REFMSG_REMOVED, 1);
    while (!m_references.empty()) UnlinkReference(m_references.front().get(), true);
    while (!m_dependents.empty()) UnlinkDependent(m_dependents.front().get(), true);
    return true;
}

void CReferenceTarget::Dispose() {
    DeleteAllReferences();
}

void CReferenceTarget::DisposeIfUnused() {
    if (!IsInUse()) Dispose();
}

void CReferenceTarget::DisposeIfUnusedFromDestructor() noexcept {
    try {
        DisposeIfUnused();
    } catch (...) {
        GetLog().PrintLine("CReferenceTarget : an object its owner let go of failed to be disposed of");
    }
}

void CReferenceTarget::UnlinkAllFromDestructor() noexcept {
    try {
        NotifyDependentsFrom(nullptr, REFMSG_REMOVED, 1);
        while (!m_references.empty()) UnlinkReference(m_references.front().get(), false);
        while (!m_dependents.empty()) UnlinkDependent(m_dependents.front().get(), false);
    } catch (...) {
        GetLog().PrintLine("CReferenceTarget : a link failed to come apart while the object was destroyed");
        m_references.clear();
        m_dependents.clear();
    }
}

} // namespace Engine::Scene

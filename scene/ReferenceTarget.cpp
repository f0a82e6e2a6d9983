#include "scene/ReferenceTarget.h"

#include <utility>

#include "app/CacheLine.h"
#include "app/Log.h"

namespace Engine::Scene {

namespace {

// An index at or past the end inserts before the last entry; below 0, at 0.
int ClampIndex(size_t count, int index) {
    if (index >= int(count)) index = int(count) - 1;
    return index < 0 ? 0 : index;
}

class CChainLink;

// The chain the next notification joins: set only across the call that
// passes a message further down, so that a notification started anywhere
// else (a handler, a destructor) begins a chain of its own.
thread_local const CChainLink* t_passingOn = nullptr;

// One object passing a message on to its dependents, after the objects that
// passed it to this one: the chain of one propagation, kept on the stack of
// its nested calls. The object counts the chains it is on.
class CChainLink {
public:
    CChainLink(const CReferenceTarget* object, int& chainsOn)
        : m_object(object), m_previous(std::exchange(t_passingOn, nullptr)), m_chainsOn(chainsOn) {
        ++m_chainsOn;
    }
    CChainLink(const CChainLink&) = delete;
    CChainLink& operator=(const CChainLink&) = delete;
    ~CChainLink() { --m_chainsOn; }

    // Walked only for an object on some chain, so a line of objects costs
    // nothing more to tell however long it is.
    bool Holds(const CReferenceTarget* object, int chainsOn) const {
        if (chainsOn == 0) return false;
        for (const CChainLink* link = this; link; link = link->m_previous)
            if (link->m_object == object) return true;
        return false;
    }

    void PassOn(CReferenceTarget& dependent, int message, int propagate) const {
        struct SReset {
            ~SReset() { t_passingOn = nullptr; }
        } reset;
        t_passingOn = this;
        dependent.NotifyDependents(message, propagate);
    }

private:
    const CReferenceTarget* m_object;
    const CChainLink* m_previous;
    int& m_chainsOn;
};

} // namespace

CReferenceTarget::~CReferenceTarget() noexcept(false) {
    UnlinkAllFromDestructor();
}

bool CReferenceTarget::Insert(CRefList& list, CReferenceTarget* self, Ref object, int index) {
    // Refusing this object itself keeps it out of its own lists, so no list
    // can already hold it either.
    if (!object || object.get() == self) return false;
    list.Insert(size_t(index), std::move(object));
    return true;
}

bool CReferenceTarget::AddReference(Ref target, int index) {
    CReferenceTarget* added = target.get();
    // The target gets the index as clamped here, not as asked: it decides
    // where this object stands among the target's dependents.
    index = ClampIndex(m_references.Size(), index);
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
    const CChainLink chain(this, m_chainsOn);
    for (size_t i = 0; i < m_dependents.Size(); ++i) {
        const Ref dependent = m_dependents.At(i);
        if (dependent->NotifyRefChanged(Ref(source), message) == REFRESULT_STOP) return REFRESULT_STOP;
        // A dependent already passing this message on closes a loop: it has
        // been told, and passing the message on again would go round for ever.
        if (propagate && !chain.Holds(dependent.get(), dependent->m_chainsOn))
            chain.PassOn(*dependent, message, propagate);
    }
    return REFRESULT_CONTINUE;
}

bool CReferenceTarget::AddDependent(Ref dependent, int index) {
    return Insert(m_dependents, this, std::move(dependent), ClampIndex(m_dependents.Size(), index));
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
    const Ref keep = m_references.RemoveFirst(target);
    if (!keep) return false;
    target->UnlinkDependent(this, disposeOrphans);
    return true;
}

bool CReferenceTarget::UnlinkDependent(CReferenceTarget* dependent, bool disposeOrphans) {
    const Ref keep = m_dependents.RemoveFirst(dependent);
    if (!keep) return false;
    dependent->UnlinkReference(this, disposeOrphans);
    if (disposeOrphans) DisposeIfUnused();
    return true;
}

bool CReferenceTarget::DeleteAllReferences() {
    const Ref self = Pin();
    NotifyDependents(REFMSG_REMOVED, 1);
    while (!m_references.Empty()) UnlinkReference(m_references.Front().get(), true);
    while (!m_dependents.Empty()) UnlinkDependent(m_dependents.Front().get(), true);
    return true;
}

void CReferenceTarget::Dispose() {
    DeleteAllReferences();
}

void CReferenceTarget::PrefetchReferences(int depth) const {
    if (depth > 0) {
        m_references.ForEachHeldInPlace([depth](const CReferenceTarget& target) { target.PrefetchReferences(depth - 1); });
        return;
    }
    // The lines that hold the links, the first a disposal touches.
    PrefetchLines(this, 2 * kCacheLineBytes);
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
        while (!m_references.Empty()) UnlinkReference(m_references.Front().get(), false);
        while (!m_dependents.Empty()) UnlinkDependent(m_dependents.Front().get(), false);
    } catch (...) {
        GetLog().PrintLine("CReferenceTarget : a link failed to come apart while the object was destroyed");
        m_references.Clear();
        m_dependents.Clear();
    }
}

} // namespace Engine::Scene

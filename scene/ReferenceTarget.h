#pragma once
// The base of every scene object: two lists of counted references, the
// objects this one refers to and the objects that refer to it, kept
// symmetric, and numbered change messages passed to the dependents.

#include <cstdint>

#include "app/Referenced.h"
#include "scene/RefList.h"
#include "scene/ScenePool.h"

namespace Engine::Scene {

template <class T>
class CSlotRef;

// Messages passed by NotifyDependents.
enum ERefMessage : int {
    REFMSG_CHANGED = 16,    // the source's value changed
    REFMSG_REMOVED = 18,    // the source is going away or lost a child
    REFMSG_ADDED = 19,      // the source was added to a scene
};
// NotifyRefChanged answers: go on, or stop the notification here.
enum ERefResult : int { REFRESULT_CONTINUE = 1, REFRESULT_STOP = 3 };

class CReferenceTarget : public Engine::CReferenced, public CScenePooled {
public:
    using Ref = Engine::ref_ptr<CReferenceTarget>;

    CReferenceTarget() = default;
    CReferenceTarget(const CReferenceTarget&) = delete;
    CReferenceTarget& operator=(const CReferenceTarget&) = delete;
    // Unlinks everything; dependents are told with a null source, because a
    // counted reference to an object being destroyed would delete it twice.
    ~CReferenceTarget() noexcept(false) override;

    // Reserved: four words and a reference; the base only releases the
    // reference and answers 2.
    virtual int ReservedRefOperation(uint32_t, uint32_t, uint32_t, uint32_t, Ref) { return 2; }
    // Inserts the target into the references at the clamped index and
    // registers this object as its dependent at that same index. False for
    // a null target or this object itself.
    virtual bool AddReference(Ref target, int index);
    // Answers a message from a source this object depends on.
    virtual int NotifyRefChanged(Ref source, int message);
    // Tells each dependent, in order (the count is asked again after each),
    // and with propagate set passes the message on through its dependents,
    // except through one already passing it on (links that loop back).
    // REFRESULT_STOP as soon as a dependent answers it.
    virtual int NotifyDependents(int message, int propagate);
    // As AddReference on the dependent list, without a call back.
    virtual bool AddDependent(Ref dependent, int index);
    virtual bool RemoveReference(Ref target);
    // Losing the last dependent disposes of this object, unless a slot
    // still holds it.
    virtual bool RemoveDependent(Ref dependent);
    virtual bool DeleteAllReferences();
    // Drops every link; derived classes also drop what they own.
    virtual void Dispose();

    // Asks the processor's caches for the objects `depth` links down this
    // object's references (0: this object itself). Only nearer objects are
    // read, which an earlier call asked for; nothing is counted or changed.
    void PrefetchReferences(int depth) const;

    int GetDependentCount() const { return int(m_dependents.Size()); }
    int GetReferenceCount() const { return int(m_references.Size()); }
    Ref GetDependent(int index) const { return m_dependents.At(size_t(index)); }
    Ref GetReference(int index) const { return m_references.At(size_t(index)); }

    // In use while it has a dependent or an owner's slot holds it (objects
    // read from an archive may be held by slots alone, without a link).
    bool IsInUse() const { return IsInUseBeyond(0); }
    // Disposes of this object when nothing uses it any more.
    void DisposeIfUnused();

protected:
    // A counted reference that keeps this object alive through a call that
    // may release its other references; none while nothing counts the
    // object (during construction and destruction), where counting it would
    // delete it.
    Ref Pin() { return Ref(GetRefCount() > 0 ? this : nullptr); }
    // The notification with an explicit source, null from destructors.
    int NotifyDependentsFrom(CReferenceTarget* source, int message, int propagate);
    // DeleteAllReferences for destructors: dependents are told with a null
    // source, no counted reference to this is made, nothing is disposed of
    // and nothing is thrown.
    void UnlinkAllFromDestructor() noexcept;

private:
    template <class T>
    friend class CSlotRef;

    // In use apart from the given number of slot holds.
    bool IsInUseBeyond(int slotHolds) const { return !m_dependents.Empty() || m_slotHolds > slotHolds; }
    // DisposeIfUnused for a slot that an owner's destructor lets go of.
    void DisposeIfUnusedFromDestructor() noexcept;

    // Inserts at an index already clamped to the list.
    static bool Insert(CRefList& list, CReferenceTarget* self, Ref object, int index);
    // The two halves of an unlink; each calls the other side's half.
    bool UnlinkReference(CReferenceTarget* target, bool disposeOrphans);
    bool UnlinkDependent(CReferenceTarget* dependent, bool disposeOrphans);

    CRefList m_dependents;
    CRefList m_references;
    int m_slotHolds = 0;
    // The chains of propagation this object is passing a message on along
    // now; a message can only loop back to an object on one.
    int m_chainsOn = 0;
};

} // namespace Engine::Scene

#pragma once
// An animatable bound to a registered type: each reflected property of the
// type is one sub-animatable slot, holding the controller that animates it.

#include <vector>

#include "scene/Animatable.h"

namespace Engine::Reflection {
class CPropertyInfo;
}

namespace Engine::Scene {

class CReflectable : public CAnimatable {
public:
    // Flag bits: a change arrived; change notifications stop here.
    static constexpr uint32_t FLAG_CHANGED = 1;
    static constexpr uint32_t FLAG_SUPPRESS_CHANGES = 4;

    struct CEntry {
        const Engine::Reflection::CPropertyInfo* property = nullptr;
        CAnimatable::Ref sub;  // may be null
    };

    int NotifyRefChanged(CReferenceTarget::Ref source, int message) override;
    // Drops every link, then every slot and the property list.
    void Dispose() override;
    bool Serialize(CArchive& ar) override;
    // Replaces the slot's sub-animatable (the previous one is disposed of)
    // and becomes a dependent of the new one.
    bool SetSubAnim(CAnimatable::Ref sub, int index) override;
    int GetSubAnimCount() const override;
    CAnimatable::Ref GetSubAnim(int index) const override;
    CString GetSubAnimName(int index) const override;
    void RemoveSubAnim(int index) override;
    CTypePair GetSubAnimType(int index) const override;
    bool IsConstant() const override;

    // Binds the type when it is registered; otherwise the object stays
    // unbound.
    void SetReflectedType(const Engine::Reflection::CTypeInfo* type);
    // One empty slot per property of the bound type (bases first), then an
    // update at time 0.
    void Bind();
    void AppendProperty(CAnimatable::Ref sub, const Engine::Reflection::CPropertyInfo* property);
    int FindPropertyIndex(const Engine::Reflection::CPropertyInfo* property) const;

    // Whether any slot holds an object.
    bool HasFilledSlot() const;
    // Counts every object given to a slot of any reflectable, so that what
    // lists objects by their slots (CAnimatedChildren) knows to look again.
    static uint64_t GetSlotFills() { return s_slotFills; }

    const CTypePair& GetReflectedType() const { return m_boundType; }
    bool IsBound() const { return m_bound; }

protected:
    using EntryVector = CScenePoolVector<CEntry>;

    const EntryVector& GetEntries() const { return m_entries; }
    void ClearReflectedType() { m_boundType = {}; }

private:
    void ReadRecord(CArchive& ar);
    void WriteRecord(CArchive& ar);
    // Puts an object read for the property into its slot, unless its value
    // type differs from the property's (false: the object was dropped).
    bool AttachReadController(const Engine::Reflection::CPropertyInfo* property, CAnimatable::Ref sub);
    const CEntry& EntryAt(int index) const { return m_entries.at(size_t(index)); }

    EntryVector m_entries;
    CTypePair m_boundType;
    bool m_bound = false;

    static inline uint64_t s_slotFills = 0;
};

} // namespace Engine::Scene

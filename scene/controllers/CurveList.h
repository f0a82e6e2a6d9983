#pragma once
// A list of controllers owned by a standard controller: the curves are its
// sub-animatables, inserted (never replaced) by SetSubAnim, and saved as
// object references in one chunk of the derived class's ID.

#include <vector>

#include "scene/SlotRef.h"
#include "scene/controllers/Controller.h"

namespace Engine::Scene {

class CCurveList : public CAnimatable {
public:
    using CurveRef = Engine::ref_ptr<CController>;

    // Lets go of every curve, disposing of each that nothing else uses. By
    // then nothing links to the list; disposal only unlinks the curves, so
    // a curve leaves the list by RemoveSubAnim or here.
    ~CCurveList() noexcept(false) override;

    // Unlinks the list, then disposes of each curve that the unlinking left
    // to nothing but its slot here, which unlinks the curve's own lists. The
    // curves stay in place: an owner of the disposed list still eases
    // through them.
    void Dispose() override;
    bool Serialize(CArchive& ar) override;
    // Inserts the curve at the index (below 0: the last position; past the
    // end: the end) and registers it. A non-controller throws the integer 1.
    bool SetSubAnim(CAnimatable::Ref sub, int index) override;
    int GetSubAnimCount() const override { return int(m_curves.size()); }
    CAnimatable::Ref GetSubAnim(int index) const override { return GetCurve(index); }
    // Unregisters the curve and lets go of it; it is disposed of only when
    // nothing else uses it.
    void RemoveSubAnim(int index) override;

    const CurveRef& GetCurve(int index) const { return m_curves.at(size_t(index)).Get(); }

protected:
    CCurveList(uint32_t chunkId, const char* owner) : m_chunkId(chunkId), m_owner(owner) {}

    // Null entries stay in the list (an archive may hold them); users skip
    // them.
    CScenePoolVector<CSlotRef<CController>> m_curves;

private:
    uint32_t m_chunkId;
    const char* m_owner;
};

} // namespace Engine::Scene

#include "scene/controllers/CurveList.h"

#include <algorithm>
#include <functional>

#include "app/LoadingQuitCheck.h"
#include "scene/SceneArchive.h"

namespace Engine::Scene {

namespace {
// The shortest object reference: "NULL".
constexpr uint32_t MIN_REFERENCE_BYTES = 5;
} // namespace

CCurveList::~CCurveList() noexcept(false) {
    // A curve that is a standard controller stays linked to its own lists
    // until it is disposed of; only dropping it would keep it alive.
    for (CSlotRef<CController>& curve : m_curves) curve.Release();
}

void CCurveList::Dispose() {
    const CReferenceTarget::Ref self = Pin();
    // The curves this list links, which the disposal unlinks. A curve held
    // by the slot alone (as read from an archive) was never linked here and
    // stays whole.
    std::vector<const CReferenceTarget*> linked;
    for (int i = 0; i < GetReferenceCount(); ++i) linked.push_back(GetReference(i).get());
    const std::less<const CReferenceTarget*> before;
    std::sort(linked.begin(), linked.end(), before);
    CAnimatable::Dispose();
    // By index: disposing of a curve may reach this list again.
    for (size_t i = 0; i < m_curves.size(); ++i) {
        if (std::binary_search(linked.begin(), linked.end(), m_curves[i].get(), before))
            m_curves[i].DisposeIfHeldHereOnly();
    }
}

bool CCurveList::Serialize(CArchive& ar) {
    if (!CAnimatable::Serialize(ar)) return false;
    if (ar.IsStoring()) {
        ar.BeginChunk(m_chunkId, CHUNK_VERSION);
        ar.WriteDWord(uint32_t(m_curves.size()));
        for (size_t i = 0; i < m_curves.size(); ++i) {
            const CurveRef curve = m_curves[i].Get();
            WriteAnimatableRef(ar, curve.get());
        }
        ar.EndChunk();
        return true;
    }
    const int64_t end = ReadObjectChunk(ar, m_chunkId, m_owner);
    uint32_t count = 0;
    ar.ReadDWord(count);
    CheckCount(ar, count, MIN_REFERENCE_BYTES, "curves");
    for (uint32_t i = 0; i < count; ++i) {
        Engine::CLoadingQuitCheck::Count();
        CAnimatable::Ref sub = ReadAnimatableRef(ar);
        CurveRef curve(ToController(sub.get()));
        // Held by the slot only, not registered as a reference.
        if (curve) RefuseSelfAnimation(*curve, *this, curve->GetObjectId());
        m_curves.emplace_back(std::move(curve));
    }
    CheckChunkEnd(ar, end, m_owner);
    return true;
}

bool CCurveList::SetSubAnim(CAnimatable::Ref sub, int index) {
    const int count = int(m_curves.size());
    if (index < 0) index = count - 1;
    if (index > count) index = count;
    if (index < 0) index = 0;
    CurveRef curve(ToController(sub.get()));
    m_curves.emplace(m_curves.begin() + index, curve);
    if (curve) AddReference(std::move(curve), index);
    return true;
}

void CCurveList::RemoveSubAnim(int index) {
    CSlotRef<CController> curve = std::move(m_curves.at(size_t(index)));
    m_curves.erase(m_curves.begin() + index);
    // A curve read from an archive has no link to remove, only the slot;
    // either way the curve goes only when nothing else uses it.
    if (curve) RemoveReference(curve.Get());
    curve.Clear();
    NotifyDependents(REFMSG_REMOVED, 1);
}

} // namespace Engine::Scene

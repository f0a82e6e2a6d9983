#include "scene/controllers/KeyTableCtrl.h"

#include <algorithm>
#include <stdexcept>

#include "app/Exception.h"
#include "app/LoadingQuitCheck.h"
#include "reflection/Value.h"
#include "scene/SceneArchive.h"

namespace Engine::Scene {

template <class K>
bool CStdFloatKeyTableCtrl<K>::Serialize(CArchive& ar) {
    if (!CStdController::Serialize(ar)) return false;
    if (ar.IsStoring()) {
        ar.BeginChunk(CHUNK_KEY_TABLE, 1);
        ar.WriteDWord(uint32_t(m_keys.size()));
        for (const auto& key : m_keys) key->Serialize(ar);
        ar.EndChunk();
        return true;
    }
    const int64_t end = ReadObjectChunk(ar, CHUNK_KEY_TABLE, "CStdFloatKeyTableCtrl");
    uint32_t count = 0;
    ar.ReadDWord(count);
    const int64_t left = end - ar.GetFile()->Tell();
    if (left < 0 || uint64_t(count) * K::RECORD_BYTES != uint64_t(left)) {
        throw Engine::CException::Format("Scene serialization error: %u key records do not fill the %lld bytes left",
                                         count, static_cast<long long>(left));
    }
    // Read aside first: a failed read keeps the keys the table had.
    KeyVector keys;
    keys.reserve(count);
    for (uint32_t i = 0; i < count; ++i) {
        Engine::CLoadingQuitCheck::Count();
        keys.push_back(std::make_unique<K>());
        keys.back()->Serialize(ar);
    }
    CheckChunkEnd(ar, end, "CStdFloatKeyTableCtrl");
    m_keys.swap(keys);
    Reindex();
    return true;
}

template <class K>
IKey* CStdFloatKeyTableCtrl<K>::AddKey(double time, uint32_t flags) {
    K* added = PushKey(time, flags);
    SortKeys();
    return added;
}

template <class K>
IKey* CStdFloatKeyTableCtrl<K>::AddKeyInOrder(double time, uint32_t flags) {
    if (!m_keys.empty() && !KeyTimeLess(m_keys.back()->time, time))
        throw std::invalid_argument("CStdFloatKeyTableCtrl::AddKeyInOrder : the time is not after the last key's");
    K* added = PushKey(time, flags);
    KeysEdited();
    return added;
}

template <class K>
K* CStdFloatKeyTableCtrl<K>::PushKey(double time, uint32_t flags) {
    auto key = std::make_unique<K>();
    key->time = time;
    key->flags = flags;
    K* added = key.get();
    m_keys.push_back(std::move(key));
    return added;
}

template <class K>
int CStdFloatKeyTableCtrl<K>::AppendKey(IKey* key) {
    std::unique_ptr<IKey> owned(key);
    auto* typed = dynamic_cast<K*>(key);
    if (!typed) return -1;
    owned.release();
    m_keys.emplace_back(typed);
    SortKeys();
    for (size_t i = 0; i < m_keys.size(); ++i)
        if (m_keys[i].get() == typed) return int(i);
    return -1;
}

template <class K>
void CStdFloatKeyTableCtrl<K>::SortKeys() {
    std::sort(m_keys.begin(), m_keys.end(), [](const auto& a, const auto& b) { return KeyTimeLess(a->time, b->time); });
    m_index.SetInOrder();
    m_stale = false;
}

template <class K>
void CStdFloatKeyTableCtrl<K>::KeysEdited() {
    // Keys in order stay in order when keys go or come after the last.
    if (m_stale || !m_index.InOrder()) Reindex();
}

template <class K>
void CStdFloatKeyTableCtrl<K>::Reindex() const {
    m_index.Rebuild(CTimes(m_keys));
    m_stale = false;
}

template <class K>
const CKeyTimeIndex& CStdFloatKeyTableCtrl<K>::Lookup() const {
    if (m_stale) Reindex();
    return m_index;
}

template <class K>
IKey* CStdFloatKeyTableCtrl<K>::GetKey(int index) const {
    IKey* key = m_keys.at(size_t(index)).get();
    m_stale = true;
    return key;
}

template <class K>
K& CStdFloatKeyTableCtrl<K>::KeyAt(int index) {
    K& key = *m_keys.at(size_t(index));
    m_stale = true;
    return key;
}

template <class K>
void CStdFloatKeyTableCtrl<K>::ClearKeys() {
    m_keys.clear();
    m_index.SetInOrder();
    m_stale = false;
}

template <class K>
int CStdFloatKeyTableCtrl<K>::FindKeyAtTime(double time) const {
    return Lookup().FirstEqual(CTimes(m_keys), time);
}

template <class K>
int CStdFloatKeyTableCtrl<K>::FindKeyAfter(double time) const {
    return Lookup().FirstAfter(CTimes(m_keys), time);
}

template <class K>
bool CStdFloatKeyTableCtrl<K>::GetNearestKeyTime(double time, int direction, double* nearest) const {
    *nearest = 0.0;
    const int count = int(m_keys.size());
    if (count == 0) return false;
    if (count == 1) {
        *nearest = m_keys[0]->time;
        return true;
    }
    if (direction == NEAREST_AT_OR_BEFORE) {
        const int found = Lookup().LastAtOrBefore(CTimes(m_keys), time);
        *nearest = m_keys[size_t(found < 0 ? 0 : found)]->time;
        return true;
    }
    if (direction == NEAREST_AT_OR_AFTER) {
        const int found = Lookup().FirstAtOrAfter(CTimes(m_keys), time);
        *nearest = m_keys[size_t(found < 0 ? count - 1 : found)]->time;
        return true;
    }
    return false;
}

template <class K>
void CStdFloatKeyTableCtrl<K>::DeleteKeyAtTime(double time) {
    std::erase_if(m_keys, [time](const auto& key) { return key->time == time; });
    KeysEdited();
}

template <class K>
void CStdFloatKeyTableCtrl<K>::SetKeyTime(int index, double time) {
    EditKey(index).time = time;
    SortKeys();
}

template <class K>
void CStdFloatKeyTableCtrl<K>::DeleteKeys(uint32_t flags) {
    if (!(flags & DELETE_SELECTED_KEYS)) return;
    std::erase_if(m_keys, [](const auto& key) { return (key->flags & KEY_SELECTED) != 0; });
    KeysEdited();
}

template <class K>
void CStdFloatKeyTableCtrl<K>::DeleteKey(int index) {
    EditKey(index);  // checks the index
    m_keys.erase(m_keys.begin() + index);
    KeysEdited();
}

template <class K>
int CStdFloatKeyTableCtrl<K>::HitTestKeys(KeyHitList* hits, double t0, double t1, float va, float vb, int,
                                          uint32_t flags) {
    if (hits) hits->clear();
    if (!(flags & HIT_TEST_KEYS)) return HIT_TEST_NOT_DONE;
    const float low = std::min(va, vb), high = std::max(va, vb);
    for (size_t i = 0; i < m_keys.size(); ++i) {
        const K& key = *m_keys[i];
        if (hits && key.time >= t0 && key.time <= t1 && key.value >= low && key.value <= high)
            hits->emplace_back(int(i), 0);
    }
    return HIT_TEST_DONE;
}

template <class K>
void CStdFloatKeyTableCtrl<K>::SelectKey(int index, bool select) {
    K& key = EditKey(index);
    key.flags = select ? key.flags | KEY_SELECTED : key.flags & ~uint32_t(KEY_SELECTED);
}

template <class K>
void CStdFloatKeyTableCtrl<K>::SelectKeys(int operation, const KeyHitList* keys) {
    if (operation & SELECT_CLEAR_ALL) {
        for (auto& key : m_keys) key->flags &= ~uint32_t(KEY_SELECTED | KEY_IN_HANDLE_SELECTED | KEY_OUT_HANDLE_SELECTED);
        return;
    }
    if (!keys) return;
    for (const auto& [index, part] : *keys) {
        if (part != 0) continue;
        if (operation == SELECT_SET) SelectKey(index, true);
        if (operation == SELECT_CLEAR) SelectKey(index, false);
    }
}

template <class K>
void CStdFloatKeyTableCtrl<K>::OffsetKeyValues(const Engine::Reflection::CValue& delta, bool selectedOnly) {
    OffsetValues(delta.Get<float>(), selectedOnly);
}

template <class K>
void CStdFloatKeyTableCtrl<K>::OffsetValues(float delta, bool selectedOnly) {
    for (auto& key : m_keys)
        if (!selectedOnly || (key->flags & KEY_SELECTED)) key->value += delta;
}

template <class K>
void CStdFloatKeyTableCtrl<K>::MapKeyTimes(const ITimeMap& map, uint32_t flags) {
    if (flags & MAP_ALL) {
        for (auto& key : m_keys) key->time = map.Map(key->time);
        SortKeys();
        return;
    }
    if (!(flags & MAP_SELECTED)) return;
    const bool backward = (flags & MAP_BACKWARD) != 0;
    const int count = int(m_keys.size());
    double offset = 0.0;
    bool mapped = false;
    for (int n = 0; n < count; ++n) {
        K& key = *m_keys[size_t(backward ? count - 1 - n : n)];
        if (key.flags & KEY_SELECTED) {
            const double old = key.time;
            key.time = map.Map(old);
            offset = key.time - old;
            mapped = true;
        } else if (flags & MAP_MOVE_UNSELECTED) {
            key.time += offset;
        }
    }
    // Unmapped, the keys moved by 0.0 at most: the order and the index hold.
    if (mapped) SortKeys();
}

template <class K>
CTimeRange CStdFloatKeyTableCtrl<K>::GetTimeRange(uint32_t) const {
    if (m_keys.empty()) return {};
    return {m_keys.front()->time, m_keys.back()->time};
}

template <class K>
void CStdFloatKeyTableCtrl<K>::SetOrAddKey(double time, float value) {
    const int index = FindKeyAtTime(time);
    if (index >= 0) {
        EditKey(index).value = value;
    } else if (IKey* key = AddKey(time, 0)) {
        static_cast<K*>(key)->value = value;
    }
    NotifyDependents(REFMSG_CHANGED, 1);
}

template class CStdFloatKeyTableCtrl<ILinFloatKey>;
template class CStdFloatKeyTableCtrl<IBezFloatKey>;
template class CStdFloatKeyTableCtrl<IBoolFloatKey>;

} // namespace Engine::Scene

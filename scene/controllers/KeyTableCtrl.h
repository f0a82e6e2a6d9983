#pragma once
// The float key table: a standard controller that keeps its keys sorted by
// time and implements the key-editing operations. One template serves the
// linear, Bezier and bool key kinds; the concrete controllers evaluate.
//
// Reading keeps the keys in the file's order, so the time look-ups answer
// as a walk in table order would, through a CKeyTimeIndex kept with the
// keys: every edit that moves, adds or removes keys keeps it. A key handed
// out mutable (GetKey, the non-const KeyAt) may have its time changed
// unseen, so handing one out marks the index stale; the next look-up or
// edit checks the order again and rebuilds it. The evaluations use only
// const access, so a frame never rebuilds the index of a table that
// nothing handed out since it was read or edited. Look-ups are not to be
// made from two threads at once (a stale index is rebuilt by a look-up).

#include <memory>
#include <vector>

#include "scene/controllers/KeyControl.h"
#include "scene/controllers/KeyTimeIndex.h"
#include "scene/controllers/Keys.h"
#include "scene/controllers/StdController.h"

namespace Engine::Scene {

constexpr uint32_t CHUNK_KEY_TABLE = 0x1020;

// GetNearestKeyTime directions.
enum ENearestKey : int { NEAREST_AT_OR_BEFORE = 0, NEAREST_AT_OR_AFTER = 1 };
// HitTestKeys flags and answers.
constexpr uint32_t HIT_TEST_KEYS = 0x20;
enum EHitTestResult : int { HIT_TEST_DONE = 1, HIT_TEST_NOT_DONE = 2 };
// SelectKeys operations.
enum ESelectKeys : int { SELECT_SET = 0, SELECT_CLEAR = 1, SELECT_CLEAR_ALL = 2 };
// DeleteKeys flags.
constexpr uint32_t DELETE_SELECTED_KEYS = 0x1;
// MapKeyTimes flags.
enum EMapKeyTimes : uint32_t {
    MAP_SELECTED = 0x1,
    MAP_ALL = 0x2,
    MAP_MOVE_UNSELECTED = 0x4,
    MAP_BACKWARD = 0x8,
};

template <class K>
class CStdFloatKeyTableCtrl : public CStdController, public IKeyControl {
public:
    using Key = K;

    bool Serialize(CArchive& ar) override;

    IKey* AddKey(double time, uint32_t flags) override;
    // Adds a key later than every key of a table in time order, where AddKey
    // would sort it to, without the sort: for writers that add their keys in
    // time order. A time not later than the last key's throws
    // std::invalid_argument.
    IKey* AddKeyInOrder(double time, uint32_t flags);
    int GetKeyCount() const override { return int(m_keys.size()); }
    double GetKeyTime(int index) const override { return KeyAt(index).time; }
    // Handed out mutable: marks the look-up stale.
    IKey* GetKey(int index) const override;
    int FindKeyAtTime(double time) const override;
    bool GetNearestKeyTime(double time, int direction, double* nearest) const override;
    void DeleteKeyAtTime(double time) override;
    bool HasKeyAtTime(double time) const override { return FindKeyAtTime(time) >= 0; }
    void SetKeyValue(int index, float value) override { EditKey(index).value = value; }
    void SetKeyTime(int index, double time) override;
    void DeleteKeys(uint32_t flags) override;
    void DeleteKey(int index) override;
    int HitTestKeys(KeyHitList* hits, double t0, double t1, float va, float vb, int reserved,
                    uint32_t flags) override;
    bool IsKeySelected(int index) const override { return (KeyAt(index).flags & KEY_SELECTED) != 0; }
    void SelectKey(int index, bool select) override;
    void SelectKeys(int operation, const KeyHitList* keys) override;
    void OffsetKeyValues(const Engine::Reflection::CValue& delta, bool selectedOnly) override;
    void MapKeyTimes(const ITimeMap& map, uint32_t flags) override;
    // The times of the first and the last key; none without keys.
    CTimeRange GetTimeRange(uint32_t flags) const override;

    int GetKeyRecordCount() const override { return int(m_keys.size()); }
    int AppendKey(IKey* key) override;
    void SortKeys() override;

    const K& KeyAt(int index) const { return *m_keys.at(size_t(index)); }
    // Handed out mutable: marks the look-up stale.
    K& KeyAt(int index);

protected:
    // The first index whose key time is after the time; -1 when none is.
    int FindKeyAfter(double time) const;
    // A key for a use that leaves its time alone: no stale mark.
    K& EditKey(int index) { return *m_keys.at(size_t(index)); }
    // Deletes every key.
    void ClearKeys();
    // Writes the value into the key at exactly that time, or adds a key
    // there; then tells the dependents.
    void SetOrAddKey(double time, float value);
    // Adds the delta to every key's value, or to every selected key's.
    void OffsetValues(float delta, bool selectedOnly);

private:
    using KeyVector = CScenePoolVector<std::unique_ptr<K>>;
    // The key times as CKeyTimeIndex reads them.
    class CTimes {
    public:
        explicit CTimes(const KeyVector& keys) : m_keys(keys) {}
        size_t size() const { return m_keys.size(); }
        double operator[](size_t index) const { return m_keys[index]->time; }

    private:
        const KeyVector& m_keys;
    };

    // Appends a new key, unsorted.
    K* PushKey(double time, uint32_t flags);
    // After keys were added or removed without a sort.
    void KeysEdited();
    // Checks the order again and rebuilds the index.
    void Reindex() const;
    // The index, rebuilt first when a key was handed out since.
    const CKeyTimeIndex& Lookup() const;

    KeyVector m_keys;
    mutable CKeyTimeIndex m_index;
    mutable bool m_stale = false;
};

} // namespace Engine::Scene

namespace Engine::Scene {
extern template class CStdFloatKeyTableCtrl<ILinFloatKey>;
extern template class CStdFloatKeyTableCtrl<IBezFloatKey>;
extern template class CStdFloatKeyTableCtrl<IBoolFloatKey>;
} // namespace Engine::Scene

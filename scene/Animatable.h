#pragma once
// The base of everything that can be animated: a tree of sub-animatables
// addressed by index, the key-editing operations that key tables implement,
// an update of the tree at a time, the reflected class and the object ID
// under which the scene archive writes the object.

#include <cstdint>
#include <utility>
#include <vector>

#include "app/Archive.h"
#include "app/String.h"
#include "scene/ReferenceTarget.h"

namespace Engine::Reflection {
class CTypeInfo;
class CValue;
} // namespace Engine::Reflection

namespace Engine::Scene {

class IKey;

// A registered type, and whether it was set at all.
struct CTypePair {
    const Engine::Reflection::CTypeInfo* type = nullptr;
    bool isSet = false;
};

// (key index, part) pairs found by a hit test or given to a selection.
using KeyHitList = std::vector<std::pair<int, int>>;

// Maps key times for MapKeyTimes.
class ITimeMap {
public:
    virtual ~ITimeMap() = default;
    virtual double Map(double time) const = 0;
};

class CAnimatable : public CReferenceTarget {
public:
    using Ref = Engine::ref_ptr<CAnimatable>;

    // Takes the next object ID.
    CAnimatable();
    // Tells the dependents (without propagating) that this object goes.
    ~CAnimatable() noexcept(false) override;

    // The registered record of the object's run-time class.
    virtual CTypePair GetReflectionType() const;
    // The object record: class name, ID and, at the first occurrence in the
    // archive, the flags chunk. False for a back-reference (nothing more is
    // written or read by the derived classes).
    virtual bool Serialize(CArchive& ar);
    // Reserved: one word; false in every class.
    virtual bool ReservedQuery(uint32_t) { return false; }

    // The tree of sub-animatables. The base has none and refuses new ones.
    virtual bool SetSubAnim(Ref sub, int index);
    virtual int GetSubAnimCount() const;
    virtual Ref GetSubAnim(int index) const;
    virtual CString GetSubAnimName(int index) const;
    virtual void RemoveSubAnim(int index);
    // The short registered name of the object's class.
    virtual CString GetClassName() const;
    virtual CTypePair GetSubAnimType(int index) const;
    // False during an update pass; else whether there is at most one key.
    virtual bool IsConstant() const;
    // Updates every sub-animatable at the time, inside an update pass.
    virtual bool UpdateAtTime(double time, bool record);

    // Key editing, implemented by the key tables.
    virtual IKey* AddKey(double time, uint32_t flags);
    virtual int CountSelectedKeys() const;
    virtual int GetKeyCount() const;
    virtual double GetKeyTime(int index) const;
    virtual IKey* GetKey(int index) const;
    // The first selected key after the index, else -1.
    virtual int GetNextSelectedKey(int index) const;
    virtual int FindKeyAtTime(double time) const;
    virtual bool GetNearestKeyTime(double time, int direction, double* nearest) const;
    // Reserved: five words; does nothing in every class.
    virtual void ReservedKeyOperation(uint32_t, uint32_t, uint32_t, uint32_t, uint32_t) {}
    virtual void DeleteKeyAtTime(double time);
    virtual bool HasKeyAtTime(double time) const;
    virtual void SetKeyValue(int index, float value);
    virtual void SetKeyTime(int index, double time);
    virtual void DeleteKeys(uint32_t flags);
    virtual void DeleteKey(int index);
    virtual int HitTestKeys(KeyHitList* hits, double t0, double t1, float va, float vb, int reserved, uint32_t flags);
    virtual bool IsKeySelected(int index) const;
    virtual void SelectKey(int index, bool select);
    virtual void SelectKeys(int operation, const KeyHitList* keys);
    // Reserved: no arguments; -1 in every class.
    virtual int ReservedSelection() { return -1; }
    virtual void OffsetKeyValues(const Engine::Reflection::CValue& delta, bool selectedOnly);
    virtual void MapKeyTimes(const ITimeMap& map, uint32_t flags);

    uint32_t GetFlags() const { return m_flags; }
    void SetFlags(uint32_t flags) { m_flags = flags; }
    uint32_t GetObjectId() const { return m_objectId; }
    void SetObjectId(uint32_t id) { m_objectId = id; }
    // Where the object stands among those made for the records of scene
    // archives read, in the order made (SceneArchive.cpp); 0 for any other.
    uint32_t GetReadSerial() const { return m_readSerial; }
    void SetReadSerial(uint32_t serial) { m_readSerial = serial; }

    // The process-wide next object ID (1001 in a fresh process).
    static uint32_t GetNextObjectId() { return s_nextObjectId; }
    static uint32_t TakeNextObjectId() { return s_nextObjectId++; }
    // Raises the counter to the value; never lowers it.
    static void RaiseNextObjectId(uint32_t id);
    // Sets the counter outright (tests start from a known value).
    static void SetNextObjectId(uint32_t id) { s_nextObjectId = id; }

    // The process-wide update flag: set while an update pass runs. A plain
    // flag, not a counter: a nested pass clears it when it ends.
    static bool IsUpdating() { return s_updating; }
    static void SetUpdating(bool updating) { s_updating = updating; }

    // Applies the time to each sub-animatable that is an animated object.
    // A scene skips the children that the time cannot change (CScene).
    static void UpdateSubAnimsAtTime(CAnimatable& object, double time);
    // The walk of UpdateSubAnimsAtTime from the sub-animatable at `first`.
    static void UpdateSubAnimsFrom(CAnimatable& object, int first, double time);

private:
    uint32_t m_flags = 0;
    uint32_t m_objectId;
    uint32_t m_readSerial = 0;

    static inline uint32_t s_nextObjectId = 1001;
    static inline bool s_updating = false;
};

// Marks an update pass for its lifetime, so a failing pass leaves the
// update flag clear.
class CUpdatePass {
public:
    CUpdatePass() { CAnimatable::SetUpdating(true); }
    ~CUpdatePass() { CAnimatable::SetUpdating(false); }
    CUpdatePass(const CUpdatePass&) = delete;
    CUpdatePass& operator=(const CUpdatePass&) = delete;
};

} // namespace Engine::Scene

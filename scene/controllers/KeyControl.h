#pragma once
// The interface of the key tables, which a controller may implement beside
// its class.

namespace Engine::Scene {

class IKey;
class CAnimatable;

class IKeyControl {
public:
    // A controller's destructor may throw, so this one may too.
    virtual ~IKeyControl() noexcept(false) = default;
    virtual int GetKeyRecordCount() const = 0;
    // Takes ownership of the key (a key of the table's kind), sorts, and
    // returns the key's index, or -1 when the table refuses it (the key is
    // then deleted).
    virtual int AppendKey(IKey* key) = 0;
    // Sorts the keys by time, ascending.
    virtual void SortKeys() = 0;
};

// The object's key interface, when its registered class lists IKeyControl
// among its reflected bases; else (and for null) null. A class that
// implements the interface without naming it is not treated as a key table.
IKeyControl* QueryKeyControl(CAnimatable* object);

} // namespace Engine::Scene

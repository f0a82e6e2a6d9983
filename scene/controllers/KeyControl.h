#pragma once
// The interface of the key tables, which a controller may implement beside
// its class.

namespace Engine::Scene {

class IKey;

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

} // namespace Engine::Scene

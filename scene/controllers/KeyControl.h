#pragma once
// The interface of the key tables, which a controller may implement beside
// its class.

namespace Engine::Scene {

class IKeyControl {
public:
    // A controller's destructor may throw, so this one may too.
    virtual ~IKeyControl() noexcept(false) = default;
    virtual int GetKeyRecordCount() const = 0;
};

} // namespace Engine::Scene

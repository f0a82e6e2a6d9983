#pragma once
// A float controller with one fixed value: its single key refuses company.

#include "scene/controllers/LinearFloatCtrl.h"

namespace Engine::Scene {

class CConstFloatController : public CLinearFloatCtrl {
public:
    // Exactly one key, at time 0 with the value 0.
    CConstFloatController();

    // Refuses the key (deleting it): -1.
    int AppendKey(IKey* key) override;
    // Refuses: no key.
    IKey* AddKey(double time, uint32_t flags) override;
    // The first key's value at every time; 0.0 once the key is gone.
    void GetControllerValue(double time, Engine::Reflection::CValue& value) override;
    // Reserved: an empty operation.
    virtual void ReservedConst() {}
};

} // namespace Engine::Scene

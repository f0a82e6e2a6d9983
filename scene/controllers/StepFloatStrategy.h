#pragma once
// The step evaluation over a float key table: the value of the last key at
// or before the time (the first key's before the first key).

#include "scene/controllers/KeyTableCtrl.h"

namespace Engine::Scene {

template <class K, class V>
class CStepFloatStrategy : public CStdFloatKeyTableCtrl<K> {
public:
    // 0.0 without keys.
    float GetStepValue(double time) const {
        double keyTime = 0.0;
        if (!this->GetNearestKeyTime(time, NEAREST_AT_OR_BEFORE, &keyTime)) return 0.0f;
        const int index = this->FindKeyAtTime(keyTime);
        return index < 0 ? 0.0f : this->KeyAt(index).value;
    }
};

} // namespace Engine::Scene

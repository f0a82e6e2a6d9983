#pragma once
// The ease curves of a standard controller: each curve maps the time at
// which the controller is evaluated; the last curve decides.

#include "scene/controllers/CurveList.h"

namespace Engine::Scene {

constexpr uint32_t CHUNK_EASE_CURVE_LIST = 0xECEC;

class CEaseCurveList : public CCurveList {
public:
    CEaseCurveList() : CCurveList(CHUNK_EASE_CURVE_LIST, "CEaseCurveList") {}

    CTypePair GetSubAnimType(int index) const override;
    // Every curve is evaluated at the time passed in, so only the last one
    // determines the result; without curves the time passes unchanged.
    virtual void EaseTime(double* result, const double* time);
};

} // namespace Engine::Scene

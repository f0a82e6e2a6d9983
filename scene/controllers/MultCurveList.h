#pragma once
// The multiplier curves of a standard controller: stored, listed and saved;
// no evaluation applies them.

#include "scene/controllers/CurveList.h"

namespace Engine::Scene {

constexpr uint32_t CHUNK_MULT_CURVE_LIST = 0x2AC7;

class CMultCurveList : public CCurveList {
public:
    CMultCurveList() : CCurveList(CHUNK_MULT_CURVE_LIST, "CMultCurveList") {}
};

} // namespace Engine::Scene

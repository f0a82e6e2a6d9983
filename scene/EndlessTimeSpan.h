#pragma once
// The application's time base: a time object without an end of its own.

#include "scene/BaseTimeObject.h"

namespace Engine::KeyFramer {

class CEndlessTimeSpan : public CBaseTimeObject {
public:
    CEndlessTimeSpan(Engine::ref_ptr<CBaseTimeObject> parent, double offset) : CBaseTimeObject(std::move(parent), offset) {}
};

} // namespace Engine::KeyFramer

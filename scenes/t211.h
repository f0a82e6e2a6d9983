#pragma once
// The start of the reading animation.

#include "scenes/ReadSceneBody.h"

namespace __SceneGeneratedCode {

class t211 final : public CReadSceneBody {
public:
    const char* GetPlaceFileName() override { return "place/orven_read_begin.place"; }
};

} // namespace __SceneGeneratedCode

#pragma once
// The end of the reading animation.

#include "scenes/ReadSceneBody.h"

namespace __SceneGeneratedCode {

class t318 final : public CReadSceneBody {
public:
    const char* GetPlaceFileName() override { return "place/orven_read_end.place"; }
};

} // namespace __SceneGeneratedCode

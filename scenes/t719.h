#pragma once
// The pencil going down.

#include "scenes/PencilSceneBody.h"

namespace __SceneGeneratedCode {

class t719 final : public CPencilSceneBody {
public:
    const char* GetPlaceFileName() override { return "place/orven_pencil_down.place"; }
};

} // namespace __SceneGeneratedCode

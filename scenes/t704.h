#pragma once
// The pencil going up.

#include "scenes/PencilSceneBody.h"

namespace __SceneGeneratedCode {

class t704 final : public CPencilSceneBody {
public:
    const char* GetPlaceFileName() override { return "place/orven_pencil_up.place"; }
};

} // namespace __SceneGeneratedCode

#pragma once
// The scene stays as loaded: nothing in it moves.

#include "scenes/GeneratedBody.h"

namespace __SceneGeneratedCode {

class t603 final : public CSceneGeneratedClass {
public:
    // Only lets the scene go.
    void SetTime(ref_ptr<CScene>, double) override {}
    const char* GetPlaceFileName() override { return "place/orven_init.place"; }
};

} // namespace __SceneGeneratedCode

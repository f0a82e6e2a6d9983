#pragma once
// Background 6: two sprites on eased paths, twelve particle emitters on their own time and two sprites
// that turn by noise and scroll.

#include "scenes/GeneratedBody.h"

namespace __SceneGeneratedCode {

class t1214 final : public CSceneGeneratedClass {
public:
    void SetTime(ref_ptr<CScene> scene, double t) override;
    const char* GetPlaceFileName() override { return "place/bg6.place"; }
};

} // namespace __SceneGeneratedCode

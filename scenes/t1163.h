#pragma once
// Background 5: scrolling sprite offsets, two horizontal movers and two sprites that turn by noise.

#include "scenes/GeneratedBody.h"

namespace __SceneGeneratedCode {

class t1163 final : public CSceneGeneratedClass {
public:
    void SetTime(ref_ptr<CScene> scene, double t) override;
    const char* GetPlaceFileName() override { return "place/bg5.place"; }
};

} // namespace __SceneGeneratedCode

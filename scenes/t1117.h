#pragma once
// Background 3: three noise-driven angles, a scrolling sprite offset, a horizontal mover and two
// sprites on Bezier paths stepping their frames.

#include "scenes/GeneratedBody.h"

namespace __SceneGeneratedCode {

class t1117 final : public CSceneGeneratedClass {
public:
    void SetTime(ref_ptr<CScene> scene, double t) override;
    const char* GetPlaceFileName() override { return "place/bg3.place"; }
};

} // namespace __SceneGeneratedCode

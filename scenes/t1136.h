#pragma once
// Background 4: a scrolling sprite offset, a horizontal mover driven by noise and four noise-driven angles.

#include "scenes/GeneratedBody.h"

namespace __SceneGeneratedCode {

class t1136 final : public CSceneGeneratedClass {
public:
    void SetTime(ref_ptr<CScene> scene, double t) override;
    const char* GetPlaceFileName() override { return "place/bg4.place"; }
};

} // namespace __SceneGeneratedCode

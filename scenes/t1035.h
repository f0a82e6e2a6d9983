#pragma once
// Background 1: four scrolling sprite offsets, six noise-driven angles, a horizontal mover and four
// sprites on Bezier paths that resize or zoom and step their frames.

#include "scenes/GeneratedBody.h"

namespace __SceneGeneratedCode {

class t1035 final : public CSceneGeneratedClass {
public:
    void SetTime(ref_ptr<CScene> scene, double t) override;
    const char* GetPlaceFileName() override { return "place/bg1.place"; }
};

} // namespace __SceneGeneratedCode

#pragma once
// Background 2: two scrolling sprite offsets, five noise-driven angles, two horizontal movers (one by
// noise) and two sprites on Bezier paths that zoom and step their frames.

#include "scenes/GeneratedBody.h"

namespace __SceneGeneratedCode {

class t1084 final : public CSceneGeneratedClass {
public:
    void SetTime(ref_ptr<CScene> scene, double t) override;
    const char* GetPlaceFileName() override { return "place/bg2.place"; }
};

} // namespace __SceneGeneratedCode

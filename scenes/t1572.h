#pragma once
// Snail scene: 33 sprites moved, turned, resized and faded.

#include "scenes/GeneratedBody.h"

namespace __SceneGeneratedCode {

class t1572 final : public CSceneGeneratedClass {
public:
    void SetTime(ref_ptr<CScene> scene, double t) override;
    const char* GetPlaceFileName() override { return "place/fg_snail.place"; }
};

} // namespace __SceneGeneratedCode

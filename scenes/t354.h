#pragma once
// Two sprites move along eased curves, one fades, one slides down a fixed x
// while fading, and one wobbles by noise.

#include "scenes/GeneratedBody.h"

namespace __SceneGeneratedCode {

class t354 final : public CSceneGeneratedClass {
public:
    void SetTime(ref_ptr<CScene> scene, double t) override;
    const char* GetPlaceFileName() override { return "place/orven_read_book.place"; }
};

} // namespace __SceneGeneratedCode

#pragma once
// Two sprites stretch and fade, staying white.

#include "scenes/GeneratedBody.h"

namespace __SceneGeneratedCode {

class t626 final : public CSceneGeneratedClass {
public:
    void SetTime(ref_ptr<CScene> scene, double t) override;
    const char* GetPlaceFileName() override { return "place/orven_smile.place"; }
};

} // namespace __SceneGeneratedCode

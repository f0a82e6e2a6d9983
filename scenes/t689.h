#pragma once
// Ten sprites fade, staying white.

#include "scenes/GeneratedBody.h"

namespace __SceneGeneratedCode {

class t689 final : public CSceneGeneratedClass {
public:
    void SetTime(ref_ptr<CScene> scene, double t) override;
    const char* GetPlaceFileName() override { return "place/orven_close_eyes.place"; }
};

} // namespace __SceneGeneratedCode

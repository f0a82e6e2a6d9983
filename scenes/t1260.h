#pragma once
// Menu fence: one sprite moved by two noise controllers.

#include "scenes/GeneratedBody.h"

namespace __SceneGeneratedCode {

class t1260 final : public CSceneGeneratedClass {
public:
    void SetTime(ref_ptr<CScene> scene, double t) override;
    const char* GetPlaceFileName() override { return "place/menu_ograda.place"; }
};

} // namespace __SceneGeneratedCode

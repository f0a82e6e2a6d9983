#pragma once
// Writing scene: six moving sprites, most on eased curves (two eased by noise), two of them turning by noise.

#include "scenes/GeneratedBody.h"

namespace __SceneGeneratedCode {

class t1253 final : public CSceneGeneratedClass {
public:
    void SetTime(ref_ptr<CScene> scene, double t) override;
    const char* GetPlaceFileName() override { return "place/orven_write_text.place"; }
};

} // namespace __SceneGeneratedCode

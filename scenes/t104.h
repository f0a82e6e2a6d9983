#pragma once
// Twenty-two sprites slide along x; eight of them at a fixed y, and four stretch
// their width at a fixed height.

#include "scenes/GeneratedBody.h"

namespace __SceneGeneratedCode {

class t104 final : public CSceneGeneratedClass {
public:
    void SetTime(ref_ptr<CScene> scene, double t) override;
    const char* GetPlaceFileName() override { return "place/orven_rotate.place"; }
};

} // namespace __SceneGeneratedCode

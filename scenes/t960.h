#pragma once
// Two sprites scroll their picture; seventeen move and fade (staying white but
// for one that changes every channel), fifteen of those zooming too.

#include "scenes/GeneratedBody.h"

namespace __SceneGeneratedCode {

class t960 final : public CSceneGeneratedClass {
public:
    void SetTime(ref_ptr<CScene> scene, double t) override;
    const char* GetPlaceFileName() override { return "place/map.place"; }
};

} // namespace __SceneGeneratedCode

#pragma once
// Museum zoom: three zooming sprites, two of them rising and fading at a fixed x.

#include "scenes/GeneratedBody.h"

namespace __SceneGeneratedCode {

class t1287 final : public CSceneGeneratedClass {
public:
    void SetTime(ref_ptr<CScene> scene, double t) override;
    const char* GetPlaceFileName() override { return "place/museum_zoom.place"; }
};

} // namespace __SceneGeneratedCode

#pragma once
// The book scenes: four sprites move freely, eighteen slide at a fixed x (four
// of them fading), two change their height at a fixed width.
// Its classes differ in their place path only.

#include "scenes/GeneratedBody.h"

namespace __SceneGeneratedCode {

class CBookSceneBody : public CSceneGeneratedClass {
public:
    void SetTime(ref_ptr<CScene> scene, double t) override;
};

} // namespace __SceneGeneratedCode

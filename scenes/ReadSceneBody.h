#pragma once
// The reading scenes: fourteen sprites fade while staying white; two move and
// change every channel of their colour.
// Its classes differ in their place path only.

#include "scenes/GeneratedBody.h"

namespace __SceneGeneratedCode {

class CReadSceneBody : public CSceneGeneratedClass {
public:
    void SetTime(ref_ptr<CScene> scene, double t) override;
};

} // namespace __SceneGeneratedCode

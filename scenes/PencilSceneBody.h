#pragma once
// The pencil scenes: three sprites move freely.
// Its classes differ in their place path only.

#include "scenes/GeneratedBody.h"

namespace __SceneGeneratedCode {

class CPencilSceneBody : public CSceneGeneratedClass {
public:
    void SetTime(ref_ptr<CScene> scene, double t) override;
};

} // namespace __SceneGeneratedCode

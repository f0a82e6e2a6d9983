#include "scenes/t1260.h"

namespace __SceneGeneratedCode {

void t1260::SetTime(ref_ptr<CScene> scene, double t) {
    const CSceneBody body(scene, t);
    body.Position(0, Noise, Noise);
}

} // namespace __SceneGeneratedCode

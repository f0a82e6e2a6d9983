#include "scenes/t689.h"

namespace __SceneGeneratedCode {

void t689::SetTime(ref_ptr<CScene> scene, double t) {
    const CSceneBody body(scene, t);
    const CComponent white = Literal(100.0f);
    for (int object = 0; object <= 9; ++object) body.Color(object, white, white, white, Linear);
}

} // namespace __SceneGeneratedCode

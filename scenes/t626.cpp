#include "scenes/t626.h"

namespace __SceneGeneratedCode {

void t626::SetTime(ref_ptr<CScene> scene, double t) {
    const CSceneBody body(scene, t);
    const CComponent white = Literal(100.0f);
    body.Size(0, Linear, Linear);
    body.Color(0, white, white, white, Linear);
    body.Size(1, Linear, Linear);
    body.Color(1, white, white, white, Linear);
}

} // namespace __SceneGeneratedCode

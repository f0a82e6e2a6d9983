#include "scenes/t626.h"

namespace __SceneGeneratedCode {

void t626::SetTime(ref_ptr<CScene> scene, double t) {
    const CSceneBody body(scene, t);
    const CComponent white = Literal(100.0f);
    for (int object = 0; object <= 1; ++object) {
        body.Size(object, Linear, Linear);
        body.Color(object, white, white, white, Linear);
    }
}

} // namespace __SceneGeneratedCode

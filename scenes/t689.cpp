#include "scenes/t689.h"

namespace __SceneGeneratedCode {

void t689::SetTime(ref_ptr<CScene> scene, double t) {
    const CSceneBody body(scene, t);
    const CComponent white = Literal(100.0f);
    body.Color(0, white, white, white, Linear);
    body.Color(1, white, white, white, Linear);
    body.Color(2, white, white, white, Linear);
    body.Color(3, white, white, white, Linear);
    body.Color(4, white, white, white, Linear);
    body.Color(5, white, white, white, Linear);
    body.Color(6, white, white, white, Linear);
    body.Color(7, white, white, white, Linear);
    body.Color(8, white, white, white, Linear);
    body.Color(9, white, white, white, Linear);
}

} // namespace __SceneGeneratedCode

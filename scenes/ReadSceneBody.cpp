#include "scenes/ReadSceneBody.h"

namespace __SceneGeneratedCode {

void CReadSceneBody::SetTime(ref_ptr<CScene> scene, double t) {
    const CSceneBody body(scene, t);
    const CComponent white = Literal(100.0f);
    body.Color(0, white, white, white, Linear);
    body.Color(1, white, white, white, Linear);
    body.Position(2, Linear, Linear);
    body.Color(2, Linear, Linear, Linear, Linear);
    body.Position(3, Literal(108.0f), Linear);
    body.Color(3, Linear, Linear, Linear, Linear);
    for (int object = 4; object <= 15; ++object) body.Color(object, white, white, white, Linear);
}

} // namespace __SceneGeneratedCode

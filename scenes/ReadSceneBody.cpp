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
    body.Color(4, white, white, white, Linear);
    body.Color(5, white, white, white, Linear);
    body.Color(6, white, white, white, Linear);
    body.Color(7, white, white, white, Linear);
    body.Color(8, white, white, white, Linear);
    body.Color(9, white, white, white, Linear);
    body.Color(10, white, white, white, Linear);
    body.Color(11, white, white, white, Linear);
    body.Color(12, white, white, white, Linear);
    body.Color(13, white, white, white, Linear);
    body.Color(14, white, white, white, Linear);
    body.Color(15, white, white, white, Linear);
}

} // namespace __SceneGeneratedCode

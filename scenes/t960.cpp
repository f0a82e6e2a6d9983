#include "scenes/t960.h"

namespace __SceneGeneratedCode {

void t960::SetTime(ref_ptr<CScene> scene, double t) {
    const CSceneBody body(scene, t);
    const CComponent white = Literal(100.0f);
    body.SpriteOffset(0, Linear, Linear);
    body.SpriteOffset(1, Linear, Literal(0.0f));
    for (int object = 2; object <= 15; ++object) {
        body.Position(object, Linear, Linear);
        body.Zoom(object, Linear, Linear);
        body.Color(object, white, white, white, Linear);
    }
    body.Position(16, Linear, Linear);
    body.Zoom(16, Linear, Linear);
    body.Color(16, Linear, Linear, Linear, Linear);
    body.Position(17, Literal(224.0f), Linear);
    body.Color(17, white, white, white, Linear);
    body.Position(18, Linear, Linear);
    body.Color(18, white, white, white, Linear);
}

} // namespace __SceneGeneratedCode

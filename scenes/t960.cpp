#include "scenes/t960.h"

namespace __SceneGeneratedCode {

void t960::SetTime(ref_ptr<CScene> scene, double t) {
    const CSceneBody body(scene, t);
    const CComponent white = Literal(100.0f);
    body.SpriteOffset(0, Linear, Linear);
    body.SpriteOffset(1, Linear, Literal(0.0f));
    body.Position(2, Linear, Linear);
    body.Zoom(2, Linear, Linear);
    body.Color(2, white, white, white, Linear);
    body.Position(3, Linear, Linear);
    body.Zoom(3, Linear, Linear);
    body.Color(3, white, white, white, Linear);
    body.Position(4, Linear, Linear);
    body.Zoom(4, Linear, Linear);
    body.Color(4, white, white, white, Linear);
    body.Position(5, Linear, Linear);
    body.Zoom(5, Linear, Linear);
    body.Color(5, white, white, white, Linear);
    body.Position(6, Linear, Linear);
    body.Zoom(6, Linear, Linear);
    body.Color(6, white, white, white, Linear);
    body.Position(7, Linear, Linear);
    body.Zoom(7, Linear, Linear);
    body.Color(7, white, white, white, Linear);
    body.Position(8, Linear, Linear);
    body.Zoom(8, Linear, Linear);
    body.Color(8, white, white, white, Linear);
    body.Position(9, Linear, Linear);
    body.Zoom(9, Linear, Linear);
    body.Color(9, white, white, white, Linear);
    body.Position(10, Linear, Linear);
    body.Zoom(10, Linear, Linear);
    body.Color(10, white, white, white, Linear);
    body.Position(11, Linear, Linear);
    body.Zoom(11, Linear, Linear);
    body.Color(11, white, white, white, Linear);
    body.Position(12, Linear, Linear);
    body.Zoom(12, Linear, Linear);
    body.Color(12, white, white, white, Linear);
    body.Position(13, Linear, Linear);
    body.Zoom(13, Linear, Linear);
    body.Color(13, white, white, white, Linear);
    body.Position(14, Linear, Linear);
    body.Zoom(14, Linear, Linear);
    body.Color(14, white, white, white, Linear);
    body.Position(15, Linear, Linear);
    body.Zoom(15, Linear, Linear);
    body.Color(15, white, white, white, Linear);
    body.Position(16, Linear, Linear);
    body.Zoom(16, Linear, Linear);
    body.Color(16, Linear, Linear, Linear, Linear);
    body.Position(17, Literal(224.0f), Linear);
    body.Color(17, white, white, white, Linear);
    body.Position(18, Linear, Linear);
    body.Color(18, white, white, white, Linear);
}

} // namespace __SceneGeneratedCode

#include "scenes/t1084.h"

namespace __SceneGeneratedCode {

void t1084::SetTime(ref_ptr<CScene> scene, double t) {
    const CSceneBody body(scene, t);
    body.SpriteOffset(0, Linear, Literal(0.0f));
    body.Position(1, Linear, Literal(74.0f));
    body.Angle(2, Noise);
    body.Angle(3, Noise);
    body.Angle(4, Noise);
    body.Angle(5, Noise);
    body.SpriteOffset(6, Linear, Literal(88.17778f));
    body.Angle(7, Noise);
    body.Position(8, Noise, Literal(163.0f));
    body.Position(9, Bezier, Bezier);
    body.Zoom(9, Linear, Linear);
    body.Frame(9, Linear);
    body.Position(10, Bezier, Bezier);
    body.Zoom(10, Linear, Linear);
    body.Frame(10, Linear);
}

} // namespace __SceneGeneratedCode

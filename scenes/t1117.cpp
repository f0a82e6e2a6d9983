#include "scenes/t1117.h"

namespace __SceneGeneratedCode {

void t1117::SetTime(ref_ptr<CScene> scene, double t) {
    const CSceneBody body(scene, t);
    body.Angle(0, Noise);
    body.Angle(1, Noise);
    body.Angle(2, Noise);
    body.SpriteOffset(3, Linear, Literal(0.0f));
    body.Position(4, Linear, Literal(75.0f));
    body.Position(5, Bezier, Bezier);
    body.Frame(5, Linear);
    body.Position(6, Bezier, Bezier);
    body.Zoom(6, Linear, Linear);
    body.Frame(6, Linear);
}

} // namespace __SceneGeneratedCode

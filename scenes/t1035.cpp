#include "scenes/t1035.h"

namespace __SceneGeneratedCode {

void t1035::SetTime(ref_ptr<CScene> scene, double t) {
    const CSceneBody body(scene, t);
    body.SpriteOffset(0, Literal(0.0f), Linear);
    body.SpriteOffset(1, Linear, Literal(0.0f));
    body.Angle(2, Noise);
    body.Angle(3, Noise);
    body.Angle(4, Noise);
    body.Angle(5, Noise);
    body.SpriteOffset(6, Linear, Literal(0.0f));
    body.Position(7, Linear, Literal(74.0f));
    body.SpriteOffset(8, Literal(0.0f), Linear);
    body.Angle(9, Noise);
    body.Angle(10, Noise);
    body.Position(11, Bezier, Bezier);
    body.Size(11, Linear, Linear);
    body.Frame(11, Linear);
    body.Position(12, Bezier, Bezier);
    body.Size(12, Linear, Linear);
    body.Frame(12, Linear);
    body.Position(13, Bezier, Bezier);
    body.Size(13, Linear, Linear);
    body.Frame(13, Linear);
    body.Position(14, Bezier, Bezier);
    body.Zoom(14, Linear, Linear);
    body.Frame(14, Linear);
}

} // namespace __SceneGeneratedCode

#include "scenes/t1163.h"

namespace __SceneGeneratedCode {

void t1163::SetTime(ref_ptr<CScene> scene, double t) {
    const CSceneBody body(scene, t);
    body.SpriteOffset(0, Linear, Literal(0.0f));
    body.Position(1, Linear, Literal(107.0f));
    body.Position(2, Linear, Literal(47.977776f));
    body.Angle(3, Noise);
    body.SpriteOffset(3, Linear, Literal(0.0f));
    body.Angle(4, Noise);
    body.SpriteOffset(4, Linear, Literal(0.0f));
}

} // namespace __SceneGeneratedCode

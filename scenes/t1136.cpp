#include "scenes/t1136.h"

namespace __SceneGeneratedCode {

void t1136::SetTime(ref_ptr<CScene> scene, double t) {
    const CSceneBody body(scene, t);
    body.SpriteOffset(0, Linear, Literal(0.0f));
    body.Position(1, Noise, Literal(69.5f));
    body.Angle(2, Noise);
    body.Angle(3, Noise);
    body.Angle(4, Noise);
    body.Angle(5, Noise);
}

} // namespace __SceneGeneratedCode

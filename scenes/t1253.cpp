#include "scenes/t1253.h"

namespace __SceneGeneratedCode {

void t1253::SetTime(ref_ptr<CScene> scene, double t) {
    const CSceneBody body(scene, t);
    body.Position(0, LinearEased, LinearEased);
    body.Position(1, LinearEased, LinearEased);
    body.Angle(2, Noise);
    body.Position(2, Linear, LinearNoiseEased);
    body.Position(3, Literal(108.0f), LinearEased);
    body.Position(4, Literal(200.0f), LinearEased);
    body.Angle(5, Noise);
    body.Position(5, Literal(152.0f), LinearNoiseEased);
}

} // namespace __SceneGeneratedCode

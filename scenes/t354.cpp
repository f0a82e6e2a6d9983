#include "scenes/t354.h"

namespace __SceneGeneratedCode {

void t354::SetTime(ref_ptr<CScene> scene, double t) {
    const CSceneBody body(scene, t);
    const CComponent white = Literal(100.0f);
    body.Position(0, LinearEased, LinearEased);
    body.Position(1, LinearEased, LinearEased);
    body.Color(2, white, white, white, LinearEased);
    body.Position(3, Literal(108.0f), LinearEased);
    body.Color(3, white, white, white, LinearEased);
    body.Angle(4, Noise);
}

} // namespace __SceneGeneratedCode

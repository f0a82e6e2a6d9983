#include "scenes/t1214.h"

namespace __SceneGeneratedCode {

void t1214::SetTime(ref_ptr<CScene> scene, double t) {
    const CSceneBody body(scene, t);
    body.Position(0, LinearEased, LinearEased);
    body.Position(1, LinearEased, LinearEased);
    body.ParticleTime(2, Linear);
    body.ParticleTime(3, Linear);
    body.ParticleTime(4, Linear);
    body.ParticleTime(5, Linear);
    body.ParticleTime(6, Linear);
    body.ParticleTime(7, Linear);
    body.ParticleTime(8, Linear);
    body.Angle(9, Noise);
    body.SpriteOffset(9, Linear, Literal(0.0f));
    body.Angle(10, Noise);
    body.SpriteOffset(10, Linear, Literal(0.0f));
    body.ParticleTime(11, Linear);
    body.ParticleTime(12, Linear);
    body.ParticleTime(13, Linear);
    body.ParticleTime(14, Linear);
    body.ParticleTime(15, Linear);
}

} // namespace __SceneGeneratedCode

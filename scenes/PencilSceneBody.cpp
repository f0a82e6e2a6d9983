#include "scenes/PencilSceneBody.h"

namespace __SceneGeneratedCode {

void CPencilSceneBody::SetTime(ref_ptr<CScene> scene, double t) {
    const CSceneBody body(scene, t);
    body.Position(0, Linear, Linear);
    body.Position(1, Linear, Linear);
    body.Position(2, Linear, Linear);
}

} // namespace __SceneGeneratedCode

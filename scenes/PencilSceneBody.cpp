#include "scenes/PencilSceneBody.h"

namespace __SceneGeneratedCode {

void CPencilSceneBody::SetTime(ref_ptr<CScene> scene, double t) {
    const CSceneBody body(scene, t);
    for (int object = 0; object <= 2; ++object) body.Position(object, Linear, Linear);
}

} // namespace __SceneGeneratedCode

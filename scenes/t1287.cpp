#include "scenes/t1287.h"

namespace __SceneGeneratedCode {

void t1287::SetTime(ref_ptr<CScene> scene, double t) {
    const CSceneBody body(scene, t);
    body.Zoom(0, Bezier, Bezier);
    body.Position(1, Literal(400.25f), Bezier);
    body.Zoom(1, Bezier, Bezier);
    body.Opacity(1, Linear);
    body.Position(2, Literal(395.25f), Linear);
    body.Opacity(2, Linear);
    body.Zoom(3, Bezier, Bezier);
}

} // namespace __SceneGeneratedCode

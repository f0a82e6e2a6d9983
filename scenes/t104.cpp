#include "scenes/t104.h"

namespace __SceneGeneratedCode {

void t104::SetTime(ref_ptr<CScene> scene, double t) {
    const CSceneBody body(scene, t);
    body.Position(0, Linear, Literal(277.0f));
    body.Position(1, Linear, Linear);
    body.Position(2, Linear, Literal(472.0f));
    body.Position(3, Linear, Literal(292.0f));
    body.Position(4, Linear, Linear);
    body.Position(5, Linear, Linear);
    body.Position(6, Linear, Linear);
    body.Position(7, Linear, Linear);
    body.Position(8, Linear, Linear);
    body.Size(8, Linear, Literal(148.0f));
    body.Position(9, Linear, Linear);
    body.Position(10, Linear, Linear);
    body.Size(10, Linear, Literal(27.0f));
    body.Position(11, Linear, Literal(262.0f));
    body.Position(12, Linear, Linear);
    body.Position(13, Linear, Literal(266.0f));
    body.Size(13, Linear, Literal(77.0f));
    body.Position(14, Linear, Linear);
    body.Position(15, Linear, Literal(277.0f));
    body.Size(15, Linear, Literal(265.0f));
    body.Position(16, Linear, Linear);
    body.Position(17, Linear, Linear);
    body.Position(18, Linear, Linear);
    body.Position(19, Linear, Linear);
    body.Position(20, Linear, Literal(305.0f));
    body.Position(21, Linear, Literal(267.0f));
}

} // namespace __SceneGeneratedCode

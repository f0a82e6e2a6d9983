#include "scenes/BookSceneBody.h"

namespace __SceneGeneratedCode {

void CBookSceneBody::SetTime(ref_ptr<CScene> scene, double t) {
    const CSceneBody body(scene, t);
    const CComponent white = Literal(100.0f);
    body.Position(0, Linear, Linear);
    body.Position(1, Linear, Linear);
    body.Size(1, Literal(145.0f), Linear);
    body.Position(2, Literal(244.0f), Linear);
    body.Position(3, Literal(59.0f), Linear);
    body.Position(4, Literal(108.0f), Linear);
    body.Color(4, white, white, white, Linear);
    body.Position(5, Literal(200.0f), Linear);
    body.Color(5, white, white, white, Linear);
    body.Position(6, Literal(108.0f), Linear);
    body.Position(7, Literal(198.0f), Linear);
    body.Position(8, Literal(108.0f), Linear);
    body.Color(8, white, white, white, Linear);
    body.Position(9, Literal(200.0f), Linear);
    body.Color(9, white, white, white, Linear);
    body.Position(10, Literal(105.0f), Linear);
    body.Position(11, Literal(201.0f), Linear);
    body.Position(12, Literal(157.0f), Linear);
    body.Position(13, Literal(154.0f), Linear);
    body.Position(14, Literal(149.5f), Linear);
    body.Position(15, Literal(152.0f), Linear);
    body.Position(16, Literal(108.0f), Linear);
    body.Position(17, Literal(196.0f), Linear);
    body.Position(18, Literal(102.0f), Linear);
    body.Position(19, Literal(202.0f), Linear);
    body.Size(20, Literal(187.0f), Linear);
    body.Position(21, Linear, Linear);
    body.Position(22, Linear, Linear);
}

} // namespace __SceneGeneratedCode

#include "scenes/t1572.h"

namespace __SceneGeneratedCode {

void t1572::SetTime(ref_ptr<CScene> scene, double t) {
    const CSceneBody body(scene, t);
    body.Position(0, Linear, Linear);
    body.Size(0, Linear, Linear);
    body.Angle(1, Linear);
    body.Position(1, Linear, Linear);
    body.Angle(2, Linear);
    body.Position(2, Linear, Linear);
    body.Color(2, Literal(100.0f), Literal(100.0f), Literal(100.0f), Linear);
    body.Angle(3, Linear);
    body.Position(3, Linear, Linear);
    body.Color(3, Literal(100.0f), Literal(100.0f), Literal(100.0f), Linear);
    body.Position(4, Linear, Linear);
    body.Color(4, Literal(100.0f), Literal(100.0f), Literal(100.0f), Linear);
    body.Position(5, Linear, Linear);
    body.Size(5, Literal(33.0f), Linear);
    body.Position(6, Linear, Linear);
    body.Size(6, Literal(19.0f), Linear);
    body.Position(7, Linear, Linear);
    body.Size(7, Linear, Linear);
    body.Color(7, Literal(100.0f), Literal(100.0f), Literal(100.0f), Linear);
    body.Position(8, Linear, Linear);
    body.Size(8, Linear, Linear);
    body.Color(8, Literal(100.0f), Literal(100.0f), Literal(100.0f), Linear);
    body.Position(9, Linear, Linear);
    body.Size(9, Linear, Linear);
    body.Color(9, Literal(100.0f), Literal(100.0f), Literal(100.0f), Linear);
    body.Position(10, Linear, Linear);
    body.Size(10, Linear, Linear);
    body.Color(10, Literal(100.0f), Literal(100.0f), Literal(100.0f), Linear);
    body.Angle(11, Linear);
    body.Position(11, Bezier, Bezier);
    body.Angle(12, Linear);
    body.Position(12, Bezier, Bezier);
    body.Angle(13, Linear);
    body.Position(13, Bezier, Bezier);
    body.Angle(14, Linear);
    body.Position(14, Bezier, Bezier);
    body.Angle(15, Linear);
    body.Position(15, Bezier, Bezier);
    body.Angle(16, Linear);
    body.Position(16, Linear, Linear);
    body.Angle(17, Linear);
    body.Position(17, Linear, Linear);
    body.Angle(18, Linear);
    body.Position(18, Bezier, Bezier);
    body.Angle(19, Linear);
    body.Position(19, Bezier, Bezier);
    body.Angle(20, Linear);
    body.Position(20, Bezier, Bezier);
    body.Angle(21, Linear);
    body.Position(21, Bezier, Bezier);
    body.Angle(22, Linear);
    body.Position(22, Linear, Linear);
    body.Angle(23, Linear);
    body.Position(23, Linear, Linear);
    body.Color(24, Literal(100.0f), Literal(100.0f), Literal(100.0f), Linear);
    body.Color(25, Literal(100.0f), Literal(100.0f), Literal(100.0f), Linear);
    body.Color(26, Literal(100.0f), Literal(100.0f), Literal(100.0f), Linear);
    body.Angle(27, Linear);
    body.Position(27, Linear, Linear);
    body.Size(27, Linear, Linear);
    body.Color(27, Literal(100.0f), Literal(100.0f), Literal(100.0f), Linear);
    body.Position(28, Linear, Linear);
    body.Size(28, Linear, Linear);
    body.Color(28, Linear, Linear, Linear, Linear);
    body.Position(29, Linear, Linear);
    body.Size(29, Linear, Linear);
    body.Color(29, Literal(100.0f), Literal(100.0f), Literal(100.0f), Linear);
    body.Position(30, Linear, Literal(291.0f));
    body.Color(30, Literal(100.0f), Literal(100.0f), Literal(100.0f), Linear);
    body.Color(31, Literal(100.0f), Literal(100.0f), Literal(100.0f), Linear);
    body.Angle(32, Linear);
    body.Position(32, Bezier, Bezier);
}

} // namespace __SceneGeneratedCode

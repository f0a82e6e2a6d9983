#pragma once
// A colour controller: a four-component controller whose components are
// red, green, blue and alpha.

#include "scene/Vector4Controller.h"

namespace Engine::Scene {

class CRGBAController : public CVector4Controller {
public:
    CRGBAController();

    // "r", "g", "b", "a" for the four components, else empty.
    CString GetSubAnimName(int index) const override;
};

} // namespace Engine::Scene

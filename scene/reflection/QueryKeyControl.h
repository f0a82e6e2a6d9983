#pragma once
// The key-table query by registered class.

#include "scene/controllers/KeyControl.h"

namespace Engine::Scene {

class CAnimatable;

// The object's key interface, when its registered class lists IKeyControl
// among its reflected bases; else (and for null) null. A class that
// implements the interface without naming it is not treated as a key table.
IKeyControl* QueryKeyControl(CAnimatable* object);

} // namespace Engine::Scene

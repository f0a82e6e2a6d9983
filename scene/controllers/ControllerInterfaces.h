#pragma once
// Tag interfaces of the controllers: no operations and no data. The value
// type a controller animates is found through the IValueTypeAttribute that
// the registry attaches to the value-type tags; ISupportGetORTControllerValue
// marks the key tables that evaluate every out-of-range type themselves.

namespace Engine::Scene {

class IFloatController {};
class IBoolController {};
class IVector2Controller {};
class IVector4Controller {};
class ISupportGetORTControllerValue {};

} // namespace Engine::Scene

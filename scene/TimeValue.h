#pragma once
// A point on the scene's time line, in seconds; reflected by name so that
// generated classes can name it as a plain value type.

namespace Engine::Scene {

class CTimeValue {
public:
    double seconds = 0;
};

} // namespace Engine::Scene

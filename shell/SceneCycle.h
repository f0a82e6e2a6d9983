#pragma once
// Which background scene shows, and for how long: the scenes take turns,
// each for the configured change time, wrapping after the last. The time
// kept here is how long the current scene has shown (the change and the
// notice's fade follow it); the scenes animate on the application time.

namespace Engine {

class CSceneCycle {
public:
    // Starts at scene `first` (of `count`, which may be 0), shown for 0 s.
    void Start(int count, int first, double periodSeconds);
    // Moves the time on by one step; true when it reached the change time,
    // in which case the next scene is current, shown for 0 s.
    // The changes happen even without scenes, for what else goes with them.
    bool Advance(double step);

    // -1 without scenes.
    int GetCurrent() const { return m_count > 0 ? m_current : -1; }
    double GetSceneTime() const { return m_time; }
    double GetPeriod() const { return m_period; }

private:
    int m_count = 0;
    int m_current = 0;
    double m_period = 60.0;
    double m_time = 0.0;
};

} // namespace Engine

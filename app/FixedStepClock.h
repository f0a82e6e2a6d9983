#pragma once
// The main loop's time: the clock's progress since the last frame is cut into
// fixed update steps of 33,333 microseconds, and what is left over is carried
// into the next frame.

#include <cstdint>

namespace Engine {

class CFixedStepClock {
public:
    static constexpr int64_t kStepMicroseconds = 33333;
    static constexpr double kStepSeconds = double(kStepMicroseconds) / 1e6;
    // More steps than this in one frame are dropped for a single step.
    static constexpr int kMaxStepsPerFrame = 100;

    struct CFrame {
        bool skipped = false;  // the clock went backwards: no steps, no drawing
        int steps = 0;
        int64_t firstStepStart = 0;  // game time of the first step, microseconds

        double StepStartSeconds(int step) const {
            return double(firstStepStart + int64_t(step) * kStepMicroseconds) / 1e6;
        }
    };

    // Takes now as the reference; game time and carry start again at 0.
    void Reset(int64_t now);
    // The steps to run for the clock reading now (microseconds).
    CFrame Advance(int64_t now);

    int64_t GetGameTime() const { return m_gameTime; }
    int64_t GetCarry() const { return m_carry; }

private:
    int64_t m_last = 0;
    int64_t m_carry = 0;
    int64_t m_gameTime = 0;
};

} // namespace Engine

#pragma once
// The out-of-range evaluation of the key tables that carry their own: every
// out-of-range type, given the controller's evaluation inside its range.

#include <cmath>

#include "scene/controllers/StdController.h"

namespace Engine::Scene {

// evaluate(time) gives the value at a time, clamped at the keys.
template <class Evaluate>
float EvaluateOutOfRange(const CStdController& controller, double time, Evaluate evaluate) {
    const CTimeRange range = controller.GetTimeRange(0);
    const int32_t type = controller.GetOutOfRangeType(range.start < time ? ORT_AFTER : ORT_BEFORE);
    if (range.IsNone() || range.start == range.end) return evaluate(time);
    if (time <= range.start || time >= range.end) {
        const bool before = time <= range.start;
        const double edge = before ? range.start : range.end;
        switch (type) {
        case ORT_CONSTANT:
            return evaluate(edge);
        case ORT_IDENTITY:
            return float(double(evaluate(edge)) - edge + time);
        case ORT_LINEAR:
            return float(evaluate(edge) +
                         (before ? controller.GetSlopeBefore() : controller.GetSlopeAfter()) * (time - edge));
        default:
            break;
        }
    }
    const double d = time - range.start;
    const double length = range.end - range.start;
    double wrapped = time;
    double n = 0;
    if (type == ORT_PING_PONG) {
        n = std::floor(d / (2 * length));
        const double r = d - 2 * length * n;
        wrapped = r < length ? range.start + r : range.start + 2 * length - r;
    } else if (type != ORT_CONSTANT) {
        n = std::floor(d / length);
        wrapped = range.start + d - n * length;
    }
    double value = evaluate(wrapped);
    if (type == ORT_RELATIVE_REPEAT) value += n * (double(evaluate(range.end)) - double(evaluate(range.start)));
    return float(value);
}

} // namespace Engine::Scene

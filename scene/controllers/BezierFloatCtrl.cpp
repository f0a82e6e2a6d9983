#include "scene/controllers/BezierFloatCtrl.h"

#include <algorithm>
#include <cmath>

#include "reflection/Value.h"
#include "scene/controllers/BezierCurve.h"
#include "scene/controllers/OutOfRange.h"

namespace Engine::Scene {

using Engine::Reflection::CValue;

namespace {

constexpr double ONE_THIRD = 0.3333333333333333;
constexpr double TWO_THIRDS = 0.6666666666666666;
constexpr float MIN_HANDLE_SPAN = 0.01f;

bool InRect(double time, float value, double t0, double t1, float low, float high) {
    return time >= t0 && time <= t1 && value >= low && value <= high;
}

} // namespace

CBezierFloatCtrl::CBezierFloatCtrl() {
    AddKey(0.0, 0);
}

void CBezierFloatCtrl::GetValue(double time, CValue& value) {
    value = CValue(GetValueAtTime(time));
}

void CBezierFloatCtrl::SetValue(double time, const CValue& value, int) {
    SetOrAddKey(time, value.Get<float>());
}

void CBezierFloatCtrl::GetORTControllerValue(double time, CValue& value) {
    value = CValue(GetORTValue(time));
}

float CBezierFloatCtrl::GetValueAtTime(double time) const {
    const int count = GetKeyCount();
    if (count == 0) return 0.0f;
    const IBezFloatKey& first = KeyAt(0);
    const IBezFloatKey& last = KeyAt(count - 1);
    if (count == 1 || time <= first.time) return first.value;
    if (time >= last.time) return last.value;
    // Key 0 is not after the time here, so the first key after it is the
    // first from index 1.
    const int i = FindKeyAfter(time);
    if (i < 0) return last.value;  // keys read out of order
    return SegmentValue(i, time);
}

float CBezierFloatCtrl::SegmentValue(int index, double time) const {
    const IBezFloatKey& a = KeyAt(index - 1);
    const IBezFloatKey& b = KeyAt(index);
    if (a.outKind == TANGENT_STEP) return a.value;
    if (b.time <= time) return b.value;
    const float dt = float(b.time - a.time);
    const float u = float(float(time - a.time) / dt);
    const float s = SolveBezierParameter(a.outLength, 1.0f - b.inLength, u);
    const float rise = b.value - a.value;
    const float p1 = a.outKind == TANGENT_LINEAR ? float(a.value + rise * ONE_THIRD)
                                                 : a.value + ControlRise(a.outSlope, a.outLength, dt);
    const float p2 = b.inKind == TANGENT_LINEAR ? float(a.value + rise * TWO_THIRDS)
                                                : b.value + ControlRise(b.inSlope, b.inLength, dt);
    return Bernstein(a.value, p1, p2, b.value, s);
}

float CBezierFloatCtrl::GetORTValue(double time) const {
    return EvaluateOutOfRange(*this, time, [this](double t) { return GetValueAtTime(t); });
}

void CBezierFloatCtrl::GetNeighbourSpans(int index, float& toPrevious, float& toNext) const {
    const int last = GetKeyCount() - 1;
    const double time = KeyAt(index).time;
    toPrevious = float(time - KeyAt(std::max(index - 1, 0)).time);
    toNext = float(KeyAt(std::min(index + 1, last)).time - time);
}

CBezierFloatCtrl::CHandle CBezierFloatCtrl::GetInHandle(int index) const {
    float toPrevious = 0, toNext = 0;
    GetNeighbourSpans(index, toPrevious, toNext);
    const IBezFloatKey& key = KeyAt(index);
    return {key.time - toPrevious * key.inLength, key.value + HandleRise(key.inSlope, key.inLength, toPrevious)};
}

CBezierFloatCtrl::CHandle CBezierFloatCtrl::GetOutHandle(int index) const {
    float toPrevious = 0, toNext = 0;
    GetNeighbourSpans(index, toPrevious, toNext);
    const IBezFloatKey& key = KeyAt(index);
    return {key.time + key.outLength * toNext, key.value + HandleRise(key.outSlope, key.outLength, toNext)};
}

void CBezierFloatCtrl::SetTangentsFromHandles(int index, CHandle in, CHandle out) {
    if (GetKeyCount() <= 1) return;
    float toPrevious = 0, toNext = 0;
    GetNeighbourSpans(index, toPrevious, toNext);
    IBezFloatKey& key = EditKey(index);
    if (in.time > key.time) in.time = key.time - MIN_HANDLE_SPAN;
    if (out.time < key.time) out.time = key.time + MIN_HANDLE_SPAN;
    key.inLength = toPrevious != 0 ? float((key.time - in.time) / toPrevious) : MIN_HANDLE_SPAN;
    key.outLength = toNext != 0 ? float((out.time - key.time) / toNext) : MIN_HANDLE_SPAN;
    key.inSlope = SlopeFromHandle(key.value, key.inLength, toPrevious, in.value);
    key.outSlope = SlopeFromHandle(key.value, key.outLength, toNext, out.value);
}

int CBezierFloatCtrl::HitTestKeys(KeyHitList* hits, double t0, double t1, float va, float vb, int reserved,
                                  uint32_t flags) {
    const int result = CStdFloatKeyTableCtrl::HitTestKeys(hits, t0, t1, va, vb, reserved, flags);
    if (!hits || !(flags & HIT_TEST_KEYS)) return result;
    const float low = std::min(va, vb), high = std::max(va, vb);
    for (int i = 0; i < GetKeyCount(); ++i) {
        const CHandle in = GetInHandle(i), out = GetOutHandle(i);
        if (InRect(in.time, in.value, t0, t1, low, high)) hits->emplace_back(i, 1);
        if (InRect(out.time, out.value, t0, t1, low, high)) hits->emplace_back(i, 2);
    }
    return result;
}

void CBezierFloatCtrl::SelectKeys(int operation, const KeyHitList* keys) {
    CStdFloatKeyTableCtrl::SelectKeys(operation, keys);
    if ((operation & SELECT_CLEAR_ALL) || !keys) return;
    for (const auto& [index, part] : *keys) {
        uint32_t bits = 0;
        if (part & 1) bits |= KEY_IN_HANDLE_SELECTED;
        if (part & 2) bits |= KEY_OUT_HANDLE_SELECTED;
        if (!bits) continue;
        IBezFloatKey& key = EditKey(index);
        if (operation == SELECT_SET) key.flags |= bits;
        if (operation == SELECT_CLEAR) key.flags &= ~bits;
    }
}

void CBezierFloatCtrl::OffsetKeyValues(const CValue& delta, bool selectedOnly) {
    const float offset = delta.Get<float>();
    OffsetValues(offset, selectedOnly);
    for (int i = 0; i < GetKeyCount(); ++i) {
        const uint32_t flags = EditKey(i).flags;
        if (!(flags & (KEY_IN_HANDLE_SELECTED | KEY_OUT_HANDLE_SELECTED))) continue;
        CHandle in = GetInHandle(i), out = GetOutHandle(i);
        if (!selectedOnly || (flags & KEY_IN_HANDLE_SELECTED)) in.value += offset;
        if (!selectedOnly || (flags & KEY_OUT_HANDLE_SELECTED)) out.value += offset;
        SetTangentsFromHandles(i, in, out);
    }
    NotifyDependents(REFMSG_CHANGED, 1);
}

void CBezierFloatCtrl::MapKeyTimes(const ITimeMap& map, uint32_t flags) {
    // Handle points are taken before the keys move, mapped, and turned into
    // tangents against the new key times.
    struct CMappedHandles {
        const IBezFloatKey* key;
        CHandle in, out;
    };
    std::vector<CMappedHandles> mapped;
    const bool all = (flags & MAP_ALL) != 0;
    for (int i = 0; i < GetKeyCount(); ++i) {
        const IBezFloatKey& key = EditKey(i);
        const bool in = all || (key.flags & KEY_IN_HANDLE_SELECTED);
        const bool out = all || (key.flags & KEY_OUT_HANDLE_SELECTED);
        if (!in && !out) continue;
        CMappedHandles handles{&key, GetInHandle(i), GetOutHandle(i)};
        if (in) handles.in.time = map.Map(handles.in.time);
        if (out) handles.out.time = map.Map(handles.out.time);
        mapped.push_back(handles);
    }
    CStdFloatKeyTableCtrl::MapKeyTimes(map, flags);
    for (const CMappedHandles& handles : mapped) {
        for (int i = 0; i < GetKeyCount(); ++i)
            if (&EditKey(i) == handles.key) SetTangentsFromHandles(i, handles.in, handles.out);
    }
}

} // namespace Engine::Scene

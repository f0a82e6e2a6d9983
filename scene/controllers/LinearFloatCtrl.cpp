#include "scene/controllers/LinearFloatCtrl.h"

#include "reflection/Value.h"
#include "scene/SceneArchive.h"
#include "scene/controllers/OutOfRange.h"

namespace Engine::Scene {

using Engine::Reflection::CValue;

CLinearFloatCtrl::CLinearFloatCtrl() {
    AddKey(0.0, 0);
}

bool CLinearFloatCtrl::Serialize(CArchive& ar) {
    if (!CStdFloatKeyTableCtrl::Serialize(ar)) return false;
    if (ar.IsStoring()) {
        ar.BeginChunk(CHUNK_LINEAR_FLOAT_CTRL, CHUNK_VERSION);
        ar.EndChunk();
        return true;
    }
    const int64_t end = ReadObjectChunk(ar, CHUNK_LINEAR_FLOAT_CTRL, "CLinearFloatCtrl");
    CheckChunkEnd(ar, end, "CLinearFloatCtrl");
    return true;
}

void CLinearFloatCtrl::GetValue(double time, CValue& value) {
    value = CValue(GetValueAtTime(time));
}

void CLinearFloatCtrl::SetValue(double time, const CValue& value, int) {
    SetOrAddKey(time, value.Get<float>());
}

void CLinearFloatCtrl::GetORTControllerValue(double time, CValue& value) {
    value = CValue(GetORTValue(time));
}

float CLinearFloatCtrl::GetValueAtTime(double time) const {
    double before = 0.0, after = 0.0;
    GetNearestKeyTime(time, NEAREST_AT_OR_BEFORE, &before);
    GetNearestKeyTime(time, NEAREST_AT_OR_AFTER, &after);
    const int a = FindKeyAtTime(before);
    const int b = FindKeyAtTime(after);
    if (a < 0 || b < 0) return 0.0f;
    const ILinFloatKey& keyA = KeyAt(a);
    const ILinFloatKey& keyB = KeyAt(b);
    const double f = keyA.time == keyB.time ? 0.0 : (time - keyB.time) / (keyA.time - keyB.time);
    return float((keyA.value - keyB.value) * f + keyB.value);
}

float CLinearFloatCtrl::GetORTValue(double time) const {
    return EvaluateOutOfRange(*this, time, [this](double t) { return GetValueAtTime(t); });
}

} // namespace Engine::Scene

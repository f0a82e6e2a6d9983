#include "scene/controllers/StdController.h"

#include <cmath>
#include <limits>

#include "app/Exception.h"
#include "reflection/TypeInfo.h"
#include "reflection/Value.h"
#include "scene/SceneArchive.h"
#include "scene/controllers/ControllerInterfaces.h"
#include "scene/controllers/EaseCurveList.h"
#include "scene/controllers/Keys.h"
#include "scene/controllers/MultCurveList.h"
#include "scene/reflection/QueryKeyControl.h"

namespace Engine::Scene {

using Engine::Reflection::CValue;

namespace {

int32_t TruncateToInt32(double value) {
    constexpr double lo = std::numeric_limits<int32_t>::min();
    constexpr double hi = std::numeric_limits<int32_t>::max();
    if (!(value > lo)) return std::numeric_limits<int32_t>::min();
    if (value >= hi) return std::numeric_limits<int32_t>::max();
    return int32_t(value);
}

// The time wrapped into the range by whole lengths.
double Wrap(const CTimeRange& range, double time) {
    const double length = std::fabs(range.end - range.start);
    if (length <= 0) return time;
    const double d = time - range.start;
    const double r = d - TruncateToInt32(d / length) * length;
    return time < range.start ? range.end + r : range.start + r;
}

// How many lengths away from the range the time lies, counting the first.
int32_t Cycles(const CTimeRange& range, double time) {
    const double length = std::fabs(range.end - range.start);
    if (length <= 0) return 1;
    if (time < range.start) return TruncateToInt32(std::fabs(time - range.start) / length + 1);
    if (time > range.end) return TruncateToInt32(std::fabs(time - range.end) / length + 1);
    return 0;
}

void SetKeyValueOf(CController& table, IKey* key, float value) {
    for (int i = 0; key && i < table.GetKeyCount(); ++i) {
        if (table.GetKey(i) == key) {
            table.SetKeyValue(i, value);
            return;
        }
    }
}

} // namespace

CStdController::CStdController()
    : m_easeList(Engine::ref_ptr<CEaseCurveList>(new CEaseCurveList)),
      m_multList(Engine::ref_ptr<CMultCurveList>(new CMultCurveList)) {
    AddReference(m_easeList.Get(), 0);
    AddReference(m_multList.Get(), 0);
}

CStdController::~CStdController() noexcept(false) {
    // A list and its linked curves refer to each other: only disposal
    // frees them.
    m_easeList.Release();
    m_multList.Release();
}

void CStdController::Dispose() {
    CController::Dispose();
    m_easeList.DisposeIfHeldHereOnly();
    m_multList.DisposeIfHeldHereOnly();
}

bool CStdController::Serialize(CArchive& ar) {
    if (!CController::Serialize(ar)) return false;
    if (ar.IsStoring()) {
        ar.BeginChunk(CHUNK_STD_CONTROLLER, CHUNK_VERSION);
        WriteAnimatableRef(ar, m_easeList.get());
        WriteAnimatableRef(ar, m_multList.get());
        ar.EndChunk();
        return true;
    }
    const int64_t end = ReadObjectChunk(ar, CHUNK_STD_CONTROLLER, "CStdController");
    ReadList(ar, m_easeList);
    ReadList(ar, m_multList);
    CheckChunkEnd(ar, end, "CStdController");
    return true;
}

template <class List>
void CStdController::ReadList(CArchive& ar, CSlotRef<List>& slot) {
    slot.Clear();
    const CAnimatable::Ref read = ReadAnimatableRef(ar);
    Engine::ref_ptr<List> list = Engine::DynamicRefCast<List>(read);
    // A curve that reaches this controller would ease it for ever.
    if (list) RefuseSelfAnimation(*list, *this, GetObjectId());
    // Kept in the slot only: the lists the constructor registered stay
    // among the references.
    slot = CSlotRef<List>(std::move(list));
}

Engine::ref_ptr<CEaseCurveList> CStdController::GetEaseCurveList() const {
    return m_easeList.Get();
}

Engine::ref_ptr<CMultCurveList> CStdController::GetMultCurveList() const {
    return m_multList.Get();
}

CStdController::ERegion CStdController::Locate(int index, int& local) const {
    const int properties = CController::GetSubAnimCount();
    const int ease = m_easeList ? m_easeList->GetSubAnimCount() : 0;
    if (index < properties) {
        local = index;
        return ERegion::Properties;
    }
    if (index < properties + ease) {
        local = index - properties;
        return ERegion::EaseCurves;
    }
    local = index - properties - ease;
    return ERegion::MultCurves;
}

CAnimatable* CStdController::RegionList(ERegion region) const {
    if (region == ERegion::EaseCurves) return m_easeList.get();
    return m_multList.get();
}

bool CStdController::SetSubAnim(CAnimatable::Ref sub, int index) {
    int local = 0;
    const ERegion region = Locate(index, local);
    if (region == ERegion::Properties) return CController::SetSubAnim(std::move(sub), local);
    CAnimatable* list = RegionList(region);
    if (!list) return false;
    if (local < list->GetSubAnimCount()) list->RemoveSubAnim(local);
    return list->SetSubAnim(std::move(sub), local);
}

int CStdController::GetSubAnimCount() const {
    return CController::GetSubAnimCount() + (m_easeList ? m_easeList->GetSubAnimCount() : 0) +
           (m_multList ? m_multList->GetSubAnimCount() : 0);
}

CAnimatable::Ref CStdController::GetSubAnim(int index) const {
    int local = 0;
    const ERegion region = Locate(index, local);
    if (region == ERegion::Properties) return CController::GetSubAnim(local);
    CAnimatable* list = RegionList(region);
    if (!list) throw std::out_of_range("CStdController::GetSubAnim");
    return list->GetSubAnim(local);
}

CString CStdController::GetSubAnimName(int index) const {
    int local = 0;
    const ERegion region = Locate(index, local);
    if (region == ERegion::Properties) return CController::GetSubAnimName(local);
    const CAnimatable::Ref curve = GetSubAnim(index);
    return curve ? curve->GetClassName() : CString();
}

void CStdController::RemoveSubAnim(int index) {
    int local = 0;
    const ERegion region = Locate(index, local);
    if (region == ERegion::Properties) return CController::RemoveSubAnim(local);
    if (CAnimatable* list = RegionList(region)) list->RemoveSubAnim(local);
}

CTypePair CStdController::GetSubAnimType(int index) const {
    int local = 0;
    if (Locate(index, local) == ERegion::Properties) return CController::GetSubAnimType(local);
    return {Engine::Reflection::TypeOf<float>(), true};
}

void CStdController::AddEaseCurve(Engine::ref_ptr<CController> curve) {
    if (!curve || !m_easeList) return;
    if (curve->GetKeyCount() == 0 && QueryKeyControl(curve.get())) {
        SetKeyValueOf(*curve, curve->AddKey(0.0, 0), 0.0f);
        SetKeyValueOf(*curve, curve->AddKey(100.0, 0), 100.0f);
    }
    m_easeList->SetSubAnim(std::move(curve), m_easeList->GetSubAnimCount() - 1);
}

bool CStdController::SupportsOutOfRange() const {
    if (m_supportsOutOfRange < 0)
        m_supportsOutOfRange = dynamic_cast<const ISupportGetORTControllerValue*>(this) != nullptr;
    return m_supportsOutOfRange != 0;
}

void CStdController::GetControllerValue(double time, CValue& value) {
    const CTimeRange range = GetTimeRange(0);
    double eased = time;
    ApplyEaseCurves(&eased, &time);
    if (SupportsOutOfRange()) {
        GetORTControllerValue(eased, value);
        return;
    }
    const int32_t type = GetOutOfRangeType(range.start < eased ? ORT_AFTER : ORT_BEFORE);
    if (range.IsNone() || range.start == range.end || (range.start <= eased && eased <= range.end)) {
        GetValue(eased, value);
        return;
    }
    switch (type) {
    case ORT_CONSTANT:
        GetValue(eased <= range.start ? range.start : range.end, value);
        break;
    case ORT_REPEAT:
    case ORT_LOOP:
        GetValue(Wrap(range, eased), value);
        break;
    case ORT_PING_PONG: {
        double wrapped = Wrap(range, eased);
        if (Cycles(range, eased) % 2 != 0) wrapped = range.end - (wrapped - range.start);
        GetValue(wrapped, value);
        break;
    }
    case ORT_LINEAR:
    case ORT_IDENTITY:
        OnOutOfRange(range, eased, value, type);
        break;
    default:
        break;
    }
}

void CStdController::SetControllerValue(double time, const CValue& value, int) {
    SetValue(time, value, 1);
}

void CStdController::ApplyEaseCurves(double* result, const double* time) {
    if (m_easeList)
        m_easeList->EaseTime(result, time);
    else
        *result = *time;
}

} // namespace Engine::Scene

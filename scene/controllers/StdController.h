#pragma once
// The standard controller: owns an ease curve list and a multiplier curve
// list, lists their curves after its reflected properties as
// sub-animatables, and evaluates out-of-range times generically.

#include "scene/SlotRef.h"
#include "scene/controllers/Controller.h"

namespace Engine::Scene {

class CEaseCurveList;
class CMultCurveList;

constexpr uint32_t CHUNK_STD_CONTROLLER = 0xC0B;

class CStdController : public CController {
public:
    CStdController();
    // Lets go of the curve lists, disposing of each that nothing else uses.
    ~CStdController() noexcept(false) override;

    // Unlinks the controller, then disposes of each of its curve lists that
    // nothing but its own slot uses, which unlinks their curves. The lists
    // stay in place: another owner of a disposed controller still evaluates
    // it through them.
    void Dispose() override;

    bool Serialize(CArchive& ar) override;
    // Sub-animatables: the reflected properties, then the ease curves, then
    // the multiplier curves.
    bool SetSubAnim(CAnimatable::Ref sub, int index) override;
    int GetSubAnimCount() const override;
    CAnimatable::Ref GetSubAnim(int index) const override;
    CString GetSubAnimName(int index) const override;
    void RemoveSubAnim(int index) override;
    CTypePair GetSubAnimType(int index) const override;

    // A key table without keys first gets the keys (0, 0) and (100, 100).
    void AddEaseCurve(Engine::ref_ptr<CController> curve) override;
    // Eases the time, then hands over to GetORTControllerValue for classes
    // that evaluate out-of-range times themselves, else evaluates the range
    // and the generic out-of-range types.
    void GetControllerValue(double time, Engine::Reflection::CValue& value) override;
    void SetControllerValue(double time, const Engine::Reflection::CValue& value, int flag) override;

    virtual void GetORTControllerValue(double, Engine::Reflection::CValue&) {}
    virtual double GetSlopeBefore() const { return 0.0; }
    virtual double GetSlopeAfter() const { return 0.0; }
    virtual void ApplyEaseCurves(double* result, const double* time);
    virtual void OnOutOfRange(const CTimeRange&, double, Engine::Reflection::CValue&, int32_t) {}

    // Counted: a caller that evaluates through the list keeps it alive while
    // a curve's change replaces or drops it.
    Engine::ref_ptr<CEaseCurveList> GetEaseCurveList() const;
    Engine::ref_ptr<CMultCurveList> GetMultCurveList() const;

private:
    enum class ERegion { Properties, EaseCurves, MultCurves };
    // The region of a combined index and the index within it.
    ERegion Locate(int index, int& local) const;
    CAnimatable* RegionList(ERegion region) const;
    // Whether the class carries ISupportGetORTControllerValue; asked once.
    bool SupportsOutOfRange() const;
    template <class List>
    void ReadList(CArchive& ar, CSlotRef<List>& slot);

    CSlotRef<CEaseCurveList> m_easeList;
    CSlotRef<CMultCurveList> m_multList;
    mutable int8_t m_supportsOutOfRange = -1;
};

} // namespace Engine::Scene

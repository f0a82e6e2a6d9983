#include "particles/library/ParameterCurve.h"

#include <memory>

#include "app/LoadingQuitCheck.h"
#include "particles/library/KeyStore.h"
#include "particles/library/VexaInput.h"

namespace VexaParticles {

CParameterCurve::CParameterCurve(std::vector<CCurveKey> keys, bool smooth)
    : CParameterCurve(OwnKeyTable<CCurveKey, CCurvePoint>(keys), smooth) {}

void ReadCurve(CVexaInput& input, CParameterCurve& curve) {
    const bool longKeys = input.Version() >= kVexaVersionLongKeys;
    const size_t count = input.Count(longKeys ? 28 : 8, "curve keys");
    const std::span<CCurveKey> keys = input.GetKeyStore().Room<CCurveKey>(count);
    for (size_t i = 0; i < count; ++i) {
        Engine::CLoadingQuitCheck::Count();
        CCurveKey& key = *std::construct_at(&keys[i]);
        key.time = input.F32();
        key.value = input.F32();
        if (!longKeys) continue;
        key.flags = input.U32();
        key.extra1 = input.F32();
        key.extra3 = input.F32();
        key.extra2 = input.F32();
        key.extra4 = input.F32();
    }
    const bool smooth = input.U32() != 0;
    curve = CParameterCurve(input.GetKeyStore().MakeTable<CCurveKey, CCurvePoint>(keys), smooth);
}

} // namespace VexaParticles

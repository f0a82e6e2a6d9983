#include "tools/CloudEffect.h"

#include "particles/library/VexaParticleEmitter.h"
#include "tools/VexaWriter.h"

namespace Tools {

std::vector<uint8_t> WriteCloudEffect(int live) {
    CVexaEmitter emitter = MakeVexaEmitter("Cloud");
    auto setC = [&](int i, float v) {
        emitter.curves[VexaParticles::CVexaParticleEmitter::kCurveSlot[size_t(i - 1)]] = MakeVexaCurve(v);
    };
    setC(10, 0.0f);
    setC(14, 6.28f);
    setC(16, 200.0f);
    emitter.shape = 2;
    CVexaParticleType& type = emitter.types[0];
    auto setQ = [&](int i, float v) { type.curves[size_t(i - 1)] = MakeVexaCurve(v); };
    for (int q : {3, 8, 9, 10, 11, 12, 17, 20, 29, 30, 35, 36}) setQ(q, 0.0f);
    setQ(1, 50.0f);
    setQ(5, float(live));
    setQ(4, 40.0f);
    setQ(7, 20.0f);
    setQ(2, 0.1f);
    setQ(3, 1.0f);
    setQ(12, 0.3f);
    type.curves[12].keys = {{0, 1.0f}, {1, 0.2f}};  // Q13: size over life
    type.curves[22].keys = {{0, 1.0f}, {1, 0.0f}};  // Q23: alpha over life
    type.gradient.keys = {{0, 1, 1, 0.5f, 1}, {0.5f, 1, 0.4f, 0, 1}, {1, 0.3f, 0, 0, 1}};
    CVexaDocument document;
    document.emitters = {emitter};
    return WriteVexa(document);
}

} // namespace Tools

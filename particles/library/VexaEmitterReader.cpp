#include "particles/library/VexaEmitterReader.h"

#include <cstring>

#include "app/LoadingQuitCheck.h"
#include "particles/library/VexaException.h"
#include "particles/library/VexaFile.h"
#include "particles/library/VexaInput.h"

namespace VexaParticles {

CVexaEmitterReader::CVexaEmitterReader(CVexaInput& input, CVexaFile& file) : m_input(input), m_file(file) {}

void CVexaEmitterReader::ReadCurves(CParameterCurve* curves, size_t count) {
    for (size_t i = 0; i < count; ++i) ReadCurve(m_input, curves[i]);
}

void CVexaEmitterReader::ReadEmitter(CVexaParticleEmitter& emitter, CVexaParticleType* parentType, int depth) {
    if (depth > kMaxDepth) throw CVexaException("Sub-emitters nest deeper than %d levels", kMaxDepth);
    Engine::CLoadingQuitCheck::Count();
    emitter.m_library = m_file.GetLibrary();
    emitter.m_file = &m_file;
    emitter.m_parentType = parentType;
    CParameterCurve* curves = emitter.m_curves.data();
    ReadCurves(curves, 15);
    const float directionX = m_input.F32();
    const float directionY = m_input.F32();
    emitter.SetDirection(directionX, directionY, 0.0f);
    ReadCurve(m_input, curves[15]);
    const size_t typeCount = m_input.Count(kMinTypeBytes, "particle types");
    if (typeCount > 0) {
        emitter.m_types = Engine::CFixedCapacityArray<CVexaParticleType>(typeCount);
        for (size_t i = 0; i < typeCount; ++i) {
            CVexaParticleType& type = emitter.m_types.Add();
            emitter.m_nTypeCount = int32_t(emitter.m_types.size());
            ReadParticleType(type, emitter, depth);
        }
    }
    const CString name = m_input.String();
    if (!name.IsEmpty()) {
        emitter.m_name = std::make_unique<char[]>(size_t(name.GetLength()) + 1);
        std::memcpy(emitter.m_name.get(), name.c_str(), size_t(name.GetLength()) + 1);
    }
    for (float& channel : emitter.m_tint) channel = m_input.F32();
    CVexaParticleEmitter::CSettings& settings = emitter.m_settings;
    settings.orderedPlacement = m_input.U32();
    settings.placementCount = m_input.U32();
    settings.twoSidedA = m_input.U32();
    settings.twoSidedB = m_input.U32();
    settings.shape = m_input.U32();
    settings.axis3D = m_input.U32();
    ReadCurves(curves + 16, 3);
    if (m_input.Version() >= kVexaVersionLongKeys) settings.subEmitterStart = m_input.U32();
    if (m_input.Version() >= kVexaVersion) emitter.m_fTuningValue = m_input.F32();
}

void CVexaEmitterReader::ReadParticleType(CVexaParticleType& type, CVexaParticleEmitter& emitter, int depth) {
    Engine::CLoadingQuitCheck::Count();
    type.emitter = &emitter;
    type.library = m_file.GetLibrary();
    type.file = &m_file;
    type.meshes.SetLibrary(&m_file.GetMeshLibrary());
    CVexaParticleType::CWords& words = type.words;
    if (m_input.U32() != 0) type.shape = m_file.FindShape(m_input.U32());
    m_input.String();
    words.word1 = m_input.U32();
    words.rotationMode = m_input.U32();
    words.rotationAngle = m_input.I32();
    words.drawFlags = m_input.U32();
    words.orientationMode = m_input.U32();
    words.flags = m_input.U32();
    ReadColourGradient(m_input, type.gradient);
    CParameterCurve* curves = type.curves.data();
    ReadCurves(curves, 23);
    words.word6 = m_input.U32();
    words.word7 = m_input.U32();
    ReadCurves(curves + 23, 3);
    const size_t subCount = m_input.Count(kMinEmitterBytes, "sub-emitters");
    if (subCount > 0) {
        std::vector<CSubEmitterPrototypes::Prototype> subEmitters;
        subEmitters.reserve(subCount);
        for (size_t i = 0; i < subCount; ++i) {
            subEmitters.push_back(std::make_unique<CVexaParticleEmitter>());
            ReadEmitter(*subEmitters.back(), &type, depth + 1);
        }
        type.subEmitters = std::make_shared<const CSubEmitterPrototypes>(std::move(subEmitters));
    }
    words.vOrientation = m_input.U32();
    for (float& angle : words.eulerAngles) angle = m_input.F32();
    ReadCurves(curves + 26, 9);
    ReadMeshReferences(m_input, type.meshes);
    words.word12 = m_input.U32();
    words.burstCount = m_input.U32();
    ReadCurves(curves + 35, 3);
    words.drawValue1 = m_input.F32();
    words.drawValue2 = m_input.F32();
}

} // namespace VexaParticles

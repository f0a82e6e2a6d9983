#include "particles/library/VexaFile.h"

#include <cstring>

#include "app/LoadingQuitCheck.h"
#include "app/ProcessEnd.h"
#include "app/RepeatedLogLines.h"
#include "particles/library/VexaEmitterReader.h"
#include "particles/library/VexaException.h"
#include "particles/library/VexaInput.h"
#include "particles/library/VexaParticleLibrary.h"

namespace VexaParticles {
namespace {

constexpr char kFileId[4] = {'V', 'E', 'X', 'A'};
constexpr size_t kMinShapeBytes = 19;
constexpr size_t kMinImageBytes = 12;
constexpr size_t kTrailerBlockBytes = 48;

void ReadShape(CVexaInput& input, CVexaShape& shape) {
    const size_t imageCount = input.Count(kMinImageBytes, "shape images");
    Engine::CLoadingQuitCheck::Count();
    input.String();
    shape.ID = input.U32();
    // Each entry replaces the one before; the last is kept.
    for (size_t i = 0; i < imageCount; ++i) {
        Engine::CLoadingQuitCheck::Count();
        shape.image = input.Bytes(input.U32());
        shape.width = input.F32();
        shape.height = input.F32();
    }
    input.U32();
    input.U32();
    input.U8();
    input.U8();
}

} // namespace

CVexaFile::~CVexaFile() {
    Engine::CProcessEnd::Leave(std::move(m_emitterIndex));
    Engine::CProcessEnd::Leave(std::move(m_emitters));
}

void CVexaFile::Read(CArchive& archive) {
    CVexaInput input(archive, ReadHeader(archive));
    ReadContents(input);
}

uint32_t CVexaFile::ReadHeader(CArchive& archive) {
    char id[4] = {};
    archive.Read(id, sizeof id);
    if (std::memcmp(id, kFileId, sizeof id) != 0) throw CVexaException("Invalid .vexa file ID");
    uint32_t version = 0;
    archive.ReadDWord(version);
    if (version < kVexaVersion) throw CVexaException("File was saved using old Vexa editor. Please, update this .vexa file.");
    if (version > kVexaVersion)
        throw CVexaException("File was saved using new Vexa editor. Please, make sure your are using SDK from the same distribution.");
    return version;
}

void CVexaFile::ReadContents(CVexaInput& input) {
    ReadMeshBlock(input, m_meshes);
    const size_t shapeCount = input.Count(kMinShapeBytes, "shapes");
    m_shapes.reserve(shapeCount);
    for (size_t i = 0; i < shapeCount; ++i) ReadShape(input, m_shapes.emplace_back());
    m_shapeIndex.Clear();
    for (const CVexaShape& shape : m_shapes) m_shapeIndex.Add(shape.ID, &shape);
    m_shapeIndex.Build();
    const size_t emitterCount = input.Count(CVexaEmitterReader::kMinEmitterBytes, "emitters");
    m_emitters = Engine::CFixedCapacityArray<CVexaParticleEmitter>(emitterCount);
    CVexaEmitterReader reader(input, *this);
    for (size_t i = 0; i < emitterCount; ++i) reader.ReadEmitter(m_emitters.Add(), nullptr);
    m_emitterIndex.Clear();
    for (CVexaParticleEmitter& emitter : m_emitters) {
        // An emitter without a name is found by none.
        if (const char* name = emitter.GetName()) m_emitterIndex.Add(name, &emitter);
    }
    m_emitterIndex.Build();
    if (m_library && m_library->GetDevice()) CreateMeshBuffers(m_meshes, *m_library->GetDevice());
    if (input.Version() >= kVexaVersionLongKeys) input.U32();
    if (input.Version() >= kVexaVersionTrailerBlock) input.Bytes(kTrailerBlockBytes);
}

const CVexaShape* CVexaFile::FindShape(uint32_t id) const {
    return m_shapeIndex.FindOr(id, nullptr);
}

void CVexaFile::CreateTextures() {
    VexaGraphics::IDevice* device = m_library ? m_library->GetDevice() : nullptr;
    if (!device || m_texturesMade) return;
    Engine::CRepeatedLogLines warnings;
    for (CVexaShape& shape : m_shapes) shape.CreateTexture(*device, m_name.c_str(), warnings);
    CreateMeshImages(m_meshes, *device, m_name.c_str(), warnings);
    warnings.WriteCounts();
    m_texturesMade = true;
}

void CVexaFile::DestroyTextures() {
    for (CVexaShape& shape : m_shapes) shape.DestroyTexture();
    m_texturesMade = false;
}

void CVexaFile::InvalidateTextures() {
    for (CVexaShape& shape : m_shapes)
        if (VexaGraphics::ITexture* texture = shape.GetTexture()) texture->Invalidate();
}

CVexaParticleEmitter* CVexaFile::FindEmitter(const char* name) {
    return name ? m_emitterIndex.FindOr(name, nullptr) : nullptr;
}

std::unique_ptr<CVexaParticleEmitter> CVexaFile::CreateEmitter(const char* name) {
    const CVexaParticleEmitter* prototype = FindEmitter(name);
    if (!prototype) throw CVexaException("Unable to find Vexa emitter '%s'", name ? name : "");
    return CVexaParticleEmitter::CreateFromPrototype(*prototype);
}

CVexaParticleEmitter* CVexaFile::GetEmitter(int32_t index) {
    return index >= 0 && size_t(index) < m_emitters.size() ? &m_emitters[size_t(index)] : nullptr;
}

} // namespace VexaParticles

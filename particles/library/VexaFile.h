#pragma once
// A loaded effect file: its mesh library, particle images and emitter
// prototypes.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "app/Archive.h"
#include "app/FixedCapacityArray.h"
#include "app/FirstMatchIndex.h"
#include "particles/library/IVexaFile.h"
#include "particles/library/VexaAse.h"
#include "particles/library/VexaParticleEmitter.h"
#include "particles/library/VexaShape.h"

namespace VexaParticles {

class CVexaInput;
class CVexaParticleLibrary;

class CVexaFile : public IVexaFile {
public:
    // The name says in the log which file a picture that does not decode is
    // in.
    explicit CVexaFile(CVexaParticleLibrary* library, std::string name = {})
        : m_library(library), m_name(std::move(name)) {}
    // Its emitters are only memory: at the process's end they are left to it.
    ~CVexaFile() override;
    CVexaFile(const CVexaFile&) = delete;
    CVexaFile& operator=(const CVexaFile&) = delete;

    void CreateTextures() override;
    void DestroyTextures() override;
    std::unique_ptr<CVexaParticleEmitter> CreateEmitter(const char* name) override;
    int32_t GetEmitterCount() const override { return int32_t(m_emitters.size()); }
    CVexaParticleEmitter* FindEmitter(const char* name) override;
    CVexaParticleEmitter* GetEmitter(int32_t index) override;
    void InvalidateTextures() override;

    CVexaParticleLibrary* GetLibrary() const { return m_library; }
    const CVexaAse& GetMeshLibrary() const { return m_meshes; }
    int32_t GetShapeCount() const { return int32_t(m_shapes.size()); }
    const CVexaShape& GetShape(int32_t index) const { return m_shapes[size_t(index)]; }
    // The first shape with the ID, or null.
    const CVexaShape* FindShape(uint32_t id) const;

    // Reads a whole file ("VEXA", the version, the contents) into this
    // empty object. Format errors throw CVexaException, short reads the
    // archive's exception.
    void Read(CArchive& archive);
    // Checks "VEXA" and the version word and returns the version.
    static uint32_t ReadHeader(CArchive& archive);
    // The contents after the version word, laid out for the input's version.
    void ReadContents(CVexaInput& input);

private:
    CVexaAse m_meshes;
    CVexaParticleLibrary* m_library;
    std::string m_name;
    // Each list is made as it is read, in storage taken for its count once
    // the count is checked: the records point at each other.
    Engine::CFixedCapacityArray<CVexaParticleEmitter> m_emitters;
    std::vector<CVexaShape> m_shapes;
    // Set once every shape and mesh image that decodes has its texture, until
    // they are destroyed: an image that did not decode never will, so each
    // further use of the file (one per place file naming it) is a no-op.
    bool m_texturesMade = false;
    // Indexed once read: each particle type finds its shape, and each
    // emitter made for a place file its prototype, by a look-up.
    Engine::CFirstMatchIndex<uint32_t, const CVexaShape*> m_shapeIndex;
    // Names compare as C strings: up to their first zero byte.
    Engine::CFirstMatchIndex<std::string_view, CVexaParticleEmitter*> m_emitterIndex;
};

} // namespace VexaParticles

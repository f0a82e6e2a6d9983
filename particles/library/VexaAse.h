#pragma once
// The mesh library of an effect file: embedded bitmaps, materials, geometry
// objects and the named mesh instances that particle types show. Records
// refer to each other by pointer, resolved by ID while reading; each list
// takes its storage once, for its checked count, and makes each record as it
// is read, so those pointers stay valid for the library's life.

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "app/FirstMatchIndex.h"
#include "app/Geometry.h"
#include "app/Math.h"
#include "graphics/BitmapIO.h"
#include "app/RepeatedLogLines.h"
#include "particles/library/VexaDevice.h"

namespace VexaParticles {

class CVexaInput;

class CVexaAse {
public:
    struct CBitmapRecord {
        uint32_t ID = 0;
        std::vector<uint8_t> data;  // the embedded image file
        std::unique_ptr<VexaGraphics::ITexture> texture;
        // Made by CreateMeshImages over the decoded pixels, which the record
        // keeps as long as the device bitmap points at them.
        std::unique_ptr<VexaGraphics::CBitmap> bitmap;
        CBitmapIO::CImageData pixels;
        // Set once the data did not decode: it is logged once, not decoded
        // again.
        bool refused = false;
    };

    struct CMapRecord {
        std::array<uint32_t, 5> values{};  // stored as read
        const CBitmapRecord* bitmap = nullptr;
    };

    struct CMaterialRecord {
        uint32_t ID = 0;
        std::array<uint32_t, 13> values{};  // stored as read
        std::unique_ptr<CMapRecord> maps[2];
    };

    struct CTextureChannel {
        std::vector<Engine::Geometry::CVector2> coordinates;
        std::vector<std::array<uint32_t, 3>> faces;  // coordinate indices
    };

    class CObject {
    public:
        virtual ~CObject() = default;
        virtual bool IsGeometry() const = 0;
        virtual void Read(CVexaInput& input, const CVexaAse& library) = 0;

        uint32_t ID = 0;
        Engine::Geometry::CMatrix34 transform;
    };

    class CGeomObject : public CObject {
    public:
        static constexpr size_t kMaxChannels = 128;

        bool IsGeometry() const override { return true; }
        // Indices are checked against the arrays they name.
        void Read(CVexaInput& input, const CVexaAse& library) override;

        std::vector<Engine::Geometry::CVector3> vertices;
        std::vector<std::array<uint32_t, 3>> faces;  // vertex indices
        std::vector<CTextureChannel> channels;
        const CMaterialRecord* material = nullptr;
        std::unique_ptr<VexaGraphics::IVertexBuffer> vertexBuffer;
    };

    struct CMeshInstance {
        uint32_t ID = 0;
        Engine::Geometry::CVector3 scale;
        CGeomObject* object = nullptr;
    };

    // One vertex of a mesh vertex buffer; three per face, no index buffer.
    struct CMeshVertex {
        float x, y, z;
        uint32_t colour;
        float u, v;
    };
    static_assert(sizeof(CMeshVertex) == 24);

    CVexaAse() = default;
    CVexaAse(const CVexaAse&) = delete;
    CVexaAse& operator=(const CVexaAse&) = delete;

    const std::vector<CBitmapRecord>& GetBitmaps() const { return m_bitmaps; }
    const std::vector<CMaterialRecord>& GetMaterials() const { return m_materials; }
    const std::vector<std::unique_ptr<CObject>>& GetObjects() const { return m_objects; }
    const std::vector<CMeshInstance>& GetMeshInstances() const { return m_instances; }

    // The first record with the ID, or null.
    const CBitmapRecord* FindBitmap(uint32_t id) const;
    const CMaterialRecord* FindMaterial(uint32_t id) const;
    CGeomObject* FindObject(uint32_t id) const;
    const CMeshInstance* FindMeshInstance(uint32_t id) const;

    friend void ReadMeshBlock(CVexaInput& input, CVexaAse& library);
    friend void CreateMeshBuffers(CVexaAse& library, VexaGraphics::IDevice& device);
    friend void CreateMeshImages(CVexaAse& library, VexaGraphics::IDevice& device, const char* fileName,
                                 Engine::CRepeatedLogLines& warnings);

private:
    std::vector<CBitmapRecord> m_bitmaps;
    std::vector<CMaterialRecord> m_materials;
    std::vector<std::unique_ptr<CObject>> m_objects;
    std::vector<CMeshInstance> m_instances;
    // Each list is indexed by ID as soon as it is read: the records read
    // after it look their targets up there.
    Engine::CFirstMatchIndex<uint32_t, const CBitmapRecord*> m_bitmapIndex;
    Engine::CFirstMatchIndex<uint32_t, const CMaterialRecord*> m_materialIndex;
    Engine::CFirstMatchIndex<uint32_t, CGeomObject*> m_objectIndex;
    Engine::CFirstMatchIndex<uint32_t, const CMeshInstance*> m_instanceIndex;
};

// Reads the whole mesh block into an empty library.
void ReadMeshBlock(CVexaInput& input, CVexaAse& library);

// Builds the vertex buffer of every geometry object a mesh instance uses,
// once per object. Device failures throw CVexaGraphicsException.
void CreateMeshBuffers(CVexaAse& library, VexaGraphics::IDevice& device);

// Makes the device bitmap of every bitmap record that has none yet and
// decodes; a record whose image does not decode is left without one, logged
// once with the file's name.
void CreateMeshImages(CVexaAse& library, VexaGraphics::IDevice& device, const char* fileName,
                      Engine::CRepeatedLogLines& warnings);

} // namespace VexaParticles

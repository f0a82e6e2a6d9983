#include "particles/library/VexaAse.h"

#include "app/LoadingQuitCheck.h"
#include "particles/library/MeshReferenceList.h"
#include "particles/library/VexaException.h"
#include "particles/library/VexaInput.h"

namespace VexaParticles {
namespace {

constexpr uint32_t kGeometryObjectType = 1;

template <class Record>
void IndexById(const std::vector<Record>& records, Engine::CFirstMatchIndex<uint32_t, const Record*>& index) {
    index.Clear();
    for (const Record& record : records) index.Add(record.ID, &record);
    index.Build();
}

std::unique_ptr<CVexaAse::CMapRecord> ReadMap(CVexaInput& input, const CVexaAse& library) {
    auto map = std::make_unique<CVexaAse::CMapRecord>();
    for (uint32_t& value : map->values) value = input.U32();
    map->bitmap = library.FindBitmap(input.U32());
    return map;
}

// Three indices per face, each below the size of the array it names.
std::vector<std::array<uint32_t, 3>> ReadFaces(CVexaInput& input, size_t limit, const char* what) {
    std::vector<std::array<uint32_t, 3>> faces(input.Count(12, what));
    for (size_t f = 0; f < faces.size(); ++f) {
        Engine::CLoadingQuitCheck::Count();
        for (uint32_t& index : faces[f]) {
            index = input.U32();
            if (index >= limit)
                throw CVexaException("%s %zu names index %u of %zu entries", what, f, index, limit);
        }
    }
    return faces;
}

} // namespace

const CVexaAse::CBitmapRecord* CVexaAse::FindBitmap(uint32_t id) const {
    return m_bitmapIndex.FindOr(id, nullptr);
}

const CVexaAse::CMaterialRecord* CVexaAse::FindMaterial(uint32_t id) const {
    return m_materialIndex.FindOr(id, nullptr);
}

CVexaAse::CGeomObject* CVexaAse::FindObject(uint32_t id) const {
    return m_objectIndex.FindOr(id, nullptr);
}

const CVexaAse::CMeshInstance* CVexaAse::FindMeshInstance(uint32_t id) const {
    return m_instanceIndex.FindOr(id, nullptr);
}

void CVexaAse::CGeomObject::Read(CVexaInput& input, const CVexaAse& library) {
    ID = input.U32();
    input.String();
    for (auto& row : transform.m)
        for (float& value : row) value = input.F32();
    vertices.resize(input.Count(12, "mesh vertices"));
    for (Engine::Geometry::CVector3& vertex : vertices) {
        Engine::CLoadingQuitCheck::Count();
        vertex.x = input.F32();
        vertex.y = input.F32();
        vertex.z = input.F32();
    }
    faces = ReadFaces(input, vertices.size(), "mesh face");
    const size_t channelCount = input.Count(8, "texture channels");
    if (channelCount > kMaxChannels)
        throw CVexaException("%zu texture channels exceed the %zu a mesh can hold", channelCount, kMaxChannels);
    channels.resize(channelCount);
    for (CTextureChannel& channel : channels) {
        channel.coordinates.resize(input.Count(8, "texture coordinates"));
        for (Engine::Geometry::CVector2& uv : channel.coordinates) {
            Engine::CLoadingQuitCheck::Count();
            uv.x = input.F32();
            uv.y = input.F32();
        }
        channel.faces = ReadFaces(input, channel.coordinates.size(), "texture face");
    }
    const uint32_t materialId = input.U32();
    material = materialId != 0 ? library.FindMaterial(materialId) : nullptr;
}

void ReadMeshBlock(CVexaInput& input, CVexaAse& library) {
    library.m_bitmaps.resize(input.Count(9, "mesh bitmaps"));
    for (CVexaAse::CBitmapRecord& bitmap : library.m_bitmaps) {
        Engine::CLoadingQuitCheck::Count();
        bitmap.ID = input.U32();
        input.String();
        bitmap.data = input.Bytes(input.U32());
    }
    IndexById(library.m_bitmaps, library.m_bitmapIndex);
    library.m_materials.resize(input.Count(64, "materials"));
    for (CVexaAse::CMaterialRecord& material : library.m_materials) {
        Engine::CLoadingQuitCheck::Count();
        material.ID = input.U32();
        for (uint32_t& value : material.values) value = input.U32();
        for (std::unique_ptr<CVexaAse::CMapRecord>& map : material.maps)
            if (input.U32() != 0) map = ReadMap(input, library);
    }
    IndexById(library.m_materials, library.m_materialIndex);
    library.m_objects.resize(input.Count(73, "mesh objects"));
    for (std::unique_ptr<CVexaAse::CObject>& object : library.m_objects) {
        Engine::CLoadingQuitCheck::Count();
        const uint32_t type = input.U32();
        if (type != kGeometryObjectType) throw CVexaException("Unknown mesh object type %u", type);
        object = std::make_unique<CVexaAse::CGeomObject>();
        object->Read(input, library);
    }
    library.m_objectIndex.Clear();
    for (const std::unique_ptr<CVexaAse::CObject>& object : library.m_objects)
        if (object->IsGeometry()) library.m_objectIndex.Add(object->ID, static_cast<CVexaAse::CGeomObject*>(object.get()));
    library.m_objectIndex.Build();
    library.m_instances.resize(input.Count(20, "mesh instances"));
    for (CVexaAse::CMeshInstance& instance : library.m_instances) {
        Engine::CLoadingQuitCheck::Count();
        instance.ID = input.U32();
        instance.object = library.FindObject(input.U32());
        instance.scale.x = input.F32();
        instance.scale.y = input.F32();
        instance.scale.z = input.F32();
    }
    IndexById(library.m_instances, library.m_instanceIndex);
}

void ReadMeshReferences(CVexaInput& input, CMeshReferenceList& list) {
    auto entries = std::make_shared<std::vector<CMeshReference>>(input.Count(16, "mesh references"));
    int64_t total = 0;
    for (CMeshReference& entry : *entries) {
        Engine::CLoadingQuitCheck::Count();
        const uint32_t id = input.U32();
        entry.instance = list.m_library ? list.m_library->FindMeshInstance(id) : nullptr;
        entry.weight = input.I32();
        total += entry.weight;
        entry.scale = input.F32();
        entry.randomRotation = input.U32();
    }
    list.m_nTotalWeight = total;
    if (!entries->empty()) list.m_entries = std::move(entries);
    list.BuildPickBounds();
}

} // namespace VexaParticles

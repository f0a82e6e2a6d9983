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
    const size_t count = input.Count(12, what);
    std::vector<std::array<uint32_t, 3>> faces;
    faces.reserve(count);
    for (size_t f = 0; f < count; ++f) {
        Engine::CLoadingQuitCheck::Count();
        for (uint32_t& index : faces.emplace_back()) {
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
    const size_t vertexCount = input.Count(12, "mesh vertices");
    vertices.reserve(vertexCount);
    for (size_t v = 0; v < vertexCount; ++v) {
        Engine::CLoadingQuitCheck::Count();
        Engine::Geometry::CVector3& vertex = vertices.emplace_back();
        vertex.x = input.F32();
        vertex.y = input.F32();
        vertex.z = input.F32();
    }
    faces = ReadFaces(input, vertices.size(), "mesh face");
    const size_t channelCount = input.Count(8, "texture channels");
    if (channelCount > kMaxChannels)
        throw CVexaException("%zu texture channels exceed the %zu a mesh can hold", channelCount, kMaxChannels);
    channels.reserve(channelCount);
    for (size_t c = 0; c < channelCount; ++c) {
        CTextureChannel& channel = channels.emplace_back();
        const size_t coordinateCount = input.Count(8, "texture coordinates");
        channel.coordinates.reserve(coordinateCount);
        for (size_t i = 0; i < coordinateCount; ++i) {
            Engine::CLoadingQuitCheck::Count();
            Engine::Geometry::CVector2& uv = channel.coordinates.emplace_back();
            uv.x = input.F32();
            uv.y = input.F32();
        }
        channel.faces = ReadFaces(input, channel.coordinates.size(), "texture face");
    }
    const uint32_t materialId = input.U32();
    material = materialId != 0 ? library.FindMaterial(materialId) : nullptr;
}

void ReadMeshBlock(CVexaInput& input, CVexaAse& library) {
    const size_t bitmapCount = input.Count(9, "mesh bitmaps");
    library.m_bitmaps.reserve(bitmapCount);
    for (size_t i = 0; i < bitmapCount; ++i) {
        Engine::CLoadingQuitCheck::Count();
        CVexaAse::CBitmapRecord& bitmap = library.m_bitmaps.emplace_back();
        bitmap.ID = input.U32();
        input.String();
        bitmap.data = input.Bytes(input.U32());
    }
    IndexById(library.m_bitmaps, library.m_bitmapIndex);
    const size_t materialCount = input.Count(64, "materials");
    library.m_materials.reserve(materialCount);
    for (size_t i = 0; i < materialCount; ++i) {
        Engine::CLoadingQuitCheck::Count();
        CVexaAse::CMaterialRecord& material = library.m_materials.emplace_back();
        material.ID = input.U32();
        for (uint32_t& value : material.values) value = input.U32();
        for (std::unique_ptr<CVexaAse::CMapRecord>& map : material.maps)
            if (input.U32() != 0) map = ReadMap(input, library);
    }
    IndexById(library.m_materials, library.m_materialIndex);
    const size_t objectCount = input.Count(73, "mesh objects");
    library.m_objects.reserve(objectCount);
    for (size_t i = 0; i < objectCount; ++i) {
        Engine::CLoadingQuitCheck::Count();
        const uint32_t type = input.U32();
        if (type != kGeometryObjectType) throw CVexaException("Unknown mesh object type %u", type);
        library.m_objects.push_back(std::make_unique<CVexaAse::CGeomObject>());
        library.m_objects.back()->Read(input, library);
    }
    library.m_objectIndex.Clear();
    for (const std::unique_ptr<CVexaAse::CObject>& object : library.m_objects)
        if (object->IsGeometry()) library.m_objectIndex.Add(object->ID, static_cast<CVexaAse::CGeomObject*>(object.get()));
    library.m_objectIndex.Build();
    const size_t instanceCount = input.Count(20, "mesh instances");
    library.m_instances.reserve(instanceCount);
    for (size_t i = 0; i < instanceCount; ++i) {
        Engine::CLoadingQuitCheck::Count();
        CVexaAse::CMeshInstance& instance = library.m_instances.emplace_back();
        instance.ID = input.U32();
        instance.object = library.FindObject(input.U32());
        instance.scale.x = input.F32();
        instance.scale.y = input.F32();
        instance.scale.z = input.F32();
    }
    IndexById(library.m_instances, library.m_instanceIndex);
}

void ReadMeshReferences(CVexaInput& input, CMeshReferenceList& list) {
    const size_t count = input.Count(16, "mesh references");
    auto entries = std::make_shared<std::vector<CMeshReference>>();
    entries->reserve(count);
    int64_t total = 0;
    for (size_t i = 0; i < count; ++i) {
        Engine::CLoadingQuitCheck::Count();
        CMeshReference& entry = entries->emplace_back();
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

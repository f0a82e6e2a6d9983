// The mesh library's device data: vertex buffers and bitmaps.

#include <climits>
#include <cstring>

#include "particles/library/EffectPicture.h"
#include "particles/library/VexaAse.h"
#include "particles/library/VexaException.h"
#include "particles/library/VexaGraphicsException.h"

namespace VexaParticles {
namespace {

constexpr uint32_t kMeshVertexFormat = 0x10009;
constexpr uint32_t kOpaqueWhite = 0xFFFFFFFFu;

void FillMeshVertices(const CVexaAse::CGeomObject& object, uint8_t* out) {
    const CVexaAse::CTextureChannel* channel = object.channels.empty() ? nullptr : &object.channels[0];
    for (size_t f = 0; f < object.faces.size(); ++f) {
        for (size_t corner = 0; corner < 3; ++corner) {
            const Engine::Geometry::CVector3& p = object.vertices[object.faces[f][corner]];
            // A face without a texture face in channel 0 takes u = v = 0.
            Engine::Geometry::CVector2 uv;
            if (channel && f < channel->faces.size()) uv = channel->coordinates[channel->faces[f][corner]];
            const CVexaAse::CMeshVertex vertex{p.x, p.y, p.z, kOpaqueWhite, uv.x, uv.y};
            std::memcpy(out, &vertex, sizeof vertex);
            out += sizeof vertex;
        }
    }
}

} // namespace

void CreateMeshBuffers(CVexaAse& library, VexaGraphics::IDevice& device) {
    for (CVexaAse::CMeshInstance& instance : library.m_instances) {
        CVexaAse::CGeomObject* object = instance.object;
        if (!object || object->vertexBuffer) continue;
        if (object->faces.size() > size_t(INT_MAX / 3))
            throw CVexaException("%zu mesh faces are more than a vertex buffer holds", object->faces.size());
        const int32_t vertexCount = int32_t(object->faces.size() * 3);
        std::unique_ptr<VexaGraphics::IVertexBuffer> buffer;
        int32_t result = device.CreateVertexBuffer(buffer, vertexCount, sizeof(CVexaAse::CMeshVertex),
                                                   kMeshVertexFormat, 0);
        if (result < 0 || !buffer)
            throw VexaGraphics::CVexaGraphicsException("Unable to create mesh vertex buffer", result);
        if ((result = buffer->Lock()) < 0)
            throw VexaGraphics::CVexaGraphicsException("Can't lock mesh vertex buffer", result);
        FillMeshVertices(*object, static_cast<uint8_t*>(buffer->GetData()));
        if ((result = buffer->Unlock()) < 0)
            throw VexaGraphics::CVexaGraphicsException("Can't unlock mesh vertex buffer", result);
        object->vertexBuffer = std::move(buffer);
    }
}

void CreateMeshImages(CVexaAse& library, VexaGraphics::IDevice& device, const char* fileName,
                      Engine::CRepeatedLogLines& warnings) {
    for (CVexaAse::CBitmapRecord& record : library.m_bitmaps) {
        if (record.texture || record.bitmap || record.refused || record.data.empty()) continue;
        CBitmapIO::CImageData image;
        if (!DecodeEffectPicture(CBitmapIO::ByteSpan(record.data), image, {fileName, "bitmap", record.ID}, warnings)) {
            record.refused = true;
            continue;
        }
        const int32_t result = device.CreateBitmap(record.bitmap, image.pixels.data(), image.width, image.height, 0);
        if (result < 0) throw VexaGraphics::CVexaGraphicsException("Can't create mesh bitmap", result);
        record.pixels = std::move(image);
    }
}

} // namespace VexaParticles


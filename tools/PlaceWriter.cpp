#include "tools/PlaceWriter.h"

#include <map>

#include "tools/BinaryWriter.h"

namespace Tools {

namespace {
constexpr uint32_t FILE_ID = 0x61636C70;
constexpr uint32_t VERSION_LEGACY = 0x1007;
constexpr uint32_t CHUNK_VERSION = 1;

class CPlaceWriter {
public:
    explicit CPlaceWriter(const CPlaceDocument& document) : m_doc(document) {}

    std::vector<uint8_t> Write() {
        m_out.U32(m_doc.faults.fileId.value_or(FILE_ID)).U32(m_doc.version);
        if (m_doc.version == VERSION_LEGACY)
            WriteLegacy();
        else
            WriteCurrent();
        m_out.Raw(m_doc.faults.trailing.data(), m_doc.faults.trailing.size());
        return m_out.ToVector();
    }

private:
    // Chunk headers go through here so that a fault can change one ID.
    void Begin(uint32_t id) {
        uint32_t written = id;
        const int occurrence = m_seen[id]++;
        for (const CPlaceChunkFault& fault : m_doc.faults.chunks)
            if (fault.id == id && fault.occurrence == occurrence) written = fault.replacement;
        m_out.BeginChunk(written, CHUNK_VERSION);
    }
    void End() { m_out.EndChunk(); }
    void Opaque(uint32_t id, const std::vector<uint8_t>& bytes) {
        Begin(id);
        m_out.Raw(bytes.data(), bytes.size());
        End();
    }
    void Text(const std::string& text) { m_out.String(CString(text)); }

    void WriteCurrent() {
        Begin(FILE_ID);
        m_out.U32(0);
        Opaque(0x000EBACB, m_doc.spriteViewJunk);
        Opaque(0x0000AAAA, m_doc.viewJunk);
        Begin(0x00000AB2);
        m_out.U32(m_doc.nextEmitterId).U32(uint32_t(m_doc.emitters.size()));
        for (const CPlaceEmitterDoc& emitter : m_doc.emitters) {
            m_out.U32(emitter.id);
            Text(emitter.file);
            Text(emitter.emitter);
        }
        Opaque(0x00000AB3, m_doc.libraryJunk);
        m_out.U32(uint32_t(m_doc.effectFiles.size()));
        for (const std::string& file : m_doc.effectFiles) Text(file);
        End();
        Begin(0x0000C0C0);
        WriteDescs();
        End();
        WriteValues(m_doc.properties, true);
        Begin(0x00009090);
        WriteSpriteLibrary(true);
        End();
        m_out.U32(m_doc.faults.layerCount.value_or(uint32_t(m_doc.layers.size())));
        for (const CPlaceLayerDoc& layer : m_doc.layers) WriteLayer(layer);
        Opaque(0x0000A1A1, m_doc.snapJunk);
        m_out.U32(0).U32(0);
        Begin(0x00005CE5);
        const std::vector<uint8_t> scene = m_doc.scene.empty() ? WriteEmptyScene() : m_doc.scene;
        m_out.Raw(scene.data(), scene.size());
        End();
        End();
    }

    void WriteLegacy() {
        for (int i = 0; i < 16; ++i) m_out.U32(0);
        m_out.U32(m_doc.faults.propertyVersion.value_or(0x1002));
        WriteDescs();
        WriteValues(m_doc.properties, false);
        m_out.U32(0);
        WriteSpriteLibrary(false);
        m_out.U32(m_doc.faults.layerCount.value_or(uint32_t(m_doc.layers.size())));
        for (const CPlaceLayerDoc& layer : m_doc.layers) WriteLegacyLayer(layer);
        for (int i = 0; i < 9; ++i) m_out.U32(0);
        m_out.U32(1).U32(7).U32(8);
    }

    void WriteDescs() {
        m_out.U32(uint32_t(m_doc.descs.size()));
        for (const CPlacePropertyDesc& desc : m_doc.descs) {
            m_out.U32(desc.id);
            Text(desc.name);
            m_out.U32(desc.type);
        }
    }

    void WriteValues(const std::vector<CPlacePropertyValue>& values, bool chunked) {
        if (chunked) Begin(0x0000CDCD);
        m_out.U32(uint32_t(values.size()));
        for (const CPlacePropertyValue& value : values) {
            m_out.U32(value.id);
            switch (value.type) {
            case 0: Text(value.text); break;
            case 1:
            case 2: m_out.U32(value.word); break;
            case 3: m_out.U8(value.byte); break;
            case 4: m_out.U32(value.pair[0]).U32(value.pair[1]); break;
            case 5:
                m_out.U32(value.listHead).U32(uint32_t(value.list.size()));
                for (uint32_t item : value.list) m_out.U32(item);
                break;
            default: break;
            }
        }
        if (chunked) End();
    }

    void WriteSpriteLibrary(bool chunked) {
        m_out.U32(m_doc.faults.spriteFileCount.value_or(uint32_t(m_doc.spriteFiles.size())));
        for (const CPlaceSpriteFileDoc& file : m_doc.spriteFiles) {
            Text(file.name);
            m_out.U32(uint32_t(file.sprites.size()));
            for (const CPlaceSpriteDoc& sprite : file.sprites) {
                if (chunked) Begin(0x00002020);
                m_out.U32(sprite.id);
                Text(sprite.name);
                for (int i = 0; i < 6; ++i) m_out.U32(0);
                if (chunked) End();
            }
        }
    }

    void WriteLayer(const CPlaceLayerDoc& layer) {
        Begin(0x00002222);
        Text(layer.name);
        m_out.U32(0).U32(layer.flag).U32(layer.flags).U32(0);
        // A header the reader neither checks nor skips.
        m_out.U32(0x00002223).U32(CHUNK_VERSION).U32(0);
        m_out.U32(0);
        WriteValues(layer.properties, true);
        m_out.U32(uint32_t(layer.objects.size()));
        for (const CPlaceObjectDoc& object : layer.objects) WriteObject(object);
        End();
    }

    void WriteLegacyLayer(const CPlaceLayerDoc& layer) {
        Text(layer.name);
        m_out.U32(0).U32(layer.flag).U32((layer.flags & 0x02) ? 1 : 0).U32(0);
        WriteValues(layer.properties, false);
        m_out.U32(uint32_t(layer.objects.size()));
        for (const CPlaceObjectDoc& object : layer.objects) WriteLegacyObject(object);
    }

    void WriteObject(const CPlaceObjectDoc& object) {
        m_out.U32(object.type);
        Begin(0x1111);
        Text(object.name);
        m_out.U32(object.id).I32(object.width).I32(object.height);
        m_out.F32(object.x).F32(object.y).F32(object.pivotX).F32(object.pivotY).F32(object.angle);
        m_out.U32(object.flags).U32(object.color);
        Opaque(0x1112, object.nestedJunk);
        WriteValues(object.properties, true);
        End();
        switch (object.type) {
        case 1:
        case 3:
            Begin(0x0040);
            m_out.I32(object.spriteId).F32(object.offsetX).F32(object.offsetY).U32(object.tileX).U32(object.tileY);
            m_out.F32(object.tileScaleX).F32(object.tileScaleY).U32(object.frame).U32(object.spriteFlags);
            End();
            break;
        case 2:
            Begin(0xCACA);
            m_out.U32(uint32_t(object.points.size())).U32(object.closed);
            Begin(0x0100);
            for (const CPlaceSplinePoint& p : object.points) {
                m_out.F32(p.controlA[0]).F32(p.controlA[1]).F32(p.controlB[0]).F32(p.controlB[1]);
                m_out.F32(p.point[0]).F32(p.point[1]).U32(p.tag0).U32(p.tag1);
            }
            End();
            End();
            break;
        case 4:
            Begin(0xABAB);
            m_out.U32(uint32_t(object.children.size()));
            Opaque(0xABAC, object.groupJunk);
            for (const CPlaceObjectDoc& child : object.children) WriteObject(child);
            End();
            break;
        case 6:
            Begin(0x5151);
            Begin(0x5151);
            m_out.U32(object.emitterId).U8(object.emitting).F32(object.emitterValue).U32(object.tint);
            End();
            End();
            break;
        default: break;
        }
    }

    void WriteLegacyObject(const CPlaceObjectDoc& object) {
        m_out.U32(object.type);
        Text(object.name);
        m_out.U32(object.id).I32(object.left).I32(object.top).I32(object.right).I32(object.bottom);
        m_out.U32(object.flags).F32(object.angle).F32(object.dx).F32(object.dy);
        WriteValues(object.properties, false);
        switch (object.type) {
        case 1:
        case 3: m_out.I32(object.spriteId).U32(object.frame).U32(object.spriteFlags & 0x01); break;
        case 2:
            m_out.U32(uint32_t(object.points.size())).U32(object.closed);
            for (const CPlaceSplinePoint& p : object.points) {
                for (const float* v : {p.controlA, p.controlB, p.point}) m_out.I32(int32_t(v[0])).I32(int32_t(v[1]));
                m_out.U32(p.tag0).U32(p.tag1);
            }
            break;
        case 4:
            m_out.U32(object.groupWord0).U32(object.groupWord1).U32(uint32_t(object.children.size()));
            for (const CPlaceObjectDoc& child : object.children) WriteLegacyObject(child);
            break;
        default: break;
        }
    }

    const CPlaceDocument& m_doc;
    CBinaryWriter m_out;
    std::map<uint32_t, int> m_seen;
};
} // namespace

std::vector<uint8_t> WritePlace(const CPlaceDocument& document) {
    return CPlaceWriter(document).Write();
}

std::vector<uint8_t> WriteEmptyScene(const std::string& name) {
    CBinaryWriter out;
    out.BeginChunk(0x4E454353, 0x102);  // "SCEN"
    out.String(CString(name));
    out.BeginChunk(0x5CE0, 0x101);
    out.F64(0.0).F64(50.0).F32(5.0f).U32(0).U32(0);
    out.EndChunk();
    out.U32(1001).U32(0);
    out.EndChunk();
    return out.ToVector();
}

} // namespace Tools

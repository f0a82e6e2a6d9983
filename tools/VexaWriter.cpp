#include "tools/VexaWriter.h"

#include "tools/BinaryWriter.h"

namespace Tools {
namespace {

constexpr uint32_t kLongKeys = 0x16000;
constexpr uint32_t kTrailerBlock = 0x23000;
constexpr uint32_t kTuningValue = 0x24000;

void WriteCurves(CBinaryWriter& out, const CVexaCurve* curves, size_t count, uint32_t version) {
    for (size_t i = 0; i < count; ++i) WriteVexaCurve(out, curves[i], version);
}

void WriteParticleType(CBinaryWriter& out, const CVexaParticleType& type, uint32_t version) {
    out.U32(type.shapeId ? 1 : 0);
    if (type.shapeId) out.U32(*type.shapeId);
    out.String(CString(type.name));
    for (uint32_t word : type.words) out.U32(word);
    out.U32(type.flags);
    WriteVexaGradient(out, type.gradient);
    WriteCurves(out, &type.curves[0], 23, version);
    out.U32(type.word6).U32(type.word7);
    WriteCurves(out, &type.curves[23], 3, version);
    out.U32(uint32_t(type.subEmitters.size()));
    for (const CVexaEmitter& sub : type.subEmitters) WriteVexaEmitter(out, sub, version);
    out.U32(type.word8);
    for (float angle : type.angles) out.F32(angle);
    WriteCurves(out, &type.curves[26], 9, version);
    WriteVexaMeshReferences(out, type.meshes);
    out.U32(type.word12).U32(type.burstCount);
    WriteCurves(out, &type.curves[35], 3, version);
    out.F32(type.drawValue1).F32(type.drawValue2);
}

void WriteShape(CBinaryWriter& out, const CVexaShape& shape) {
    out.U32(uint32_t(shape.images.size()));
    out.String(CString(shape.name));
    out.U32(shape.id);
    for (const CVexaShapeImage& image : shape.images) {
        out.U32(uint32_t(image.data.size())).Raw(image.data.data(), image.data.size());
        out.F32(image.width).F32(image.height);
    }
    out.U32(shape.ignoredWords[0]).U32(shape.ignoredWords[1]);
    out.U8(shape.ignoredBytes[0]).U8(shape.ignoredBytes[1]);
}

void WriteTriples(CBinaryWriter& out, const std::vector<CVexaIndexTriple>& triples) {
    out.U32(uint32_t(triples.size()));
    for (const CVexaIndexTriple& triple : triples) out.U32(triple[0]).U32(triple[1]).U32(triple[2]);
}

void WriteGeometry(CBinaryWriter& out, const CVexaGeometry& object) {
    out.U32(object.type).U32(object.id).String(CString(object.name));
    for (float value : object.transform) out.F32(value);
    out.U32(uint32_t(object.vertices.size()));
    for (const auto& vertex : object.vertices) out.F32(vertex[0]).F32(vertex[1]).F32(vertex[2]);
    WriteTriples(out, object.faces);
    out.U32(uint32_t(object.channels.size()));
    for (const CVexaTextureChannel& channel : object.channels) {
        out.U32(uint32_t(channel.coordinates.size()));
        for (const auto& uv : channel.coordinates) out.F32(uv[0]).F32(uv[1]);
        WriteTriples(out, channel.faces);
    }
    out.U32(object.materialId);
}

} // namespace

bool operator==(const CVexaParticleType& a, const CVexaParticleType& b) = default;
bool operator==(const CVexaEmitter& a, const CVexaEmitter& b) = default;

void WriteVexaCurve(CBinaryWriter& out, const CVexaCurve& curve, uint32_t version) {
    out.U32(uint32_t(curve.keys.size()));
    for (const CVexaCurveKey& key : curve.keys) {
        out.F32(key.time).F32(key.value);
        if (version < kLongKeys) continue;
        // The middle extras are stored as extra 3, extra 2.
        out.U32(key.flags).F32(key.extra1).F32(key.extra3).F32(key.extra2).F32(key.extra4);
    }
    out.U32(curve.smooth);
}

void WriteVexaGradient(CBinaryWriter& out, const CVexaGradient& gradient) {
    out.U32(uint32_t(gradient.keys.size()));
    for (const CVexaColourKey& key : gradient.keys)
        out.F32(key.time).F32(key.red).F32(key.green).F32(key.blue).F32(key.alpha);
    out.U32(gradient.repeatCount).U32(gradient.randomStart);
}

void WriteVexaMeshBlock(CBinaryWriter& out, const CVexaMeshBlock& block) {
    out.U32(uint32_t(block.bitmaps.size()));
    for (const CVexaMeshBitmap& bitmap : block.bitmaps) {
        out.U32(bitmap.id).String(CString(bitmap.name));
        out.U32(uint32_t(bitmap.data.size())).Raw(bitmap.data.data(), bitmap.data.size());
    }
    out.U32(uint32_t(block.materials.size()));
    for (const CVexaMaterial& material : block.materials) {
        out.U32(material.id);
        for (uint32_t value : material.values) out.U32(value);
        for (const std::optional<CVexaMaterialMap>& map : material.maps) {
            out.U32(map ? 1 : 0);
            if (!map) continue;
            for (uint32_t value : map->values) out.U32(value);
            out.U32(map->bitmapId);
        }
    }
    out.U32(uint32_t(block.objects.size()));
    for (const CVexaGeometry& object : block.objects) WriteGeometry(out, object);
    out.U32(uint32_t(block.instances.size()));
    for (const CVexaMeshInstance& instance : block.instances)
        out.U32(instance.id).U32(instance.objectId).F32(instance.scale[0]).F32(instance.scale[1]).F32(instance.scale[2]);
}

void WriteVexaMeshReferences(CBinaryWriter& out, const std::vector<CVexaMeshReference>& meshes) {
    out.U32(uint32_t(meshes.size()));
    for (const CVexaMeshReference& entry : meshes)
        out.U32(entry.instanceId).U32(entry.weight).F32(entry.scale).U32(entry.randomRotation);
}

void WriteVexaEmitter(CBinaryWriter& out, const CVexaEmitter& emitter, uint32_t version) {
    WriteCurves(out, &emitter.curves[0], 15, version);
    out.F32(emitter.directionX).F32(emitter.directionY);
    WriteVexaCurve(out, emitter.curves[15], version);
    out.U32(uint32_t(emitter.types.size()));
    for (const CVexaParticleType& type : emitter.types) WriteParticleType(out, type, version);
    out.String(CString(emitter.name));
    for (float channel : emitter.tint) out.F32(channel);
    out.U32(emitter.orderedPlacement).U32(emitter.placementCount).U32(emitter.twoSidedA).U32(emitter.twoSidedB);
    out.U32(emitter.shape).U32(emitter.axis3D);
    WriteCurves(out, &emitter.curves[16], 3, version);
    if (version >= kLongKeys) out.U32(emitter.subEmitterStart);
    if (version >= kTuningValue) out.F32(emitter.tuning);
}

std::vector<uint8_t> WriteVexa(const CVexaDocument& document) {
    CBinaryWriter out;
    out.Raw(document.magic.data(), document.magic.size()).U32(document.version);
    WriteVexaMeshBlock(out, document.meshes);
    out.U32(uint32_t(document.shapes.size()));
    for (const CVexaShape& shape : document.shapes) WriteShape(out, shape);
    out.U32(uint32_t(document.emitters.size()));
    for (const CVexaEmitter& emitter : document.emitters) WriteVexaEmitter(out, emitter, document.version);
    if (document.version >= kLongKeys) out.U32(document.trailerWord);
    if (document.version >= kTrailerBlock)
        for (uint32_t word : document.trailerBlock) out.U32(word);
    return out.ToVector();
}

CVexaCurve MakeVexaCurve(float value) {
    CVexaCurve curve;
    curve.keys.push_back({0.0f, value});
    return curve;
}

CVexaEmitter MakeVexaEmitter(const std::string& name) {
    CVexaEmitter emitter;
    emitter.name = name;
    emitter.curves.fill(MakeVexaCurve(1.0f));
    CVexaParticleType type;
    type.curves.fill(MakeVexaCurve(1.0f));
    type.gradient.keys.push_back({0.0f, 1.0f, 1.0f, 1.0f, 1.0f});
    emitter.types.push_back(type);
    return emitter;
}

} // namespace Tools

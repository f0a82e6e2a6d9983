#include "VexaTestSupport.h"

#include "app/Archive.h"
#include "particles/library/VexaParticleLibrary.h"
#include "tools/ImageWriter.h"

namespace VexaTest {
namespace {

std::string Hex(uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%X", value);
    return text;
}

Tools::CVexaCurve DescribeCurve(const CParameterCurve& curve) {
    Tools::CVexaCurve out;
    for (const CCurveKey& k : curve.GetKeys())
        out.keys.push_back({k.time, k.value, k.flags, k.extra1, k.extra2, k.extra3, k.extra4});
    out.smooth = curve.IsSmooth() ? 1 : 0;
    return out;
}

Tools::CVexaEmitter DescribeEmitter(const CVexaParticleEmitter& emitter);

Tools::CVexaParticleType DescribeType(const CVexaParticleType& type) {
    Tools::CVexaParticleType out;
    if (type.shape) out.shapeId = type.shape->ID;
    const CVexaParticleType::CWords& w = type.words;
    out.words = {w.word1, w.rotationMode, uint32_t(w.rotationAngle), w.drawFlags, w.orientationMode};
    out.flags = w.flags;
    for (const CColourKey& k : type.gradient.GetKeys())
        out.gradient.keys.push_back({k.time, k.red, k.green, k.blue, k.alpha});
    out.gradient.repeatCount = uint32_t(type.gradient.GetRepeatCount());
    out.gradient.randomStart = type.gradient.IsRandomStart() ? 1 : 0;
    for (size_t i = 0; i < type.curves.size(); ++i) out.curves[i] = DescribeCurve(type.curves[i]);
    out.word6 = w.word6;
    out.word7 = w.word7;
    if (type.subEmitters)
        for (const auto& sub : *type.subEmitters) out.subEmitters.push_back(DescribeEmitter(*sub));
    out.word8 = w.vOrientation;
    out.angles = w.eulerAngles;
    for (const CMeshReference& ref : type.meshes.GetEntries())
        out.meshes.push_back({ref.instance ? ref.instance->ID : 0, uint32_t(ref.weight), ref.scale, ref.randomRotation});
    out.word12 = w.word12;
    out.burstCount = w.burstCount;
    out.drawValue1 = w.drawValue1;
    out.drawValue2 = w.drawValue2;
    return out;
}

Tools::CVexaEmitter DescribeEmitter(const CVexaParticleEmitter& emitter) {
    Tools::CVexaEmitter out;
    for (size_t i = 0; i < emitter.GetCurves().size(); ++i) out.curves[i] = DescribeCurve(emitter.GetCurves()[i]);
    float z = 0;
    emitter.GetDirection(out.directionX, out.directionY, z);
    for (int32_t i = 0; i < emitter.GetParticleTypeCount(); ++i) out.types.push_back(DescribeType(emitter.GetParticleType(i)));
    out.name = emitter.GetName() ? emitter.GetName() : "";
    emitter.GetTintColor(out.tint[0], out.tint[1], out.tint[2], out.tint[3]);
    const CVexaParticleEmitter::CSettings& s = emitter.GetSettings();
    out.orderedPlacement = s.orderedPlacement;
    out.placementCount = s.placementCount;
    out.twoSidedA = s.twoSidedA;
    out.twoSidedB = s.twoSidedB;
    out.shape = s.shape;
    out.axis3D = s.axis3D;
    out.subEmitterStart = s.subEmitterStart;
    out.tuning = emitter.GetTuningValue();
    return out;
}

Tools::CVexaMeshBlock DescribeMeshes(const CVexaAse& ase) {
    Tools::CVexaMeshBlock out;
    for (const CVexaAse::CBitmapRecord& b : ase.GetBitmaps()) out.bitmaps.push_back({b.ID, "", b.data});
    for (const CVexaAse::CMaterialRecord& m : ase.GetMaterials()) {
        Tools::CVexaMaterial material{m.ID, m.values, {}};
        for (size_t i = 0; i < 2; ++i)
            if (m.maps[i]) material.maps[i] = Tools::CVexaMaterialMap{m.maps[i]->values, m.maps[i]->bitmap ? m.maps[i]->bitmap->ID : 0};
        out.materials.push_back(material);
    }
    for (const auto& object : ase.GetObjects()) {
        const auto& g = static_cast<const CVexaAse::CGeomObject&>(*object);
        Tools::CVexaGeometry geometry;
        geometry.id = g.ID;
        for (size_t i = 0; i < 12; ++i) geometry.transform[i] = g.transform.m[i / 4][i % 4];
        for (const auto& v : g.vertices) geometry.vertices.push_back({v.x, v.y, v.z});
        geometry.faces = g.faces;
        for (const CVexaAse::CTextureChannel& c : g.channels) {
            Tools::CVexaTextureChannel channel;
            for (const auto& uv : c.coordinates) channel.coordinates.push_back({uv.x, uv.y});
            channel.faces = c.faces;
            geometry.channels.push_back(channel);
        }
        geometry.materialId = g.material ? g.material->ID : 0;
        out.objects.push_back(geometry);
    }
    for (const CVexaAse::CMeshInstance& i : ase.GetMeshInstances())
        out.instances.push_back({i.ID, i.object ? i.object->ID : 0, {i.scale.x, i.scale.y, i.scale.z}});
    return out;
}

void DropNames(Tools::CVexaEmitter& emitter) {
    for (Tools::CVexaParticleType& type : emitter.types) {
        type.name.clear();
        for (Tools::CVexaEmitter& sub : type.subEmitters) DropNames(sub);
    }
}

} // namespace

int32_t CFakeDevice::CreateVertexBuffer(std::unique_ptr<VexaGraphics::IVertexBuffer>& out, int32_t count,
                                        int32_t stride, uint32_t format, uint32_t usage) {
    calls.push_back("CreateVertexBuffer " + std::to_string(count) + " " + std::to_string(stride) + " " + Hex(format) +
                    " " + std::to_string(usage));
    if (failing == "CreateVertexBuffer") return -5;
    auto buffer = std::make_unique<CMemoryVertexBuffer>(size_t(count) * size_t(stride));
    if (failing == "Lock") buffer->lockResult = -6;
    buffers.push_back(buffer.get());
    out = std::move(buffer);
    return 0;
}

int32_t CFakeDevice::CreateTexture(std::unique_ptr<VexaGraphics::ITexture>& out, const VexaGraphics::CBitmap& bitmap,
                                   uint32_t) {
    calls.push_back("CreateTexture " + std::to_string(bitmap.GetWidth()));
    if (failing == "CreateTexture") return -7;
    auto texture = std::make_unique<CTexture>();
    texture->width = bitmap.GetWidth();
    out = std::move(texture);
    return 0;
}

int32_t CFakeDevice::CreateBitmap(std::unique_ptr<VexaGraphics::CBitmap>& out, const uint32_t* pixels, int32_t width,
                                  int32_t height, uint32_t fourth) {
    calls.push_back("CreateBitmap " + std::to_string(width) + "x" + std::to_string(height));
    if (failing == "CreateBitmap") return -8;
    out = std::make_unique<VexaGraphics::CBitmap>(pixels, width, height, fourth);
    return 0;
}

int32_t CFakeDevice::Draw(VexaGraphics::IVertexBuffer* buffer, int32_t first, int32_t count, uint32_t) {
    const auto* vertices = static_cast<const CParticleVertex*>(buffer->GetData()) + 4 * first;
    draws.emplace_back(vertices, vertices + 4 * count);
    return 0;
}

std::unique_ptr<CVexaFile> ReadVexa(const Bytes& bytes, CVexaParticleLibrary* library, std::string name) {
    Engine::CMemoryFile stream(bytes.data(), bytes.size());
    CArchive archive(&stream, false);
    auto file = std::make_unique<CVexaFile>(library, std::move(name));
    file->Read(archive);
    return file;
}

Tools::CVexaDocument Describe(const CVexaFile& file) {
    Tools::CVexaDocument out;
    out.meshes = DescribeMeshes(file.GetMeshLibrary());
    for (int32_t i = 0; i < file.GetShapeCount(); ++i) {
        const CVexaShape& s = file.GetShape(i);
        out.shapes.push_back({"", s.ID, {{s.image, s.width, s.height}}, {}, {}});
    }
    for (int32_t i = 0; i < file.GetEmitterCount(); ++i)
        out.emitters.push_back(DescribeEmitter(*const_cast<CVexaFile&>(file).GetEmitter(i)));
    return out;
}

Tools::CVexaDocument Kept(Tools::CVexaDocument document) {
    for (auto& bitmap : document.meshes.bitmaps) bitmap.name.clear();
    for (auto& object : document.meshes.objects) object.name.clear();
    for (auto& shape : document.shapes) {
        shape.name.clear();
        shape.ignoredWords = {};
        shape.ignoredBytes = {};
        if (shape.images.size() > 1) shape.images.erase(shape.images.begin(), shape.images.end() - 1);
        if (shape.images.empty()) shape.images.push_back({});
    }
    for (auto& emitter : document.emitters) DropNames(emitter);
    document.trailerWord = 0;
    document.trailerBlock = {};
    return document;
}

Tools::CVexaDocument FullDocument() {
    Tools::CVexaDocument doc;
    doc.meshes.bitmaps = {{7, "skin.png", SmallPng()}, {8, "empty", {}}};
    Tools::CVexaMaterial material{3, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13}, {}};
    material.maps[1] = Tools::CVexaMaterialMap{{21, 22, 23, 24, 25}, 7};
    doc.meshes.materials = {material, {4, {}, {Tools::CVexaMaterialMap{{1}, 8}, std::nullopt}}};
    Tools::CVexaGeometry geometry;
    geometry.id = 11;
    geometry.name = "box";
    geometry.transform = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    geometry.vertices = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1, 1, 0.5f}};
    geometry.faces = {{0, 1, 2}, {1, 3, 2}};
    geometry.channels = {{{{0, 0}, {1, 0}, {0, 1}}, {{0, 1, 2}}}};
    geometry.materialId = 3;
    doc.meshes.objects = {geometry};
    doc.meshes.instances = {{31, 11, {1, 2, 3}}, {32, 11, {0.5f, 0.5f, 0.5f}}};
    doc.shapes = {{"spark", 5, {{{1, 2, 3}, 8, 8}, {SmallPng(), 16, 32}}, {9, 9}, {1, 2}}, {"none", 6, {}, {}, {}}, {"again", 5, {}, {}, {}}};

    Tools::CVexaEmitter emitter = Tools::MakeVexaEmitter("Fire");
    for (size_t i = 0; i < emitter.curves.size(); ++i) emitter.curves[i] = Tools::MakeVexaCurve(float(i));
    emitter.curves[3].keys.push_back({2.0f, 5.0f, 0x11, 0.25f, 0.5f, 0.75f, 1.0f});
    emitter.curves[3].smooth = 1;
    emitter.directionX = 0.5f;
    emitter.directionY = -1.0f;
    emitter.tint = {0.1f, 0.2f, 0.3f, 0.4f};
    emitter.orderedPlacement = 1;
    emitter.placementCount = 4;
    emitter.twoSidedA = 1;
    emitter.twoSidedB = 1;
    emitter.shape = 2;
    emitter.axis3D = 1;
    emitter.subEmitterStart = 1;
    emitter.tuning = 42.5f;
    Tools::CVexaParticleType& type = emitter.types[0];
    type.shapeId = 5;
    type.name = "sparks";
    type.words = {1, 2, uint32_t(-90), 0xF, 1};
    type.flags = 5;
    type.gradient = {{{0, 1, 0, 0, 1}, {1, 0, 0, 1, 0}}, 3, 1};
    for (size_t i = 0; i < type.curves.size(); ++i) type.curves[i] = Tools::MakeVexaCurve(100.0f + float(i));
    type.word6 = 6;
    type.word7 = 7;
    type.word8 = 1;
    type.angles = {0.1f, 0.2f, 0.3f};
    type.meshes = {{31, 1, 1.5f, 1}, {32, 2, 0.5f, 0}, {31, 5, 1.0f, 0}};
    type.word12 = 0x3F000000;  // pivot y 0.5
    type.burstCount = 12;
    type.drawValue1 = 0.25f;
    type.drawValue2 = -0.5f;
    Tools::CVexaEmitter smoke = Tools::MakeVexaEmitter("smoke");
    smoke.axis3D = 0;
    type.subEmitters = {smoke};
    doc.emitters = {emitter, Tools::MakeVexaEmitter("Glow")};
    doc.trailerWord = 77;
    doc.trailerBlock.fill(3);
    return doc;
}

Bytes SmallPng() {
    Tools::CPngImage image;
    image.width = 2;
    image.height = 2;
    image.colour = Tools::EPngColour::RGB;
    image.samples.assign(12, 200);
    return Tools::WritePng(image);
}

} // namespace VexaTest

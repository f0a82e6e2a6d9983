#pragma once
// Writes ".vexa" particle effect files from a plain description: the mesh
// block, shapes and emitters with their particle types and sub-emitters.
// Fields the reader skips (names, ignored words, the trailer) are written as
// given. The version decides the layout: keys of 8 bytes before 0x16000, 28
// from it; the emitter's sub-emitter start and the trailer word from 0x16000,
// the trailer block from 0x23000, the emitter's tuning value from 0x24000.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace Tools {

class CBinaryWriter;

struct CVexaCurveKey {
    float time = 0;
    float value = 0;
    uint32_t flags = 0;
    float extra1 = 0, extra2 = 0, extra3 = 0, extra4 = 0;
    friend bool operator==(const CVexaCurveKey&, const CVexaCurveKey&) = default;
};

struct CVexaCurve {
    std::vector<CVexaCurveKey> keys;
    uint32_t smooth = 0;
    friend bool operator==(const CVexaCurve&, const CVexaCurve&) = default;
};

struct CVexaColourKey {
    float time = 0, red = 0, green = 0, blue = 0, alpha = 0;
    friend bool operator==(const CVexaColourKey&, const CVexaColourKey&) = default;
};

struct CVexaGradient {
    std::vector<CVexaColourKey> keys;
    uint32_t repeatCount = 0;
    uint32_t randomStart = 0;
    friend bool operator==(const CVexaGradient&, const CVexaGradient&) = default;
};

struct CVexaMeshReference {
    uint32_t instanceId = 0;
    uint32_t weight = 0;
    float scale = 0;
    uint32_t randomRotation = 0;
    friend bool operator==(const CVexaMeshReference&, const CVexaMeshReference&) = default;
};

struct CVexaMeshBitmap {
    uint32_t id = 0;
    std::string name;
    std::vector<uint8_t> data;
    friend bool operator==(const CVexaMeshBitmap&, const CVexaMeshBitmap&) = default;
};

struct CVexaMaterialMap {
    std::array<uint32_t, 5> values{};
    uint32_t bitmapId = 0;
    friend bool operator==(const CVexaMaterialMap&, const CVexaMaterialMap&) = default;
};

struct CVexaMaterial {
    uint32_t id = 0;
    std::array<uint32_t, 13> values{};
    std::array<std::optional<CVexaMaterialMap>, 2> maps;
    friend bool operator==(const CVexaMaterial&, const CVexaMaterial&) = default;
};

using CVexaIndexTriple = std::array<uint32_t, 3>;

struct CVexaTextureChannel {
    std::vector<std::array<float, 2>> coordinates;
    std::vector<CVexaIndexTriple> faces;
    friend bool operator==(const CVexaTextureChannel&, const CVexaTextureChannel&) = default;
};

struct CVexaGeometry {
    uint32_t type = 1;  // the only type the format defines
    uint32_t id = 0;
    std::string name;
    std::array<float, 12> transform{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0};
    std::vector<std::array<float, 3>> vertices;
    std::vector<CVexaIndexTriple> faces;
    std::vector<CVexaTextureChannel> channels;
    uint32_t materialId = 0;
    friend bool operator==(const CVexaGeometry&, const CVexaGeometry&) = default;
};

struct CVexaMeshInstance {
    uint32_t id = 0;
    uint32_t objectId = 0;
    std::array<float, 3> scale{1, 1, 1};
    friend bool operator==(const CVexaMeshInstance&, const CVexaMeshInstance&) = default;
};

struct CVexaMeshBlock {
    std::vector<CVexaMeshBitmap> bitmaps;
    std::vector<CVexaMaterial> materials;
    std::vector<CVexaGeometry> objects;
    std::vector<CVexaMeshInstance> instances;
    friend bool operator==(const CVexaMeshBlock&, const CVexaMeshBlock&) = default;
};

struct CVexaShapeImage {
    std::vector<uint8_t> data;  // a complete image file
    float width = 0;
    float height = 0;
    friend bool operator==(const CVexaShapeImage&, const CVexaShapeImage&) = default;
};

struct CVexaShape {
    std::string name;
    uint32_t id = 0;
    std::vector<CVexaShapeImage> images;  // the reader keeps the last
    std::array<uint32_t, 2> ignoredWords{};
    std::array<uint8_t, 2> ignoredBytes{};
    friend bool operator==(const CVexaShape&, const CVexaShape&) = default;
};

struct CVexaEmitter;

struct CVexaParticleType {
    std::optional<uint32_t> shapeId;
    std::string name;
    std::array<uint32_t, 5> words{};  // P1-P5
    uint32_t flags = 0;
    CVexaGradient gradient;
    std::array<CVexaCurve, 38> curves;  // Q1-Q38
    uint32_t word6 = 0;
    uint32_t word7 = 0;
    std::vector<CVexaEmitter> subEmitters;
    uint32_t word8 = 0;
    std::array<float, 3> angles{};  // P9-P11
    std::vector<CVexaMeshReference> meshes;
    uint32_t word12 = 0;
    uint32_t burstCount = 0;
    float drawValue1 = 0;  // T1
    float drawValue2 = 0;  // T2
    friend bool operator==(const CVexaParticleType&, const CVexaParticleType&);
};

struct CVexaEmitter {
    // In file order: C1 C11 C2 C4 C6 C3 C12 C13 C14 C7 C9 C15 C16 C10 C17,
    // then C8 (after the direction), then C18 C19 C5.
    std::array<CVexaCurve, 19> curves;
    float directionX = 0;
    float directionY = 0;
    std::vector<CVexaParticleType> types;
    std::string name;
    std::array<float, 4> tint{1, 1, 1, 1};
    uint32_t orderedPlacement = 0;
    uint32_t placementCount = 0;
    uint32_t twoSidedA = 0;
    uint32_t twoSidedB = 0;
    uint32_t shape = 0;
    uint32_t axis3D = 0;
    uint32_t subEmitterStart = 0;
    float tuning = 100.0f;
    friend bool operator==(const CVexaEmitter&, const CVexaEmitter&);
};

struct CVexaDocument {
    std::array<char, 4> magic{'V', 'E', 'X', 'A'};
    uint32_t version = 0x24000;
    CVexaMeshBlock meshes;
    std::vector<CVexaShape> shapes;
    std::vector<CVexaEmitter> emitters;
    uint32_t trailerWord = 0;
    std::array<uint32_t, 12> trailerBlock{};
    friend bool operator==(const CVexaDocument&, const CVexaDocument&) = default;
};

std::vector<uint8_t> WriteVexa(const CVexaDocument& document);

// The pieces, for tests that build records on their own.
void WriteVexaCurve(CBinaryWriter& out, const CVexaCurve& curve, uint32_t version);
void WriteVexaGradient(CBinaryWriter& out, const CVexaGradient& gradient);
void WriteVexaMeshBlock(CBinaryWriter& out, const CVexaMeshBlock& block);
void WriteVexaMeshReferences(CBinaryWriter& out, const std::vector<CVexaMeshReference>& meshes);
void WriteVexaEmitter(CBinaryWriter& out, const CVexaEmitter& emitter, uint32_t version);

// A curve of one key, and a small emitter of one particle type whose curves
// and gradient hold one key each.
CVexaCurve MakeVexaCurve(float value);
CVexaEmitter MakeVexaEmitter(const std::string& name);

} // namespace Tools

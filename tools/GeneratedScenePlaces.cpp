#include "tools/GeneratedScenePlaces.h"

#include <algorithm>
#include <cmath>
#include <sstream>

#include "app/Exception.h"
#include "tools/ImageWriter.h"
#include "tools/SprWriter.h"
#include "tools/VexaWriter.h"

namespace Tools {

namespace {

// One animated property of one object: its components, comma-separated:
// L linear, B Bezier, N noise, E linear eased by a linear curve, M linear
// eased by a noise curve, a number a constant.
struct CRow {
    int object;
    int property;
    const char* components;
};

struct CRecipe {
    const char* path;
    int objectCount;
    std::vector<int> particles;  // the animated particle objects
    std::vector<CRow> rows;
};

enum : int { Angle = 0, Position = 1, Size = 2, Zoom = 3, Color = 4, Frame = 5, Offset = 6, Opacity = 8 };
constexpr int Time = Frame;  // a particle object's index 5

std::vector<CRow> SnailRows() {
    std::vector<CRow> rows;
    const auto add = [&rows](std::initializer_list<int> objects, int property, const char* components) {
        for (const int object : objects) rows.push_back({object, property, components});
    };
    add({1, 2, 3, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 27, 32}, Angle, "L");
    add({0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 16, 17, 22, 23, 27, 28, 29}, Position, "L,L");
    add({11, 12, 13, 14, 15, 18, 19, 20, 21, 32}, Position, "B,B");
    add({30}, Position, "L,291");
    add({0, 7, 8, 9, 10, 27, 28, 29}, Size, "L,L");
    add({5}, Size, "33,L");
    add({6}, Size, "19,L");
    add({2, 3, 4, 7, 8, 9, 10, 24, 25, 26, 27, 29, 30, 31}, Color, "100,100,100,L");
    add({28}, Color, "L,L,L,L");
    return rows;
}

const std::vector<CRecipe>& Recipes() {
    static const std::vector<CRecipe> recipes = {
        {"place/bg1.place", 15, {},
         {{0, Offset, "0,L"}, {1, Offset, "L,0"}, {2, Angle, "N"}, {3, Angle, "N"}, {4, Angle, "N"},
          {5, Angle, "N"}, {6, Offset, "L,0"}, {7, Position, "L,74"}, {8, Offset, "0,L"}, {9, Angle, "N"},
          {10, Angle, "N"}, {11, Position, "B,B"}, {11, Size, "L,L"}, {11, Frame, "L"}, {12, Position, "B,B"},
          {12, Size, "L,L"}, {12, Frame, "L"}, {13, Position, "B,B"}, {13, Size, "L,L"}, {13, Frame, "L"},
          {14, Position, "B,B"}, {14, Zoom, "L,L"}, {14, Frame, "L"}}},
        {"place/bg2.place", 11, {},
         {{0, Offset, "L,0"}, {1, Position, "L,74"}, {2, Angle, "N"}, {3, Angle, "N"}, {4, Angle, "N"},
          {5, Angle, "N"}, {6, Offset, "L,88.17778"}, {7, Angle, "N"}, {8, Position, "N,163"},
          {9, Position, "B,B"}, {9, Zoom, "L,L"}, {9, Frame, "L"}, {10, Position, "B,B"}, {10, Zoom, "L,L"},
          {10, Frame, "L"}}},
        {"place/bg3.place", 7, {},
         {{0, Angle, "N"}, {1, Angle, "N"}, {2, Angle, "N"}, {3, Offset, "L,0"}, {4, Position, "L,75"},
          {5, Position, "B,B"}, {5, Frame, "L"}, {6, Position, "B,B"}, {6, Zoom, "L,L"}, {6, Frame, "L"}}},
        {"place/bg4.place", 6, {},
         {{0, Offset, "L,0"}, {1, Position, "N,69.5"}, {2, Angle, "N"}, {3, Angle, "N"}, {4, Angle, "N"},
          {5, Angle, "N"}}},
        {"place/bg5.place", 5, {},
         {{0, Offset, "L,0"}, {1, Position, "L,107"}, {2, Position, "L,47.977776"}, {3, Angle, "N"},
          {3, Offset, "L,0"}, {4, Angle, "N"}, {4, Offset, "L,0"}}},
        {"place/bg6.place", 16, {2, 3, 4, 5, 6, 7, 8, 11, 12, 13, 14, 15},
         {{0, Position, "E,E"}, {1, Position, "E,E"}, {2, Time, "L"}, {3, Time, "L"}, {4, Time, "L"},
          {5, Time, "L"}, {6, Time, "L"}, {7, Time, "L"}, {8, Time, "L"}, {9, Angle, "N"}, {9, Offset, "L,0"},
          {10, Angle, "N"}, {10, Offset, "L,0"}, {11, Time, "L"}, {12, Time, "L"}, {13, Time, "L"},
          {14, Time, "L"}, {15, Time, "L"}}},
        {"place/orven_write_text.place", 6, {},
         {{0, Position, "E,E"}, {1, Position, "E,E"}, {2, Angle, "N"}, {2, Position, "L,M"},
          {3, Position, "108,E"}, {4, Position, "200,E"}, {5, Angle, "N"}, {5, Position, "152,M"}}},
        {"place/menu_ograda.place", 1, {}, {{0, Position, "N,N"}}},
        {"place/museum_zoom.place", 4, {},
         {{0, Zoom, "B,B"}, {1, Position, "400.25,B"}, {1, Zoom, "B,B"}, {1, Opacity, "L"},
          {2, Position, "395.25,L"}, {2, Opacity, "L"}, {3, Zoom, "B,B"}}},
        {"place/fg_snail.place", 33, {}, SnailRows()},
    };
    return recipes;
}

// The scenes loop over 20 seconds; key tables run from 2 to 16.
constexpr double kSpanEnd = 20.0;
constexpr double kFirstKey = 2.0, kMiddleKey = 9.0, kLastKey = 16.0;
constexpr int32_t kOutOfRange[] = {0, 3, 1, 4, 6, 5};

// The sprites of "spr/scenes.spr", by place-file sprite ID.
enum ESprite : int32_t { Sky = 1, Hills, Plant, Cloud, Walker, Disc };
constexpr int kWalkerFrames = 8;

// The range a property's values move in: from, to (and back).
struct CRange {
    float from, to;
};

CRange ValueRange(int property, int component, int seed) {
    const float shift = float(seed % 5) * 20.0f;
    switch (property) {
    case Angle: return {-12.0f, 12.0f};
    case Position: return component == 0 ? CRange{80.0f + shift, 560.0f + shift} : CRange{120.0f + shift, 380.0f};
    case Size: return {40.0f, 96.0f};
    case Zoom: return {70.0f, 130.0f};
    case Color: return {30.0f + shift, 100.0f};
    case Frame: return {0.0f, float(kWalkerFrames - 1)};
    case Offset: return {0.0f, 100.0f};
    case Opacity: return {20.0f, 100.0f};
    default: return {0.0f, 1.0f};
    }
}

CSceneCurve KeyCurve(ESceneCurve kind, CRange range, int seed) {
    CSceneCurve curve = LinearCurve({{kFirstKey, range.from}, {kMiddleKey, range.to}, {kLastKey, range.from}},
                                    kOutOfRange[seed % 6], kOutOfRange[(seed + 2) % 6]);
    curve.kind = kind;
    return curve;
}

CSceneCurve NoiseCurve(CRange range, int seed) {
    CSceneCurve curve;
    curve.kind = ESceneCurve::Noise;
    curve.base = (range.from + range.to) / 2.0f;
    curve.strength = (range.to - range.from) / 2.0f;
    curve.frequency = 0.3f + 0.05f * float(seed % 7);
    curve.phase = 10.0f * float(seed);
    curve.rampTime = seed % 3 == 0 ? 2.0f : 0.0f;
    return curve;
}

CSceneCurve Component(const std::string& token, int property, int component, int seed, ELiteralData literals) {
    const CRange range = ValueRange(property, component, seed);
    if (token == "L") return KeyCurve(ESceneCurve::Linear, range, seed);
    if (token == "B") return KeyCurve(ESceneCurve::Bezier, range, seed);
    if (token == "N") return NoiseCurve(range, seed);
    if (token == "E" || token == "M") {
        CSceneCurve curve = KeyCurve(ESceneCurve::Linear, range, seed);
        // Slow at both ends of the loop.
        curve.ease = std::make_shared<CSceneCurve>(
            token == "E" ? LinearCurve({{0.0, 0.0f}, {5.0, 3.0f}, {15.0, 17.0f}, {kSpanEnd, float(kSpanEnd)}})
                         : NoiseCurve({kFirstKey, kLastKey}, seed));
        return curve;
    }
    const float constant = std::stof(token);
    if (literals == ELiteralData::OneKey) return ConstantCurve(constant);
    return LinearCurve({{kFirstKey, 999.0f}, {kLastKey, -999.0f}}, 4, 4);
}

std::vector<std::string> Split(const std::string& text) {
    std::vector<std::string> parts;
    std::stringstream in(text);
    for (std::string part; std::getline(in, part, ',');) parts.push_back(part);
    return parts;
}

// The picture an object shows, by what its scene does with it.
ESprite SpriteFor(const CRecipe& recipe, int object) {
    bool offset = false, angle = false, frame = false;
    for (const CRow& row : recipe.rows) {
        if (row.object != object) continue;
        offset |= row.property == Offset;
        angle |= row.property == Angle;
        frame |= row.property == Frame;
    }
    if (frame) return Walker;
    if (offset) return Hills;
    if (angle) return Plant;
    for (const CRow& row : recipe.rows)
        if (row.object == object && row.property == Position && Split(row.components)[1] != "L" &&
            Split(row.components)[1] != "B")
            return Cloud;
    return Disc;
}

bool IsParticle(const CRecipe& recipe, int object) {
    return std::find(recipe.particles.begin(), recipe.particles.end(), object) != recipe.particles.end();
}

// A particle object's time runs on with the scene and restarts with its
// loop (a falling time restarts the emitter).
CSceneCurve ParticleTime() { return LinearCurve({{0.0, 0.0f}, {kSpanEnd, float(kSpanEnd)}}, 6, 6); }

CSceneDocument SceneOf(const CRecipe& recipe, ELiteralData literals) {
    CSceneDocument scene;
    scene.name = recipe.path;
    scene.rate = 1.0f;
    scene.spanEnd = kSpanEnd;
    for (int object = 0; object < recipe.objectCount; ++object) {
        CSceneObject animated;
        animated.particle = IsParticle(recipe, object);
        animated.placeId = uint32_t(100 + object);
        // Half of the frame-stepping sprites count in percent of their frames.
        animated.frameInPercent = object % 2 == 1;
        for (const CRow& row : recipe.rows) {
            if (row.object != object) continue;
            CSceneProperty property;
            property.index = row.property;
            const std::vector<std::string> tokens = Split(row.components);
            for (size_t k = 0; k < tokens.size(); ++k) {
                const int seed = object * 7 + row.property * 3 + int(k);
                if (animated.particle) {
                    property.curves.push_back(ParticleTime());
                } else if (row.property == Frame && animated.frameInPercent) {
                    property.curves.push_back(KeyCurve(ESceneCurve::Linear, {0.0f, 100.0f}, seed));
                } else {
                    property.curves.push_back(Component(tokens[k], row.property, int(k), seed, literals));
                }
            }
            animated.properties.push_back(property);
        }
        scene.objects.push_back(animated);
    }
    return scene;
}

CPlaceObjectDoc PlaceObject(const CRecipe& recipe, int object) {
    CPlaceObjectDoc doc;
    doc.id = uint32_t(100 + object);
    doc.name = "object" + std::to_string(object);
    doc.pivotX = doc.pivotY = 0.5f;
    doc.x = float(80 + (object * 97) % 640);
    doc.y = float(90 + (object * 53) % 400);
    if (IsParticle(recipe, object)) {
        doc.type = 6;
        doc.emitterId = 1;
        doc.width = doc.height = 16;
        return doc;
    }
    doc.type = 1;
    doc.spriteId = SpriteFor(recipe, object);
    switch (doc.spriteId) {
    case Hills:
        doc.width = 800, doc.height = 160;
        doc.x = 400.0f, doc.y = float(440 + (object % 3) * 40);
        break;
    case Plant: doc.width = 40, doc.height = 96; break;
    case Cloud: doc.width = 128, doc.height = 56; break;
    case Walker: doc.width = doc.height = 64; break;
    default: doc.width = doc.height = 48; break;
    }
    return doc;
}

// The sky behind everything: not animated.
CPlaceObjectDoc SkyObject() {
    CPlaceObjectDoc sky;
    sky.id = 1;
    sky.name = "sky";
    sky.spriteId = Sky;
    sky.width = 800, sky.height = 600;
    sky.x = 400.0f, sky.y = 300.0f;
    sky.pivotX = sky.pivotY = 0.5f;
    return sky;
}

const CRecipe& RecipeOf(const std::string& path) {
    for (const CRecipe& recipe : Recipes())
        if (recipe.path == path) return recipe;
    throw Engine::CException::Format("No scene recipe for '%s'", path.c_str());
}

// Pictures: rows top first, RGB with a separate alpha image.
struct CPicture {
    uint32_t width, height;
    std::vector<uint16_t> rgb, alpha;
    CPicture(uint32_t w, uint32_t h) : width(w), height(h), rgb(size_t(w) * h * 3), alpha(size_t(w) * h) {}
    void Set(uint32_t x, uint32_t y, uint16_t r, uint16_t g, uint16_t b, uint16_t a) {
        const size_t at = size_t(y) * width + x;
        rgb[at * 3] = r, rgb[at * 3 + 1] = g, rgb[at * 3 + 2] = b;
        alpha[at] = a;
    }
    CSprImage Image() const {
        CPngImage colour{width, height, EPngColour::RGB, 8, false, rgb, {}, {}};
        CPngImage grey{width, height, EPngColour::Grey, 8, false, alpha, {}, {}};
        return {0, WritePng(colour), WritePng(grey), 0};
    }
};

uint16_t Byte(double value) { return uint16_t(std::clamp(value, 0.0, 255.0)); }

// A soft-edged ellipse of the colour inside the rectangle's box.
void Ellipse(CPicture& picture, uint32_t left, uint32_t width, uint32_t height, uint16_t r, uint16_t g, uint16_t b) {
    for (uint32_t y = 0; y < height; ++y)
        for (uint32_t x = 0; x < width; ++x) {
            const double dx = (x + 0.5) / width * 2 - 1, dy = (y + 0.5) / height * 2 - 1;
            const double d = std::sqrt(dx * dx + dy * dy);
            picture.Set(left + x, y, r, g, b, Byte((1.0 - d) * 4.0 * 255.0));
        }
}

} // namespace

std::vector<std::string> GeneratedScenePaths() {
    std::vector<std::string> paths;
    for (const CRecipe& recipe : Recipes()) paths.push_back(recipe.path);
    return paths;
}

CGeneratedScene GeneratedScene(const std::string& path, ELiteralData literals) {
    const CRecipe& recipe = RecipeOf(path);
    CGeneratedScene generated;
    generated.scene = SceneOf(recipe, literals);
    CPlaceDocument& place = generated.place;
    place.spriteFiles = {{"spr/scenes.spr",
                          {{Sky, "sky"}, {Hills, "hills"}, {Plant, "plant"}, {Cloud, "cloud"}, {Walker, "walker"},
                           {Disc, "disc"}}}};
    CPlaceLayerDoc layer;
    layer.name = "scene";
    layer.objects.push_back(SkyObject());
    for (int object = 0; object < recipe.objectCount; ++object) layer.objects.push_back(PlaceObject(recipe, object));
    place.layers = {layer};
    if (!recipe.particles.empty()) {
        place.nextEmitterId = 2;
        place.emitters = {{1, "fx/scenes.vexa", "sparkle"}};
        place.effectFiles = {"fx/scenes.vexa"};
    }
    return generated;
}

std::vector<uint8_t> WriteGeneratedScene(const CGeneratedScene& scene) {
    CPlaceDocument place = scene.place;
    place.scene = WriteSceneArchive(scene.scene);
    return WritePlace(place);
}

std::vector<uint8_t> WriteSceneSprites() {
    CSprDocument document;
    CPicture sky(4, 64);
    for (uint32_t y = 0; y < 64; ++y)
        for (uint32_t x = 0; x < 4; ++x) sky.Set(x, y, Byte(40 + y * 2.5), Byte(90 + y * 1.8), 210, 255);
    CPicture hills(128, 64);
    for (uint32_t x = 0; x < 128; ++x) {
        // Whole periods across the width, so that the layer scrolls seamlessly.
        const double top = 24 + 10 * std::sin(x * 2 * M_PI / 128) + 6 * std::sin(x * 6 * M_PI / 128);
        for (uint32_t y = 0; y < 64; ++y) hills.Set(x, y, 50, Byte(110 + y), 60, y >= top ? 255 : 0);
    }
    CPicture plant(16, 48);
    Ellipse(plant, 0, 16, 48, 40, 150, 50);
    CPicture cloud(64, 32);
    Ellipse(cloud, 0, 64, 32, 250, 250, 255);
    CPicture walker(32 * kWalkerFrames, 32);
    for (int frame = 0; frame < kWalkerFrames; ++frame)
        Ellipse(walker, uint32_t(32 * frame), 32, 32, Byte(200 + frame * 7), Byte(60 + frame * 20), 40);
    CPicture disc(32, 32);
    Ellipse(disc, 0, 32, 32, 255, 255, 255);
    for (const CPicture* picture : {&sky, &hills, &plant, &cloud, &walker, &disc})
        document.images.push_back(picture->Image());
    const auto whole = [](int32_t image, const CPicture& picture) {
        return MakeSprFrame(image, 0, 0, int32_t(picture.width), int32_t(picture.height));
    };
    document.sprites = {{"sky", 0, 0, false, false, {whole(0, sky)}},
                        {"hills", 0, 0, false, false, {whole(1, hills)}},
                        {"plant", 0, 0, false, false, {whole(2, plant)}},
                        {"cloud", 0, 0, false, false, {whole(3, cloud)}},
                        {"walker", 0, 0, false, false, {}},
                        {"disc", 0, 0, false, false, {whole(5, disc)}}};
    for (int frame = 0; frame < kWalkerFrames; ++frame)
        document.sprites[4].frames.push_back(MakeSprFrame(4, 32 * frame, 0, 32 * frame + 32, 32));
    return WriteSpr(document);
}

std::vector<uint8_t> WriteSceneEffects() {
    CVexaDocument effects;
    effects.emitters = {MakeVexaEmitter("sparkle")};
    effects.emitters[0].types[0].curves[0] = MakeVexaCurve(3.0f);
    effects.emitters[0].types[0].curves[4] = MakeVexaCurve(15.0f);
    return WriteVexa(effects);
}

void AddDemoScenes(CPakWriter& pack) {
    pack.Add("spr/scenes.spr", WriteSceneSprites());
    pack.Add("fx/scenes.vexa", WriteSceneEffects());
    for (const std::string& path : GeneratedScenePaths())
        pack.Add(CString(path), WriteGeneratedScene(GeneratedScene(path)));
}

} // namespace Tools

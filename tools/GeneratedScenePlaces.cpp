#include "tools/GeneratedScenePlaces.h"

#include <algorithm>
#include <cmath>
#include <sstream>

#include "app/Exception.h"
#include "tools/GeneratedSceneRecipe.h"

namespace Tools {

namespace {

using CRow = CSceneRecipeRow;
using CRecipe = CSceneRecipe;

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
    static const std::vector<CRecipe> recipes = [] {
        std::vector<CRecipe> all = OrvenSceneRecipes();
        all.insert(all.end(), {
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
        });
        return all;
    }();
    return recipes;
}

// The scenes loop over 20 seconds; key tables run from 2 to 16.
constexpr double kSpanEnd = 20.0;
constexpr double kFirstKey = 2.0, kMiddleKey = 9.0, kLastKey = 16.0;
constexpr int32_t kOutOfRange[] = {0, 3, 1, 4, 6, 5};
constexpr int32_t kRepeat = 1;

// The pictures of the scenes without a layout of their own.
constexpr int kWalkerFrames = kBirdFrames;

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

// Where an object of a designed scene stands and what it shows. Animated
// objects (object >= 0) are moved by their scene's class in the ways its
// recipe gives; still scenery (object -1) is touched by no class.
struct CLayoutObject {
    int object = -1;
    ESceneSprite sprite = SceneSpriteEnd;  // SceneSpriteEnd: a particle emitter
    float x = 0.0f, y = 0.0f;               // the pivot
    int32_t width = 0, height = 0;
    float pivotX = 0.5f, pivotY = 0.5f;
    uint32_t frame = 0;
    // A layer that tiles its picture; one whose offset is animated scrolls
    // by `scroll` frames a loop, a whole number so that the loop is seamless.
    bool tileX = false, tileY = false;
    float tileScaleX = 1.0f;
    float scroll = 0.0f;
    uint32_t colour = 0xFFFFFFFFu;  // red in the low byte
    float sway = 12.0f;             // a noise angle's degrees either way
    float travelFrom = 0.0f, travelTo = 0.0f;  // a linear x over the loop, ...
    float travelAhead = 0.0f;                   // ... this many seconds ahead
};

struct CSceneLayout {
    const char* path;
    ESceneSprite sky;
    std::vector<CLayoutObject> objects;  // in drawing order, after the sky
};

// A plant or tree standing on the ground at (x, y).
CLayoutObject Standing(int object, ESceneSprite sprite, float x, float y, int32_t w, int32_t h, uint32_t frame,
                       float sway, uint32_t colour = 0xFFFFFFFFu) {
    return {.object = object, .sprite = sprite, .x = x, .y = y, .width = w, .height = h, .pivotY = 1.0f,
            .frame = frame, .colour = colour, .sway = sway};
}
// A layer across the screen, its picture repeated sideways.
CLayoutObject Band(int object, ESceneSprite sprite, float top, int32_t width, int32_t height, float scroll = 0.0f,
                   uint32_t colour = 0xFFFFFFFFu, float sway = 12.0f) {
    return {.object = object, .sprite = sprite, .x = 400.0f, .y = top + float(height) / 2, .width = width,
            .height = height, .tileX = true, .scroll = scroll, .colour = colour, .sway = sway};
}
CLayoutObject Drifting(int object, ESceneSprite sprite, float y, int32_t w, int32_t h, float from, float to,
                       uint32_t colour = 0xFFFFFFFFu, float ahead = 0.0f) {
    return {.object = object, .sprite = sprite, .x = from, .y = y, .width = w, .height = h, .colour = colour,
            .travelFrom = from, .travelTo = to, .travelAhead = ahead};
}
// Something that flies about (x, y), by a path of its scene's keys.
CLayoutObject Flying(int object, ESceneSprite sprite, int32_t size, float x, float y) {
    return {.object = object, .sprite = sprite, .x = x, .y = y, .width = size, .height = size};
}
CLayoutObject Emitter(int object, float x, float y) {
    return {.object = object, .x = x, .y = y, .width = 16, .height = 16};
}
CLayoutObject Still(ESceneSprite sprite, float x, float y, int32_t w, int32_t h, uint32_t colour = 0xFFFFFFFFu) {
    return {.sprite = sprite, .x = x, .y = y, .width = w, .height = h, .colour = colour};
}

constexpr uint32_t kDuskTint = 0xFFC8B4E6u, kDuskShade = 0xFFA08C96u;
constexpr float kWaveSway = 1.5f;  // a sea layer rocks gently

const std::vector<CSceneLayout>& Layouts() {
    static const std::vector<CSceneLayout> layouts = {
        {"place/bg1.place", SkyDay,
         {Band(1, CloudBank, 120, 800, 96, 1), Drifting(7, Cloud, 74, 160, 80, -160, 960), Flying(14, Bird, 48, 330, 290),
          Band(-1, HillsFar, 290, 800, 170),
          {.object = 0, .sprite = Waterfall, .x = 596, .y = 410, .width = 40, .height = 120, .tileY = true,
           .scroll = -6},
          Band(-1, Meadow, 400, 800, 130), Standing(2, Plant, 90, 492, 32, 96, 0, 10),
          Standing(3, Plant, 210, 478, 28, 84, 1, 10), Standing(4, Plant, 330, 496, 32, 96, 2, 10),
          Standing(5, Plant, 470, 484, 28, 84, 0, 10), Standing(9, Plant, 660, 490, 32, 96, 1, 10),
          Standing(10, Plant, 745, 480, 28, 84, 3, 10), Band(6, Sea, 490, 800, 128, 2), Flying(11, Bird, 48, 200, 150),
          Flying(12, Bird, 48, 470, 230), Flying(13, Bird, 48, 640, 110),
          {.object = 8, .sprite = Petals, .x = 400, .y = 300, .width = 800, .height = 600, .tileY = true,
           .tileScaleX = 800.0f / 256.0f, .scroll = -1}}},
        {"place/bg2.place", SkyDay,
         {Drifting(1, Cloud, 74, 170, 84, 960, -160), {.object = 8, .sprite = Balloon, .x = 400, .y = 163, .width = 48, .height = 64},
          Band(6, HillsRolled, 320, 800, 160, 1), Band(-1, Meadow, 440, 800, 100), Band(0, Sea, 500, 800, 150, 2),
          Standing(7, Plant, 560, 512, 32, 96, 2, 10), Standing(2, Plant, 120, 562, 32, 96, 3, 8),
          Standing(3, Plant, 200, 580, 28, 84, 3, 8), Standing(4, Plant, 640, 560, 32, 96, 3, 8),
          Standing(5, Plant, 700, 584, 28, 84, 3, 8), Flying(9, Bird, 48, 260, 210), Flying(10, Bird, 48, 560, 260)}},
        {"place/bg3.place", SkyDusk,
         {Drifting(4, Cloud, 75, 150, 76, -160, 960, kDuskTint), Still(Sun, 560, 360, 72, 72),
          Band(-1, HillsFar, 286, 800, 170, 0, kDuskShade), Band(-1, Meadow, 405, 800, 130, 0, kDuskTint),
          Standing(0, Tree, 150, 500, 64, 160, 0, 3, kDuskTint), Standing(1, Tree, 330, 482, 56, 140, 1, 3, kDuskTint),
          Standing(2, Tree, 690, 506, 72, 180, 0, 3, kDuskTint), Band(3, Sea, 500, 800, 140, 2, kDuskTint),
          Flying(5, Bird, 40, 250, 190), Flying(6, Bird, 48, 560, 240)}},
        {"place/bg4.place", SkyDay,
         {Band(0, CloudBank, 160, 800, 110, 1), {.object = 1, .sprite = Balloon, .x = 400, .y = 69.5f, .width = 40, .height = 54}, Band(-1, HillsFar, 300, 800, 180),
          Band(-1, Meadow, 400, 800, 210), Standing(2, Plant, 160, 520, 36, 108, 0, 10),
          Standing(3, Plant, 300, 560, 36, 108, 1, 10), Standing(4, Plant, 520, 540, 36, 108, 2, 10),
          Standing(5, Plant, 660, 575, 36, 108, 1, 10)}},
        {"place/bg5.place", SkyDusk,
         {Still(Sun, 520, 392, 96, 96), Drifting(2, Cloud, 47.98f, 180, 84, 960, -200, kDuskTint),
          Drifting(1, Cloud, 107, 150, 70, -180, 980, kDuskTint, 7.0f), Band(0, Sea, 400, 800, 200, 1, kDuskTint),
          Band(3, Sea, 460, 1100, 160, 2, kDuskTint, kWaveSway), Band(4, Sea, 510, 1100, 130, 3, kDuskTint, kWaveSway)}},
        {"place/bg6.place", SkyNight,
         {Still(Moon, 660, 110, 72, 72), Emitter(2, 100, 90), Emitter(3, 250, 170), Emitter(4, 390, 70),
          Emitter(5, 520, 200), Emitter(6, 720, 260), Emitter(7, 170, 300), Emitter(8, 450, 310),
          Band(9, SeaNight, 395, 1100, 240, 1, 0xFFFFFFFFu, kWaveSway),
          Band(10, SeaNight, 480, 1100, 160, 2, 0xFFFFFFFFu, kWaveSway), Flying(0, Lantern, 44, 260, 230),
          Flying(1, Lantern, 36, 560, 290), Emitter(11, 110, 380), Emitter(12, 300, 365), Emitter(13, 480, 395),
          Emitter(14, 640, 372), Emitter(15, 770, 350)}},
    };
    return layouts;
}

const CSceneLayout* FindLayout(const std::string& path) {
    for (const CSceneLayout& layout : Layouts())
        if (layout.path == path) return &layout;
    return nullptr;
}

const CLayoutObject* FindLayoutObject(const CSceneLayout* layout, int object) {
    if (!layout) return nullptr;
    for (const CLayoutObject& placed : layout->objects)
        if (placed.object == object) return &placed;
    return nullptr;
}

// A designed scene's curves: layers scroll on without turning back, things
// that drift cross the screen once a loop, wings beat, and each object
// sways as far as suits it. Literal components stay as the class reads them.
CSceneCurve DesignedComponent(const CLayoutObject& placed, const std::string& token, int property, int component,
                              int seed, ELiteralData literals, bool frameInPercent) {
    if (token == "L" && property == Offset)
        return LinearCurve({{0.0, 0.0f}, {kSpanEnd, 100.0f * placed.scroll}});
    // Repeated outside its keys, a crossing started ahead goes on seamlessly.
    if (token == "L" && property == Position && component == 0 && placed.travelFrom != placed.travelTo)
        return LinearCurve({{-placed.travelAhead, placed.travelFrom}, {kSpanEnd - placed.travelAhead, placed.travelTo}},
                           kRepeat, kRepeat);
    if (token == "N" && property == Angle) return NoiseCurve({-placed.sway, placed.sway}, seed);
    // Flying things keep to their own part of the sky, some flying the
    // other way.
    if ((token == "B" || token == "E") && property == Position) {
        const float centre = component == 0 ? placed.x : placed.y, reach = component == 0 ? 180.0f : 60.0f;
        const float way = (placed.object + component) % 2 == 0 ? 1.0f : -1.0f;
        CSceneCurve curve = Component(token, property, component, seed, literals);
        for (CSceneKey& key : curve.keys) key.value = centre + way * reach * (key.value == curve.keys[0].value ? -1.0f : 1.0f);
        return curve;
    }
    // One wing beat in 0.8 s, repeated.
    if (token == "L" && property == Frame)
        return LinearCurve({{0.0, 0.0f}, {0.8, frameInPercent ? 114.0f : float(kBirdFrames) - 0.001f}}, 0, 1);
    // Both components alike, so that a bird keeps its shape.
    if (token == "L" && (property == Size || property == Zoom))
        return KeyCurve(ESceneCurve::Linear, ValueRange(property, 0, seed - component), seed - component);
    return Component(token, property, component, seed, literals);
}

// The picture an object shows in a scene without a layout, by what its
// scene does with it.
ESceneSprite SpriteFor(const CRecipe& recipe, int object) {
    bool offset = false, angle = false, frame = false;
    for (const CRow& row : recipe.rows) {
        if (row.object != object) continue;
        offset |= row.property == Offset;
        angle |= row.property == Angle;
        frame |= row.property == Frame;
    }
    if (frame) return Bird;
    if (offset) return HillsFar;
    if (angle) return Plant;
    for (const CRow& row : recipe.rows)
        if (row.object == object && row.property == Position && Split(row.components)[1] != "L" &&
            Split(row.components)[1] != "B")
            return Cloud;
    return Lantern;
}

bool IsParticle(const CRecipe& recipe, int object) {
    return std::find(recipe.particles.begin(), recipe.particles.end(), object) != recipe.particles.end();
}

// A particle object's time runs on with the scene and restarts with its
// loop (a falling time restarts the emitter).
CSceneCurve ParticleTime() { return LinearCurve({{0.0, 0.0f}, {kSpanEnd, float(kSpanEnd)}}, 6, 6); }

CSceneDocument SceneOf(const CRecipe& recipe, ELiteralData literals) {
    const CSceneLayout* layout = FindLayout(recipe.path);
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
        const CLayoutObject* placed = FindLayoutObject(layout, object);
        for (const CRow& row : recipe.rows) {
            if (row.object != object) continue;
            CSceneProperty property;
            property.index = row.property;
            const std::vector<std::string> tokens = Split(row.components);
            for (size_t k = 0; k < tokens.size(); ++k) {
                const int seed = object * 7 + row.property * 3 + int(k);
                if (animated.particle) {
                    property.curves.push_back(ParticleTime());
                } else if (placed) {
                    property.curves.push_back(DesignedComponent(*placed, tokens[k], row.property, int(k), seed,
                                                                literals, animated.frameInPercent));
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

CPlaceObjectDoc EmitterObject(CPlaceObjectDoc doc) {
    doc.type = 6;
    doc.emitterId = 1;
    doc.width = doc.height = 16;
    return doc;
}

CPlaceObjectDoc PlaceObject(const CRecipe& recipe, int object) {
    CPlaceObjectDoc doc;
    doc.id = uint32_t(100 + object);
    doc.name = "object" + std::to_string(object);
    doc.pivotX = doc.pivotY = 0.5f;
    doc.x = float(80 + (object * 97) % 640);
    doc.y = float(90 + (object * 53) % 400);
    if (IsParticle(recipe, object)) return EmitterObject(doc);
    doc.type = 1;
    doc.spriteId = SpriteFor(recipe, object);
    switch (doc.spriteId) {
    case HillsFar:
        doc.width = 800, doc.height = 128;
        doc.x = 400.0f, doc.y = float(440 + (object % 3) * 40);
        doc.tileX = 1;
        break;
    case Plant: doc.width = 40, doc.height = 96; break;
    case Cloud: doc.width = 128, doc.height = 64; break;
    case Bird: doc.width = doc.height = 64; break;
    default: doc.width = doc.height = 48; break;
    }
    return doc;
}

CPlaceObjectDoc PlaceObject(const CLayoutObject& placed, uint32_t id) {
    CPlaceObjectDoc doc;
    doc.id = id;
    doc.name = placed.object >= 0 ? "object" + std::to_string(placed.object) : SceneSpriteName(placed.sprite);
    doc.x = placed.x, doc.y = placed.y;
    doc.width = placed.width, doc.height = placed.height;
    doc.pivotX = placed.pivotX, doc.pivotY = placed.pivotY;
    if (placed.sprite == SceneSpriteEnd) return EmitterObject(doc);
    doc.spriteId = placed.sprite;
    doc.frame = placed.frame;
    doc.tileX = placed.tileX, doc.tileY = placed.tileY;
    doc.tileScaleX = placed.tileScaleX;
    doc.color = placed.colour;
    return doc;
}

// The sky behind everything: not animated.
CPlaceObjectDoc SkyObject(ESceneSprite picture) {
    CPlaceObjectDoc sky;
    sky.id = 1;
    sky.name = "sky";
    sky.spriteId = picture;
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
    CPlaceSpriteFileDoc sprites{"spr/scenes.spr", {}};
    for (int32_t id = 1; id < SceneSpriteEnd; ++id)
        sprites.sprites.push_back({uint32_t(id), SceneSpriteName(ESceneSprite(id))});
    place.spriteFiles = {sprites};
    CPlaceLayerDoc layer;
    layer.name = "scene";
    if (const CSceneLayout* layout = FindLayout(path)) {
        layer.objects.push_back(SkyObject(layout->sky));
        uint32_t stillId = 2;
        for (const CLayoutObject& placed : layout->objects)
            layer.objects.push_back(
                PlaceObject(placed, placed.object >= 0 ? uint32_t(100 + placed.object) : stillId++));
    } else {
        layer.objects.push_back(SkyObject(SkyDay));
        for (int object = 0; object < recipe.objectCount; ++object)
            layer.objects.push_back(PlaceObject(recipe, object));
    }
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

std::vector<uint32_t> SceneSkyColours(const std::string& path) {
    const CSceneLayout* layout = FindLayout(path);
    return SkyColours(layout ? layout->sky : SkyDay);
}

void AddDemoScenes(CPakWriter& pack) {
    pack.Add("spr/scenes.spr", WriteSceneSprites());
    pack.Add("fx/scenes.vexa", WriteSceneEffects());
    for (const std::string& path : GeneratedScenePaths())
        pack.Add(CString(path), WriteGeneratedScene(GeneratedScene(path)));
}

void AddDemoScene(CPakWriter& pack, int number, std::vector<uint8_t> effects) {
    const std::string path = FormatString("place/bg%d.place", number).c_str();
    AddDemoScenePlace(pack, number, WriteGeneratedScene(GeneratedScene(path)), std::move(effects));
}

void AddDemoScenePlace(CPakWriter& pack, int number, std::vector<uint8_t> place, std::vector<uint8_t> effects) {
    pack.Add("spr/scenes.spr", WriteSceneSprites());
    pack.Add("fx/scenes.vexa", std::move(effects));
    for (int before = 1; before < number; ++before) pack.Add(FormatString("place/bg%d.place", before), {});
    pack.Add(FormatString("place/bg%d.place", number), std::move(place));
}

} // namespace Tools

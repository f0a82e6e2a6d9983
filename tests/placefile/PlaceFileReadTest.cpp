// Reading both place layouts: every object kind and property type read back
// as written, and every corrupt file refused with its message.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "placefile/PlaceGroupObject.h"
#include "placefile/PlaceSplineObject.h"
#include "placefile/PlaceSpriteObject.h"
#include "placefile/PlaceVexaObject.h"
#include "tests/placefile/PlaceTestSupport.h"

using namespace PlaceTest;

namespace {

template <class T>
T& As(CPlaceObject* object) {
    EXPECT_NE(dynamic_cast<T*>(object), nullptr);
    return *static_cast<T*>(object);
}

class PlaceReadTest : public testing::Test {
protected:
    CFakeParticles particles;
    ref_ptr<CFakeEffectFile> effects = particles.Add("fx/a.vexa", {"spark", "smoke"});
};

TEST_F(PlaceReadTest, CurrentLayoutReadsEveryObjectKind) {
    const ref_ptr<CPlaceFile> place = ReadPlace(Tools::WritePlace(SampleDocument()));
    ASSERT_EQ(place->GetLayerCount(), 2);
    const CPlaceLayer& back = *place->Layers[0];
    EXPECT_EQ(back.Name, "back");
    EXPECT_EQ(std::vector<int>({back.Flag, back.FlagBit1, back.BatchSprites, place->Layers[1]->BatchSprites}),
              std::vector<int>({1, 1, 1, 0}));
    ASSERT_EQ(back.Objects.size(), 5u);

    auto& sprite = As<CPlaceSpriteObject>(place->FindObjectByID(10));
    EXPECT_EQ(sprite.Type, 1u);
    EXPECT_EQ(sprite.Name, "object10");
    EXPECT_EQ(sprite.Width, 64);
    EXPECT_EQ(sprite.Position, (Engine::Geometry::CVector2{100, 100}));
    EXPECT_EQ(sprite.Color, 0x80402010u);
    EXPECT_EQ(std::vector<int>({sprite.Flag0, sprite.Flag1, sprite.QueueFlag1, sprite.QueueFlag2, sprite.UseOwnBlendMode}),
              std::vector<int>({1, 1, 1, 1, 1}));
    EXPECT_EQ(std::vector<float>({float(sprite.SpriteID), sprite.SpriteOffset.x, float(sprite.TileX), float(sprite.TileY),
                                  sprite.SpriteTile.x, float(sprite.SpriteFlag0), float(sprite.QueueFlag4),
                                  float(sprite.BlendMode)}),
              std::vector<float>({1, 0.25f, 1, 0, 2, 1, 1, 2}));
    EXPECT_EQ(GetCustomPropertyByName(sprite.Properties, "count").integer, -5);
    EXPECT_EQ(As<CPlaceSpriteObject>(place->FindObjectByID(11)).Type, 3u);
    EXPECT_EQ(As<CPlaceSpriteObject>(place->FindObjectByID(11)).BlendMode, 4u);

    auto& spline = As<CPlaceSplineObject>(place->FindObjectByID(12));
    EXPECT_EQ(spline.Closed, 1);
    ASSERT_EQ(spline.Points.size(), 2u);
    EXPECT_EQ(spline.Points[0].Point, (Engine::Geometry::CVector3{5, 6, 0}));
    EXPECT_EQ(spline.Points[0].ControlA, (Engine::Geometry::CVector3{1, 2, 0}));
    EXPECT_EQ(spline.Points[0].ControlB, (Engine::Geometry::CVector3{3, 4, 0}));
    EXPECT_EQ(spline.Points[1].Tag1, 1u);

    auto& group = As<CPlaceGroupObject>(place->FindObjectByID(20));
    ASSERT_EQ(group.Children.size(), 2u);
    EXPECT_EQ(group.Children[0]->Parent, &group);
    EXPECT_EQ(group.Children[0]->Layer, &back);
    CPlaceObject* grandchild = place->FindObjectByID(23);
    ASSERT_NE(grandchild, nullptr);
    EXPECT_EQ(grandchild->Parent, group.Children[1].get());
    EXPECT_EQ(place->FindObjectByID(99), nullptr);

    auto& vexa = As<CPlaceVexaObject>(place->FindObjectByID(30));
    EXPECT_EQ(std::vector<float>({float(vexa.Emitter.EmitterID), float(vexa.Emitter.IsEmitting), vexa.Emitter.EmitterValue}),
              std::vector<float>({8, 1, 1.5f}));
    EXPECT_EQ(vexa.Emitter.TintColor, (Engine::Geometry::CVector4{0, 0, 1, 128 / 255.0f}));
    ASSERT_EQ(effects->emitters.size(), 1u);
    EXPECT_EQ(effects->emitters[0]->name, "smoke");
    EXPECT_EQ(vexa.Emitter.Emitter.get(), effects->emitters[0].get());

    EXPECT_EQ(GetCustomPropertyByName(place->Properties, "title").text, "hello");
    EXPECT_EQ(GetCustomPropertyByName(place->Properties, "number").number, 0x3F800000u);
    EXPECT_EQ(GetCustomPropertyByName(place->Properties, "visible").flag, 1);
    EXPECT_EQ(GetCustomPropertyByName(place->Properties, "pair").pair[1], 12u);
    EXPECT_EQ(GetCustomPropertyByName(place->Properties, "list").listHead, 3);
    EXPECT_EQ(GetCustomPropertyByName(place->Properties, "list").list, (std::vector<uint32_t>{7, 8, 9}));
    EXPECT_EQ(FindCustomPropertyByName(back.Properties, "title"), nullptr);
    EXPECT_EQ(ErrorOf([&] { GetCustomPropertyByName(back.Properties, "unused"); }),
              "Can't find custom property by name 'unused'");

    ASSERT_EQ(place->SpriteFiles.size(), 2u);
    EXPECT_EQ(place->SpriteFiles[0].records.size(), 2u);
    EXPECT_EQ(place->SpriteFiles[0].records[1].name, "tile");
    EXPECT_EQ(place->SpriteFiles[1].count, 0u);
    EXPECT_EQ(place->GetScene()->GetSubAnimCount(), 0);
}

TEST_F(PlaceReadTest, OlderLayoutReadsRectanglesAndIntegerSplines) {
    Tools::CPlaceDocument doc;
    doc.version = 0x1007;
    doc.descs = {{4, "visible", 3}};
    auto flag = Value(4, 3);
    flag.byte = 1;
    doc.properties = {flag};
    doc.spriteFiles = {{"spr/place.spr", {{1, "box"}}}};
    auto sprite = Object(1, 10);
    sprite.left = 10, sprite.top = 20, sprite.right = 110, sprite.bottom = 70;
    sprite.spriteId = 1;
    sprite.frame = 2;
    sprite.spriteFlags = 0x0201;
    sprite.flags = 0x04;
    sprite.properties = {flag};
    auto empty = Object(1, 11);
    empty.left = empty.right = 5;
    auto spline = Object(2, 12);
    spline.points = {{{1, 2}, {3, 4}, {5, 6}, 7, 8}};
    auto group = Object(4, 20);
    group.groupWord0 = 5;
    group.groupWord1 = 6;
    group.children = {Object(2, 21)};
    doc.layers = {{"old", 1, 0x02, {flag}, {sprite, empty, spline, group}}};

    const ref_ptr<CPlaceFile> place = ReadPlace(Tools::WritePlace(doc));
    ASSERT_EQ(place->GetLayerCount(), 1);
    EXPECT_EQ(place->Layers[0]->FlagBit1, 1);
    EXPECT_EQ(place->Layers[0]->BatchSprites, 1);
    auto& read = As<CPlaceSpriteObject>(place->FindObjectByID(10));
    EXPECT_EQ(std::vector<int32_t>({read.Width, read.Height}), std::vector<int32_t>({100, 50}));
    EXPECT_EQ(read.Position, (Engine::Geometry::CVector2{60, 45}));
    EXPECT_EQ(read.Pivot, (Engine::Geometry::CVector2{0.5f, 0.5f}));
    EXPECT_EQ(read.Color, 0xFFFFFFFFu);
    EXPECT_EQ(read.Frame, 2u);
    EXPECT_EQ(read.SpriteFlag0, 1);
    EXPECT_EQ(read.BlendMode, 0u);  // no forced mode in this layout
    EXPECT_EQ(read.SpriteTile, (Engine::Geometry::CVector2{1, 1}));
    EXPECT_EQ(GetCustomPropertyByName(read.Properties, "visible").flag, 1);
    EXPECT_EQ(place->FindObjectByID(11)->Pivot.x, 0.5f);  // empty width: no division by zero
    auto& points = As<CPlaceSplineObject>(place->FindObjectByID(12)).Points;
    ASSERT_EQ(points.size(), 1u);
    EXPECT_EQ(points[0].Point, (Engine::Geometry::CVector3{5, 6, 0}));
    EXPECT_EQ(points[0].ControlB, (Engine::Geometry::CVector3{3, 4, 0}));
    EXPECT_EQ(points[0].Tag0, 7u);
    auto& readGroup = As<CPlaceGroupObject>(place->FindObjectByID(20));
    EXPECT_EQ(readGroup.GroupWord1, 6u);
    EXPECT_EQ(readGroup.Children.size(), 1u);
    EXPECT_TRUE(place->GetVexaLibrary().GetEmitterMap().empty());
}

TEST_F(PlaceReadTest, ParticleLibraryKeepsStoredIdsAndNumbersNewEmitters) {
    particles.Add("fx/b.vexa", {"two", "one"});
    Tools::CPlaceDocument doc;
    doc.nextEmitterId = 0xFFFFFFFFu;
    // "two" is stored under the counter; "one" is new and wraps to 0; the
    // entry of an emitter the file no longer has is dropped.
    doc.emitters = {{0xFFFFFFFFu, "fx/b.vexa", "two"}, {5, "fx/b.vexa", "gone"}, {3, "fx\\b.vexa", "one"}};
    doc.effectFiles = {"fx/b.vexa", "fx/b.vexa"};
    const ref_ptr<CPlaceFile> place = ReadPlace(Tools::WritePlace(doc));
    CVexaLibrary& library = place->GetVexaLibrary();
    using Entry = CVexaLibrary::CEntry;
    const std::map<uint32_t, Entry> expected{
        {0, {"fx/b.vexa", "one"}}, {1, {"fx/b.vexa", "one"}}, {0xFFFFFFFFu, {"fx/b.vexa", "two"}}};
    EXPECT_EQ(library.GetEmitterMap(), expected);
    EXPECT_EQ(library.GetFiles().size(), 2u);
    EXPECT_EQ(ErrorOf([&] { library.CreateEmitterByID(5); }), "CPlaceFile::CVexaLibrary::CreateEmitterByID(...) ID = 5 : FAILED");
}

// An emitter stored under several IDs keeps the lowest; an effect file
// listed twice is found once, by its first listing.
TEST_F(PlaceReadTest, ParticleLibraryTakesTheLowestStoredIdAndTheFirstFile) {
    particles.Add("fx/b.vexa", {"one"});
    Tools::CPlaceDocument doc;
    doc.nextEmitterId = 20;
    doc.emitters = {{9, "fx/b.vexa", "one"}, {4, "fx/b.vexa", "one"}, {7, "fx/a.vexa", "smoke"}};
    doc.effectFiles = {"fx/a.vexa", "fx/b.vexa", "fx/a.vexa"};
    const ref_ptr<CPlaceFile> place = ReadPlace(Tools::WritePlace(doc));
    CVexaLibrary& library = place->GetVexaLibrary();
    using Entry = CVexaLibrary::CEntry;
    const std::map<uint32_t, Entry> expected{{4, {"fx/b.vexa", "one"}},
                                             {7, {"fx/a.vexa", "smoke"}},
                                             {20, {"fx/a.vexa", "spark"}},
                                             {21, {"fx/a.vexa", "spark"}}};
    EXPECT_EQ(library.GetEmitterMap(), expected);
    ASSERT_EQ(library.GetFiles().size(), 3u);
    EXPECT_EQ(library.FindFile("fx/a.vexa"), library.GetFiles()[0]);
    EXPECT_EQ(library.FindFile("fx/b.vexa"), library.GetFiles()[1]);
    EXPECT_EQ(library.FindFile("fx/c.vexa"), nullptr);
}

TEST(PlaceReadNoParticles, WithoutAParticleSystemTheLibraryStaysEmpty) {
    const ref_ptr<CPlaceFile> place = ReadPlace(Tools::WritePlace(SampleDocument()));
    EXPECT_FALSE(place->GetVexaFileLocalManager());
    EXPECT_TRUE(place->GetVexaLibrary().GetFiles().empty());
    auto& vexa = As<CPlaceVexaObject>(place->FindObjectByID(30));
    EXPECT_FALSE(vexa.Emitter.Emitter);
    place->Update(1.0, 0.5);  // inert, and clears the pending emitter times
    EXPECT_EQ(place->EmitterTimesPending, 0);
}

struct CCorruptCase {
    const char* name;
    void (*mutate)(Tools::CPlaceDocument&);
    std::string message;  // "%s" stands for the place file's name
};

void Chunk(Tools::CPlaceDocument& doc, uint32_t id, int occurrence = 0) {
    doc.faults.chunks.push_back({id, occurrence, 0xDEAD});
}

const CCorruptCase kCorruptCases[] = {
    {"FileId", [](auto& d) { d.faults.fileId = 0x12345678; }, "Invalid '%s' file ID"},
    {"OldVersion", [](auto& d) { d.version = 0x1006; },
     "File '%s' was saved using old Place tool. Please, update this .place file."},
    {"Version1008", [](auto& d) { d.version = 0x1008; },
     "File '%s' was saved using new Place tool. Please, make sure your are using game engine from the same distribution."},
    {"Version1011", [](auto& d) { d.version = 0x1011; },
     "File '%s' was saved using new Place tool. Please, make sure your are using game engine from the same distribution."},
    {"FileChunk", [](auto& d) { Chunk(d, 0x61636C70); }, "Invalid '%s' place file chunk ID"},
    {"SpriteView", [](auto& d) { Chunk(d, 0xEBACB); }, "Invalid '%s' place  file chunk ID (SpriteView)"},
    {"View", [](auto& d) { Chunk(d, 0xAAAA); }, "Invalid '%s' place  file chunk ID (View)"},
    {"Library", [](auto& d) { Chunk(d, 0xAB2); }, "Can't find vexa library chunk"},
    {"Descriptions", [](auto& d) { Chunk(d, 0xC0C0); }, "Invalid '' place  file chunk ID (FileProperties)"},
    {"Values", [](auto& d) { Chunk(d, 0xCDCD); }, "Invalid '' place file chunk ID (FilePropertyValues)"},
    {"ObjectValues", [](auto& d) { Chunk(d, 0xCDCD, 2); }, "Invalid '' place file chunk ID (FilePropertyValues)"},
    {"SpriteLib", [](auto& d) { Chunk(d, 0x9090); }, "Invalid '%s' place  file chunk ID (SpriteLib)"},
    {"Sprite", [](auto& d) { Chunk(d, 0x2020, 1); }, "Invalid '%s' place  file chunk ID (Sprite)"},
    {"Layer", [](auto& d) { Chunk(d, 0x2222, 1); }, "Invalid '' place  file chunk ID (PlaceLayer)"},
    {"Snap", [](auto& d) { Chunk(d, 0xA1A1); }, "Invalid '%s' place  file chunk ID (Snap)"},
    {"Object", [](auto& d) { Chunk(d, 0x1111, 4); }, "Invalid '' place  file chunk ID ()"},
    {"SpriteObject", [](auto& d) { Chunk(d, 0x0040); }, "Invalid '' place file chunk ID (SpriteObject)"},
    {"GroupObject", [](auto& d) { Chunk(d, 0xABAB, 1); }, "Invalid '' place file chunk ID (GroupObject)"},
    {"SplineObject", [](auto& d) { Chunk(d, 0xCACA); }, "Invalid '' place file chunk ID (SplineObject)"},
    {"SplinePoints", [](auto& d) { Chunk(d, 0x0100); }, "Invalid '' place file chunk ID (ResSplineObject)"},
    {"VexaObject", [](auto& d) { Chunk(d, 0x5151); }, "Can't find CPlaceVexaObject chunk"},
    {"VexaEmitter", [](auto& d) { Chunk(d, 0x5151, 1); }, "Can't find CVexaEmitter chunk"},
    {"UnknownEmitter", [](auto& d) { d.layers[0].objects[4].emitterId = 5; },
     "CPlaceFile::CVexaLibrary::CreateEmitterByID(...) ID = 5 : FAILED"},
    {"MissingEffectFile", [](auto& d) { d.effectFiles.push_back("fx/none.vexa"); },
     "Effect file 'fx/none.vexa' : Unable to open .vexa file 'fx/none.vexa'"},
    {"LayerCount", [](auto& d) { d.faults.layerCount = 0xFFFFFFFFu; }, "Archive serialization error: Cannot read"},
    {"SpriteFileCount", [](auto& d) { d.faults.spriteFileCount = 0x40000000u; }, "Archive serialization error: Cannot read"},
    {"UnknownTypeCode", [](auto& d) { d.layers[0].objects[1].type = 5; }, "Unknown place object type 5"},
    {"TypeCodeZero", [](auto& d) { d.layers[0].objects[1].type = 0; }, "Unknown place object type 0"},
    {"PropertyType", [](auto& d) { d.properties.push_back(Value(9, 9)); },
     "CCustomPropertyValue::Serialize() : FAILED : Unknown or unsupported property type"},
    {"UnknownPropertyId", [](auto& d) { d.properties.push_back(Value(77, 1)); },
     "CPlaceFile::CCustomPropertyDescs::GetPropertyDescByID(...) : FAILED : Can't find property by ID = 77"},
    {"DuplicateName", [](auto& d) { d.descs.push_back({42, "title", 1}); d.properties.push_back(Value(42, 1)); },
     "CPlaceFile::CCustomPropertyDescs::GetPropertyDescByID(...) : FAILED : Can't find property by ID = 42"},
    {"LegacyPropertyVersion", [](auto& d) { d.version = 0x1007; d.faults.propertyVersion = 0x1003; },
     "Wrong Custom Property Version"},
    {"LegacyType6", [](auto& d) { d.version = 0x1007; d.layers[0].objects.erase(d.layers[0].objects.begin(), d.layers[0].objects.begin() + 4); },
     "Unknown place object type 6"},
};

class PlaceCorruptTest : public PlaceReadTest, public testing::WithParamInterface<CCorruptCase> {};

TEST_P(PlaceCorruptTest, IsRefusedWithItsMessage) {
    Tools::CPlaceDocument doc = SampleDocument();
    GetParam().mutate(doc);
    const std::string error = ErrorOf([&] { ReadPlace(Tools::WritePlace(doc), "place/bad.place"); });
    std::string expected = GetParam().message;
    if (const size_t at = expected.find("%s"); at != std::string::npos) expected.replace(at, 2, "place/bad.place");
    EXPECT_EQ(error.substr(0, expected.size()), expected);
    EXPECT_FALSE(GetCurrentPlaceFile());
}

INSTANTIATE_TEST_SUITE_P(Table, PlaceCorruptTest, testing::ValuesIn(kCorruptCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(PlaceReadTest, DuplicatesKeepTheFirstAndOpaqueChunksAreSkipped) {
    Tools::CPlaceDocument doc = SampleDocument();
    doc.descs.push_back({1, "zzz", 1});  // same ID later in name order: never found by ID
    auto first = Value(2, 1);
    first.word = 1;
    auto second = Value(2, 1);
    second.word = 2;
    doc.layers[1].properties = {first, second};
    doc.viewJunk.assign(1000, 0x55);
    const ref_ptr<CPlaceFile> place = ReadPlace(Tools::WritePlace(doc));
    EXPECT_EQ(GetCustomPropertyByName(place->Layers[1]->Properties, "count").integer, 1);
    EXPECT_EQ(place->Layers[1]->Properties.GetCount(), 1u);
}

TEST_F(PlaceReadTest, EveryTruncationIsRefused) {
    for (const uint32_t version : {0x1010u, 0x1007u}) {
        Tools::CPlaceDocument doc = SampleDocument();
        doc.version = version;
        if (version == 0x1007) doc.layers[0].objects.pop_back();
        const std::vector<uint8_t> bytes = Tools::WritePlace(doc);
        ReadPlace(bytes);
        for (size_t size = 0; size < bytes.size(); ++size) {
            const std::vector<uint8_t> cut(bytes.begin(), bytes.begin() + ptrdiff_t(size));
            EXPECT_NE(ErrorOf([&] { ReadPlace(cut); }), "no error") << "cut at " << size << " of version " << version;
        }
    }
    EXPECT_FALSE(GetCurrentPlaceFile());
}

} // namespace

namespace {

// A layer holding a chain of groups, each inside the one before; group n
// of the chain (from 1) has the ID 1000 + n.
Tools::CPlaceDocument NestedGroups(int depth, uint32_t version) {
    Tools::CPlaceObjectDoc chain = Object(4, uint32_t(1000 + depth));
    for (int level = depth - 1; level >= 1; --level) {
        Tools::CPlaceObjectDoc outer = Object(4, uint32_t(1000 + level));
        outer.children.push_back(std::move(chain));
        chain = std::move(outer);
    }
    Tools::CPlaceDocument doc;
    doc.version = version;
    Tools::CPlaceLayerDoc layer;
    layer.objects.push_back(std::move(chain));
    doc.layers = {std::move(layer)};
    return doc;
}

class PlaceGroupDepthTest : public testing::TestWithParam<uint32_t> {};

TEST_P(PlaceGroupDepthTest, TheDeepestAllowedChainReadsAndIsSearched) {
    const ref_ptr<CPlaceFile> place = ReadPlace(Tools::WritePlace(NestedGroups(CPlaceGroupObject::MAX_DEPTH, GetParam())));
    auto& innermost = As<CPlaceGroupObject>(place->FindObjectByID(1000 + CPlaceGroupObject::MAX_DEPTH));
    EXPECT_EQ(innermost.GetDepth(), CPlaceGroupObject::MAX_DEPTH);
    EXPECT_TRUE(innermost.Children.empty());
}

TEST_P(PlaceGroupDepthTest, OneLevelMoreIsRefusedWithTheFileNamed) {
    const std::vector<uint8_t> bytes = Tools::WritePlace(NestedGroups(CPlaceGroupObject::MAX_DEPTH + 1, GetParam()));
    EXPECT_EQ(ErrorOf([&] { ReadPlace(bytes, "place/deep.place"); }),
              "Invalid or corrupted .place file 'place/deep.place' : groups nested deeper than 64");
    EXPECT_FALSE(GetCurrentPlaceFile());
}

INSTANTIATE_TEST_SUITE_P(Layouts, PlaceGroupDepthTest, testing::Values(0x1010u, 0x1007u),
                         [](const auto& info) { return info.param == 0x1010u ? "Current" : "Legacy"; });

// Tens of thousands of nested groups in the older layout, written byte by
// byte (the document form would itself recurse that deep): refused without
// exhausting the stack.
TEST(PlaceGroupDepth, AnEndlessChainIsRefusedEarly) {
    // A group of one empty group, against a lone empty group: the first
    // byte that differs is the outer group's child count, and the bytes
    // added are the inner group's record, which ends with its own count.
    const std::vector<uint8_t> one = Tools::WritePlace(NestedGroups(1, 0x1007));
    Tools::CPlaceDocument pairDoc = NestedGroups(1, 0x1007);
    pairDoc.layers[0].objects[0].children.push_back(Object(4, 1001));
    const std::vector<uint8_t> two = Tools::WritePlace(pairDoc);
    const size_t countAt = size_t(std::mismatch(one.begin(), one.end(), two.begin()).first - one.begin());
    const size_t recordSize = two.size() - one.size();
    ASSERT_EQ(two[countAt], 1);
    const auto inner = two.begin() + ptrdiff_t(countAt + 4);
    std::vector<uint8_t> deep(two.begin(), inner);
    constexpr int kGroups = 60000;
    for (int i = 1; i < kGroups; ++i) {
        deep.insert(deep.end(), inner, inner + ptrdiff_t(recordSize));
        if (i + 1 < kGroups) deep[deep.size() - 4] = 1;
    }
    deep.insert(deep.end(), inner + ptrdiff_t(recordSize), two.end());
    EXPECT_GT(deep.size(), 3'000'000u);
    EXPECT_EQ(ErrorOf([&] { ReadPlace(deep, "place/deep.place"); }),
              "Invalid or corrupted .place file 'place/deep.place' : groups nested deeper than 64");
}

} // namespace

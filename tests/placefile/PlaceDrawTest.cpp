// Drawing a loaded place file through the recording driver: the quads of
// sprites, a group's child and a tiled sprite, computed by hand.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>

#include "placefile/PlaceSpriteObject.h"
#include "tests/placefile/PlaceFileFixture.h"

using namespace PlaceTest;

namespace {

using CQuad = std::array<std::array<float, 2>, 4>;
constexpr float kHalfPi = 1.57079632679f;

class PlaceDrawTest : public PlaceFileFixture {
protected:
    // Every drawn quad, corners rounded to 1/1000 and sorted, quads sorted;
    // alphas collects every vertex's alpha byte.
    std::vector<CQuad> DrawnQuads(std::vector<uint32_t>* alphas = nullptr) const {
        std::vector<CQuad> quads;
        for (const auto& call : graphics->calls) {
            if (call.name != "gDraw") continue;
            const auto* vertices = reinterpret_cast<const Engine::Graphics::SpriteVertex*>(call.vertices.data());
            for (size_t q = 0; q < call.vertices.size() / sizeof(Engine::Graphics::SpriteVertex) / 4; ++q) {
                CQuad quad;
                for (size_t i = 0; i < 4; ++i) {
                    const auto& v = vertices[q * 4 + i];
                    quad[i] = {std::round(v.x * 1000) / 1000, std::round(v.y * 1000) / 1000};
                    if (alphas) alphas->push_back(v.color >> 24);
                }
                std::sort(quad.begin(), quad.end());
                quads.push_back(quad);
            }
        }
        std::sort(quads.begin(), quads.end());
        return quads;
    }
    static CQuad Rect(float left, float top, float right, float bottom) {
        CQuad quad{{{left, top}, {right, top}, {right, bottom}, {left, bottom}}};
        std::sort(quad.begin(), quad.end());
        return quad;
    }
    int DrawCalls() const {
        return int(std::count_if(graphics->calls.begin(), graphics->calls.end(), [](const auto& c) { return c.name == "gDraw"; }));
    }
    ref_ptr<CPlaceFile> Load(const Tools::CPlaceDocument& doc) {
        Write("place/draw.place", Tools::WritePlace(doc));
        ref_ptr<CPlaceFile> place = local->GetPlaceFile("place/draw.place");
        graphics->Clear();
        return place;
    }
    static Tools::CPlaceDocument Document(std::vector<Tools::CPlaceObjectDoc> objects, uint32_t layerFlags = 0x04) {
        Tools::CPlaceDocument doc;
        doc.spriteFiles = {{"spr/place.spr", {{1, "box"}, {2, "tile"}}}};
        Tools::CPlaceLayerDoc layer;
        layer.flags = layerFlags;
        layer.objects = std::move(objects);
        doc.layers = {layer};
        return doc;
    }
    static Tools::CPlaceObjectDoc Sprite(uint32_t id, int32_t spriteId, float x, float y, int32_t w, int32_t h,
                                         float pivot) {
        Tools::CPlaceObjectDoc object = Object(1, id, x, y, w, h);
        object.spriteId = spriteId;
        object.pivotX = object.pivotY = pivot;
        return object;
    }
};

TEST_F(PlaceDrawTest, SpritesGroupsAndTilesGiveTheQuadsComputedByHand) {
    // Zoomed 2 across, pivot at the top-left corner.
    auto zoomed = Sprite(1, 1, 100, 100, 64, 32, 0.0f);
    // Turned a quarter about its top-left corner (300, 100).
    auto turned = Sprite(2, 1, 300, 100, 64, 32, 0.0f);
    turned.angle = kHalfPi;
    // A group turned a quarter: its child 10 right of it moves 10 down and
    // turns with it; the child's own angle does not count.
    auto group = Object(4, 3, 200, 200);
    group.angle = kHalfPi;
    auto child = Sprite(4, 1, 210, 200, 20, 10, 0.5f);
    child.angle = 1.0f;
    group.children = {child};
    // A 64 by 64 rectangle tiled with a 32 by 32 frame.
    auto tiled = Sprite(5, 2, 400, 300, 64, 64, 0.0f);
    tiled.tileX = tiled.tileY = 1;
    auto hidden = Sprite(6, 1, 0, 0, 8, 8, 0.0f);
    auto unlinked = Sprite(7, 1, 0, 0, 8, 8, 0.0f);
    unlinked.type = 3;
    const ref_ptr<CPlaceFile> place = Load(Document({zoomed, turned, group, tiled, hidden, unlinked}));
    place->FindObjectByID(1)->Zoom = {2.0f, 1.0f};
    place->FindObjectByID(6)->Visible = 0;

    place->Draw(0.0f, 0.0f, 0.5f);
    std::vector<uint32_t> alphas;
    std::vector<CQuad> expected{Rect(100, 100, 228, 132),
                                {{{268, 100}, {268, 164}, {300, 100}, {300, 164}}},
                                {{{195, 200}, {195, 220}, {205, 200}, {205, 220}}},
                                Rect(400, 300, 432, 332),
                                Rect(432, 300, 464, 332),
                                Rect(400, 332, 432, 364),
                                Rect(432, 332, 464, 364)};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(DrawnQuads(&alphas), expected);
    EXPECT_EQ(alphas, std::vector<uint32_t>(alphas.size(), 128u));
    EXPECT_EQ(Engine::Graphics::CSpriteQueue::GetCount(), 0);
}

TEST_F(PlaceDrawTest, ALayerOffsetMovesTheTurningPointWithTheSprite) {
    auto turned = Sprite(1, 1, 300, 100, 64, 32, 0.0f);
    turned.angle = kHalfPi;
    const ref_ptr<CPlaceFile> place = Load(Document({turned}));
    place->Draw(10.0f, 20.0f, 1.0f);
    EXPECT_EQ(DrawnQuads(), (std::vector<CQuad>{{{{278, 120}, {278, 184}, {310, 120}, {310, 184}}}}));
}

struct CFlushCase {
    const char* name;
    uint32_t layerFlags;
    bool particlesBetween;
    int drawCalls;
};

class PlaceFlushTest : public PlaceDrawTest, public testing::WithParamInterface<CFlushCase> {};

TEST_P(PlaceFlushTest, BatchingDecidesHowOftenTheQueueIsFlushed) {
    CFakeParticles particles;
    particles.Add("fx/a.vexa", {"spark"});
    std::vector<Tools::CPlaceObjectDoc> objects{Sprite(1, 1, 0, 0, 8, 8, 0.0f), Sprite(2, 1, 20, 0, 8, 8, 0.0f)};
    if (GetParam().particlesBetween) objects.insert(objects.begin() + 1, Object(6, 3));
    Tools::CPlaceDocument doc = Document(objects, GetParam().layerFlags);
    doc.effectFiles = {"fx/a.vexa"};
    doc.nextEmitterId = 1;
    doc.emitters = {{0, "fx/a.vexa", "spark"}};
    const ref_ptr<CPlaceFile> place = Load(doc);
    place->Draw(0.0f, 0.0f, 1.0f);
    EXPECT_EQ(DrawCalls(), GetParam().drawCalls);
}

INSTANTIATE_TEST_SUITE_P(Table, PlaceFlushTest,
                         testing::Values(CFlushCase{"Batched", 0x04, false, 1}, CFlushCase{"EachSprite", 0x00, false, 2},
                                         CFlushCase{"ParticlesSplitABatch", 0x04, true, 2}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(PlaceSpriteMaths, OpacityRoundsAndClampsTheAlphaByte) {
    EXPECT_EQ(ApplyOpacity(0xFF123456u, 1.0f), 0xFF123456u);
    EXPECT_EQ(ApplyOpacity(0xFF123456u, 0.5f), 0x80123456u);
    EXPECT_EQ(ApplyOpacity(0x80123456u, 3.0f), 0xFF123456u);
    EXPECT_EQ(ApplyOpacity(0xFF123456u, -1.0f), 0x00123456u);
    EXPECT_EQ(ApplyOpacity(0xFF123456u, std::nanf("")), 0x00123456u);
}

} // namespace

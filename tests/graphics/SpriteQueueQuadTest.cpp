// Vertices the queue hands to the driver, and the parts a record of several
// pieces or tiles is split into.

#include <cmath>
#include <numbers>

#include "tests/graphics/SpriteQueueFixture.h"

using namespace SpriteQueueTesting;

namespace {

// The "one" piece: 16 by 8 at (8, 4) of a 64 by 32 texture, texture
// coordinates inset by 0.01 texel.
constexpr float kLeftU = 0.125f + 0.01f / 64.0f;
constexpr float kRightU = 0.125f + 16.0f / 64.0f - 0.01f / 64.0f;
constexpr float kTopV = 0.125f + 0.01f / 32.0f;
constexpr float kBottomV = 0.125f + 8.0f / 32.0f - 0.01f / 32.0f;

void ExpectCorners(const std::vector<SpriteVertex>& quad, std::initializer_list<std::pair<float, float>> corners) {
    ASSERT_EQ(quad.size(), corners.size());
    size_t i = 0;
    for (const auto& [x, y] : corners) {
        EXPECT_NEAR(quad[i].x, x, 1e-4) << "vertex " << i;
        EXPECT_NEAR(quad[i].y, y, 1e-4) << "vertex " << i;
        EXPECT_EQ(quad[i].z, 0.0f);
        EXPECT_EQ(quad[i].rhw, 1.0f);
        ++i;
    }
}

// An upright quad: corners (x0, y0) to (x1, y1), texture (u0, v0) to (u1, v1).
void ExpectRect(const std::vector<SpriteVertex>& quad, float x0, float y0, float x1, float y1) {
    ExpectCorners(quad, {{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}});
}
void ExpectUV(const std::vector<SpriteVertex>& quad, float u0, float v0, float u1, float v1, float tolerance = 1e-6f) {
    ASSERT_EQ(quad.size(), 4u);
    const float u[4] = {u0, u1, u1, u0}, v[4] = {v0, v0, v1, v1};
    for (int i = 0; i < 4; ++i) {
        EXPECT_NEAR(quad[i].u, u[i], tolerance) << "vertex " << i;
        EXPECT_NEAR(quad[i].v, v[i], tolerance) << "vertex " << i;
    }
}

class QuadMirror : public QueueFixture, public testing::WithParamInterface<uint32_t> {};

TEST_P(QuadMirror, ScaledQuadKeepsItsCornersAndSwapsTextureCoordinates) {
    Sprite("one").GetTemplate().flags = GetParam();
    CSpriteQueue::QueueSpriteAtSize(params, Sprite("one"), 10, 20, 2, 2, 0xFFFFFFFFu);
    const auto quad = FlushOne();
    ExpectRect(quad, 10, 20, 42, 36);
    const bool mirrorX = GetParam() & Engine::Graphics::SPRITE_MIRROR_X;
    const bool mirrorY = GetParam() & Engine::Graphics::SPRITE_MIRROR_Y;
    ExpectUV(quad, mirrorX ? kRightU : kLeftU, mirrorY ? kBottomV : kTopV, mirrorX ? kLeftU : kRightU,
             mirrorY ? kTopV : kBottomV);
}

INSTANTIATE_TEST_SUITE_P(Flags, QuadMirror, testing::Values(0u, 1u, 2u, 3u));

class QuadColours : public QueueFixture, public testing::WithParamInterface<bool> {};

TEST_P(QuadColours, CornerColoursFollowTheDriversByteOrder) {
    driver.m_bColorRGBA = GetParam();
    CSpriteQueueItem record = Sprite("one").GetTemplate();
    const uint32_t colors[4] = {0x11223344u, 0x55667788u, 0x99AABBCCu, 0xDDEEFF00u};  // TL, TR, BL, BR
    std::copy(colors, colors + 4, record.colors);
    Sprite("one").Draw(record);
    const auto draws = Draws();
    ASSERT_EQ(draws.size(), 1u);
    const auto quad = Vertices(*draws[0]);
    ASSERT_EQ(quad.size(), 4u);
    const uint32_t rgba[4] = {0x11223344u, 0x55667788u, 0xDDEEFF00u, 0x99AABBCCu};
    const uint32_t argb[4] = {0x11443322u, 0x55887766u, 0xDD00FFEEu, 0x99CCBBAAu};
    for (int i = 0; i < 4; ++i) EXPECT_EQ(quad[i].color, GetParam() ? rgba[i] : argb[i]) << "vertex " << i;
}

INSTANTIATE_TEST_SUITE_P(ByteOrder, QuadColours, testing::Bool());

TEST_F(QueueFixture, RotatedQuadTurnsAboutItsPivotAndIsNeverClipped) {
    CSpriteRef& one = Sprite("one");
    one.GetTemplate().angle = std::numbers::pi_v<float> / 2.0f;
    one.GetTemplate().pivotX = 10.0f;
    params.clipOverride = 1;
    params.clipWidth = params.clipHeight = 1.0f;
    CSpriteQueue::QueueSpriteAt(params, one, 100, 50, 0xFFFFFFFFu);
    ExpectCorners(FlushOne(), {{114, 32}, {114, 48}, {106, 48}, {106, 32}});
}

struct ClipCase {
    const char* name;
    float left, top, width, height;
    bool drawn;
    float x0 = 0, y0 = 0, x1 = 0, y1 = 0;  // clipped corners
    float cutU0 = 0, cutU1 = 0;            // fraction of the u range cut at each side
    float cutV0 = 0, cutV1 = 0;
};

class QuadClip : public QueueFixture, public testing::WithParamInterface<ClipCase> {};

TEST_P(QuadClip, ClipOverrideCutsPositionsAndTextureInProportion) {
    const ClipCase& c = GetParam();
    // The record's own clip rectangle only counts through an override.
    CSpriteRef& one = Sprite("one");
    one.GetTemplate().clipEnabled = 1;
    one.GetTemplate().clipWidth = one.GetTemplate().clipHeight = 1.0f;
    params.clipOverride = 1;
    params.clipLeft = c.left;
    params.clipTop = c.top;
    params.clipWidth = c.width;
    params.clipHeight = c.height;
    CSpriteQueue::QueueSpriteAtSize(params, one, 10, 20, 2, 2, 0xFFFFFFFFu);  // 10..42 by 20..36
    const auto quad = FlushOne();
    if (!c.drawn) {
        EXPECT_TRUE(quad.empty());
        EXPECT_EQ(Draws()[0]->args[2], 0.0);  // the run is still drawn, with no quads
        return;
    }
    ExpectRect(quad, c.x0, c.y0, c.x1, c.y1);
    const float du = kRightU - kLeftU, dv = kBottomV - kTopV;
    ExpectUV(quad, kLeftU + du * c.cutU0, kTopV + dv * c.cutV0, kRightU - du * c.cutU1, kBottomV - dv * c.cutV1);
}

INSTANTIATE_TEST_SUITE_P(
    Rectangles, QuadClip,
    testing::Values(ClipCase{"Inside", 0, 0, 100, 100, true, 10, 20, 42, 36, 0, 0, 0, 0},
                    ClipCase{"RightHalf", 0, 0, 26, 100, true, 10, 20, 26, 36, 0, 0.5f, 0, 0},
                    ClipCase{"TopQuarter", 0, 24, 100, 100, true, 10, 24, 42, 36, 0, 0, 0.25f, 0},
                    ClipCase{"TouchingEdge", 42, 0, 10, 100, true, 42, 20, 42, 36, 1, 0, 0, 0},
                    ClipCase{"RightOfQuad", 43, 0, 10, 100, false},
                    ClipCase{"AboveQuad", 0, 0, 100, 19, false}),
    [](const testing::TestParamInfo<ClipCase>& info) { return info.param.name; });

TEST_F(QueueFixture, ImmediateDrawIsCutToTheRecordsOwnClipRectangle) {
    CSpriteQueueItem record = Sprite("one").GetTemplate();
    record.x = 10.0f;
    record.y = 20.0f;  // 10..26 by 20..28
    record.clipEnabled = 1;
    record.clipLeft = 18.0f;
    record.clipTop = 0.0f;
    record.clipWidth = record.clipHeight = 100.0f;
    Sprite("one").Draw(record);
    const auto draws = Draws();
    ASSERT_EQ(draws.size(), 1u);
    const auto quad = Vertices(*draws[0]);
    ExpectRect(quad, 18, 20, 26, 28);
    ExpectUV(quad, kLeftU + (kRightU - kLeftU) * 0.5f, kTopV, kRightU, kBottomV);
}

TEST_F(QueueFixture, FlushClipsBeforeItMovesByItsOffset) {
    params.offsetX = 100.0f;
    params.clipOverride = 1;
    params.clipLeft = 18.0f;
    params.clipWidth = params.clipHeight = 100.0f;
    CSpriteQueue::QueueSpriteAt(params, Sprite("one"), 10, 20, 0xFFFFFFFFu);  // 10..26 by 20..28
    ExpectRect(FlushOne(), 118, 20, 126, 28);
}

struct TransformCase {
    const char* name;
    bool identity;
    float x0, y0, x1, y1;
};

class QuadTransform : public QueueFixture, public testing::WithParamInterface<TransformCase> {};

TEST_P(QuadTransform, FlushOffsetDriverTransformAndOffsets) {
    const float transform[6] = {2, 0, 5, 0, 3, 7};
    std::copy(transform, transform + 6, driver.m_transform2D);
    driver.m_bTransform2DIdentity = GetParam().identity;
    driver.m_bufferOffset[0] = 0.5f;
    driver.m_bufferOffset[1] = -0.5f;
    driver.m_textureOffset[0] = 0.5f;
    driver.m_textureOffset[1] = 0.25f;
    params.offsetX = 1.0f;
    params.offsetY = 2.0f;
    CSpriteQueue::QueueSpriteAt(params, Sprite("one"), 10, 20, 0xFFFFFFFFu);  // 10..26 by 20..28
    const auto quad = FlushOne();
    const TransformCase& c = GetParam();
    ExpectRect(quad, c.x0, c.y0, c.x1, c.y1);
    ExpectUV(quad, kLeftU + 0.5f / 64.0f, kTopV + 0.25f / 32.0f, kRightU + 0.5f / 64.0f, kBottomV + 0.25f / 32.0f);
}

INSTANTIATE_TEST_SUITE_P(Driver, QuadTransform,
                         testing::Values(TransformCase{"Identity", true, 11.5f, 21.5f, 27.5f, 29.5f},
                                         TransformCase{"Affine", false, 27.5f, 72.5f, 59.5f, 96.5f}),
                         [](const testing::TestParamInfo<TransformCase>& info) { return info.param.name; });

TEST_F(QueueFixture, ReferenceWithoutDefinitionDrawsItsWholeTexture) {
    CSpriteRef whole;
    whole.GetTemplate().texture = file->GetBitmapEntry(1).texture;
    EXPECT_EQ(whole.GetSpriteFrameWidth(), 32);
    CSpriteQueue::QueueSpriteAt(params, whole, 5, 6, 0xFFFFFFFFu);
    const auto quad = FlushOne();
    ExpectRect(quad, 5, 6, 37, 38);
    ExpectUV(quad, 0.01f / 32.0f, 0.01f / 32.0f, 1.0f - 0.01f / 32.0f, 1.0f - 0.01f / 32.0f);
    EXPECT_EQ(driver.calls[0].object, Texture(1));
}

TEST_F(QueueFixture, TextureMadeBetweenQueueAndFlushIsTheOneDrawn) {
    // Images read, textures not yet made, as the delayed loader leaves them.
    file = SprTestData::ReadSprFile(Tools::WriteSpr(QueueDocument()), "spr/queue.spr", false, nullptr, &driver);
    CSpriteQueue::QueueSpriteAt(params, Sprite("one"), 0, 0, 0xFFFFFFFFu);
    file->CreateTextures();
    driver.Clear();
    ExpectUV(FlushOne(), kLeftU, kTopV, kRightU, kBottomV);
    EXPECT_EQ(driver.calls[0].object, Texture(0));
}

TEST_F(QueueFixture, SpriteWhoseFileWasEmptiedBeforeTheFlushDrawsNoPiece) {
    const auto sprite = file->CreateSprite(*file->FindSprite("one"));
    CSpriteQueue::QueueSpriteAt(params, *sprite, 0, 0, 0xFFFFFFFFu);
    file->Clear();
    ExpectRect(FlushOne(), 0, 0, 1, 1);  // a flat quad of the texture-less reference
    EXPECT_EQ(driver.calls[0].object, nullptr);
}

struct PartCase {
    const char* name;
    uint32_t flags;
    uint8_t centred;
    float angle;
    float scale;
    std::vector<std::pair<float, float>> positions;  // of the parts, piece order
};

class QuadParts : public QueueFixture, public testing::WithParamInterface<PartCase> {};

TEST_P(QuadParts, GridPartsFollowTheSpritesAxes) {
    const PartCase& c = GetParam();
    CSpriteRef& grid = Sprite("grid");
    grid.GetTemplate().flags = c.flags;
    grid.GetTemplate().centred = c.centred;
    grid.GetTemplate().angle = c.angle;
    grid.GetTemplate().pivotX = 4.0f;  // no effect without rotation
    grid.GetTemplate().pivotY = 2.0f;
    CSpriteQueue::QueueSpriteAtSizeF(params, grid, 100, 50, c.scale, c.scale, 0xFFFFFFFFu);
    ASSERT_EQ(CSpriteQueue::GetCount(), 4);
    for (int32_t i = 0; i < 4; ++i) {
        const CSpriteQueueItem& part = CSpriteQueue::GetItem(i);
        EXPECT_EQ(part.piece, i);
        EXPECT_EQ(part.pivotX, 0.0f);
        EXPECT_NEAR(part.x, c.positions[size_t(i)].first, 1e-4) << "part " << i;
        EXPECT_NEAR(part.y, c.positions[size_t(i)].second, 1e-4) << "part " << i;
    }
}

// Rotated by a quarter turn with pivot (4, 2): the origin moves to (104, 52)
// and the local start to (-2, -1) / scale.
INSTANTIATE_TEST_SUITE_P(
    Grid, QuadParts,
    testing::Values(PartCase{"Plain", 0, 0, 0.0f, 1.0f, {{100, 50}, {116, 50}, {100, 58}, {116, 58}}},
                    PartCase{"Scaled", 0, 0, 0.0f, 2.0f, {{100, 50}, {132, 50}, {100, 66}, {132, 66}}},
                    PartCase{"Centred", 0, 1, 0.0f, 1.0f, {{92, 46}, {108, 46}, {92, 54}, {108, 54}}},
                    PartCase{"MirroredX", 1, 0, 0.0f, 1.0f, {{116, 50}, {100, 50}, {116, 58}, {100, 58}}},
                    PartCase{"MirroredY", 2, 0, 0.0f, 1.0f, {{100, 58}, {116, 58}, {100, 50}, {116, 50}}},
                    PartCase{"QuarterTurn",
                             0,
                             0,
                             std::numbers::pi_v<float> / 2.0f,
                             2.0f,
                             {{106, 48}, {106, 80}, {90, 48}, {90, 80}}}),
    [](const testing::TestParamInfo<PartCase>& info) { return info.param.name; });

TEST_F(QueueFixture, SourceWindowAcrossPiecesTakesTheVisiblePartOfEach) {
    CSpriteQueue::QueueSprite(params, Sprite("grid"), 200, 10, 8, 4, 16, 8, 0xFFFFFFFFu);
    ASSERT_EQ(CSpriteQueue::GetCount(), 4);
    const float expected[4][6] = {{8, 4, 8, 4, 200, 10}, {0, 4, 8, 4, 208, 10}, {8, 0, 8, 4, 200, 14}, {0, 0, 8, 4, 208, 14}};
    for (int32_t i = 0; i < 4; ++i) {
        const CSpriteQueueItem& part = CSpriteQueue::GetItem(i);
        const float actual[6] = {part.sourceX, part.sourceY, part.sourceWidth, part.sourceHeight, part.x, part.y};
        for (int k = 0; k < 6; ++k) EXPECT_EQ(actual[k], expected[i][k]) << "part " << i << " field " << k;
    }
}

TEST_F(QueueFixture, FrameOfThreePiecesBecomesThreeRecords) {
    CSpriteQueue::QueueSpriteAt(params, Sprite("three"), 0, 0, 0xFFFFFFFFu);
    EXPECT_EQ(CSpriteQueue::GetCount(), 3);
    CSpriteQueue::Flush(params);
    ASSERT_EQ(Draws().size(), 1u);
    EXPECT_EQ(Vertices(*Draws()[0]).size(), 12u);
}

class QuadTiles : public QueueFixture, public testing::WithParamInterface<uint32_t> {};

TEST_P(QuadTiles, TilingCoversTheSourceRectangleColumnByColumn) {
    const bool flat = GetParam() == Engine::Graphics::SPRITE_TILE_FLAT;
    CSpriteRef& tile = Sprite("tile");
    tile.GetTemplate().flags = GetParam();
    CSpriteQueue::QueueSprite(params, tile, 0, 0, 16, 0, 64, 32, 0xFF00FF00u);
    ASSERT_EQ(CSpriteQueue::GetCount(), 3);
    const float x[3] = {0, 16, 48}, sourceX[3] = {16, 0, 0}, width[3] = {16, 32, 16};
    for (int32_t i = 0; i < 3; ++i) {
        const CSpriteQueueItem& part = CSpriteQueue::GetItem(i);
        EXPECT_EQ(part.x, x[i]);
        if (flat && i > 0) {  // only the origin tile is textured
            EXPECT_EQ(part.sprite, &CSpriteQueue::GetEmptySprite());
            EXPECT_EQ(part.scaleX, width[i]);
            EXPECT_EQ(part.scaleY, 32.0f);
        } else {
            EXPECT_EQ(part.sprite, &tile);
            EXPECT_EQ(part.sourceX, sourceX[i]);
            EXPECT_EQ(part.sourceWidth, width[i]);
        }
    }
    CSpriteQueue::Flush(params);
    const auto draws = Draws();
    ASSERT_EQ(draws.size(), flat ? 2u : 1u);
    if (!flat) return;
    for (const CRecordedCall* draw : draws) {
        const auto vertices = Vertices(*draw);
        if (vertices.size() != 8) continue;  // the flat run
        EXPECT_EQ(vertices[0].color, 0xFF00FF00u);
        ExpectRect({vertices.begin(), vertices.begin() + 4}, 16, 0, 48, 32);
        ExpectRect({vertices.begin() + 4, vertices.end()}, 48, 0, 64, 32);
    }
}

INSTANTIATE_TEST_SUITE_P(Flags, QuadTiles,
                         testing::Values(Engine::Graphics::SPRITE_TILE, Engine::Graphics::SPRITE_TILE_FLAT));

} // namespace

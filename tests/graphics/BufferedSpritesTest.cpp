// Buffered drawing: the record hash and its canonical block, the per-frame
// containers and their rotation, and the entries that buffer instead of
// drawing while the containers exist.

#include <cmath>
#include <cstring>

#include "graphics/BufferedSpritesContainer.h"
#include "graphics/Graphics.h"
#include "tests/graphics/SpriteQueueFixture.h"

using namespace SpriteQueueTesting;
using namespace Engine::Graphics;
using Engine::ref_ptr;

namespace {

CBufferedSprite::CBlock BlockWithWord(size_t index, uint32_t value) {
    uint32_t words[32] = {};
    words[index] = value;
    CBufferedSprite::CBlock block;
    std::memcpy(&block, words, sizeof block);
    return block;
}

TEST(BufferedSprite, HashVectorsAndPackedColours) {
    EXPECT_EQ(HashBufferedSprite(BlockWithWord(0, 0)), 0u);
    EXPECT_EQ(HashBufferedSprite(BlockWithWord(0, 1)), 0x01000000u);
    EXPECT_EQ(HashBufferedSprite(BlockWithWord(31, 1)), 1u);
    EXPECT_EQ(PackColorARGB(1, 0.5f, 0, 1), 0xFFFF8000u);
    EXPECT_EQ(PackColorARGB(2, -1, std::nanf(""), 0.25f), 0x40FF0000u);
}

// A unit quad at (x, y) in the given colour.
struct CQuad {
    SpriteVertex v[4];
    CQuad(float x, float y, uint32_t color = 0xFFFFFFFFu)
        : v{{x, y, 0, 1, color, 0, 0}, {x + 1, y, 0, 1, color, 1, 0}, {x + 1, y + 1, 0, 1, color, 1, 1},
            {x, y + 1, 0, 1, color, 0, 1}} {}
};

TEST(BufferedSpritesContainer, DistinctRecordsInTableEveryRecordInOrder) {
    ref_ptr<CTexture> texture(new CTexture(nullptr, nullptr)), other(new CTexture(nullptr, nullptr));
    ref_ptr<CBufferedSpritesContainer> container(new CBufferedSpritesContainer());
    const CBufferedDrawState alpha{BLEND_SRC_ALPHA, BLEND_INV_SRC_ALPHA, 1};
    const CQuad a(0, 0), b(5, 0);
    container->Add(a.v, texture, alpha);
    container->Add(b.v, texture, alpha);
    container->Add(a.v, texture, alpha);
    ASSERT_EQ(container->GetRecords().size(), 3u);
    EXPECT_EQ(container->GetDistinctCount(), 2u);
    const CBufferedSprite& first = container->GetRecords()[0];
    EXPECT_EQ(first.block.textureId, texture->GetSerial());
    EXPECT_NE(first.block.textureId, 0u);
    EXPECT_EQ(first.hash, HashBufferedSprite(first.block));
    EXPECT_EQ(texture->GetRefCount(), 4);

    // The same quad with another texture, another state or no texture is
    // another record.
    ref_ptr<CBufferedSpritesContainer> probe(new CBufferedSpritesContainer());
    probe->Add(a.v, texture, alpha);
    probe->Add(a.v, other, alpha);
    probe->Add(a.v, texture, {BLEND_ONE, BLEND_ONE, 1});
    probe->Add(a.v, nullptr, alpha);
    const std::vector<CBufferedSprite>& records = probe->GetRecords();
    EXPECT_TRUE(container->Contains(records[0]));
    for (size_t i = 1; i < records.size(); ++i) EXPECT_FALSE(container->Contains(records[i])) << i;

    container->Clear();
    EXPECT_TRUE(container->GetRecords().empty());
    EXPECT_EQ(container->GetDistinctCount(), 0u);
    EXPECT_FALSE(container->Contains(records[0]));
    EXPECT_EQ(texture->GetRefCount(), 3);  // ours and the probe's two
}

TEST(BufferedSpritesContainer, TwoAndThreeContainersRotate) {
    Testing::CRecordingGraphics driver;
    EXPECT_EQ(driver.GetSpritesContainer(), nullptr);
    driver.CreateSpriteContainers();
    ASSERT_NE(driver.GetDirtyRects(), nullptr);
    // The current container frame by frame: back to the same after two or
    // three frames.
    for (const bool three : {false, true}) {
        driver.m_bThreeContainers = three;
        const int period = three ? 3 : 2;
        std::vector<CBufferedSpritesContainer*> seen;
        for (int frame = 0; frame < 2 * period; ++frame) {
            seen.push_back(driver.GetSpritesContainer().get());
            driver.SwapSpriteContainers();
        }
        for (int frame = 0; frame < period; ++frame) {
            EXPECT_EQ(seen[size_t(frame)], seen[size_t(frame + period)]) << three;
            for (int other = frame + 1; other < period; ++other) EXPECT_NE(seen[size_t(frame)], seen[size_t(other)]);
        }
    }
    // With three, a frame's records are emptied only at the end of the
    // second frame after it (each frame compares with the one before last).
    ref_ptr<CBufferedSpritesContainer> first = driver.GetSpritesContainer();
    first->Add(CQuad(0, 0).v, nullptr, {});
    driver.FinishBufferedFrame();
    driver.FinishBufferedFrame();
    EXPECT_EQ(first->GetRecords().size(), 1u);
    driver.FinishBufferedFrame();
    EXPECT_TRUE(first->GetRecords().empty());
    EXPECT_EQ(driver.GetSpritesContainer(), first);
    driver.DestroySpriteContainers();
    EXPECT_EQ(driver.GetSpritesContainer(), nullptr);
    EXPECT_EQ(driver.GetDirtyRects(), nullptr);
}

class BufferedQueue : public QueueFixture {
protected:
    void StartBuffering() {
        driver.m_bSoftware = true;
        driver.GetParams().width = 800;
        driver.GetParams().height = 600;
        driver.CreateSpriteContainers();
        driver.Clear();
    }
    const std::vector<CBufferedSprite>& Records() const { return driver.GetSpritesContainer()->GetRecords(); }
};

TEST_F(BufferedQueue, ParticleQuadsDrawAtOnceOrAreBuffered) {
    ref_ptr<CVertexBuffer> vertices;
    driver.CreateVertexBuffer(vertices, 16, sizeof(SpriteVertex), VF_SPRITE, true);
    auto* quads = static_cast<SpriteVertex*>(vertices->Lock());
    for (int i = 0; i < 4; ++i) std::memcpy(quads + 4 * i, CQuad(float(10 * i), 0).v, sizeof(CQuad));
    ref_ptr<CTexture> texture(new CTexture(nullptr, nullptr));
    driver.Clear();
    driver.BufferParticleQuads(1, vertices, 2, texture);
    ASSERT_EQ(driver.Names(), (std::vector<std::string>{"gDraw"}));
    EXPECT_EQ(driver.calls[0].args, (std::vector<double>{PRIM_QUAD_LIST, 1, 2, 0}));

    StartBuffering();
    driver.BufferParticleQuads(1, vertices, 0, texture);
    EXPECT_TRUE(Records().empty());
    driver.m_nRecordedBlendSrc = BLEND_SRC_ALPHA;
    driver.m_bRecordedAlphaBlend = 1;
    driver.BufferParticleQuads(2, vertices, 5, texture);  // only two quads are left in the buffer
    driver.BufferParticleQuads(4, vertices, 1, texture);  // past the end
    EXPECT_TRUE(driver.calls.empty());
    ASSERT_EQ(Records().size(), 2u);
    EXPECT_EQ(Records()[1].block.vertices[0].x, 30.0f);
    EXPECT_EQ(Records()[1].texture, texture);
    EXPECT_EQ(Records()[1].block.blendSource, BLEND_SRC_ALPHA);
    EXPECT_EQ(Records()[1].block.blendDestination, BLEND_ONE);
    EXPECT_EQ(Records()[1].block.alphaBlend, 1u);
}

TEST_F(BufferedQueue, ColourClearBecomesOneFullScreenQuad) {
    driver.gClear(CLEAR_COLOR | CLEAR_DEPTH);
    EXPECT_EQ(driver.calls.back().args[0], CLEAR_COLOR | CLEAR_DEPTH);  // not buffering: passed on
    StartBuffering();
    driver.m_clearColor[0] = 1.0f;
    driver.m_clearColor[3] = 1.0f;
    driver.m_bRecordedAlphaBlend = 1;
    driver.gClear(CLEAR_COLOR | CLEAR_DEPTH);
    EXPECT_EQ(driver.calls.back().args[0], CLEAR_DEPTH);
    EXPECT_EQ(CSpriteQueue::GetCount(), 0);
    ASSERT_EQ(Records().size(), 1u);
    const CBufferedSprite& clear = Records()[0];
    const float corners[4][2] = {{0, 0}, {800, 0}, {800, 600}, {0, 600}};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(clear.block.vertices[i].x, corners[i][0]);
        EXPECT_EQ(clear.block.vertices[i].y, corners[i][1]);
        EXPECT_EQ(clear.block.vertices[i].color, 0xFF0000FFu);
    }
    EXPECT_EQ(clear.texture, nullptr);
    EXPECT_EQ(clear.block.alphaBlend, 0u);  // a clear replaces, whatever was blended before
}

TEST_F(BufferedQueue, SoftwareFlushBuffersInSubmissionOrderWithTheRunState) {
    StartBuffering();
    const char* names[] = {"other", "one", "other"};
    const uint32_t flags[] = {SPRITE_BLEND_ADD, SPRITE_BLEND_ALPHA, SPRITE_BLEND_ADD};
    for (int i = 0; i < 3; ++i) {
        CSpriteRef& sprite = Sprite(names[i]);
        sprite.GetTemplate().flags = flags[i];
        CSpriteQueue::QueueSpriteAt(params, sprite, 100 * i, 0, 0xFFFFFFFFu);
    }
    CSpriteQueue::Flush(params);
    ASSERT_EQ(Records().size(), 3u);
    EXPECT_TRUE(Draws().empty());
    const int32_t sources[] = {BLEND_ONE, BLEND_SRC_ALPHA, BLEND_ONE};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(Records()[size_t(i)].block.vertices[0].x, 100.0f * float(i)) << i;
        EXPECT_EQ(Records()[size_t(i)].block.blendSource, sources[i]) << i;
        EXPECT_EQ(Records()[size_t(i)].texture->GetHardwareTexture().get(), Texture(i == 1 ? 0 : 1)) << i;
    }
    // Drawn at once, a record takes the state recorded last, not its own.
    CSpriteQueueItem item = Sprite("one").GetTemplate();
    item.flags = SPRITE_BLEND_OFF;
    CSpriteQueue::DrawItemNow(item);
    ASSERT_EQ(Records().size(), 4u);
    EXPECT_EQ(Records()[3].block.blendSource, BLEND_ONE);
    EXPECT_EQ(Records()[3].block.alphaBlend, 1u);
    EXPECT_TRUE(Draws().empty());
}

} // namespace

// Buffered drawing: the record hash and its canonical block, the per-frame
// containers and their rotation, and the entries that buffer instead of
// drawing while the containers exist.

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>

#include "graphics/Graphics.h"
#include "tests/graphics/SpriteQueueFixture.h"

using namespace SpriteQueueTesting;
using namespace Engine::Graphics;
using Engine::ref_ptr;

namespace {

TEST(BufferedSprite, HashVectorsAndPackedColours) {
    const std::pair<size_t, uint32_t> words[] = {{0, 0}, {0, 1}, {31, 1}};  // (index, value) of the one set word
    const uint32_t hashes[] = {0, 0x01000000u, 1};
    for (int i = 0; i < 3; ++i) {
        uint32_t block[32] = {};
        block[words[i].first] = words[i].second;
        CBufferedSprite::CBlock record;
        std::memcpy(&record, block, sizeof record);
        EXPECT_EQ(HashBufferedSprite(record), hashes[i]) << i;
    }
    EXPECT_EQ(PackColorARGB(1, 0.5f, 0, 1), 0xFFFF8000u);
    EXPECT_EQ(PackColorARGB(2, -1, std::nanf(""), 0.25f), 0x40FF0000u);
}

const SpriteVertex kQuad[4] = {
    {0, 0, 0, 1, ~0u, 0, 0}, {1, 0, 0, 1, ~0u, 1, 0}, {1, 1, 0, 1, ~0u, 1, 1}, {0, 1, 0, 1, ~0u, 0, 1}};

TEST(BufferedSpritesContainer, EqualRecordsNeedTheSameTextureAndState) {
    ref_ptr<CTexture> texture(new CTexture(nullptr, nullptr)), other(new CTexture(nullptr, nullptr));
    ref_ptr<CBufferedSpritesContainer> container(new CBufferedSpritesContainer());
    ref_ptr<CBufferedSpritesContainer> probe(new CBufferedSpritesContainer());
    const CBufferedDrawState alpha{BLEND_SRC_ALPHA, BLEND_INV_SRC_ALPHA, 1};
    container->Add(kQuad, texture, alpha);
    container->Add(kQuad, texture, alpha);
    EXPECT_EQ(container->GetRecords().size(), 2u);  // every record in drawing order, once in the table
    EXPECT_EQ(container->GetDistinctCount(), 1u);
    EXPECT_EQ(container->GetRecords()[0].block.textureId, texture->GetSerial());
    probe->Add(kQuad, texture, alpha);
    probe->Add(kQuad, other, alpha);
    probe->Add(kQuad, texture, {BLEND_ONE, BLEND_ONE, 1});
    probe->Add(kQuad, nullptr, alpha);
    for (size_t i = 0; i < 4; ++i) EXPECT_EQ(container->Contains(probe->GetRecords()[i]), i == 0) << i;
    container->Clear();
    EXPECT_FALSE(container->Contains(probe->GetRecords()[0]));
    EXPECT_EQ(texture->GetRefCount(), 3);  // ours and the probe's two
}

// Far more distinct records than the table's first buckets, each added
// twice, then the table emptied and filled again with half of them.
TEST(BufferedSpritesContainer, ManyDistinctRecordsAreEachFoundOnce) {
    constexpr int kDistinct = 20000;
    ref_ptr<CTexture> texture(new CTexture(nullptr, nullptr));
    ref_ptr<CBufferedSpritesContainer> container(new CBufferedSpritesContainer());
    ref_ptr<CBufferedSpritesContainer> probe(new CBufferedSpritesContainer());
    const auto quadAt = [](int i) {
        std::array<SpriteVertex, 4> quad;
        std::copy_n(kQuad, 4, quad.begin());
        for (SpriteVertex& vertex : quad) vertex.x += float(i);
        return quad;
    };
    for (int i = 0; i <= kDistinct; ++i) probe->Add(quadAt(i).data(), texture, {});
    for (const int round : {0, 1}) {
        const int count = round == 0 ? kDistinct : kDistinct / 2;
        for (int copy = 0; copy < 2; ++copy)
            for (int i = 0; i < count; ++i) container->Add(quadAt(i).data(), texture, {});
        EXPECT_EQ(container->GetDistinctCount(), size_t(count)) << round;
        EXPECT_EQ(container->GetRecords().size(), size_t(2 * count)) << round;
        for (int i = 0; i <= kDistinct; ++i)
            ASSERT_EQ(container->Contains(probe->GetRecords()[size_t(i)]), i < count) << round << " " << i;
        container->Clear();
    }
}

TEST(BufferedSpritesContainer, TwoAndThreeContainersRotate) {
    Testing::CRecordingGraphics driver;
    EXPECT_EQ(driver.GetSpritesContainer(), nullptr);
    driver.CreateSpriteContainers();
    // A frame's records are emptied at the end of the next frame with two
    // containers, of the second frame after it with three.
    for (const int count : {2, 3}) {
        driver.m_bThreeContainers = count == 3;
        ref_ptr<CBufferedSpritesContainer> first = driver.GetSpritesContainer();
        first->Add(kQuad, nullptr, {});
        for (int frame = 1; frame < count; ++frame) {
            driver.FinishBufferedFrame();
            EXPECT_NE(driver.GetSpritesContainer(), first);
        }
        EXPECT_EQ(first->GetRecords().size(), 1u) << count;
        driver.FinishBufferedFrame();
        EXPECT_TRUE(first->GetRecords().empty()) << count;
        EXPECT_EQ(driver.GetSpritesContainer(), first) << count;
    }
    driver.DestroySpriteContainers();
    EXPECT_EQ(driver.GetSpritesContainer(), nullptr);
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
    static_cast<SpriteVertex*>(vertices->Lock())[12].x = 30;
    ref_ptr<CTexture> texture(new CTexture(nullptr, nullptr));
    driver.Clear();
    driver.BufferParticleQuads(1, vertices, 2, texture);
    ASSERT_EQ(driver.Names(), (std::vector<std::string>{"gDraw"}));
    EXPECT_EQ(driver.calls[0].args, (std::vector<double>{PRIM_QUAD_LIST, 1, 2, 0}));

    StartBuffering();
    driver.BufferParticleQuads(1, vertices, 0, texture);
    driver.m_nRecordedBlendSrc = BLEND_SRC_ALPHA;
    driver.m_bRecordedAlphaBlend = 1;
    driver.BufferParticleQuads(2, vertices, 5, texture);  // only two quads are left in the buffer
    driver.BufferParticleQuads(4, vertices, 1, texture);  // past the end
    EXPECT_TRUE(driver.calls.empty());
    ASSERT_EQ(Records().size(), 2u);
    const CBufferedSprite& last = Records()[1];
    EXPECT_EQ(last.block.vertices[0].x, 30.0f);
    EXPECT_EQ(last.texture, texture);
    EXPECT_EQ(std::make_pair(last.block.blendSource, last.block.blendDestination), std::make_pair(5, 2));
    EXPECT_EQ(last.block.alphaBlend, 1u);
}

TEST_F(BufferedQueue, ColourClearBecomesOneFullScreenQuad) {
    driver.gClear(CLEAR_COLOR | CLEAR_DEPTH);
    EXPECT_EQ(driver.calls.back().args[0], CLEAR_COLOR | CLEAR_DEPTH);  // not buffering: passed on
    StartBuffering();
    driver.m_clearColor[0] = driver.m_clearColor[3] = 1.0f;
    driver.m_bRecordedAlphaBlend = 1;
    driver.gClear(CLEAR_COLOR | CLEAR_DEPTH);
    EXPECT_EQ(driver.calls.back().args[0], CLEAR_DEPTH);
    EXPECT_EQ(CSpriteQueue::GetCount(), 0);
    ASSERT_EQ(Records().size(), 1u);
    const SpriteVertex* corners = Records()[0].block.vertices;
    EXPECT_EQ(std::make_pair(corners[0].x, corners[0].y), std::make_pair(0.0f, 0.0f));
    EXPECT_EQ(std::make_pair(corners[2].x, corners[2].y), std::make_pair(800.0f, 600.0f));
    EXPECT_EQ(corners[3].color, 0xFF0000FFu);
    EXPECT_EQ(Records()[0].block.alphaBlend, 0u);  // a clear replaces, whatever was blended before
}

TEST_F(BufferedQueue, SoftwareFlushBuffersInSubmissionOrderWithTheRunState) {
    StartBuffering();
    const char* names[] = {"other", "one", "other"};
    const uint32_t flags[] = {SPRITE_BLEND_ADD, SPRITE_BLEND_ALPHA, SPRITE_BLEND_ADD};
    for (int i = 0; i < 3; ++i) {
        Sprite(names[i]).GetTemplate().flags = flags[i];
        CSpriteQueue::QueueSpriteAt(params, Sprite(names[i]), 100 * i, 0, ~0u);
    }
    CSpriteQueue::Flush(params);
    ASSERT_EQ(Records().size(), 3u);
    const int32_t sources[] = {BLEND_ONE, BLEND_SRC_ALPHA, BLEND_ONE};
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(Records()[i].block.vertices[0].x, 100.0f * float(i)) << i;
        EXPECT_EQ(Records()[i].block.blendSource, sources[i]) << i;
        EXPECT_EQ(Records()[i].texture->GetHardwareTexture().get(), Texture(i == 1 ? 0 : 1)) << i;
    }
    EXPECT_TRUE(Draws().empty());
}

} // namespace

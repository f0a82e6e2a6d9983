// The queue's batching into the recording driver: runs by texture and
// state, the state calls per run, flushing when full, and records that
// must draw nothing.

#include <cmath>
#include <map>
#include <sstream>
#include <string>

#include "tests/graphics/SpriteQueueFixture.h"

using namespace SpriteQueueTesting;
using namespace Engine::Graphics;

namespace {

struct CRun {
    const void* texture;
    uint32_t blend;  // source * 16 + destination of the last gSetBlendFunc
    int quads;
};

// The runs of a flush: the texture bound and the quads drawn by each call.
std::vector<CRun> Runs(const CRecordingGraphics& driver) {
    std::vector<CRun> runs;
    const void* texture = nullptr;
    uint32_t blend = 0;
    for (const CRecordedCall& call : driver.calls) {
        if (call.name == "gSetTextureStage") texture = call.object;
        if (call.name == "gSetBlendFunc") blend = uint32_t(call.args[0] * 16 + call.args[1]);
        if (call.name == "gDraw") runs.push_back({texture, blend, int(call.args[2])});
    }
    return runs;
}

// Calls as text, such as "gSwitch(3,1)".
std::vector<std::string> CallText(const CRecordingGraphics& driver) {
    std::vector<std::string> text;
    for (const CRecordedCall& call : driver.calls) {
        std::ostringstream line;
        line << call.name << '(';
        for (size_t i = 0; i < call.args.size(); ++i) line << (i ? "," : "") << call.args[i];
        line << ')';
        text.push_back(line.str());
    }
    return text;
}

class SpriteQueue : public QueueFixture {
protected:
    void Queue(const char* name, uint32_t flags = 0, int32_t x = 0) {
        CSpriteRef& sprite = Sprite(name);
        sprite.GetTemplate().flags = flags;
        CSpriteQueue::QueueSpriteAt(params, sprite, x, 0, 0xFFFFFFFFu);
        sprite.GetTemplate().flags = 0;
    }
};

TEST_F(SpriteQueue, RecordsOfOneTextureAndStateShareOneDrawCall) {
    Queue("one");
    Queue("other");
    Queue("one");
    Queue("one", SPRITE_BLEND_ALPHA);
    Queue("other");
    CSpriteQueue::Flush(params);
    EXPECT_EQ(CSpriteQueue::GetCount(), 0);
    std::map<std::pair<const void*, uint32_t>, int> quads;
    for (const CRun& run : Runs(driver)) quads[{run.texture, run.blend}] += run.quads;
    const uint32_t alpha = BLEND_SRC_ALPHA * 16 + BLEND_INV_SRC_ALPHA;
    EXPECT_EQ(Runs(driver).size(), 3u);
    EXPECT_EQ((quads[{Texture(0), 0}]), 2);
    EXPECT_EQ((quads[{Texture(0), alpha}]), 1);
    // The blend state a run leaves stays for the runs after it.
    EXPECT_EQ((quads[{Texture(1), 0}] + quads[{Texture(1), alpha}]), 2);
}

TEST_F(SpriteQueue, ManyTexturesAndStatesEachFormOneRun) {
    Tools::CSprDocument document;
    for (int i = 0; i < 8; ++i) {
        document.images.push_back({0, SprTestData::SolidPng(4, 4, uint16_t(i * 20)), {}, 0});
        document.sprites.push_back({"s" + std::to_string(i), 0, 0, false, false, {Tools::MakeSprFrame(i, 0, 0, 4, 4)}});
    }
    file = Load(document);
    for (int i = 0; i < 240; ++i) Queue(("s" + std::to_string(i * 5 % 8)).c_str(), i % 3 ? SPRITE_BLEND_ADD : SPRITE_LINEAR_FILTER, i);
    CSpriteQueue::Flush(params);
    const std::vector<CRun> runs = Runs(driver);
    EXPECT_EQ(runs.size(), 16u);
    int total = 0;
    for (const CRun& run : runs) total += run.quads;
    EXPECT_EQ(total, 240);
}

TEST_F(SpriteQueue, SoftwareDriverDrawsInSubmissionOrder) {
    driver.m_bSoftware = true;
    Queue("one");
    Queue("other");
    Queue("one");
    CSpriteQueue::Flush(params);
    const std::vector<CRun> runs = Runs(driver);
    ASSERT_EQ(runs.size(), 3u);
    EXPECT_EQ(runs[0].texture, Texture(0));
    EXPECT_EQ(runs[1].texture, Texture(1));
    EXPECT_EQ(runs[2].texture, Texture(0));
}

TEST_F(SpriteQueue, OverlappingBlendedSpritesOfOneTextureDrawInSubmissionOrder) {
    // Records of the other texture in between give the sort room to reorder.
    CSpriteRef& one = Sprite("one");
    one.GetTemplate().flags = SPRITE_BLEND_ALPHA;
    for (uint32_t i = 0; i < 32; ++i) {
        CSpriteQueue::QueueSpriteAt(params, one, 0, 0, 0xFF000000u | i);
        Queue("other", SPRITE_BLEND_ALPHA);
    }
    CSpriteQueue::Flush(params);
    std::vector<uint32_t> colors, expected;
    const void* texture = nullptr;
    for (const CRecordedCall& call : driver.calls) {
        if (call.name == "gSetTextureStage") texture = call.object;
        if (call.name != "gDraw" || texture != Texture(0)) continue;
        const auto vertices = Vertices(call);
        for (size_t i = 0; i < vertices.size(); i += 4) colors.push_back(vertices[i].color & 0xFFu);
    }
    for (uint32_t i = 0; i < 32; ++i) expected.push_back(i);
    EXPECT_EQ(colors, expected);
}

struct StateCase {
    uint32_t flags;
    std::vector<std::string> states;  // calls between the texture bind and the draw
};

class SpriteQueueStates : public SpriteQueue, public testing::WithParamInterface<StateCase> {};

TEST_P(SpriteQueueStates, EachRunSetsTheStatesOfItsFlags) {
    Queue("one", GetParam().flags);
    CSpriteQueue::Flush(params);
    std::vector<std::string> expected{"gSetTextureStage(0)"};
    expected.insert(expected.end(), GetParam().states.begin(), GetParam().states.end());
    expected.push_back("gDraw(7,0,1,0)");
    if (GetParam().flags & SPRITE_LINEAR_FILTER) expected.push_back("gSetTextureFilter(0,1,1,1)");
    EXPECT_EQ(CallText(driver), expected);
}

// Blending off wins over every other bit, then alpha, additive, alpha
// additive and one / one minus alpha.
INSTANTIATE_TEST_SUITE_P(
    Flags, SpriteQueueStates,
    testing::Values(StateCase{0, {}}, StateCase{0x400, {"gSwitch(3,0)"}}, StateCase{0x4C0, {"gSwitch(3,0)"}},
                    StateCase{0x40, {"gSwitch(3,1)", "gSetBlendFunc(5,6)"}},
                    StateCase{0x3C0, {"gSwitch(3,1)", "gSetBlendFunc(5,6)"}},
                    StateCase{0x80, {"gSwitch(3,1)", "gSetBlendFunc(2,2)"}},
                    StateCase{0x380, {"gSwitch(3,1)", "gSetBlendFunc(2,2)"}},
                    StateCase{0x200, {"gSwitch(3,1)", "gSetBlendFunc(5,2)"}},
                    StateCase{0x300, {"gSwitch(3,1)", "gSetBlendFunc(5,2)"}},
                    StateCase{0x100, {"gSwitch(3,1)", "gSetBlendFunc(2,6)"}},
                    StateCase{0x4, {"gSetTextureFilter(0,2,2,1)"}},
                    StateCase{0x44, {"gSetTextureFilter(0,2,2,1)", "gSwitch(3,1)", "gSetBlendFunc(5,6)"}}));

TEST_F(SpriteQueue, AppendingToAFullQueueFlushesItFirst) {
    for (int i = 0; i < CSpriteQueue::CAPACITY; ++i) Queue("one");
    EXPECT_TRUE(driver.calls.empty());
    Queue("other");
    const std::vector<CRun> runs = Runs(driver);
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].quads, CSpriteQueue::CAPACITY);
    EXPECT_EQ(CSpriteQueue::GetCount(), 1);
    EXPECT_EQ(CSpriteQueue::GetItem(0).sprite, &Sprite("other"));
}

TEST_F(SpriteQueue, FlushingAnEmptyQueueCallsNothing) {
    CSpriteQueue::Flush(params);
    CSpriteQueue::FlushIfPending(params);
    EXPECT_TRUE(driver.calls.empty());
}

TEST_F(SpriteQueue, ARecordsOwnClipRectangleCountsOnlyThroughAnOverride) {
    Sprite("one").GetTemplate().clipEnabled = 1;
    Sprite("one").GetTemplate().clipLeft = 1000.0f;
    Queue("one");
    EXPECT_EQ(FlushOne().size(), 4u);
}

TEST_F(SpriteQueue, ImmediateDrawsSplitAsTheQueueDoes) {
    Sprite("grid").Draw(Sprite("grid").GetTemplate());
    EXPECT_EQ(Runs(driver).size(), 4u);
    EXPECT_EQ(CSpriteQueue::GetCount(), 0);
    driver.Clear();
    CSpriteQueueItem record = Sprite("one").GetTemplate();
    record.flags = SPRITE_LINEAR_FILTER | SPRITE_BLEND_ADD;
    Sprite("one").Draw(record);
    EXPECT_EQ(CallText(driver), (std::vector<std::string>{"gSetTextureStage(0)", "gSetTextureFilter(0,2,2,1)",
                                                          "gSwitch(3,1)", "gSetBlendFunc(2,2)", "gDraw(7,0,1,0)",
                                                          "gSetTextureFilter(0,1,1,1)"}));
}

TEST_F(SpriteQueue, NothingIsDrawnBeforeInitOrWithoutAVertexBuffer) {
    CSpriteQueue::ReleaseVertexBuffer();
    Queue("one");
    CSpriteQueue::Flush(params);  // drops what it cannot draw
    EXPECT_EQ(CSpriteQueue::GetCount(), 0);
    CSpriteQueue::Done();
    EXPECT_EQ(CSpriteQueue::Append(params, Sprite("one"), 0), nullptr);
    Queue("grid");
    CSpriteQueue::Flush(params);
    EXPECT_EQ(CSpriteQueue::GetCount(), 0);
    EXPECT_TRUE(driver.calls.empty());
}

struct BadRecordCase {
    const char* name;
    const char* sprite;
    int32_t frame, piece;
    uint32_t flags;
    float scale;
    float sourceSize;
};

class SpriteQueueBadRecords : public SpriteQueue, public testing::WithParamInterface<BadRecordCase> {};

TEST_P(SpriteQueueBadRecords, DrawNothing) {
    const BadRecordCase& c = GetParam();
    CSpriteQueueItem& record = Sprite(c.sprite).GetTemplate();
    record.frame = c.frame;
    record.piece = c.piece;
    record.flags = c.flags;
    record.scaleX = record.scaleY = c.scale;
    record.sourceWidth = record.sourceHeight = c.sourceSize;
    CSpriteQueue::QueueSpriteAt(params, Sprite(c.sprite), 0, 0, 0xFFFFFFFFu);
    Sprite(c.sprite).Draw(record);
    CSpriteQueue::Flush(params);
    for (const CRun& run : Runs(driver)) {
        EXPECT_EQ(run.quads, 0);
        EXPECT_EQ(run.texture, nullptr);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SpriteQueueBadRecords,
    testing::Values(BadRecordCase{"FrameBeyondTheList", "one", 1, -1, 0, 1.0f, -1.0f},
                    BadRecordCase{"PieceBeyondTheFrame", "one", 0, 1, 0, 1.0f, -1.0f},
                    BadRecordCase{"BitmapBeyondTheFile", "badbitmap", 0, -1, 0, 1.0f, -1.0f},
                    BadRecordCase{"GridLargerThanItsPieces", "badgrid", 0, -1, 0, 1.0f, -1.0f},
                    BadRecordCase{"TilingAFrameOfNoSize", "empty", 0, -1, SPRITE_TILE, 1.0f, 40.0f},
                    BadRecordCase{"SplitAtScaleZero", "grid", 0, -1, 0, 0.0f, -1.0f}),
    [](const testing::TestParamInfo<BadRecordCase>& info) { return info.param.name; });

TEST_F(SpriteQueue, PieceOfATextureNotYetMadeGetsFiniteCoordinates) {
    file = Load(QueueDocument(), false);
    Queue("one");
    CSpriteQueue::Flush(params);
    ASSERT_EQ(Draws().size(), 1u);
    const auto quad = Vertices(*Draws()[0]);
    ASSERT_EQ(quad.size(), 4u);
    for (const SpriteVertex& vertex : quad) EXPECT_TRUE(std::isfinite(vertex.u) && std::isfinite(vertex.v));
    EXPECT_EQ(Runs(driver)[0].texture, nullptr);
}

} // namespace

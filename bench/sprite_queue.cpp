// Sprites per second through the sprite queue into the recording driver:
// single-piece sprites over a few textures and states, sprites split into
// pieces, and wrapped text. The run ends with the single-piece figure
// against its target of 30 M sprites/s.

#include <benchmark/benchmark.h>
#include <malloc.h>

#include "TargetReporter.h"
#include "graphics/SpriteQueue.h"
#include "graphics/SpriteRef.h"
#include "graphics/Text.h"
#include "support/RecordingGraphics.h"
#include "tests/graphics/SprFileTestData.h"

namespace {

using namespace Engine::Graphics;

constexpr int kTextures = 4;

// Four 64 by 64 images; sprite i is a 32 by 32 piece of image i, "grid" a
// 2 by 2 grid of 16 by 16 pieces, "glyphs" a strip of ten glyphs.
Tools::CSprDocument Document() {
    Tools::CSprDocument document;
    for (int i = 0; i < kTextures; ++i) {
        document.images.push_back({0, SprTestData::SolidPng(64, 64, uint16_t(40 * i)), {}, 0});
        document.sprites.push_back({"s" + std::to_string(i), 0, 0, false, false, {Tools::MakeSprFrame(i, 0, 0, 32, 32)}});
    }
    Tools::CSprFrame grid{32, 32, 2, 2, {}};
    for (int32_t row = 0; row < 2; ++row)
        for (int32_t column = 0; column < 2; ++column)
            grid.pieces.push_back({0, 16 * row, 16 * column, 16 + 16 * row, 16 + 16 * column});
    document.sprites.push_back({"grid", 0, 0, false, false, {grid}});
    Tools::CSprSprite glyphs{"glyphs", 0, 0, false, false, {}};
    for (int32_t i = 0; i < 10; ++i) glyphs.frames.push_back(Tools::MakeSprFrame(1, 6 * i, 0, 6 * i + 6, 12));
    document.sprites.push_back(glyphs);
    return document;
}

class CQueueBench {
public:
    CQueueBench() {
        // The recording driver copies every drawn vertex and the rounds free
        // the copies. Without this the allocator hands those pages back to
        // the system after each round of more than 128 KiB of vertices and
        // the next round pays a page fault for each again: a cost of the
        // recording, which a real driver does not have.
        mallopt(M_TRIM_THRESHOLD, 64 << 20);
        CSpriteQueue::SetDriver(&m_driver);
        CSpriteQueue::CreateVertexBuffer();
        CSpriteQueue::Init();
        m_file = SprTestData::ReadSprFile(Tools::WriteSpr(Document()), "spr/bench.spr", false, nullptr, &m_driver);
        m_file->CreateTextures();
    }
    ~CQueueBench() {
        CSpriteQueue::Done();
        CSpriteQueue::ReleaseVertexBuffer();
        CSpriteQueue::SetDriver(nullptr);
    }

    SprFile::CSpriteRef& Sprite(const std::string& name) { return *m_file->CreateSpriteByName(name.c_str()); }
    Engine::ref_ptr<SprFile::CSprFile> File() const { return m_file; }
    // The recording driver keeps every call; forget them between rounds.
    void Forget() { m_driver.Clear(); }

private:
    Testing::CRecordingGraphics m_driver;
    Engine::ref_ptr<SprFile::CSprFile> m_file;
};

void BM_SinglePieceSprites(benchmark::State& state) {
    CQueueBench bench;
    std::vector<SprFile::CSpriteRef*> sprites;
    for (int i = 0; i < kTextures; ++i) sprites.push_back(&bench.Sprite("s" + std::to_string(i)));
    const CSpriteQueue::CParams params;
    const int count = int(state.range(0));
    for (auto _ : state) {
        for (int i = 0; i < count; ++i) {
            SprFile::CSpriteRef& sprite = *sprites[size_t(i % kTextures)];
            sprite.GetTemplate().flags = i % 3 ? SPRITE_BLEND_ALPHA : SPRITE_BLEND_ADD;
            CSpriteQueue::QueueSpriteAt(params, sprite, (i * 7) % 800, (i * 13) % 600, 0xFFFFFFFFu);
        }
        CSpriteQueue::FlushIfPending(params);
        bench.Forget();
    }
    state.SetItemsProcessed(state.iterations() * count);
}
BENCHMARK(BM_SinglePieceSprites)->Arg(256)->Arg(1024)->Arg(4096);

void BM_RotatedGridSprites(benchmark::State& state) {
    CQueueBench bench;
    SprFile::CSpriteRef& grid = bench.Sprite("grid");
    grid.GetTemplate().angle = 0.5f;
    grid.GetTemplate().centred = 1;
    const CSpriteQueue::CParams params;
    const int count = int(state.range(0));
    for (auto _ : state) {
        for (int i = 0; i < count; ++i) CSpriteQueue::QueueSpriteAtSize(params, grid, i % 800, i % 600, 2, 2, 0xFFFFFFFFu);
        CSpriteQueue::FlushIfPending(params);
        bench.Forget();
    }
    state.SetItemsProcessed(state.iterations() * count);
}
BENCHMARK(BM_RotatedGridSprites)->Arg(1024);

void BM_WrappedText(benchmark::State& state) {
    CQueueBench bench;
    Engine::CLocaleFont record;
    record.sprite = "glyphs";
    record.characters = {u'?', u' ', u'a', u'b', u'c', u'd', u'e', u'f', u'g', u'h'};
    CDrawContext context;
    CTextLayout::SetFont(context, CreateFontFromSprite(record, bench.File()));
    const CString text = "abc defg hh abcd e fgh abcdefgh ab cd ef gh a bb ccc dddd eeeee ffff ggg hh a\n"
                         "hhh ggg fff eee ddd ccc bbb aaa abcdefgh hgfedcba abc def ghh";
    int64_t glyphs = 0;
    for (auto _ : state) {
        DrawText(context, 10, 10, 300, 400, 1, 1, TEXT_WORD_WRAP | TEXT_ALIGN_CENTER, SPRITE_BLEND_ALPHA, text);
        glyphs += CSpriteQueue::GetCount();
        CSpriteQueue::FlushIfPending(context.m_params);
        bench.Forget();
    }
    state.SetItemsProcessed(glyphs);
}
BENCHMARK(BM_WrappedText);

} // namespace

int main(int argc, char** argv) {
    BenchTargets::CTargetReporter reporter({
        {"BM_SinglePieceSprites/4096", "items_per_second", 1e-6, "M sprites/s", 30.0, false,
         "single-piece sprites queued"},
    });
    return BenchTargets::RunThenSummarise(argc, argv, reporter);
}

#pragma once
// The sprite queue drawing into the recording driver, with a sprite file
// built in memory whose textures the driver made.

#include <cstring>
#include <memory>
#include <vector>

#include <gtest/gtest.h>

#include "graphics/SpriteQueue.h"
#include "graphics/SpriteRef.h"
#include "support/RecordingGraphics.h"
#include "tests/graphics/SprFileTestData.h"

namespace SpriteQueueTesting {

using Engine::Graphics::CSpriteQueue;
using Engine::Graphics::CSpriteQueueItem;
using Engine::Graphics::SpriteVertex;
using Engine::Graphics::SprFile::CSprFile;
using Engine::Graphics::SprFile::CSpriteRef;
using Engine::Graphics::Testing::CRecordedCall;
using Engine::Graphics::Testing::CRecordingGraphics;

// Image 0 is 64 by 32, image 1 is 32 by 32.
//   one:   16 by 8 piece at (8, 4) of image 0
//   other: 16 by 16 piece of image 1
//   grid:  32 by 16 frame of 2 by 2 pieces of 16 by 8, image 0 from (0, 16)
//   three: 48 by 8 frame of three pieces in a row, image 0
//   tile:  32 by 32 frame of image 1
//   badbitmap: a piece of image 7, which the file does not have
//   badgrid: a 3 by 3 grid with four pieces
//   empty: a frame of no size
inline Tools::CSprDocument QueueDocument() {
    Tools::CSprDocument document;
    document.images.push_back({0, SprTestData::SolidPng(64, 32), {}, 0});
    document.images.push_back({0, SprTestData::SolidPng(32, 32, 20), {}, 0});
    auto sprite = [&](const char* name, Tools::CSprFrame frame) {
        document.sprites.push_back({name, 0, 0, false, false, {std::move(frame)}});
    };
    sprite("one", Tools::MakeSprFrame(0, 8, 4, 24, 12));
    sprite("other", Tools::MakeSprFrame(1, 0, 0, 16, 16));
    Tools::CSprFrame grid{32, 16, 2, 2, {}};
    for (int32_t row = 0; row < 2; ++row)
        for (int32_t column = 0; column < 2; ++column)
            grid.pieces.push_back({0, 16 + 8 * row, 16 * column, 24 + 8 * row, 16 + 16 * column});
    sprite("grid", grid);
    Tools::CSprFrame three{48, 8, 3, 1, {}};
    for (int32_t column = 0; column < 3; ++column) three.pieces.push_back({0, 0, 16 * column, 8, 16 + 16 * column});
    sprite("three", three);
    sprite("tile", Tools::MakeSprFrame(1, 0, 0, 32, 32));
    sprite("badbitmap", Tools::MakeSprFrame(7, 0, 0, 8, 8));
    grid.x = grid.y = 3;
    sprite("badgrid", grid);
    sprite("empty", Tools::MakeSprFrame(0, 0, 0, 0, 0));
    return document;
}

class QueueFixture : public testing::Test {
protected:
    void SetUp() override {
        CSpriteQueue::SetDriver(&driver);
        ASSERT_TRUE(CSpriteQueue::CreateVertexBuffer());
        ASSERT_TRUE(CSpriteQueue::Init());
        file = Load(QueueDocument());
        driver.Clear();
    }

    void TearDown() override {
        CSpriteQueue::Done();
        CSpriteQueue::ReleaseVertexBuffer();
        CSpriteQueue::SetDriver(nullptr);
    }

    // Reads the file through this driver; with textures, makes them too.
    Engine::ref_ptr<CSprFile> Load(const Tools::CSprDocument& document, bool textures = true) {
        auto loaded = SprTestData::ReadSprFile(Tools::WriteSpr(document), "spr/queue.spr", !textures, nullptr, &driver);
        if (textures) loaded->CreateTextures();
        return loaded;
    }

    CSpriteRef& Sprite(const char* name) { return *file->CreateSpriteByName(name); }
    const void* Texture(size_t bitmap) const {
        return file->GetBitmapEntry(bitmap).texture->GetHardwareTexture().get();
    }

    std::vector<const CRecordedCall*> Draws() const {
        std::vector<const CRecordedCall*> draws;
        for (const CRecordedCall& call : driver.calls)
            if (call.name == "gDraw") draws.push_back(&call);
        return draws;
    }

    static std::vector<SpriteVertex> Vertices(const CRecordedCall& draw) {
        std::vector<SpriteVertex> vertices(draw.vertices.size() / sizeof(SpriteVertex));
        if (!vertices.empty()) std::memcpy(vertices.data(), draw.vertices.data(), draw.vertices.size());
        return vertices;
    }

    // Flushes and returns the vertices of the only draw call.
    std::vector<SpriteVertex> FlushOne() {
        CSpriteQueue::Flush(params);
        const auto draws = Draws();
        if (draws.size() != 1) {
            ADD_FAILURE() << draws.size() << " draw calls";
            return {};
        }
        return Vertices(*draws[0]);
    }

    // The driver's application, whose quit watch can stop a frame; none
    // unless a test sets one.
    Engine::CApplication* application = nullptr;
    CRecordingGraphics driver{&application};
    CSpriteQueue::CParams params;
    Engine::ref_ptr<CSprFile> file;
};

} // namespace SpriteQueueTesting

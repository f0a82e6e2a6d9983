#pragma once
// Place files loaded by name from a scratch folder through the manager of a
// recording driver, with the sprite queue drawing into that driver.

#include <gtest/gtest.h>

#include "graphics/SpriteQueue.h"
#include "placefile/PlaceFileManager.h"
#include "tests/app/TestFiles.h"
#include "tests/graphics/SprFileTestData.h"
#include "tests/placefile/PlaceTestSupport.h"
#include "tests/support/RecordingGraphics.h"

namespace PlaceTest {

// "box": 64 by 32 (image 0); "tile": 32 by 32 (image 1).
inline Tools::CSprDocument PlaceSprites() {
    Tools::CSprDocument document;
    document.images.push_back({0, SprTestData::SolidPng(64, 32), {}, 0});
    document.images.push_back({0, SprTestData::SolidPng(32, 32, 20), {}, 0});
    document.sprites.push_back({"box", 0, 0, false, false, {Tools::MakeSprFrame(0, 0, 0, 64, 32)}});
    document.sprites.push_back({"tile", 0, 0, false, false, {Tools::MakeSprFrame(1, 0, 0, 32, 32)}});
    return document;
}

class PlaceFileFixture : public testing::Test {
protected:
    PlaceFileFixture() {
        Engine::CFile::SetDiskRoot(CString(folder.Path().string()));
        Write("spr/place.spr", Tools::WriteSpr(PlaceSprites()));
        Write("spr/empty.spr", Tools::WriteSpr(SprTestData::StripDocument("strip", {2}, 2)));
    }
    ~PlaceFileFixture() override {
        local = nullptr;
        Engine::CFile::SetDiskRoot("");
        Engine::Graphics::CGraphics::SetResourceManagerFactories(nullptr, nullptr);
    }
    void SetUp() override {
        Engine::Graphics::CSpriteQueue::SetDriver(graphics.get());
        ASSERT_TRUE(Engine::Graphics::CSpriteQueue::CreateVertexBuffer());
        ASSERT_TRUE(Engine::Graphics::CSpriteQueue::Init());
    }
    void TearDown() override {
        Engine::Graphics::CSpriteQueue::Done();
        Engine::Graphics::CSpriteQueue::ReleaseVertexBuffer();
        Engine::Graphics::CSpriteQueue::SetDriver(nullptr);
    }

    void Write(const std::string& name, const std::vector<uint8_t>& bytes) {
        folder.Write(name, std::string(bytes.begin(), bytes.end()));
    }
    CPlaceFileManager& Manager() { return GetPlaceFileManager(*graphics); }

    static std::unique_ptr<Engine::Graphics::Testing::CRecordingGraphics> MakeGraphics(
        Engine::CApplication** application) {
        InstallPlaceFileManagerFactory();
        return std::make_unique<Engine::Graphics::Testing::CRecordingGraphics>(application);
    }

    TestFiles::CScratchFolder folder;
    TestFiles::CLogCapture log;
    // The driver's application, whose quit watch can stop a frame; none
    // unless a test sets one.
    Engine::CApplication* application = nullptr;
    std::unique_ptr<Engine::Graphics::Testing::CRecordingGraphics> graphics = MakeGraphics(&application);
    ref_ptr<CPlaceFileLocalManager> local{new CPlaceFileLocalManager(graphics.get())};
};

} // namespace PlaceTest

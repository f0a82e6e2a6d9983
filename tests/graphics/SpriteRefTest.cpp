// Sprite references: frame wrapping, frame getters and their life with the
// file that made them.

#include <gtest/gtest.h>

#include "app/Exception.h"
#include "graphics/SpriteRef.h"
#include "graphics/SpritePlacement.h"
#include "tests/graphics/SprFileTestData.h"

using namespace Engine::Graphics::SprFile;

namespace {

Engine::ref_ptr<CSprFile> StripFile(const std::vector<int32_t>& widths) {
    Tools::CSprDocument document = SprTestData::StripDocument("strip", widths, 3);
    document.sprites.push_back({"none", 0, 0, false, false, {}});
    return SprTestData::ReadSprFile(Tools::WriteSpr(document), "spr/strip.spr", true);
}

struct FrameCase {
    int32_t n;
    int32_t frame;
    int32_t wraps;
};

class SpriteRefSetFrame : public testing::TestWithParam<FrameCase> {};

TEST_P(SpriteRefSetFrame, WrapsIntoTheFrameRange) {
    auto file = StripFile({1, 2, 3, 4});
    CSpriteRef* ref = file->CreateSpriteByName("strip");
    EXPECT_EQ(ref->SetFrame(GetParam().n), GetParam().wraps);
    EXPECT_EQ(ref->GetFrame(), GetParam().frame);
    EXPECT_EQ(ref->GetSpriteFrameWidth(), GetParam().frame + 1);
}

INSTANTIATE_TEST_SUITE_P(FourFrames, SpriteRefSetFrame,
                         testing::Values(FrameCase{0, 0, 0}, FrameCase{3, 3, 0}, FrameCase{5, 1, 1},
                                         FrameCase{-1, 3, 1}, FrameCase{-4, 0, 1}, FrameCase{-5, 3, 2}));

} // namespace

TEST(SpriteRef, DefinitionWithoutFramesDoesNotDivideByZero) {
    auto file = StripFile({2});
    CSpriteRef* ref = file->CreateSpriteByName("none");
    EXPECT_EQ(ref->GetSpriteFrameCount(), 0);
    EXPECT_EQ(ref->SetFrame(7), 0);
    EXPECT_EQ(ref->GetFrame(), 0);
    EXPECT_EQ(ref->GetSpriteFrameWidth(0), 0);
    EXPECT_EQ(ref->GetPieceBitmap(0, 0), -1);
}

TEST(SpriteRef, ByNameSharesOneReferenceAndCreateSpriteMakesNewOnes) {
    auto file = StripFile({2, 5});
    CSpriteRef* shared = file->CreateSpriteByName("strip");
    EXPECT_EQ(file->CreateSpriteByName("strip"), shared);
    auto own1 = file->CreateSprite(*file->FindSprite("strip"));
    auto own2 = file->CreateSprite(*file->FindSprite("strip"));
    EXPECT_NE(own1.get(), own2.get());
    EXPECT_EQ(file->GetSpriteRefCount(), 3u);
    EXPECT_EQ(own1->GetSpriteFrameHeight(1), 3);
    EXPECT_EQ(own1->GetPieceBitmap(1, 0), 0);
    own2.reset();
    EXPECT_EQ(file->GetSpriteRefCount(), 2u);

    try {
        file->CreateSpriteByName("missing");
        FAIL();
    } catch (const Engine::CException& e) {
        EXPECT_STREQ(e.what(), "Can't find sprite 'missing' in file 'spr/strip.spr'");
    }
}

TEST(SpriteRef, ReferencesOutlivingTheirFileAreDetached) {
    auto file = StripFile({2, 5});
    auto own = file->CreateSprite(*file->FindSprite("strip"));
    file->CreateSpriteByName("strip");
    file = nullptr;  // destroys the file and its definitions
    EXPECT_EQ(own->GetDefinition(), nullptr);
    EXPECT_EQ(own->GetFile(), nullptr);
    EXPECT_EQ(own->GetSpriteFrameWidth(0), 0);
}

// Hot spots are fractions of the size; the corner rounds half up.
TEST(SpritePlacement, CornerIsThePositionLessTheHotSpotRounded) {
    using Engine::Graphics::CSpritePlacement;
    const CSpritePlacement centred{10, 5, 100.0f, 50.0f, 0.5f, 0.5f};
    EXPECT_EQ(Engine::Graphics::GetSpriteBounds(centred), (Engine::Graphics::CSpriteBounds{95, 48, 10, 5}));
    EXPECT_EQ(Engine::Graphics::GetSpriteRect(centred), (Engine::Geometry::CRect{95, 48, 105, 53}));
    const CSpritePlacement negative{4, 4, -1.6f, 0.0f, 0.0f, 1.0f};
    EXPECT_EQ(Engine::Graphics::GetSpriteRect(negative), (Engine::Geometry::CRect{-2, -4, 2, 0}));
}

// What the driver keeps per texture, whatever the order textures and device
// objects go in: the texture manager's entries stay in creation order (its
// leak report follows it) and a name still finds its entry; a restore walks
// the objects registered when it began. And a sprite file's textures size
// exactly the pieces cut from their own bitmap.

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/TestFiles.h"
#include "graphics/SprFile.h"
#include "graphics/Texture.h"
#include "support/RecordingGraphics.h"
#include "tests/graphics/SprFileTestData.h"

using namespace Engine::Graphics;
using Engine::ref_ptr;
using Engine::Graphics::Testing::CRecordingGraphics;

namespace {

// More textures than the lists leave unclosed, so that their gaps close.
constexpr int kTextures = 200;

// Which of kTextures textures go, in that order.
struct CReleaseOrder {
    const char* name;
    std::function<std::vector<int>()> order;
};

std::vector<int> Stride(int from, int to, int step) {
    std::vector<int> values;
    for (int i = from; step > 0 ? i < to : i > to; i += step) values.push_back(i);
    return values;
}

const CReleaseOrder kReleaseOrders[] = {
    {"FrontToBack", [] { return Stride(0, 170, 1); }},
    {"BackToFront", [] { return Stride(199, 29, -1); }},
    {"EveryOtherThenEveryThird", [] {
         std::vector<int> order = Stride(0, 200, 2);
         for (int i : Stride(1, 200, 6)) order.push_back(i);
         return order;
     }},
    {"All", [] { return Stride(0, 200, 1); }},
};

class TextureManagerOrder : public testing::TestWithParam<CReleaseOrder> {};

std::string EntryName(int i) { return i % 3 == 0 ? "t" + std::to_string(i) : ""; }

TEST_P(TextureManagerOrder, KeepsCreationOrderAndNames) {
    TestFiles::CLogCapture log;
    std::vector<std::string> expected;
    {
        CRecordingGraphics driver;
        const ref_ptr<CTextureManager> manager = driver.GetTextureManager();
        std::vector<ref_ptr<CTexture>> textures(kTextures);
        for (int i = 0; i < kTextures; ++i) manager->Create(textures[size_t(i)], nullptr, 0, EntryName(i).c_str(), true, 0);
        std::vector<int> left = Stride(0, kTextures, 1);
        for (int i : GetParam().order()) {
            CTextureManager::ReleaseTexture(textures[size_t(i)].get(), manager.get());
            left.erase(std::find(left.begin(), left.end(), i));
        }
        // A name still left is shared; one whose entry went makes a new entry.
        for (int i : {0, 99, 198}) {
            ref_ptr<CTexture> again;
            manager->Create(again, nullptr, 0, EntryName(i).c_str(), true, 0);
            const bool kept = std::find(left.begin(), left.end(), i) != left.end();
            EXPECT_EQ(again->GetHardwareTexture() == textures[size_t(i)]->GetHardwareTexture(), kept) << i;
            if (!kept) left.push_back(i);
        }
        std::vector<std::string> names;
        for (const CTextureManager::CEntry& entry : manager->GetEntries()) names.push_back(entry.name.str());
        for (int i : left) expected.push_back(EntryName(i));
        EXPECT_EQ(names, expected);
    }
    // The report names the entries left in the same order.
    std::string reported;
    for (const std::string& name : expected) reported += "Name = '" + (name.empty() ? "<null>" : name) + "'";
    std::string lines;
    for (size_t at = log.Text().find("Name = '"); at != std::string::npos; at = log.Text().find("Name = '", at + 1))
        lines += log.Text().substr(at, log.Text().find(',', at) - at);
    EXPECT_EQ(lines, reported);
}

INSTANTIATE_TEST_SUITE_P(Orders, TextureManagerOrder, testing::ValuesIn(kReleaseOrders),
                         [](const auto& info) { return std::string(info.param.name); });

// A device object whose restore may destroy another or make a new one.
class CRestoredObject : public CVertexBuffer {
public:
    CRestoredObject(CGraphics* owner, int number, std::vector<int>& restored)
        : CVertexBuffer(owner, 1, 28, VF_SPRITE, false), m_number(number), m_restored(restored) {}
    void* Lock() override { return nullptr; }
    void Unlock() override {}
    const void* GetData() override { return nullptr; }
    void Restore() override {
        m_restored.push_back(m_number);
        if (onRestore) onRestore();
    }
    std::function<void()> onRestore;

private:
    int m_number;
    std::vector<int>& m_restored;
};

TEST(DeviceObjectWalk, RestoresThoseRegisteredWhenItBeganSkippingThoseThatWent) {
    CRecordingGraphics driver;
    CDeviceObjectManager& registered = driver.GetDeviceObjectManager();
    const size_t before = registered.GetCount();
    std::vector<int> restored;
    std::vector<ref_ptr<CRestoredObject>> objects;
    for (int i = 0; i < kTextures; ++i) objects.emplace_back(new CRestoredObject(&driver, i, restored));
    // Enough go to close the gaps.
    std::vector<int> alive;
    for (int i = 0; i < kTextures; ++i) {
        if (i % 2 != 0 && i % 3 != 0) alive.push_back(i);
        else objects[size_t(i)] = nullptr;
    }
    ref_ptr<CRestoredObject> made;
    objects[size_t(alive.front())]->onRestore = [&] {
        objects[size_t(alive[1])] = nullptr;
        objects[size_t(alive.back())] = nullptr;
        made = new CRestoredObject(&driver, -1, restored);
    };
    registered.RestoreAll(false);
    std::vector<int> expected = {alive.front()};
    expected.insert(expected.end(), alive.begin() + 2, alive.end() - 1);
    EXPECT_EQ(restored, expected);
    EXPECT_EQ(registered.GetCount(), before + alive.size() - 2 + 1);
    EXPECT_EQ(registered.Get(before), objects[size_t(alive.front())].get());
    EXPECT_EQ(registered.Get(registered.GetCount() - 1), made.get());
}

// Pieces cut from bitmaps 0, 1 and 2 of different sizes, and from bitmaps
// the file does not have; textures made for some bitmaps, in some order.
struct CPiecesCase {
    const char* name;
    int bitmaps;
    std::vector<size_t> textures;
};

std::ostream& operator<<(std::ostream& out, const CPiecesCase& c) { return out << c.name; }

class SprFileTexturePieces : public testing::TestWithParam<CPiecesCase> {};

TEST_P(SprFileTexturePieces, EachPieceTakesItsOwnBitmapsSize) {
    const CPiecesCase& c = GetParam();
    const std::vector<std::pair<uint32_t, uint32_t>> sizes = {{8, 4}, {4, 4}, {2, 8}};
    const std::vector<int32_t> pieceBitmaps = {2, 0, 7, 1, -1, 0, 2, 1};
    Tools::CSprDocument document;
    for (int i = 0; i < c.bitmaps; ++i)
        document.images.push_back({0, SprTestData::SolidPng(sizes[size_t(i)].first, sizes[size_t(i)].second), {}, 0});
    Tools::CSprSprite sprite{"s", 0, 0, false, false, {}};
    for (size_t frame = 0; frame < 2; ++frame) {
        Tools::CSprFrame cut = Tools::MakeSprFrame(0, 0, 0, 2, 2);
        cut.pieces.clear();
        for (size_t i = frame; i < pieceBitmaps.size(); i += 2) cut.pieces.push_back({pieceBitmaps[i], 0, 0, 2, 2});
        sprite.frames.push_back(cut);
    }
    document.sprites = {sprite, sprite};
    CRecordingGraphics driver;
    const auto file = SprTestData::ReadSprFile(Tools::WriteSpr(document), "spr/pieces.spr", false, nullptr, &driver);
    for (size_t bitmap : c.textures) ASSERT_TRUE(file->CreateTexture(bitmap));

    for (const auto& definition : file->GetSprites())
        for (const auto& frame : definition.frames)
            for (const auto& piece : frame.pieces) {
                const bool made = piece.bitmap >= 0 && piece.bitmap < c.bitmaps &&
                                  std::count(c.textures.begin(), c.textures.end(), size_t(piece.bitmap)) > 0;
                const auto [width, height] = made ? sizes[size_t(piece.bitmap)] : std::pair<uint32_t, uint32_t>{0, 0};
                EXPECT_EQ(piece.textureWidth, int32_t(width)) << "bitmap " << piece.bitmap;
                EXPECT_EQ(piece.textureHeight, int32_t(height)) << "bitmap " << piece.bitmap;
                EXPECT_FLOAT_EQ(piece.uRight, made ? 2.0f / float(width) : 0.0f);
            }
}

INSTANTIATE_TEST_SUITE_P(Orders, SprFileTexturePieces,
                         testing::Values(CPiecesCase{"OneBitmap", 1, {0}}, CPiecesCase{"InOrder", 3, {0, 1, 2}},
                                         CPiecesCase{"Reversed", 3, {2, 1, 0}}, CPiecesCase{"MiddleOnly", 3, {1}},
                                         CPiecesCase{"LastThenFirst", 3, {2, 0}}, CPiecesCase{"None", 3, {}}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace

// One scene through the sprite queue, drawn by every driver in a 320 x 240
// window: the pictures agree on red, green and blue, on the first
// frame and after the sprites have moved for a few frames.

#include <cstring>

#include "OpenGLTestSupport.h"
#include "app/DirectXDrivers.h"
#include "graphics/SpriteQueue.h"
#include "graphics/SpriteRef.h"
#include "graphics/drivers/GraphicsD3D7.h"
#include "graphics/drivers/GraphicsD3D8.h"
#include "graphics/drivers/GraphicsSFTW.h"
#include "platform/Direct3D8.h"
#include "platform/DirectDraw7.h"
#include "tests/graphics/SprFileTestData.h"

using namespace OpenGLTest;

namespace {

constexpr int kSceneWidth = 320, kSceneHeight = 240;
constexpr int kFrames = 6;
// The drivers round blends differently by a step or two.
constexpr int kTolerance = 2;

using CPicture = std::vector<uint32_t>; // 0x00RRGGBB, row by row

// A 16 x 16 image of four quadrants, each its own colour, and its alpha
// image: each quadrant its own opacity.
std::vector<uint8_t> QuadrantPng(bool alpha) {
    Tools::CPngImage image;
    image.width = image.height = 16;
    image.colour = alpha ? Tools::EPngColour::Grey : Tools::EPngColour::RGB;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            const int quadrant = (y >= 8) * 2 + (x >= 8);
            const uint16_t texels[4][4] = {{255, 0, 0, 255}, {0, 255, 0, 128}, {0, 0, 255, 64}, {255, 255, 255, 200}};
            if (alpha)
                image.samples.push_back(texels[quadrant][3]);
            else
                image.samples.insert(image.samples.end(), texels[quadrant], texels[quadrant] + 3);
        }
    return Tools::WritePng(image);
}

struct CSceneSprite {
    float x, y;
    int scale;
    uint32_t flags;
    uint32_t colour; // red in the lowest byte
};

// The blend pairs every driver has, at integer scales, side by side.
const CSceneSprite kScene[] = {
    {10, 10, 1, SPRITE_BLEND_OFF, 0xFFFFFFFFu},
    {40, 10, 2, SPRITE_BLEND_ALPHA, 0xFFFFFFFFu},
    {90, 10, 3, SPRITE_BLEND_ADD, 0xFF808080u},
    {10, 90, 1, SPRITE_BLEND_ONE_INV_ALPHA, 0xFF3264C8u},
    {40, 90, 2, SPRITE_BLEND_ALPHA_ADD, 0x80FFFFFFu},
    {150, 90, 3, SPRITE_BLEND_ALPHA, 0xC0FF40FFu},
};

struct CDriverKind {
    const char* name;
    std::function<std::unique_ptr<CGraphics>(Engine::CApplication**)> make;
    std::function<CPicture(CGraphics&)> read;
};

CPicture ReadBy(DWORD (*read)(int, int)) {
    CPicture picture;
    for (int y = 0; y < kSceneHeight; ++y)
        for (int x = 0; x < kSceneWidth; ++x) picture.push_back(read(x, y));
    return picture;
}

CPicture ReadOpenGL(CGraphics&) {
    std::vector<uint32_t> rgba(size_t(kSceneWidth) * kSceneHeight);
    glReadPixels(0, 0, kSceneWidth, kSceneHeight, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    CPicture picture;
    for (int y = kSceneHeight - 1; y >= 0; --y)
        for (int x = 0; x < kSceneWidth; ++x) {
            const uint32_t p = rgba[size_t(y) * kSceneWidth + size_t(x)];
            picture.push_back((p & 0xFF) << 16 | (p & 0xFF00) | (p >> 16 & 0xFF));
        }
    return picture;
}

CPicture ReadSoftware(CGraphics& driver) {
    const CRasterTarget back = static_cast<CGraphics_SFTW&>(driver).GetBackBuffer();
    CPicture picture;
    for (int y = 0; y < kSceneHeight; ++y)
        for (int x = 0; x < kSceneWidth; ++x)
            picture.push_back(back.pixels[size_t(y) * size_t(back.pitch / 4) + size_t(x)] & 0xFFFFFFu);
    return picture;
}

std::vector<CDriverKind> DriverKinds() {
    return {{"OpenGL", [](Engine::CApplication** a) { return std::make_unique<CGraphics_OGL>(a); }, ReadOpenGL},
            {"D3D8", [](Engine::CApplication** a) { return std::make_unique<CGraphics_D3D8>(a); },
             [](CGraphics&) { return ReadBy(Platform::Testing::ReadD3D8BackBuffer); }},
            {"D3D7", [](Engine::CApplication** a) { return std::make_unique<CGraphics_D3D7>(a); },
             [](CGraphics&) { return ReadBy(Platform::Testing::ReadDD7RenderTarget); }},
            // The independent witness: no OpenGL, and dirty rectangles.
            {"SFTW", [](Engine::CApplication** a) { return std::make_unique<CGraphics_SFTW>(a); }, ReadSoftware}};
}

class CrossDriverTest : public HeadlessDriverFixture {
protected:
    // The first frame's picture and the picture after the sprites moved.
    std::pair<CPicture, CPicture> DrawScene(const CDriverKind& kind) {
        std::unique_ptr<CGraphics> driver = kind.make(&cell);
        driver->LoadDriverLibrary();
        CGraphicsParams params = WindowedParams(kSceneWidth, kSceneHeight);
        EXPECT_TRUE(driver->Create("scene", &params)) << kind.name;
        // As the frame loop does: the software driver buffers its quads.
        if (driver->IsSoftwareRenderer()) driver->CreateSpriteContainers();
        CSpriteQueue::SetDriver(driver.get());
        EXPECT_TRUE(CSpriteQueue::CreateVertexBuffer());
        EXPECT_TRUE(CSpriteQueue::Init());
        Tools::CSprDocument document;
        document.images.push_back({0, QuadrantPng(false), QuadrantPng(true)});
        document.sprites.push_back({"tile", 0, 0, false, false, {Tools::MakeSprFrame(0, 0, 0, 16, 16)}});
        auto file = SprTestData::ReadSprFile(Tools::WriteSpr(document), "spr/scene.spr", false, nullptr, driver.get());
        file->CreateTextures();
        std::pair<CPicture, CPicture> pictures;
        for (int frame = 0; frame < kFrames; ++frame) {
            pictures.second = DrawFrame(*driver, kind, *file->CreateSpriteByName("tile"), float(frame));
            if (frame == 0) pictures.first = pictures.second;
        }
        CSpriteQueue::Done();
        CSpriteQueue::ReleaseVertexBuffer();
        CSpriteQueue::SetDriver(nullptr);
        file = nullptr;
        driver->DestroySpriteContainers();
        driver->Destroy();
        driver->FreeDriverLibrary();
        return pictures;
    }

    static CPicture DrawFrame(CGraphics& driver, const CDriverKind& kind, const SprFile::CSpriteRef& sprite,
                              float step) {
        EXPECT_TRUE(driver.gBeginScene());
        SetDefaultRenderStates(driver);
        ClearDriver(driver, 0.25f, 0.5f, 0.75f);
        const CSpriteQueue::CParams params;
        for (const CSceneSprite& s : kScene) {
            CSpriteQueueItem* item = CSpriteQueue::Append(params, sprite, s.colour);
            item->x = s.x + 7 * step;
            item->y = s.y + 3 * step;
            item->scaleX = item->scaleY = float(s.scale);
            item->flags |= s.flags;
            CSpriteQueue::CommitLast(params);
        }
        CSpriteQueue::Flush(params);
        driver.FinishBufferedFrame();
        driver.gEndScene();
        CPicture picture = kind.read(driver);
        driver.gFlipBuffers();
        return picture;
    }

    // Pixels whose red, green or blue differ by more than the tolerance.
    static int Differences(const CPicture& a, const CPicture& b) {
        int count = 0;
        for (size_t i = 0; i < a.size() && i < b.size(); ++i)
            for (int shift = 0; shift < 24; shift += 8)
                if (std::abs(int(a[i] >> shift & 0xFF) - int(b[i] >> shift & 0xFF)) > kTolerance) {
                    ++count;
                    break;
                }
        return count + int(a.size() > b.size() ? a.size() - b.size() : b.size() - a.size());
    }
};

TEST_F(CrossDriverTest, EveryDriverDrawsTheSamePicture) {
    std::vector<std::pair<CPicture, CPicture>> pictures;
    const std::vector<CDriverKind> kinds = DriverKinds();
    for (const CDriverKind& kind : kinds) pictures.push_back(DrawScene(kind));
    // The scene is not empty: the background and the sprites both show.
    const CPicture& reference = pictures[0].first;
    EXPECT_EQ(reference[0], 0x3F7FBFu);
    EXPECT_EQ(reference[size_t(12 * kSceneWidth + 12)], 0xFF0000u);
    for (size_t i = 1; i < kinds.size(); ++i) {
        EXPECT_EQ(Differences(pictures[0].first, pictures[i].first), 0) << kinds[i].name << ", first frame";
        EXPECT_EQ(Differences(pictures[0].second, pictures[i].second), 0) << kinds[i].name << ", after moving";
    }
}

} // namespace

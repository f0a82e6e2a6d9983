// One scene through the sprite queue, drawn by every driver in a 320 x 240
// window; the window's picture after gFlipBuffers agrees between drivers on
// the first frame and after the sprites have moved. The scene has sprites in
// every blend state, rotated, mirrored and half off-screen, and text.

#include <algorithm>
#include <array>
#include <cmath>

#include "OpenGLTestSupport.h"
#include "app/DirectXDrivers.h"
#include "app/Locale.h"
#include "graphics/DrawContext.h"
#include "graphics/Font.h"
#include "graphics/SpriteQueue.h"
#include "graphics/SpriteRef.h"
#include "graphics/Text.h"
#include "graphics/drivers/GraphicsD3D7.h"
#include "graphics/drivers/GraphicsD3D8.h"
#include "graphics/drivers/GraphicsSFTW.h"
#include "particles/engine/ParticleSystem.h"
#include "particles/library/VexaFile.h"
#include "tests/graphics/SprFileTestData.h"
#include "tools/ScenePictures.h"

using namespace OpenGLTest;

namespace {

constexpr int kSceneWidth = 320, kSceneHeight = 240;
constexpr int kFrames = 6;
// The drivers round blends differently by a step or two.
constexpr int kTolerance = 2;
// Around the edges of a sprite drawn as triangles, and where its texels
// change colour inside, the software rasteriser's spans legitimately
// differ from the hardware's pixel-centre rule by a pixel.
constexpr float kTriangleEdgeMargin = 1.5f;

using CPicture = std::vector<uint32_t>; // 0x00RRGGBB, row by row
using CMask = std::vector<uint8_t>;     // 1 where pixels are not compared

// The colour image (alpha false) or the alpha image of texels {r, g, b, a}.
// With rgba, one image of both.
template <class TTexel>
std::vector<uint8_t> Png(int width, int height, bool alpha, TTexel texel, bool rgba = false) {
    Tools::CPngImage image;
    image.width = width;
    image.height = height;
    image.colour = rgba ? Tools::EPngColour::RGBA : alpha ? Tools::EPngColour::Grey : Tools::EPngColour::RGB;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const std::array<uint16_t, 4> t = texel(x, y);
            if (alpha)
                image.samples.push_back(t[3]);
            else
                image.samples.insert(image.samples.end(), t.begin(), t.begin() + (rgba ? 4 : 3));
        }
    return Tools::WritePng(image);
}

// 16 x 16 texels in four quadrants, each its own colour and opacity.
std::vector<uint8_t> QuadrantPng(bool alpha, bool rgba = false) {
    return Png(16, 16, alpha, [](int x, int y) {
        const std::array<uint16_t, 4> texels[4] = {{255, 0, 0, 255}, {0, 255, 0, 128}, {0, 0, 255, 64}, {255, 255, 255, 200}};
        return texels[(y >= 8) * 2 + (x >= 8)];
    }, rgba);
}

// Three white glyphs of 6 x 10 texels, their shapes in the alpha image: a
// bar, a frame and a diagonal.
constexpr int kGlyphWidth = 6, kGlyphHeight = 10, kGlyphs = 3;
std::vector<uint8_t> GlyphPng(bool alpha) {
    return Png(kGlyphWidth * kGlyphs, kGlyphHeight, alpha, [](int x, int y) {
        const int glyph = x / kGlyphWidth, gx = x % kGlyphWidth;
        const bool ink = glyph == 0   ? gx >= 2 && gx <= 3
                         : glyph == 1 ? gx == 0 || gx == kGlyphWidth - 1 || y == 0 || y == kGlyphHeight - 1
                                      : gx == y * kGlyphWidth / kGlyphHeight;
        return std::array<uint16_t, 4>{255, 255, 255, uint16_t(ink ? 255 : 0)};
    });
}

struct CSceneSprite {
    float x, y;  // top-left corner; the centre of a rotated sprite
    int scale;
    uint32_t flags;
    uint32_t colour;  // red in the lowest byte
    float angle = 0.0f;
};

// No two sprites of different states overlap (the hardware drivers batch
// by texture and state, the software driver keeps the queue's order), and
// all move alike, so none come to overlap either.
const CSceneSprite kScene[] = {
    // The blend pairs every driver has, at integer scales, side by side.
    {10, 10, 1, SPRITE_BLEND_OFF, 0xFFFFFFFFu},
    {40, 10, 2, SPRITE_BLEND_ALPHA, 0xFFFFFFFFu},
    {90, 10, 3, SPRITE_BLEND_ADD, 0xFF808080u},
    {10, 90, 1, SPRITE_BLEND_ONE_INV_ALPHA, 0xFF3264C8u},
    {40, 90, 2, SPRITE_BLEND_ALPHA_ADD, 0x80FFFFFFu},
    {150, 90, 3, SPRITE_BLEND_ALPHA, 0xC0FF40FFu},
    // Rotated.
    {218, 35, 2, SPRITE_BLEND_ALPHA, 0xFFFFFFFFu, 0.5f},
    {262, 35, 2, SPRITE_BLEND_OFF, 0xFFFFFFFFu, 1.5707964f},
    // Mirrored, and mirrored both ways and rotated.
    {10, 150, 2, SPRITE_BLEND_ALPHA | SPRITE_MIRROR_X, 0xFFFFFFFFu},
    {60, 150, 2, SPRITE_BLEND_ADD | SPRITE_MIRROR_Y, 0xFF808080u},
    {130, 170, 2, SPRITE_BLEND_ALPHA | SPRITE_MIRROR_X | SPRITE_MIRROR_Y, 0xFFFFFFFFu, 2.5f},
    // Half off the left, right and bottom edges, and rotated off the top.
    {-20, 50, 2, SPRITE_BLEND_ALPHA, 0xFFFFFFFFu},
    {290, 100, 3, SPRITE_BLEND_OFF, 0xFFFFFFFFu},
    {200, 220, 2, SPRITE_BLEND_ALPHA_ADD, 0xFFFFFFFFu},
    {165, -2, 2, SPRITE_BLEND_ALPHA, 0xFFFFFFFFu, 0.8f},
};

// The text, centred in its width below the mirrored sprites.
constexpr float kTextX = 10, kTextY = 205, kTextWidth = 80;

// The particles, from the demo's sparkle made still and the same on every
// run (one burst placed evenly, no spreads, no motion): a ring of six
// quadrant-textured quads, each turned by the angle of its place on the ring
// plus 25 degrees, and, unturned and on whole pixels, a row of two of the
// sparkle's own glows. The software rasteriser's spans differ at the ring's
// edges and middle lines as at a turned sprite's.
constexpr float kRingX = 262, kRingY = 190, kRingRadius = 18, kRingTurn = 25;
constexpr int kRingParticles = 6;
constexpr float kRingHalfSize = 10;  // the shape's half size 8 at size 1.25
constexpr float kRowX = 162, kRowY = 224, kRowHalfLength = 16;
constexpr int kRowParticles = 2;

Tools::CVexaEmitter StillBurst(const char* name, uint32_t shape, uint32_t placement, int particles, float size) {
    Tools::CVexaEmitter emitter = Tools::SparkleEmitter();
    emitter.name = name;
    emitter.shape = placement;
    emitter.orderedPlacement = 1;
    emitter.placementCount = uint32_t(particles);
    Tools::CVexaParticleType& type = emitter.types[0];
    type.shapeId = shape;
    type.flags = 1;  // one burst
    type.burstCount = 1;
    for (int q : {4, 8, 9, 12}) type.curves[size_t(q - 1)] = Tools::MakeVexaCurve(0.0f);
    type.curves[0] = Tools::MakeVexaCurve(1.0e6f);  // Q1: life
    type.curves[1] = Tools::MakeVexaCurve(size);    // Q2
    type.curves[12] = Tools::MakeVexaCurve(1.0f);   // Q13: no change of size
    type.gradient.keys = {{0.0f, 1.0f, 0.8f, 0.4f, 0.9f}};
    return emitter;
}

Tools::CVexaDocument ParticleEffect() {
    Tools::CVexaEmitter ring = StillBurst("ring", 2, 2, kRingParticles, kRingHalfSize / 8);
    ring.curves[12] = Tools::MakeVexaCurve(kRingRadius);  // C16: the circle's radius
    ring.types[0].words[1] = 0;                           // P2: the place's angle, ...
    ring.types[0].words[2] = uint32_t(kRingTurn);         // P3: ... plus these degrees
    // At size 2 a glow is 32 pixels across, one for each texel: no driver
    // chooses between two texels.
    Tools::CVexaEmitter row = StillBurst("row", 1, 1, kRowParticles, 2.0f);
    row.curves[12] = Tools::MakeVexaCurve(kRowHalfLength);  // C16: the line's half length
    row.types[0].words[1] = 2;                              // P2: the angle P3, 0
    Tools::CVexaDocument document;
    document.shapes = {{"glow", 1, {{Tools::GlowPng(), 8.0f, 8.0f}}, {}, {}},
                       {"quadrants", 2, {{QuadrantPng(false, true), 8.0f, 8.0f}}, {}, {}}};
    document.emitters = {ring, row};
    return document;
}

struct CDriverKind {
    const char* name;
    std::function<std::unique_ptr<CGraphics>(Engine::CApplication**)> make;
};

template <class TDriver>
std::unique_ptr<CGraphics> Make(Engine::CApplication** application) {
    return std::make_unique<TDriver>(application);
}

// The software driver is the independent witness: no OpenGL, and dirty rectangles.
const CDriverKind kKinds[] = {{"OpenGL", Make<CGraphics_OGL>},
                              {"D3D8", Make<CGraphics_D3D8>},
                              {"D3D7", Make<CGraphics_D3D7>},
                              {"SFTW", Make<CGraphics_SFTW>}};

float DistanceToSegment(float px, float py, float ax, float ay, float bx, float by) {
    const float dx = bx - ax, dy = by - ay;
    const float length = dx * dx + dy * dy;
    const float t = length > 0 ? std::clamp(((px - ax) * dx + (py - ay) * dy) / length, 0.0f, 1.0f) : 0.0f;
    return std::hypot(px - (ax + t * dx), py - (ay + t * dy));
}

// Marks the pixels near the edges and the middle lines (where the quadrant
// texture changes colour) of a quad the software driver draws as triangles.
void MaskTriangleQuad(const SpriteVertex quad[4], CMask& mask) {
    struct CSegment {
        float ax, ay, bx, by;
    };
    std::vector<CSegment> segments;
    for (int k = 0; k < 4; ++k) segments.push_back({quad[k].x, quad[k].y, quad[(k + 1) % 4].x, quad[(k + 1) % 4].y});
    // Between the middles of opposite edges: 0-1 to 2-3, and 3-0 to 1-2.
    auto half = [&](int a, int b, int c, int d) {
        segments.push_back({(quad[a].x + quad[b].x) / 2, (quad[a].y + quad[b].y) / 2, (quad[c].x + quad[d].x) / 2,
                            (quad[c].y + quad[d].y) / 2});
    };
    half(0, 1, 2, 3);
    half(3, 0, 1, 2);
    for (int y = 0; y < kSceneHeight; ++y)
        for (int x = 0; x < kSceneWidth; ++x)
            for (const CSegment& s : segments)
                if (DistanceToSegment(float(x) + 0.5f, float(y) + 0.5f, s.ax, s.ay, s.bx, s.by) <
                    kTriangleEdgeMargin)
                    mask[size_t(y) * kSceneWidth + size_t(x)] = 1;
}

// The ring's quads as the particle drawing places them.
void MaskRing(CMask& mask) {
    for (int j = 0; j < kRingParticles; ++j) {
        const float place = float(j) / kRingParticles * 6.283f;
        const float x = kRingX + std::cos(place) * kRingRadius, y = kRingY + std::sin(place) * kRingRadius;
        const float angle = place + kRingTurn * 0.0174533f;
        const float ux = std::cos(angle) * kRingHalfSize, uy = std::sin(angle) * kRingHalfSize;
        SpriteVertex quad[4] = {};
        quad[0].x = x - ux + uy, quad[0].y = y - uy - ux;
        quad[1].x = x + ux + uy, quad[1].y = y + uy - ux;
        quad[2].x = x + ux - uy, quad[2].y = y + uy + ux;
        quad[3].x = x - ux - uy, quad[3].y = y - uy + ux;
        MaskTriangleQuad(quad, mask);
    }
}

struct CFramePicture {
    CPicture picture;
    CMask mask;
};

class CrossDriverTest : public HeadlessDriverFixture {
protected:
    void SetUp() override {
        HeadlessDriverFixture::SetUp();
        Platform::Testing::KeepSwappedPictures(true);
    }

    // The presented picture of every frame.
    std::vector<CFramePicture> DrawScene(const CDriverKind& kind) {
        std::unique_ptr<CGraphics> driver = kind.make(&cell);
        driver->LoadDriverLibrary();
        CGraphicsParams params = WindowedParams(kSceneWidth, kSceneHeight);
        EXPECT_TRUE(driver->Create("scene", &params)) << kind.name;
        // Away from the screen's corner, so that a presentation to screen
        // coordinates has to find the window.
        EXPECT_TRUE(SetWindowPos(cell->m_hWnd, nullptr, 37, 23, 0, 0, SWP_NOSIZE | SWP_NOZORDER));
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
        CDrawContext text;
        CTextLayout::SetFont(text, MakeFont(*driver));
        std::vector<CFramePicture> pictures;
        {
            Engine::Particles::CParticleSystem particles(driver.get());
            particles.GetLibrary().Init(&particles.GetGraphicsBinding());
            const std::vector<uint8_t> bytes = Tools::WriteVexa(ParticleEffect());
            Engine::CMemoryFile stream(bytes.data(), bytes.size());
            CArchive archive(&stream, false);
            VexaParticles::CVexaFile effect(&particles.GetLibrary());
            effect.Read(archive);
            effect.CreateTextures();
            const std::unique_ptr<VexaParticles::CVexaParticleEmitter> ring = effect.CreateEmitter("ring");
            const std::unique_ptr<VexaParticles::CVexaParticleEmitter> row = effect.CreateEmitter("row");
            ring->Update(0.0f, 0.1f, kRingX, kRingY, 0.0f, 1);
            row->Update(0.0f, 0.1f, kRowX, kRowY, 0.0f, 1);
            for (int frame = 0; frame < kFrames; ++frame)
                pictures.push_back(
                    DrawFrame(*driver, *file->CreateSpriteByName("tile"), text, {ring.get(), row.get()}, float(frame)));
        }
        CTextLayout::SetFont(text, nullptr);
        CSpriteQueue::Done();
        CSpriteQueue::ReleaseVertexBuffer();
        CSpriteQueue::SetDriver(nullptr);
        file = nullptr;
        driver->DestroySpriteContainers();
        driver->Destroy();
        driver->FreeDriverLibrary();
        return pictures;
    }

    static ref_ptr<CFont> MakeFont(CGraphics& driver) {
        Tools::CSprDocument document;
        document.images.push_back({0, GlyphPng(false), GlyphPng(true)});
        Tools::CSprSprite strip{"glyphs", 0, 0, false, false, {}};
        for (int g = 0; g < kGlyphs; ++g)
            strip.frames.push_back(Tools::MakeSprFrame(0, g * kGlyphWidth, 0, (g + 1) * kGlyphWidth, kGlyphHeight));
        document.sprites.push_back(strip);
        auto file = SprTestData::ReadSprFile(Tools::WriteSpr(document), "spr/glyphs.spr", false, nullptr, &driver);
        file->CreateTextures();
        Engine::CLocaleFont record;
        record.sprite = "glyphs";
        record.characters = {u'A', u'B', u'C'};
        return CreateFontFromSprite(record, file);
    }

    static CFramePicture DrawFrame(CGraphics& driver, const SprFile::CSpriteRef& sprite, CDrawContext& text,
                                   const std::array<VexaParticles::CVexaParticleEmitter*, 2>& particles, float step) {
        CFramePicture result{{}, CMask(size_t(kSceneWidth) * kSceneHeight, 0)};
        EXPECT_TRUE(driver.gBeginScene());
        SetDefaultRenderStates(driver);
        ClearDriver(driver, 0.25f, 0.5f, 0.75f);
        const CSpriteQueue::CParams params;
        for (const CSceneSprite& s : kScene) {
            CSpriteQueueItem* item = CSpriteQueue::Append(params, sprite, s.colour);
            item->x = s.x + 7 * step;
            item->y = s.y + 3 * step;
            item->angle = s.angle;
            item->scaleX = item->scaleY = float(s.scale);
            item->flags |= s.flags;
            if (s.angle != 0.0f || (s.flags & (SPRITE_MIRROR_X | SPRITE_MIRROR_Y))) {
                SpriteVertex quad[4];
                if (CSpriteQueue::EmitQuad(*item, quad)) MaskTriangleQuad(quad, result.mask);
            }
            CSpriteQueue::CommitLast(params);
        }
        // Centred text, alpha-blended: glyphs that name no blend state would
        // take whatever the run drawn before them left, which is another
        // run on each driver.
        text.m_textColor = 0xFFFFFFFFu;
        DrawText(text, kTextX + 7 * step, kTextY + 3 * step, kTextWidth, 0.0f, 1.0f, 1.0f, TEXT_ALIGN_CENTER,
                 SPRITE_BLEND_ALPHA, "ABCCBA");
        CSpriteQueue::Flush(params);
        EXPECT_EQ(particles[0]->RenderAll(), kRingParticles);
        EXPECT_EQ(particles[1]->RenderAll(), kRowParticles);
        MaskRing(result.mask);
        driver.FinishBufferedFrame();
        driver.gEndScene();
        driver.gFlipBuffers();
        int width = 0, height = 0;
        const HWND window = driver.GetApplication()->m_hWnd;
        EXPECT_TRUE(Platform::Testing::ReadWindowPicture(window, result.picture, width, height));
        EXPECT_EQ(width, kSceneWidth);
        EXPECT_EQ(height, kSceneHeight);
        return result;
    }

    // Compared pixels whose red, green or blue differ by more than the
    // tolerance.
    static int Differences(const CPicture& a, const CPicture& b, const CMask& mask) {
        if (a.size() != b.size()) return int(std::max(a.size(), b.size()));
        int count = 0;
        for (size_t i = 0; i < a.size(); ++i) {
            if (mask[i]) continue;
            for (int shift = 0; shift < 24; shift += 8)
                if (std::abs(int(a[i] >> shift & 0xFF) - int(b[i] >> shift & 0xFF)) > kTolerance) {
                    ++count;
                    break;
                }
        }
        return count;
    }

    // The picture moved right by one pixel, as a presentation one pixel off
    // would show it.
    static CPicture ShiftedRight(const CPicture& picture) {
        CPicture shifted(picture.size(), 0);
        for (int y = 0; y < kSceneHeight; ++y)
            for (int x = 1; x < kSceneWidth; ++x)
                shifted[size_t(y) * kSceneWidth + size_t(x)] = picture[size_t(y) * kSceneWidth + size_t(x - 1)];
        return shifted;
    }
};

TEST_F(CrossDriverTest, EveryDriverPresentsTheSamePicture) {
    std::vector<std::vector<CFramePicture>> pictures;
    for (const CDriverKind& kind : kKinds) pictures.push_back(DrawScene(kind));
    const std::vector<CFramePicture>& reference = pictures[0];
    ASSERT_EQ(reference.size(), size_t(kFrames));
    // The scene is not empty: the background, the sprites and the text show.
    const CPicture& first = reference[0].picture;
    ASSERT_EQ(first.size(), size_t(kSceneWidth) * kSceneHeight);
    EXPECT_EQ(first[0], 0x3F7FBFu);
    EXPECT_EQ(first[size_t(12 * kSceneWidth + 12)], 0xFF0000u);
    const int textWhite = int(std::count(first.begin() + 200 * kSceneWidth, first.begin() + 220 * kSceneWidth,
                                         0xFFFFFFu));
    EXPECT_GT(textWhite, 20) << "the glyphs show";
    EXPECT_LT(textWhite, 6 * kGlyphWidth * kGlyphHeight / 2) << "as glyphs, not boxes";
    // The particles show and leave the background between them.
    const auto at = [&first](float x, float y) { return first[size_t(y) * kSceneWidth + size_t(x)]; };
    EXPECT_NE(at(kRingX + kRingRadius, kRingY), 0x3F7FBFu);
    EXPECT_EQ(at(kRingX, kRingY), 0x3F7FBFu);
    EXPECT_NE(at(kRowX, kRowY), 0x3F7FBFu);
    EXPECT_NE(at(kRowX - kRowHalfLength, kRowY), at(kRowX - kRowHalfLength, kRowY - 15)) << "a glow, not a square";
    for (size_t i = 1; i < std::size(kKinds); ++i) {
        ASSERT_EQ(pictures[i].size(), size_t(kFrames)) << kKinds[i].name;
        for (int frame : {0, kFrames - 1}) {
            const CMask& mask = reference[size_t(frame)].mask;
            EXPECT_EQ(Differences(reference[size_t(frame)].picture, pictures[i][size_t(frame)].picture, mask), 0)
                << kKinds[i].name << (frame == 0 ? ", first frame" : ", after moving");
        }
    }
    // The comparison sees a presentation one pixel off.
    const CFramePicture& last = reference.back();
    for (size_t i = 0; i < std::size(kKinds); ++i)
        EXPECT_GT(Differences(last.picture, ShiftedRight(pictures[i].back().picture), last.mask), 100) << kKinds[i].name;
}

} // namespace

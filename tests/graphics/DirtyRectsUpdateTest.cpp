// The update pass: frames compared record by record, the cells that
// changed, and this frame's quads redrawn cut to the dirty rectangles. Also
// the shared primitive buffers.

#include <array>
#include <cmath>
#include <cstring>
#include <limits>
#include <random>

#include <gtest/gtest.h>

#include "graphics/Graphics.h"
#include "graphics/PrimitiveBuffers.h"
#include "graphics/SpriteQueue.h"
#include "support/RecordingGraphics.h"

using namespace Engine::Graphics;
using Engine::ref_ptr;

namespace {

struct CQuad {
    SpriteVertex v[4];
};

// Corners top-left, top-right, bottom-right, bottom-left of a w by h quad
// at (x, y), scaled and turned about its centre, textured 0..1.
CQuad MakeQuad(float x, float y, float w, float h, float angle = 0, float scaleX = 1, uint32_t color = 0xFFFFFFFFu) {
    const float cx = x + w / 2, cy = y + h / 2, hx = w / 2 * scaleX, hy = h / 2;
    const float d[4][2] = {{-hx, -hy}, {hx, -hy}, {hx, hy}, {-hx, hy}};
    const float uv[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    CQuad quad;
    const float c = std::cos(angle), s = std::sin(angle);
    for (int i = 0; i < 4; ++i) {
        const float px = angle == 0 ? cx + d[i][0] : cx + c * d[i][0] - s * d[i][1];
        const float py = angle == 0 ? cy + d[i][1] : cy + s * d[i][0] + c * d[i][1];
        quad.v[i] = {px, py, 0, 1, color, uv[i][0], uv[i][1]};
    }
    return quad;
}

class UpdatePassTest : public testing::Test {
protected:
    void SetUp() override {
        driver.GetParams().width = 800;
        driver.GetParams().height = 600;
        CSpriteQueue::SetDriver(&driver);
        ASSERT_TRUE(CSpriteQueue::CreateVertexBuffer());
        driver.CreateSpriteContainers();
    }
    void TearDown() override {
        CSpriteQueue::ReleaseVertexBuffer();
        CSpriteQueue::SetDriver(nullptr);
    }

    void Add(const CQuad& quad) { driver.GetSpritesContainer()->Add(quad.v, texture, {}); }
    // Ends the frame; the draw calls it made.
    std::vector<Testing::CRecordedCall> Finish() {
        driver.Clear();
        driver.FinishBufferedFrame();
        std::vector<Testing::CRecordedCall> draws;
        for (const Testing::CRecordedCall& call : driver.calls)
            if (call.name == "gDraw") draws.push_back(call);
        return draws;
    }
    std::vector<CCellRect> MarkedCells() const {
        std::vector<CCellRect> cells;
        const CDirtyRects& grid = *driver.GetDirtyRects();
        for (int32_t row = 0; row < grid.GetRows(); ++row)
            for (int32_t column = 0; column < grid.GetColumns(); ++column)
                if (grid.IsMarked(column, row)) cells.push_back({column, column, row, row});
        return cells;
    }
    static std::vector<SpriteVertex> Vertices(const Testing::CRecordedCall& draw) {
        std::vector<SpriteVertex> vertices(draw.vertices.size() / sizeof(SpriteVertex));
        std::memcpy(vertices.data(), draw.vertices.data(), draw.vertices.size());
        return vertices;
    }

    Testing::CRecordingGraphics driver;
    ref_ptr<CTexture> texture{new CTexture(nullptr, nullptr)};
};

TEST_F(UpdatePassTest, OnlyChangedCellsAreMarkedAndRedrawn) {
    const CQuad background = MakeQuad(100, 0, 200, 200), sprite = MakeQuad(10, 10, 20, 20);
    Add(background), Add(sprite);
    EXPECT_EQ(Finish().size(), 2u);  // the first frame: everything is new
    Add(background), Add(sprite);
    EXPECT_TRUE(Finish().empty());
    EXPECT_TRUE(MarkedCells().empty());

    // The sprite moves from cells 0..1 to 2..3 (rows 0..1): both are marked,
    // and the background is redrawn there, cut to the one dirty rectangle.
    Add(background), Add(MakeQuad(140, 10, 20, 20));
    const auto draws = Finish();
    std::vector<CCellRect> expected;
    for (int32_t row = 0; row < 2; ++row)
        for (int32_t column = 0; column < 4; ++column) expected.push_back({column, column, row, row});
    EXPECT_EQ(MarkedCells(), expected);
    ASSERT_EQ(draws.size(), 2u);
    const auto cut = Vertices(draws[0]);
    ASSERT_EQ(cut.size(), 4u);
    EXPECT_EQ(draws[0].args[0], PRIM_QUAD_LIST);
    const float corners[4][4] = {{100, 0, 0, 0}, {256, 0, 0.78f, 0}, {256, 96, 0.78f, 0.48f}, {100, 96, 0, 0.48f}};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(cut[size_t(i)].x, corners[i][0]);
        EXPECT_EQ(cut[size_t(i)].y, corners[i][1]);
        EXPECT_FLOAT_EQ(cut[size_t(i)].u, corners[i][2]);
        EXPECT_FLOAT_EQ(cut[size_t(i)].v, corners[i][3]);
    }
    EXPECT_EQ(Vertices(draws[1])[0].x, 140.0f);

    // A change of colour alone is a change.
    Add(background), Add(MakeQuad(140, 10, 20, 20, 0, 1, 0xFF00FF00u));
    EXPECT_EQ(Finish().size(), 2u);
    EXPECT_EQ(MarkedCells().size(), 4u);
}

struct CUprightCase {
    const char* name;
    float x, u0, u1;
    float clippedU0;
};

TEST(QuadClipper, UprightQuadsCutTheirTextureInProportion) {
    const CUprightCase cases[] = {{"plain", 39, 0, 1, 0.25f}, {"mirrored", 39, 1, 0, 0.75f}};
    for (const CUprightCase& c : cases) {
        CQuad quad = MakeQuad(c.x, 0, 100, 48);
        quad.v[0].u = quad.v[3].u = c.u0;
        quad.v[1].u = quad.v[2].u = c.u1;
        ASSERT_TRUE(CQuadClipper::IsUpright(quad.v)) << c.name;
        SpriteVertex out[4];
        ASSERT_TRUE(CQuadClipper::ClipUpright(quad.v, {64, 192, 0, 48}, out));
        EXPECT_EQ(out[0].x, 64.0f);
        EXPECT_FLOAT_EQ(out[0].u, c.clippedU0) << c.name;
        EXPECT_FLOAT_EQ(out[1].u, c.u1) << c.name;
        EXPECT_FALSE(CQuadClipper::ClipUpright(quad.v, {192, 256, 0, 48}, out));
    }
    // Flipped by a negative scale or turned half round, the corners are out
    // of order: not upright.
    EXPECT_FALSE(CQuadClipper::IsUpright(MakeQuad(0, 0, 100, 48, 0, -1).v));
    CQuad turned = MakeQuad(0, 0, 100, 48);
    std::swap(turned.v[0], turned.v[2]);
    std::swap(turned.v[1], turned.v[3]);
    EXPECT_FALSE(CQuadClipper::IsUpright(turned.v));
}

// The area of a convex polygon cut to the rectangle, by clipping in double.
double ClippedArea(std::vector<std::array<double, 2>> polygon, const CPixelRect& r) {
    const double bounds[4] = {double(r.left), double(r.right), double(r.top), double(r.bottom)};
    for (int side = 0; side < 4; ++side) {
        const int axis = side / 2;
        auto inside = [&](const std::array<double, 2>& p) {
            return side % 2 ? p[axis] <= bounds[side] : p[axis] >= bounds[side];
        };
        std::vector<std::array<double, 2>> out;
        for (size_t i = 0; i < polygon.size(); ++i) {
            const auto& a = polygon[i];
            const auto& b = polygon[(i + 1) % polygon.size()];
            if (inside(a)) out.push_back(a);
            if (inside(a) != inside(b)) {
                const double t = (bounds[side] - a[axis]) / (b[axis] - a[axis]);
                out.push_back({a[0] + t * (b[0] - a[0]), a[1] + t * (b[1] - a[1])});
            }
        }
        polygon = std::move(out);
    }
    double area = 0;
    for (size_t i = 0; i < polygon.size(); ++i) {
        const auto& a = polygon[i];
        const auto& b = polygon[(i + 1) % polygon.size()];
        area += a[0] * b[1] - b[0] * a[1];
    }
    return std::fabs(area) / 2;
}

// Random turned, flipped and mirrored quads against rectangles: the pieces
// lie inside the rectangle, cover exactly its part of the quad, and keep
// the quad's texture mapping.
TEST(QuadClipper, TrianglesCoverExactlyTheInsidePart) {
    std::mt19937 random(99);
    std::uniform_real_distribution<float> position(-100, 400), size(1, 300), angle(-4, 4);
    CQuadClipper clipper;
    SpriteVertex out[CQuadClipper::MAX_TRIANGLES * 3];
    const float halfTurn = float(M_PI);
    for (int trial = 0; trial < 2000; ++trial) {
        const float turn = trial % 4 == 0 ? halfTurn : angle(random);
        const CQuad quad = MakeQuad(position(random), position(random), size(random), size(random), turn,
                                    trial % 3 == 0 ? -1.0f : 1.0f);
        const int32_t left = 64 * int32_t(random() % 5), top = 48 * int32_t(random() % 5);
        const CPixelRect rect{left, left + 64 * int32_t(1 + random() % 3), top, top + 48 * int32_t(1 + random() % 3)};
        const int count = clipper.ClipTriangles(quad.v, rect, out);
        ASSERT_LE(count, CQuadClipper::MAX_TRIANGLES);
        double area = 0;
        for (int i = 0; i < 3 * count; ++i) {
            const SpriteVertex& p = out[i];
            ASSERT_TRUE(p.x >= rect.left && p.x <= rect.right && p.y >= rect.top && p.y <= rect.bottom) << trial;
            // u and v follow the position as on the whole quad.
            const float ex = quad.v[1].x - quad.v[0].x, ey = quad.v[1].y - quad.v[0].y;
            const float fx = quad.v[3].x - quad.v[0].x, fy = quad.v[3].y - quad.v[0].y;
            const float det = ex * fy - ey * fx, dx = p.x - quad.v[0].x, dy = p.y - quad.v[0].y;
            EXPECT_NEAR(p.u, (dx * fy - dy * fx) / det, 2e-3) << trial;
            EXPECT_NEAR(p.v, (ex * dy - ey * dx) / det, 2e-3) << trial;
        }
        for (int t = 0; t < count; ++t) {
            const SpriteVertex* c = out + 3 * t;
            const double cross = double(c[1].x - c[0].x) * (c[2].y - c[0].y) - double(c[2].x - c[0].x) * (c[1].y - c[0].y);
            area += std::fabs(cross) / 2;
        }
        std::vector<std::array<double, 2>> polygon;
        for (const SpriteVertex& v : quad.v) polygon.push_back({v.x, v.y});
        EXPECT_NEAR(area, ClippedArea(polygon, rect), 0.05) << trial;
    }
}

TEST(QuadClipper, CutCornersBlendTheirColours) {
    CQuad quad = MakeQuad(0, 0, 128, 48);
    quad.v[1].color = quad.v[2].color = 0xFF0000FFu;
    quad.v[0].color = quad.v[3].color = 0xFF000000u;
    CQuadClipper clipper;
    SpriteVertex out[CQuadClipper::MAX_TRIANGLES * 3];
    const int count = clipper.ClipTriangles(quad.v, {0, 64, 0, 48}, out);
    ASSERT_GT(count, 0);
    for (int i = 0; i < 3 * count; ++i) {
        // Half way: a weight of 127, so 255 * 127 >> 8 = 126.
        const uint32_t expected = out[i].x == 64.0f ? 0xFF00007Eu : 0xFF000000u;
        EXPECT_EQ(out[i].color, expected) << out[i].x;
    }
}

TEST_F(UpdatePassTest, FarAndNonFiniteQuadsAreClampedNotConverted) {
    const float inf = std::numeric_limits<float>::infinity(), nan = std::numeric_limits<float>::quiet_NaN();
    CQuad far = MakeQuad(1e30f, 1e30f, 10, 10), huge = MakeQuad(-1e30f, -1e30f, 2e30f, 2e30f);
    CQuad infinite = MakeQuad(0, 0, 10, 10), broken = MakeQuad(0, 0, 10, 10);
    infinite.v[2].x = inf;
    broken.v[0].x = broken.v[3].y = nan;
    Add(far);
    EXPECT_TRUE(Finish().empty());
    EXPECT_TRUE(MarkedCells().empty());
    // Covering everything: every cell, drawn cut to the window's rectangle.
    Add(huge);
    const auto draws = Finish();
    EXPECT_EQ(MarkedCells().size(), 13u * 13u);
    ASSERT_EQ(draws.size(), 1u);
    EXPECT_EQ(Vertices(draws[0])[2].x, 832.0f);
    // Infinite or undefined positions mark what they cover but draw nothing.
    Add(infinite), Add(broken);
    EXPECT_TRUE(Finish().empty());
}

TEST(PrimitiveBuffers, MadeWithTheDriverAndBackAfterAReset) {
    Testing::CRecordingGraphics driver;
    SetGraphics(&driver);
    ASSERT_TRUE(InitPrimitiveBuffers());
    const ref_ptr<CVertexBuffer> buffers[] = {GetTransformedPointBuffer(), GetUntransformedPointBuffer()};
    const uint32_t formats[] = {11, 9};
    for (int i = 0; i < 2; ++i) {
        ASSERT_NE(buffers[i], nullptr);
        EXPECT_EQ(buffers[i]->GetCount(), 1024);
        EXPECT_EQ(buffers[i]->GetVertexSize(), 20);
        EXPECT_EQ(buffers[i]->GetFormat(), formats[i]);
        EXPECT_TRUE(buffers[i]->IsRestoreFirst());
    }
    ASSERT_EQ(GetPointCapacity(), 1024);
    EXPECT_EQ(GetScratchPoints()[1023].z, 0.0f);
    driver.GetDeviceObjectManager().InvalidateAll();
    EXPECT_EQ(buffers[0]->Lock(), nullptr);
    driver.RestoreAfterReset(nullptr);
    for (const ref_ptr<CVertexBuffer>& buffer : buffers) EXPECT_NE(buffer->Lock(), nullptr);

    DonePrimitiveBuffers();
    DonePrimitiveBuffers();
    EXPECT_EQ(GetTransformedPointBuffer(), nullptr);
    EXPECT_EQ(GetScratchPoints(), nullptr);
    EXPECT_EQ(GetPointCapacity(), 0);
    driver.m_bFailVertexBuffers = true;
    EXPECT_FALSE(InitPrimitiveBuffers());
    EXPECT_EQ(GetScratchPoints(), nullptr);
    SetGraphics(nullptr);
}

} // namespace

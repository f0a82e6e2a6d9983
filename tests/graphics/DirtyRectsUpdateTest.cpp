// The update pass: frames compared record by record, the cells that
// changed, and this frame's quads redrawn cut to the dirty rectangles. Also
// the shared primitive buffers.

#include <array>
#include <cmath>
#include <limits>
#include <random>

#include <gtest/gtest.h>

#include "graphics/Graphics.h"
#include "graphics/PrimitiveBuffers.h"
#include "tests/graphics/SpriteQueueFixture.h"

using namespace Engine::Graphics;
using namespace SpriteQueueTesting;
using Engine::ref_ptr;

namespace {

struct CQuad {
    SpriteVertex v[4];
};

// A w by h quad at (x, y), textured 0..1, turned about its centre and
// scaled horizontally (negative: flipped).
CQuad MakeQuad(float x, float y, float w, float h, float angle = 0, float scaleX = 1, uint32_t color = ~0u) {
    const float cx = x + w / 2, cy = y + h / 2, hx = w / 2 * scaleX, hy = h / 2;
    const float c = std::cos(angle), s = std::sin(angle);
    const float d[4][2] = {{-hx, -hy}, {hx, -hy}, {hx, hy}, {-hx, hy}}, uv[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    CQuad quad;
    for (int i = 0; i < 4; ++i) {
        const float px = angle == 0 ? cx + d[i][0] : cx + c * d[i][0] - s * d[i][1];
        const float py = angle == 0 ? cy + d[i][1] : cy + s * d[i][0] + c * d[i][1];
        quad.v[i] = {px, py, 0, 1, color, uv[i][0], uv[i][1]};
    }
    return quad;
}

class UpdatePassTest : public QueueFixture {
protected:
    void SetUp() override {
        QueueFixture::SetUp();
        driver.GetParams().width = 800;
        driver.GetParams().height = 600;
        driver.CreateSpriteContainers();
    }

    void Add(const CQuad& quad) { driver.GetSpritesContainer()->Add(quad.v, texture, {}); }
    // Ends the frame; the vertices of each draw call it made.
    std::vector<std::vector<SpriteVertex>> Finish() {
        driver.Clear();
        driver.FinishBufferedFrame();
        std::vector<std::vector<SpriteVertex>> draws;
        for (const CRecordedCall* call : Draws()) draws.push_back(Vertices(*call));
        return draws;
    }
    int32_t MarkedCount() const {
        const CDirtyRects& grid = *driver.GetDirtyRects();
        int32_t marked = 0;
        for (int32_t i = 0; i < grid.GetRows() * grid.GetColumns(); ++i)
            marked += grid.IsMarked(i % grid.GetColumns(), i / grid.GetColumns());
        return marked;
    }

    ref_ptr<CTexture> texture{new CTexture(nullptr, nullptr)};
};

TEST_F(UpdatePassTest, OnlyChangedCellsAreMarkedAndRedrawn) {
    const CQuad background = MakeQuad(100, 0, 200, 200), sprite = MakeQuad(10, 10, 20, 20);
    Add(background), Add(sprite);
    EXPECT_EQ(Finish().size(), 2u);  // the first frame: everything is new
    Add(background), Add(sprite);
    EXPECT_TRUE(Finish().empty());
    EXPECT_EQ(MarkedCount(), 0);
    // The sprite moves from columns 0..1 to 2..3 (rows 0..1): both are
    // marked, and the background is redrawn there, cut to that rectangle.
    Add(background), Add(MakeQuad(140, 10, 20, 20));
    const auto draws = Finish();
    EXPECT_EQ(MarkedCount(), 8);
    EXPECT_TRUE(driver.GetDirtyRects()->AnyMarked({0, 0, 0, 0}) && driver.GetDirtyRects()->AnyMarked({3, 3, 1, 1}));
    ASSERT_EQ(draws.size(), 2u);
    ASSERT_EQ(draws[0].size(), 4u);
    const SpriteVertex& cutCorner = draws[0][2];
    EXPECT_EQ(std::make_pair(cutCorner.x, cutCorner.y), std::make_pair(256.0f, 96.0f));
    EXPECT_FLOAT_EQ(cutCorner.u, 0.78f);
    EXPECT_FLOAT_EQ(cutCorner.v, 0.48f);
    EXPECT_EQ(draws[1][0].x, 140.0f);
    // A change of colour alone is a change.
    Add(background), Add(MakeQuad(140, 10, 20, 20, 0, 1, 0xFF00FF00u));
    EXPECT_EQ(Finish().size(), 2u);
    EXPECT_EQ(MarkedCount(), 4);
}

TEST(QuadClipper, UprightQuadsCutTheirTextureInProportion) {
    for (const bool mirrored : {false, true}) {
        CQuad quad = MakeQuad(39, 0, 100, 48);
        if (mirrored) std::swap(quad.v[0].u, quad.v[1].u), std::swap(quad.v[3].u, quad.v[2].u);
        SpriteVertex out[4];
        ASSERT_TRUE(CQuadClipper::IsUpright(quad.v) && CQuadClipper::ClipUpright(quad.v, {64, 192, 0, 48}, out));
        EXPECT_EQ(out[0].x, 64.0f);
        EXPECT_FLOAT_EQ(out[0].u, mirrored ? 0.75f : 0.25f);  // 25 of 100 pixels cut
    }
    // Flipped by a negative scale or turned half round, the corners are out
    // of order: those go to the triangle clipper below.
    EXPECT_FALSE(CQuadClipper::IsUpright(MakeQuad(0, 0, 100, 48, 0, -1).v));
    EXPECT_FALSE(CQuadClipper::IsUpright(MakeQuad(0, 0, 100, 48, float(M_PI)).v));
}

using CPoint = std::array<double, 2>;
CPoint Point(const SpriteVertex& v) { return {v.x, v.y}; }
double Cross(const CPoint& o, const CPoint& a, const CPoint& b) {
    return (a[0] - o[0]) * (b[1] - o[1]) - (b[0] - o[0]) * (a[1] - o[1]);
}

// The area of a convex polygon cut to the rectangle, clipped in double.
double ClippedArea(std::vector<CPoint> polygon, const PixelRect& r) {
    const double bounds[4] = {double(r.left), double(r.right), double(r.top), double(r.bottom)};
    for (int side = 0; side < 4; ++side) {
        const int axis = side / 2;
        auto inside = [&](const CPoint& p) {
            return side % 2 ? p[axis] <= bounds[side] : p[axis] >= bounds[side];
        };
        std::vector<CPoint> out;
        for (size_t i = 0; i < polygon.size(); ++i) {
            const auto &a = polygon[i], &b = polygon[(i + 1) % polygon.size()];
            if (inside(a)) out.push_back(a);
            if (inside(a) == inside(b)) continue;
            const double t = (bounds[side] - a[axis]) / (b[axis] - a[axis]);
            out.push_back({a[0] + t * (b[0] - a[0]), a[1] + t * (b[1] - a[1])});
        }
        polygon = std::move(out);
    }
    double area = 0;
    for (size_t i = 2; i < polygon.size(); ++i) area += Cross(polygon[0], polygon[i - 1], polygon[i]);
    return std::fabs(area) / 2;
}

// Random turned (half turns among them), flipped and large quads against
// rectangles: the pieces lie inside the rectangle, cover exactly its part of
// the quad, keep the quad's texture mapping, and never overflow the lists.
TEST(QuadClipper, TrianglesCoverExactlyTheInsidePart) {
    std::mt19937 random(99);
    std::uniform_real_distribution<float> position(-100, 400), size(1, 300), angle(-4, 4);
    CQuadClipper clipper;
    SpriteVertex out[CQuadClipper::MAX_TRIANGLES * 3];
    for (int trial = 0; trial < 2000; ++trial) {
        const CQuad quad = MakeQuad(position(random), position(random), size(random), size(random),
                                    trial % 4 ? angle(random) : float(M_PI), trial % 3 ? 1.0f : -1.0f);
        const int32_t left = 64 * int32_t(random() % 5), top = 48 * int32_t(random() % 5);
        const PixelRect rect{left, left + 64 * int32_t(1 + random() % 3), top, top + 48 * int32_t(1 + random() % 3)};
        const int count = clipper.ClipTriangles(quad.v, rect, out);
        ASSERT_LE(count, CQuadClipper::MAX_TRIANGLES);
        const SpriteVertex* q = quad.v;
        const float ex = q[1].x - q[0].x, ey = q[1].y - q[0].y, fx = q[3].x - q[0].x, fy = q[3].y - q[0].y;
        const float det = ex * fy - ey * fx;
        double area = 0;
        for (int i = 0; i < 3 * count; ++i) {
            const SpriteVertex& p = out[i];
            ASSERT_TRUE(p.x >= rect.left && p.x <= rect.right && p.y >= rect.top && p.y <= rect.bottom) << trial;
            const float dx = p.x - q[0].x, dy = p.y - q[0].y;
            EXPECT_NEAR(p.u, (dx * fy - dy * fx) / det, 2e-3) << trial;
            EXPECT_NEAR(p.v, (ex * dy - ey * dx) / det, 2e-3) << trial;
            if (i % 3 == 2) area += std::fabs(Cross(Point(out[i - 2]), Point(out[i - 1]), Point(p))) / 2;
        }
        EXPECT_NEAR(area, ClippedArea({Point(q[0]), Point(q[1]), Point(q[2]), Point(q[3])}, rect), 0.05) << trial;
    }
}

TEST_F(UpdatePassTest, FarAndNonFiniteQuadsAreClampedNotConverted) {
    CQuad infinite = MakeQuad(0, 0, 10, 10), broken = MakeQuad(0, 0, 10, 10);
    infinite.v[2].x = std::numeric_limits<float>::infinity();
    broken.v[0].x = broken.v[3].y = std::numeric_limits<float>::quiet_NaN();
    Add(MakeQuad(1e30f, 1e30f, 10, 10));
    EXPECT_TRUE(Finish().empty());
    EXPECT_EQ(MarkedCount(), 0);
    // Covering everything: every cell, drawn cut to the whole grid.
    Add(MakeQuad(-1e30f, -1e30f, 2e30f, 2e30f));
    const auto draws = Finish();
    EXPECT_EQ(MarkedCount(), 13 * 13);
    ASSERT_EQ(draws.size(), 1u);
    EXPECT_EQ(draws[0][2].x, 832.0f);
    // Infinite or undefined positions mark what they cover but draw nothing.
    Add(infinite), Add(broken);
    EXPECT_TRUE(Finish().empty());
}

TEST(PrimitiveBuffers, MadeWithTheDriverAndBackAfterAReset) {
    CRecordingGraphics driver;
    SetGraphics(&driver);
    ASSERT_TRUE(InitPrimitiveBuffers());
    EXPECT_EQ(GetUntransformedPointBuffer()->GetFormat(), 9u);
    EXPECT_EQ(GetPointCapacity(), 1024);
    driver.GetDeviceObjectManager().InvalidateAll();
    EXPECT_EQ(GetTransformedPointBuffer()->Lock(), nullptr);
    driver.RestoreAfterReset(nullptr);
    EXPECT_NE(GetTransformedPointBuffer()->Lock(), nullptr);
    EXPECT_NE(GetUntransformedPointBuffer()->Lock(), nullptr);
    DonePrimitiveBuffers();
    DonePrimitiveBuffers();
    EXPECT_EQ(GetTransformedPointBuffer(), nullptr);
    driver.m_bFailVertexBuffers = true;
    EXPECT_FALSE(InitPrimitiveBuffers());
    EXPECT_EQ(GetScratchPoints(), nullptr);
    // A driver that throws gives no buffer either; the earlier ones go.
    driver.m_bFailVertexBuffers = false;
    ASSERT_TRUE(InitPrimitiveBuffers());
    driver.m_bThrowVertexBuffers = true;
    EXPECT_FALSE(InitPrimitiveBuffers());
    EXPECT_EQ(GetScratchPoints(), nullptr);
    EXPECT_EQ(GetTransformedPointBuffer(), nullptr);
    DonePrimitiveBuffers();
    SetGraphics(nullptr);
}

} // namespace

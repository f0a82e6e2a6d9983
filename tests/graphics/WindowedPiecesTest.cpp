// A windowed record of many pieces makes the same parts, to the bit, as the
// walk of every piece of its grid did.

#include <algorithm>
#include <bit>
#include <cmath>
#include <random>

#include "graphics/SprFile.h"
#include "tests/graphics/SpriteQueueFixture.h"

using namespace SpriteQueueTesting;
using Engine::Graphics::SPRITE_MIRROR_X;
using Engine::Graphics::SPRITE_MIRROR_Y;

namespace {

struct CPart {
    int32_t piece;
    float x, y, sourceX, sourceY, width, height;
    bool operator==(const CPart& other) const {
        const auto bits = [](const CPart& p) {
            return std::array{uint32_t(p.piece), std::bit_cast<uint32_t>(p.x), std::bit_cast<uint32_t>(p.y),
                              std::bit_cast<uint32_t>(p.sourceX), std::bit_cast<uint32_t>(p.sourceY),
                              std::bit_cast<uint32_t>(p.width), std::bit_cast<uint32_t>(p.height)};
        };
        return bits(*this) == bits(other);
    }
};

// The walk every windowed record of several pieces took (one tile, unrotated).
std::vector<CPart> WalkEveryPiece(const Engine::Graphics::SprFile::CSpriteFrame& frame, const CSpriteQueueItem& r) {
    const bool mirrorX = r.flags & SPRITE_MIRROR_X, mirrorY = r.flags & SPRITE_MIRROR_Y;
    const float m00 = mirrorX ? -(1.0f * r.scaleX) : 1.0f * r.scaleX, m01 = mirrorY ? -(-0.0f * r.scaleY) : -0.0f * r.scaleY;
    const float m10 = mirrorX ? -(0.0f * r.scaleX) : 0.0f * r.scaleX, m11 = mirrorY ? -(1.0f * r.scaleY) : 1.0f * r.scaleY;
    float startY = r.centred ? -r.sourceHeight * 0.5f : mirrorY ? -r.sourceHeight : 0.0f;
    startY -= r.pivotY / r.scaleY;
    if (r.sourceY < 0.0f) startY -= r.sourceY;
    float startX = 0.0f;
    if (r.sourceX < 0.0f) startX -= r.sourceX;
    if (r.centred)
        startX -= r.sourceWidth * 0.5f;
    else if (mirrorX)
        startX -= r.sourceWidth;
    startX -= r.pivotX / r.scaleX;
    std::vector<CPart> parts;
    float localY = startY, rowsHeight = 0.0f;
    for (uint32_t row = 0; row < frame.y; ++row) {
        float localX = startX, piecesWidth = 0.0f, pieceHeight = 0.0f, visibleHeight = 0.0f;
        for (uint32_t column = 0; column < frame.x; ++column) {
            const int32_t index = int32_t(row * frame.x + column);
            const auto [w, h] = frame.GetPieceSize(size_t(index));
            const float pieceWidth = float(w);
            pieceHeight = float(h);
            float x0 = r.sourceX - piecesWidth, y0 = r.sourceY - rowsHeight;
            const float x1 = std::min(x0 + r.sourceWidth, pieceWidth), y1 = std::min(y0 + r.sourceHeight, pieceHeight);
            x0 = std::max(x0, 0.0f);
            y0 = std::max(y0, 0.0f);
            const float visibleWidth = x1 - x0;
            visibleHeight = y1 - y0;
            float ax = localX, ay = localY;
            if (r.centred) {
                ax += visibleWidth * 0.5f;
                ay += visibleHeight * 0.5f;
            } else {
                if (mirrorX) ax += visibleWidth;
                if (mirrorY) ay += visibleHeight;
            }
            if (visibleWidth > 0.0f && visibleHeight > 0.0f)
                parts.push_back({index, r.x + m00 * ax + m01 * ay, r.y + m10 * ax + m11 * ay, x0, y0, visibleWidth,
                                 visibleHeight});
            if (visibleWidth > 0.0f) localX += visibleWidth;
            piecesWidth += pieceWidth;
        }
        if (visibleHeight > 0.0f) localY += visibleHeight;
        rowsHeight += pieceHeight;
    }
    return parts;
}

// Mostly ordinary piece sizes; some empty or negative, as damaged files
// hold; some so large that their sums round.
int32_t PieceExtent(std::mt19937& random, int32_t shape) {
    const int32_t roll = int32_t(random() % 16);
    if (roll == 0) return -int32_t(random() % 9);
    if (shape == 2 && roll < 4) return 1 << 24 | int32_t(random() % 4096);
    return shape == 1 ? 16 : 1 + int32_t(random() % 24);
}

class WindowedPieces : public QueueFixture, public testing::WithParamInterface<int32_t> {};

TEST_P(WindowedPieces, MakeTheSamePartsAsTheWalkOfEveryPiece) {
    std::mt19937 random(uint32_t(GetParam()) * 7919u + 1u);
    const int32_t shape = GetParam() % 3;  // 0: mixed sizes, 1: even, 2: sums that round
    const uint32_t columns = 1 + random() % 24, rows = 1 + random() % 24;
    Tools::CSprFrame grid{64, 64, columns, rows, {}};
    for (uint32_t i = 0; i < columns * rows; ++i)
        grid.pieces.push_back({0, 0, 0, PieceExtent(random, shape), PieceExtent(random, shape)});
    Tools::CSprDocument document = QueueDocument();
    document.sprites.push_back({"many", 0, 0, false, false, {grid}});
    file = Load(document);
    const CSpriteRef& sprite = *file->CreateSpriteByName("many");
    const auto& frame = file->FindSprite("many")->frames[0];
    const float reach = shape == 2 ? float(1 << 26) : 400.0f;
    std::uniform_real_distribution<float> offset(-0.2f * reach, reach), size(0.0f, 0.5f * reach);
    for (int32_t trial = 0; trial < 40; ++trial) {
        CSpriteQueueItem item;
        item.sprite = &sprite;
        item.x = float(random() % 50);
        item.y = float(random() % 50);
        item.sourceX = trial % 5 == 0 ? std::round(offset(random)) : offset(random);
        item.sourceY = offset(random);
        item.sourceWidth = trial % 7 == 0 ? 0.0f : size(random);
        item.sourceHeight = size(random);
        item.flags = uint32_t(random() % 4);  // the mirror bits
        item.centred = random() % 3 == 0;
        CSpriteQueue::BuildQuads(sprite, item, &params);
        std::vector<CPart> made;
        for (int32_t i = 0; i < CSpriteQueue::GetCount(); ++i) {
            const CSpriteQueueItem& part = CSpriteQueue::GetItem(i);
            made.push_back({part.piece, part.x, part.y, part.sourceX, part.sourceY, part.sourceWidth, part.sourceHeight});
        }
        CSpriteQueue::Flush(params);
        const auto walked = WalkEveryPiece(frame, item);
        ASSERT_TRUE(made == walked) << "trial " << trial << ": " << made.size() << " parts, the walk made "
                                    << walked.size();
    }
}

INSTANTIATE_TEST_SUITE_P(RandomGrids, WindowedPieces, testing::Range(0, 24));

} // namespace

#include "graphics/BitmapPieces.h"

#include "graphics/SprFile.h"

namespace Engine::Graphics::SprFile {

namespace {
template <class Visit>
void ForEachPiece(std::vector<CSpriteDef>& definitions, Visit visit) {
    for (CSpriteDef& definition : definitions)
        for (CSpriteFrame& frame : definition.frames)
            for (TextureRegion& piece : frame.pieces) visit(piece);
}
} // namespace

void CBitmapPieces::SetTextureSize(std::vector<CSpriteDef>& definitions, size_t bitmapCount, size_t bitmap,
                                   int32_t width, int32_t height) {
    // One bitmap: a walk costs what grouping would.
    if (bitmapCount <= 1) {
        ForEachPiece(definitions, [&](TextureRegion& piece) {
            if (piece.bitmap == int32_t(bitmap)) piece.SetTextureSize(width, height);
        });
        return;
    }
    if (m_start.empty()) Build(definitions, bitmapCount);
    if (bitmap >= bitmapCount) return;
    for (size_t i = m_start[bitmap]; i < m_start[bitmap + 1]; ++i) m_pieces[i]->SetTextureSize(width, height);
}

void CBitmapPieces::Build(std::vector<CSpriteDef>& definitions, size_t bitmapCount) {
    const auto inFile = [bitmapCount](const TextureRegion& piece) {
        return piece.bitmap >= 0 && size_t(piece.bitmap) < bitmapCount;
    };
    // Counted first, then placed: one array for all the groups, in file
    // order within each.
    m_start.assign(bitmapCount + 1, 0);
    ForEachPiece(definitions, [&](const TextureRegion& piece) {
        if (inFile(piece)) ++m_start[size_t(piece.bitmap) + 1];
    });
    for (size_t i = 1; i < m_start.size(); ++i) m_start[i] += m_start[i - 1];
    m_pieces.assign(m_start.back(), nullptr);
    std::vector<size_t> next(m_start.begin(), m_start.end() - 1);
    ForEachPiece(definitions, [&](TextureRegion& piece) {
        if (inFile(piece)) m_pieces[next[size_t(piece.bitmap)]++] = &piece;
    });
}

void CBitmapPieces::Clear() {
    m_start.clear();
    m_pieces.clear();
}

} // namespace Engine::Graphics::SprFile

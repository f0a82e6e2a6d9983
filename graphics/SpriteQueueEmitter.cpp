#include "graphics/SpriteQueueEmitter.h"

#include <algorithm>
#include <utility>

#include "app/CacheLine.h"
#include "app/Math.h"
#include "graphics/Graphics.h"

namespace Engine::Graphics {

namespace {

// Texture coordinates stop this far (in texels) short of the piece edges so
// that filtering never reaches the neighbouring piece.
constexpr float TEXEL_INSET = 0.01f;

constexpr int32_t PREFETCH_AHEAD = 4;
static_assert(alignof(CQueuedSprite) == kCacheLineBytes);

// True when both values are zero, of either sign; one test on their bits
// where two float compares each cost a parity check (NaN is not zero).
bool BothZero(float a, float b) {
    return ((std::bit_cast<uint32_t>(a) | std::bit_cast<uint32_t>(b)) & 0x7FFFFFFFu) == 0;
}
bool IsZero(float value) { return BothZero(value, value); }

void SetCorner(SpriteVertex& vertex, float x, float y) {
    vertex.x = x;
    vertex.y = y;
    vertex.z = 0.0f;
    vertex.rhw = 1.0f;
}

} // namespace

struct CQuadEmitter::CQuadSource {
    float width = 1.0f;  // drawn part, in texels
    float height = 1.0f;
    float baseU = 0.0f;
    float baseV = 0.0f;
};

CQuadEmitter::CQuadEmitter(CGraphics& driver)
    : m_limit(driver.GetSpriteAreaLimit()), m_colorRGBA(driver.IsColorRGBA()),
      m_identity(driver.m_bTransform2DIdentity != 0) {
    driver.GetTextureOffset(&m_textureOffsetU, &m_textureOffsetV);
    m_textureOffset = m_textureOffsetU != 0.0f || m_textureOffsetV != 0.0f;
    driver.GetBufferOffset(&m_bufferOffsetX, &m_bufferOffsetY);
    std::copy_n(driver.m_transform2D, 6, m_transform);
}

CQuadEmitter::CQuadEmitter(CGraphics& driver, const CSpriteQueue::CParams& pass) : CQuadEmitter(driver) {
    m_pass = true;
    m_passClipEnabled = pass.clipOverride != 0;
    m_passClip[0] = pass.clipLeft;
    m_passClip[1] = pass.clipTop;
    m_passClip[2] = pass.clipWidth;
    m_passClip[3] = pass.clipHeight;
    m_passOffset = pass.offsetX != 0.0f || pass.offsetY != 0.0f;
    m_passOffsetX = pass.offsetX;
    m_passOffsetY = pass.offsetY;
}

inline void CQuadEmitter::UseTextureSize(int32_t width, int32_t height) {
    width = std::max(width, 1);
    height = std::max(height, 1);
    if (width == m_textureWidth && height == m_textureHeight) return;
    m_textureWidth = width;
    m_textureHeight = height;
    m_width = float(width);
    m_height = float(height);
    m_insetU = TEXEL_INSET / m_width;
    m_insetV = TEXEL_INSET / m_height;
    m_shiftU = m_textureOffsetU / m_width;
    m_shiftV = m_textureOffsetV / m_height;
    m_spanU.valid = m_spanV.valid = false;
}

inline CQuadEmitter::CQuadSource CQuadEmitter::Source(const CSpriteQueueItem& item, const CSpriteSource& sprite) {
    CQuadSource source;
    if (const SprFile::TextureRegion* piece = sprite.piece) {
        // The frame found when the record was queued: no second look-up
        // through the definition's list.
        const size_t index = PieceIndex(item);
        const auto [textureWidth, textureHeight] = sprite.frame->GetPieceTextureSize(index);
        UseTextureSize(textureWidth, textureHeight);
        const auto [width, height] = sprite.frame->GetPieceSize(index);
        source.width = float(width);
        source.height = float(height);
        source.baseU = piece->uLeft;
        source.baseV = piece->vTop;
    } else {
        int32_t width = 1, height = 1;
        if (item.texture) item.texture->GetSize(width, height);
        UseTextureSize(width, height);
        source.width = m_width;
        source.height = m_height;
    }
    if (item.sourceWidth >= 0.0f && item.sourceHeight >= 0.0f) {
        source.width = item.sourceWidth;
        source.height = item.sourceHeight;
    }
    if (!BothZero(item.sourceX, item.sourceY)) {
        source.baseU += item.sourceX / m_width;
        source.baseV += item.sourceY / m_height;
    }
    return source;
}

inline void CQuadEmitter::SetTextureCoordinates(const CSpriteQueueItem& item, const CQuadSource& source,
                                                SpriteVertex vertices[4]) {
    float left = source.baseU + m_insetU;
    float right = source.baseU + m_spanU.Of(source.width, m_width) - m_insetU;
    float top = source.baseV + m_insetV;
    float bottom = source.baseV + m_spanV.Of(source.height, m_height) - m_insetV;
    if (item.flags & SPRITE_MIRROR_X) std::swap(left, right);
    if (item.flags & SPRITE_MIRROR_Y) std::swap(top, bottom);
    if (m_textureOffset) {
        left += m_shiftU;
        right += m_shiftU;
        top += m_shiftV;
        bottom += m_shiftV;
    }
    vertices[0].u = vertices[3].u = left;
    vertices[1].u = vertices[2].u = right;
    vertices[0].v = vertices[1].v = top;
    vertices[2].v = vertices[3].v = bottom;
}

inline void CQuadEmitter::SetColors(const CSpriteQueueItem& item, SpriteVertex vertices[4]) const {
    const uint32_t* colors = item.colors;
    if (m_colorRGBA) {
        vertices[0].color = colors[CORNER_TOP_LEFT];
        vertices[1].color = colors[CORNER_TOP_RIGHT];
        vertices[2].color = colors[CORNER_BOTTOM_RIGHT];
        vertices[3].color = colors[CORNER_BOTTOM_LEFT];
        return;
    }
    vertices[0].color = SwapColorRedBlue(colors[CORNER_TOP_LEFT]);
    vertices[1].color = SwapColorRedBlue(colors[CORNER_TOP_RIGHT]);
    vertices[2].color = SwapColorRedBlue(colors[CORNER_BOTTOM_RIGHT]);
    vertices[3].color = SwapColorRedBlue(colors[CORNER_BOTTOM_LEFT]);
}

inline void CQuadEmitter::SetPositions(const CQueuedSprite& record, const CQuadSource& source,
                                       SpriteVertex vertices[4]) {
    const CSpriteQueueItem& item = record.item;
    if (IsZero(item.angle)) {
        float left = item.x, top = item.y, right, bottom;
        if (item.centred) {
            const float halfX = source.width * 0.5f * item.scaleX;
            const float halfY = source.height * 0.5f * item.scaleY;
            left = item.x - halfX;
            top = item.y - halfY;
            right = item.x + halfX;
            bottom = item.y + halfY;
        } else {
            right = item.x + source.width * item.scaleX;
            bottom = item.y + source.height * item.scaleY;
        }
        SetCorner(vertices[0], left, top);
        SetCorner(vertices[1], right, top);
        SetCorner(vertices[2], right, bottom);
        SetCorner(vertices[3], left, bottom);
        return;
    }
    // (x, y) is the centre; the quad turns about the pivot.
    const float halfX = source.width * 0.5f * item.scaleX;
    const float halfY = source.height * 0.5f * item.scaleY;
    const float sn = record.sine, cs = record.cosine;
    const float centreX = item.x + item.pivotX - (cs * item.pivotX - sn * item.pivotY);
    const float centreY = item.y + item.pivotY - (sn * item.pivotX + cs * item.pivotY);
    const float offsets[4][2] = {{-halfX, -halfY}, {halfX, -halfY}, {halfX, halfY}, {-halfX, halfY}};
    for (int i = 0; i < 4; ++i)
        SetCorner(vertices[i], centreX + (cs * offsets[i][0] - sn * offsets[i][1]),
                  centreY + (sn * offsets[i][0] + cs * offsets[i][1]));
}

inline bool CQuadEmitter::ClipTo(const CSpriteQueueItem& item, SpriteVertex vertices[4]) const {
    // Rotated quads are never clipped.
    if (m_pass)
        return !m_passClipEnabled || !IsZero(item.angle) ||
               Clip(m_passClip[0], m_passClip[1], m_passClip[2], m_passClip[3], vertices);
    return !item.clipEnabled || !IsZero(item.angle) ||
           Clip(item.clipLeft, item.clipTop, item.clipWidth, item.clipHeight, vertices);
}

// Cuts an axis-aligned quad to a clip rectangle, cutting the texture
// coordinates in proportion; false when nothing is left.
bool CQuadEmitter::Clip(float clipLeft, float clipTop, float clipWidth, float clipHeight, SpriteVertex vertices[4]) {
    float left = vertices[0].x, top = vertices[0].y, uLeft = vertices[0].u, vTop = vertices[0].v;
    float right = vertices[2].x, bottom = vertices[2].y, uRight = vertices[2].u, vBottom = vertices[2].v;
    const float clipRight = clipLeft + clipWidth;
    const float clipBottom = clipTop + clipHeight;
    if (clipRight < left || clipBottom < top || right < clipLeft || bottom < clipTop) return false;
    // A quad of no width or height has nothing to cut in proportion.
    const float ku = right != left ? (uRight - uLeft) / (right - left) : 0.0f;
    const float kv = bottom != top ? (vBottom - vTop) / (bottom - top) : 0.0f;
    if (left < clipLeft) {
        uLeft += ku * (clipLeft - left);
        left = clipLeft;
    }
    if (top < clipTop) {
        vTop += kv * (clipTop - top);
        top = clipTop;
    }
    if (right > clipRight) {
        uRight -= ku * (right - clipRight);
        right = clipRight;
    }
    if (bottom > clipBottom) {
        vBottom -= kv * (bottom - clipBottom);
        bottom = clipBottom;
    }
    const float corners[4][4] = {{left, top, uLeft, vTop},
                                 {right, top, uRight, vTop},
                                 {right, bottom, uRight, vBottom},
                                 {left, bottom, uLeft, vBottom}};
    for (int i = 0; i < 4; ++i) {
        vertices[i].x = corners[i][0];
        vertices[i].y = corners[i][1];
        vertices[i].u = corners[i][2];
        vertices[i].v = corners[i][3];
    }
    return true;
}

inline void CQuadEmitter::Transform(const CSpriteQueueItem& item, SpriteVertex vertices[4]) const {
    float translateX = item.translateX, translateY = item.translateY;
    if (m_passOffset) {
        translateX += m_passOffsetX;
        translateY += m_passOffsetY;
    }
    float extraX = translateX, extraY = translateY;
    if (!m_identity) {
        const float* t = m_transform;
        for (int i = 0; i < 4; ++i) {
            const float x = vertices[i].x + translateX;
            const float y = vertices[i].y + translateY;
            vertices[i].x = t[0] * x + t[1] * y + t[2];
            vertices[i].y = t[3] * x + t[4] * y + t[5];
        }
        extraX = extraY = 0.0f;
    }
    extraX += m_bufferOffsetX;
    extraY += m_bufferOffsetY;
    if (BothZero(extraX, extraY)) return;
    for (int i = 0; i < 4; ++i) {
        vertices[i].x += extraX;
        vertices[i].y += extraY;
    }
}

bool CQuadEmitter::Emit(const CQueuedSprite& record, SpriteVertex vertices[4]) { return EmitInline(record, vertices); }

inline bool CQuadEmitter::IsUpright(const CSpriteQueueItem& item) const { return m_identity && IsZero(item.angle); }

bool CQuadEmitter::EmitDrawn(const CQueuedSprite& record, SpriteVertex vertices[4]) {
    return EmitInline(record, vertices) && m_limit.Keep(vertices);
}

inline bool CQuadEmitter::EmitInline(const CQueuedSprite& record, SpriteVertex vertices[4]) {
    if (!record.source.drawable) return false;
    const CSpriteQueueItem& item = record.item;
    const CQuadSource source = Source(item, record.source);
    SetTextureCoordinates(item, source, vertices);
    SetColors(item, vertices);
    SetPositions(record, source, vertices);
    if (!ClipTo(item, vertices)) return false;
    Transform(item, vertices);
    return true;
}

int32_t CQuadEmitter::EmitRun(const CQueuedSprite* records, const int32_t* order, int32_t count,
                              SpriteVertex* vertices) {
    int32_t vertexCount = 0;
    // Counted in a copy, which stays in registers over the run.
    CDrawnAreaLimit limit = m_limit;
    for (int32_t i = 0; i < count; ++i) {
        // A run's records lie apart in memory, too far for the processor to
        // see them coming: each is fetched, every line of it, a few quads
        // before it is needed.
        if (i + PREFETCH_AHEAD < count) PrefetchLines(&records[order[i + PREFETCH_AHEAD]], sizeof(CQueuedSprite));
        SpriteVertex* quad = vertices + vertexCount;
        const CQueuedSprite& record = records[order[i]];
        if (!EmitInline(record, quad)) continue;
        if (IsUpright(record.item) ? limit.KeepUpright(quad) : limit.Keep(quad)) vertexCount += 4;
    }
    m_limit = limit;
    return vertexCount;
}

} // namespace Engine::Graphics

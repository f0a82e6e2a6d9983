#include "placefile/AniSpriteObject.h"

#include <algorithm>
#include <cmath>

#include "app/Exception.h"
#include "app/Math.h"
#include "placefile/PlaceReading.h"
#include "placefile/PlaceSpriteObject.h"

namespace Engine::Graphics::PlaceFile {

using Engine::Geometry::CVector2;

namespace {
constexpr uint32_t CHUNK_ANI_SPRITE = 0x5050;
}

void CAniSpriteObject::Serialize(CArchive& ar) {
    if (ar.IsStoring()) return;
    CAniPlaceObject::Serialize(ar);
    ExpectChunk(ar, CHUNK_ANI_SPRITE, "CAniSpriteObject::Serialize(...) : FAILED : Invalid chunk ID");
    m_frameInPercent = ReadUInt(ar) != 0;
}

CPlaceSpriteObject* CAniSpriteObject::Sprite() const { return dynamic_cast<CPlaceSpriteObject*>(m_object); }

int32_t CAniSpriteObject::GetFrameCount() const {
    const CPlaceSpriteObject* sprite = Sprite();
    return sprite && sprite->Sprite ? sprite->Sprite->GetSpriteFrameCount() : 1;
}

void CAniSpriteObject::SetFrame(float value) {
    CPlaceSpriteObject* sprite = Sprite();
    if (!sprite || !sprite->Sprite) return;
    const int32_t count = GetFrameCount();
    if (count <= 0) return;
    if (m_frameInPercent) value = static_cast<float>(TruncateToInt32(double(value * kPercent) * (count - 1)));
    // The frame index comes from animation data: it stays within the frames.
    const int32_t frame = std::clamp(TruncateToInt32(std::fabs(value)), 0, count - 1);
    sprite->Sprite->SetFrame(frame);
}

float CAniSpriteObject::GetFrame() const {
    const CPlaceSpriteObject* sprite = Sprite();
    if (!sprite) return 0.0f;
    float frame = static_cast<float>(static_cast<int32_t>(sprite->Frame));
    const int32_t count = GetFrameCount();
    if (m_frameInPercent && count > 1) frame = static_cast<float>(frame / float(count - 1)) * 100.0f;
    return frame;
}

void CAniSpriteObject::SetSpriteOffset(CVector2 value) {
    if (CPlaceSpriteObject* sprite = Sprite()) sprite->SpriteOffset = {value.x * kPercent, value.y * kPercent};
}

CVector2 CAniSpriteObject::GetSpriteOffset() const {
    const CPlaceSpriteObject* sprite = Sprite();
    if (!sprite) return {0.0f, 0.0f};
    return {sprite->SpriteOffset.x * 100.0f, sprite->SpriteOffset.y * 100.0f};
}

void CAniSpriteObject::SetSpriteTile(CVector2 value) {
    if (CPlaceSpriteObject* sprite = Sprite()) sprite->SpriteTile = value;
}

CVector2 CAniSpriteObject::GetSpriteTile() const {
    const CPlaceSpriteObject* sprite = Sprite();
    return sprite ? sprite->SpriteTile : CVector2{0.0f, 0.0f};
}

void CAniSpriteObject::SetOpacity(float value) {
    CPlaceSpriteObject* sprite = Sprite();
    if (!sprite) return;
    const uint32_t alpha = PackColorRGBA(0.0f, 0.0f, 0.0f, value * kPercent) & 0xFF000000u;
    sprite->Color = (sprite->Color & 0x00FFFFFFu) | alpha;
}

float CAniSpriteObject::GetOpacity() const {
    const CPlaceSpriteObject* sprite = Sprite();
    return sprite ? ByteToPercent(sprite->Color >> 24) : 0.0f;
}

} // namespace Engine::Graphics::PlaceFile

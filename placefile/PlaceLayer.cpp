#include "placefile/PlaceLayer.h"

#include "placefile/PlaceGroupObject.h"
#include "placefile/PlaceReading.h"
#include "placefile/PlaceSpriteObject.h"
#include "placefile/PlaceVexaObject.h"

namespace Engine::Graphics::PlaceFile {

namespace {
constexpr uint32_t CHUNK_LAYER = 0x2222;
// A type code and the smallest object record.
constexpr uint64_t MIN_OBJECT_BYTES = 8;
} // namespace

void FlushSpriteQueue(const SpriteFlushParams& params) {
    if (CSpriteQueue::GetCount() != 0) CSpriteQueue::Flush(params);
}

void CPlaceLayer::Serialize(CArchive& ar) {
    if (ar.IsStoring()) return;
    ExpectChunk(ar, CHUNK_LAYER, "Invalid '' place  file chunk ID (PlaceLayer)");
    ar.ReadString(Name);
    ReadUInt(ar);
    Flag = ReadUInt(ar) != 0;
    const uint32_t flags = ReadUInt(ar);
    FlagBit1 = (flags & 0x02) != 0;
    BatchSprites = (flags & 0x04) != 0;
    ReadUInt(ar);
    CChunkHeader unchecked;
    ar.ReadChunkHeader(unchecked);
    ReadUInt(ar);
    Properties.Serialize(ar);
    ReadObjects(ar, false);
}

void CPlaceLayer::SerializeLegacy(CArchive& ar) {
    if (ar.IsStoring()) return;
    ar.ReadString(Name);
    ReadUInt(ar);
    Flag = ReadUInt(ar) != 0;
    FlagBit1 = ReadUInt(ar) != 0;
    ReadUInt(ar);
    Properties.SerializeLegacy(ar);
    ReadObjects(ar, true);
}

void CPlaceLayer::ReadObjects(CArchive& ar, bool legacy) {
    const uint32_t count = ReadUInt(ar);
    CheckCount(ar, count, MIN_OBJECT_BYTES);
    Objects.reserve(count);
    for (uint32_t i = 0; i < count; ++i)
        Objects.push_back(legacy ? CreatePlaceObjectLegacy(ar, this, nullptr) : CreatePlaceObject(ar, this, nullptr));
    ListDrawSteps();
}

CPlaceObject* CPlaceLayer::FindObjectByName(const char* name) {
    if (!m_namesListed) {
        m_byName.Clear();
        for (const std::unique_ptr<CPlaceObject>& object : Objects)
            if (object) m_byName.Add(object->Name.c_str(), object.get());
        m_byName.Build();
        m_namesListed = true;
    }
    return m_byName.FindOr(name, nullptr);
}

void CPlaceLayer::ListDrawSteps() {
    m_steps.clear();
    m_checksQuitAtEnd = false;
    for (const std::unique_ptr<CPlaceObject>& object : Objects) {
        const size_t first = m_steps.size();
        switch (object->Type) {
        case PLACE_GROUP:
            // Only sprites draw; children are reached one level deep.
            for (const std::unique_ptr<CPlaceObject>& child : static_cast<CPlaceGroupObject&>(*object).Children)
                if (dynamic_cast<CPlaceSpriteObject*>(child.get())) m_steps.push_back({child.get(), STEP_CHILD, false});
            break;
        case PLACE_PARTICLES: m_steps.push_back({object.get(), STEP_PARTICLES, false}); break;
        case PLACE_SPRITE: m_steps.push_back({object.get(), STEP_SPRITE, false}); break;
        default: break;
        }
        const bool draws = m_steps.size() > first;
        if (draws) m_steps[first].checksQuit = true;
        m_checksQuitAtEnd = !draws;
    }
    m_stepsListed = true;
}

bool CPlaceLayer::DrawsNothing() {
    if (!m_stepsListed) ListDrawSteps();
    return !Objects.empty() && m_steps.empty();
}

void CPlaceLayer::Draw(float x, float y, float opacity) {
    if (!m_stepsListed) ListDrawSteps();
    const SpriteFlushParams params;
    for (const CDrawStep& step : m_steps) {
        // A quit stopped the frame: the queue takes nothing more.
        if (step.checksQuit && CSpriteQueue::IsFrameStopped()) return;
        switch (step.kind) {
        case STEP_CHILD: step.object->Draw(params, x, y, false, opacity); break;
        case STEP_PARTICLES:
            FlushSpriteQueue(params);
            static_cast<CPlaceVexaObject&>(*step.object).Render(x, y);
            break;
        case STEP_SPRITE: {
            auto& sprite = static_cast<CPlaceSpriteObject&>(*step.object);
            if (!sprite.Sprite || !sprite.Visible) break;
            sprite.QueueAt(params, x, y, opacity);
            if (!BatchSprites) FlushSpriteQueue(params);
            break;
        }
        }
    }
    if (m_checksQuitAtEnd && CSpriteQueue::IsFrameStopped()) return;
    FlushSpriteQueue(params);
}

} // namespace Engine::Graphics::PlaceFile

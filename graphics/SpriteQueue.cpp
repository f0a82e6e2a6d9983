#include "graphics/SpriteQueue.h"

#include <algorithm>
#include <functional>
#include <vector>

#include "graphics/DeviceObject.h"
#include "graphics/Graphics.h"
#include "graphics/SpriteRef.h"
#include "graphics/SpriteSource.h"

namespace Engine::Graphics {

namespace {

// The queue is process-wide and used from the main thread only.
struct CQueueState {
    std::vector<CSpriteQueueItem> records;
    std::vector<int32_t> order;
    int32_t capacity = 0;
    CGraphics* driver = nullptr;
    ref_ptr<CVertexBuffer> vertexBuffer;
};

CQueueState& State() {
    static CQueueState state;
    return state;
}

struct CBlendPair {
    int source;
    int destination;
};

// The first blend bit that holds wins, in this order; blending off is
// handled before.
CBlendPair BlendFactors(uint32_t flags) {
    if (flags & SPRITE_BLEND_ALPHA) return {BLEND_SRC_ALPHA, BLEND_INV_SRC_ALPHA};
    if (flags & SPRITE_BLEND_ADD) return {BLEND_ONE, BLEND_ONE};
    if (flags & SPRITE_BLEND_ALPHA_ADD) return {BLEND_SRC_ALPHA, BLEND_ONE};
    return {BLEND_ONE, BLEND_INV_SRC_ALPHA};
}

void ResetPointFilter(CGraphics& driver, uint32_t state) {
    if (state & SPRITE_LINEAR_FILTER) driver.gSetTextureFilter(0, FILTER_POINT, FILTER_POINT, FILTER_POINT);
}

bool CanDraw(const CQueueState& state) { return state.driver && state.vertexBuffer; }

// Flushes a full queue before a record is appended; false when the queue
// is not initialised and can take nothing.
bool MakeRoom(const CSpriteQueue::CParams& params) {
    CQueueState& state = State();
    if (state.capacity == 0) return false;
    if (int32_t(state.records.size()) >= state.capacity) CSpriteQueue::Flush(params);
    return true;
}

} // namespace

void ResetDrawParams(CSpriteQueueItem& item) {
    CSpriteQueueItem defaults;
    defaults.sprite = item.sprite;
    defaults.texture = std::move(item.texture);
    item = std::move(defaults);
}

void CSpriteQueue::SetDriver(CGraphics* driver) { State().driver = driver; }
CGraphics* CSpriteQueue::GetDriver() { return State().driver; }

bool CSpriteQueue::Init() {
    CQueueState& state = State();
    state.records.clear();
    state.records.reserve(CAPACITY);
    state.order.reserve(CAPACITY);
    state.capacity = CAPACITY;
    return true;
}

void CSpriteQueue::Done() {
    CQueueState& state = State();
    state.records = {};
    state.order = {};
    state.capacity = 0;
}

bool CSpriteQueue::IsInitialised() { return State().capacity > 0; }

bool CSpriteQueue::CreateVertexBuffer() {
    CQueueState& state = State();
    if (!state.driver) return false;
    state.driver->CreateVertexBuffer(state.vertexBuffer, VERTEX_CAPACITY, int(sizeof(SpriteVertex)), VF_SPRITE, true);
    if (!state.vertexBuffer) return false;
    // Restored in the first pass, before anything may draw after a reset.
    state.vertexBuffer->SetRestoreFirst(true);
    return true;
}

void CSpriteQueue::ReleaseVertexBuffer() { State().vertexBuffer = nullptr; }
ref_ptr<CVertexBuffer> CSpriteQueue::GetVertexBuffer() { return State().vertexBuffer; }

int32_t CSpriteQueue::GetCount() { return int32_t(State().records.size()); }
const CSpriteQueueItem& CSpriteQueue::GetItem(int32_t index) { return State().records.at(size_t(index)); }

CSpriteQueueItem* CSpriteQueue::Append(const CParams& params, const SprFile::CSpriteRef& sprite, uint32_t color) {
    if (!MakeRoom(params)) return nullptr;
    CSpriteQueueItem& item = State().records.emplace_back(sprite.GetTemplate());
    std::fill(std::begin(item.colors), std::end(item.colors), color);
    return &item;
}

void CSpriteQueue::DrawPart(CSpriteQueueItem& part, const CParams* params) {
    if (!params) {
        DrawItemNow(part);
        return;
    }
    if (MakeRoom(*params)) State().records.push_back(part);
}

void CSpriteQueue::QueueSprite(const CParams& params, const SprFile::CSpriteRef& sprite, int32_t x, int32_t y,
                               int32_t sourceX, int32_t sourceY, int32_t sourceWidth, int32_t sourceHeight,
                               uint32_t color) {
    CSpriteQueueItem* item = Append(params, sprite, color);
    if (!item) return;
    item->x = float(x);
    item->y = float(y);
    item->sourceX = float(sourceX);
    item->sourceY = float(sourceY);
    item->sourceWidth = float(sourceWidth);
    item->sourceHeight = float(sourceHeight);
    CommitLast(params);
}

void CSpriteQueue::QueueSpriteAt(const CParams& params, const SprFile::CSpriteRef& sprite, int32_t x, int32_t y,
                                 uint32_t color) {
    CSpriteQueueItem* item = Append(params, sprite, color);
    if (!item) return;
    item->x = float(x);
    item->y = float(y);
    CommitLast(params);
}

void CSpriteQueue::QueueSpriteAtSize(const CParams& params, const SprFile::CSpriteRef& sprite, int32_t x, int32_t y,
                                     int32_t scaleX, int32_t scaleY, uint32_t color) {
    QueueSpriteAtSizeF(params, sprite, float(x), float(y), float(scaleX), float(scaleY), color);
}

void CSpriteQueue::QueueSpriteAtSizeF(const CParams& params, const SprFile::CSpriteRef& sprite, float x, float y,
                                      float scaleX, float scaleY, uint32_t color) {
    CSpriteQueueItem* item = Append(params, sprite, color);
    if (!item) return;
    item->x = x;
    item->y = y;
    item->scaleX = scaleX;
    item->scaleY = scaleY;
    CommitLast(params);
}

bool CSpriteQueue::NeedsSplit(const SprFile::CSpriteRef& sprite, const CSpriteQueueItem& item) {
    if (!sprite.GetFile() || !sprite.GetDefinition()) return false;
    const SprFile::CSpriteFrame* frame = FindSpriteFrame(*sprite.GetDefinition(), item.frame);
    return frame && (frame->pieces.size() > 1 || (item.flags & SPRITE_SPLIT_MASK));
}

void CSpriteQueue::CommitLast(const CParams& params) {
    std::vector<CSpriteQueueItem>& records = State().records;
    if (records.empty()) return;
    const SprFile::CSpriteRef* sprite = records.back().sprite;
    if (!sprite || !sprite->GetFile() || !sprite->GetDefinition()) return;
    if (!FindSpriteFrame(*sprite->GetDefinition(), records.back().frame)) {
        records.pop_back();  // a frame the sprite does not have draws nothing
        return;
    }
    if (!NeedsSplit(*sprite, records.back())) return;
    const CSpriteQueueItem whole = std::move(records.back());
    records.pop_back();
    BuildQuads(*sprite, whole, &params);
}

int CSpriteQueue::CompareItems(int32_t a, int32_t b) {
    const std::vector<CSpriteQueueItem>& records = State().records;
    const CSpriteQueueItem& first = records[size_t(a)];
    const CSpriteQueueItem& second = records[size_t(b)];
    if (first.texture != second.texture)
        return std::less<const CTexture*>()(first.texture.get(), second.texture.get()) ? -1 : 1;
    const uint32_t stateA = first.flags & SPRITE_STATE_MASK;
    const uint32_t stateB = second.flags & SPRITE_STATE_MASK;
    return stateA < stateB ? -1 : (stateA > stateB ? 1 : 0);
}

void CSpriteQueue::ApplyItemStates(uint32_t flags) {
    CGraphics* driver = State().driver;
    if (!driver) return;
    if (flags & SPRITE_LINEAR_FILTER) driver->gSetTextureFilter(0, FILTER_LINEAR, FILTER_LINEAR, FILTER_POINT);
    if (!(flags & SPRITE_BLEND_MASK)) return;
    // While quads are buffered for the dirty-rectangle pass, the blend
    // state goes with each buffered quad instead of to the device.
    const bool blend = !(flags & SPRITE_BLEND_OFF);
    driver->gSwitch(SWITCH_ALPHA_BLEND, blend);
    if (driver->GetSpritesContainer()) driver->m_bRecordedAlphaBlend = blend ? 1 : 0;
    if (!blend) return;
    const CBlendPair pair = BlendFactors(flags);
    SetBlendFactors(*driver, pair.source, pair.destination);
}

void CSpriteQueue::ResolveTexture(CSpriteQueueItem& item) {
    const SprFile::CSpriteRef* sprite = item.sprite;
    if (!sprite || !sprite->GetFile() || !sprite->GetDefinition()) return;
    const CSpriteSource source = FindSpriteSource(item);
    if (!source.drawable || source.piece->bitmap < 0) {
        item.texture = nullptr;
        return;
    }
    item.texture = sprite->GetFile()->GetBitmapEntry(size_t(source.piece->bitmap)).texture;
}

void CSpriteQueue::DrawItemNow(CSpriteQueueItem& item) {
    CQueueState& state = State();
    if (!CanDraw(state)) return;
    const ref_ptr<CBufferedSpritesContainer> container = state.driver->GetSpritesContainer();
    SpriteVertex quad[4];
    if (!EmitQuad(item, quad)) return;
    ResolveTexture(item);
    if (container) {
        // The record's own state bits are not applied: it takes the state
        // recorded last.
        container->Add(quad, item.texture, state.driver->GetRecordedDrawState());
        return;
    }
    void* memory = state.vertexBuffer->Lock();
    if (!memory) return;
    std::copy_n(quad, 4, static_cast<SpriteVertex*>(memory));
    state.vertexBuffer->Unlock();
    state.driver->gSetTextureStage(0, item.texture);
    ApplyItemStates(item.flags);
    state.driver->gDraw(PRIM_QUAD_LIST, state.vertexBuffer, 0, 1, nullptr);
    ResetPointFilter(*state.driver, item.flags);
}

void CSpriteQueue::BufferRun(int32_t begin, int32_t end, CBufferedSpritesContainer& container) {
    CQueueState& state = State();
    const CSpriteQueueItem& head = state.records[size_t(state.order[size_t(begin)])];
    const ref_ptr<CTexture> texture = head.texture;
    const uint32_t runState = head.flags & SPRITE_STATE_MASK;
    // Records the run's blend state in the driver for the buffered quads.
    ApplyItemStates(runState);
    const CBufferedDrawState drawState = state.driver->GetRecordedDrawState();
    for (int32_t i = begin; i < end; ++i) {
        SpriteVertex quad[4];
        if (EmitQuad(state.records[size_t(state.order[size_t(i)])], quad)) container.Add(quad, texture, drawState);
    }
    ResetPointFilter(*state.driver, runState);
}

void CSpriteQueue::DrawRun(int32_t begin, int32_t end) {
    CQueueState& state = State();
    const CSpriteQueueItem& head = state.records[size_t(state.order[size_t(begin)])];
    const ref_ptr<CTexture> texture = head.texture;
    const uint32_t runState = head.flags & SPRITE_STATE_MASK;
    void* memory = state.vertexBuffer->Lock();
    if (!memory) return;  // the device is lost: nothing can be drawn now
    auto* vertices = static_cast<SpriteVertex*>(memory);
    int32_t vertexCount = 0;
    for (int32_t i = begin; i < end; ++i)
        if (EmitQuad(state.records[size_t(state.order[size_t(i)])], vertices + vertexCount)) vertexCount += 4;
    state.vertexBuffer->Unlock();
    state.driver->gSetTextureStage(0, texture);
    ApplyItemStates(runState);
    state.driver->gDraw(PRIM_QUAD_LIST, state.vertexBuffer, 0, vertexCount / 4, nullptr);
    ResetPointFilter(*state.driver, runState);
}

void CSpriteQueue::Flush(const CParams& params) {
    CQueueState& state = State();
    std::vector<CSpriteQueueItem>& records = state.records;
    if (records.empty()) return;
    if (!CanDraw(state)) {
        records.clear();
        return;
    }
    const int32_t count = int32_t(records.size());
    state.order.resize(size_t(count));
    for (int32_t i = 0; i < count; ++i) {
        // A record's own clip rectangle counts only through an override.
        records[size_t(i)].clipEnabled = 0;
        ResolveTexture(records[size_t(i)]);
        state.order[size_t(i)] = i;
    }
    if (params.offsetX != 0.0f || params.offsetY != 0.0f) {
        for (CSpriteQueueItem& item : records) {
            item.translateX += params.offsetX;
            item.translateY += params.offsetY;
        }
    }
    if (params.clipOverride) {
        for (CSpriteQueueItem& item : records) {
            item.clipEnabled = 1;
            item.clipLeft = params.clipLeft;
            item.clipTop = params.clipTop;
            item.clipWidth = params.clipWidth;
            item.clipHeight = params.clipHeight;
        }
    }
    // The software driver draws in submission order.
    if (!state.driver->IsSoftwareRenderer())
        std::sort(state.order.begin(), state.order.end(), [](int32_t a, int32_t b) { return CompareItems(a, b) < 0; });
    // Runs of equal texture and state; each also fits the vertex buffer.
    // While the driver buffers, runs go to its container instead.
    const ref_ptr<CBufferedSpritesContainer> container = state.driver->GetSpritesContainer();
    const int32_t maxQuads = state.vertexBuffer->GetCount() / 4;
    for (int32_t begin = 0; begin < count && maxQuads > 0;) {
        int32_t end = begin + 1;
        while (end < count && end - begin < maxQuads && CompareItems(state.order[size_t(begin)], state.order[size_t(end)]) == 0)
            ++end;
        if (container)
            BufferRun(begin, end, *container);
        else
            DrawRun(begin, end);
        begin = end;
    }
    records.clear();
}

void CSpriteQueue::FlushIfPending(const CParams& params) {
    if (GetCount() != 0) Flush(params);
}

const SprFile::CSpriteRef& CSpriteQueue::GetEmptySprite() {
    static const SprFile::CSpriteRef empty;
    return empty;
}

} // namespace Engine::Graphics

namespace Engine::Graphics::SprFile {

void CSpriteRef::Draw(const CSpriteQueueItem& record) const {
    if (CSpriteQueue::NeedsSplit(*this, record)) {
        CSpriteQueue::BuildQuads(*this, record, nullptr);
        return;
    }
    CSpriteQueueItem item = record;
    CSpriteQueue::DrawItemNow(item);
}

} // namespace Engine::Graphics::SprFile
